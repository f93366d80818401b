#include "util/tmpfile.h"

#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "util/text.h"
#include "util/xmsg.h"

namespace {

std::string TempDir() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    if (path.empty())
        throw xmsg(NSText::Tr("Storage", "can't get temp dir"));
    if (path.back() != '/')
        path += '/';
    return path;
}

} // namespace

std::string TTmpFile::ApplySuffix(const std::string& name, const std::string& suffix) {
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.find('/', dot) == std::string::npos)
        return name.substr(0, dot + 1) + suffix;
    return name + "." + suffix;
}

TTmpFile::TTmpFile(const std::string& suffix, bool deleteOnRelease) {
    std::string reservation = TempDir() + "TMPXXXXXX.TMP";
    int fd = mkstemps(reservation.data(), 4);
    if (fd < 0)
        throw xmsg(NSText::Tr("Storage", "can't make temp file name"));
    close(fd);

    try {
        // On a case-sensitive file system "tmp" must still name the reserved
        // file itself.
        std::string name =
            strcasecmp(suffix.c_str(), "tmp") == 0 ? reservation : ApplySuffix(reservation, suffix);
        Imp = new TImp{name, name == reservation ? std::string() : reservation, deleteOnRelease, 1};
    } catch (...) {
        std::remove(reservation.c_str());
        throw;
    }
}

TTmpFile TTmpFile::Adopt(const std::string& path, bool deleteOnRelease) {
    TTmpFile file;
    file.Imp = new TImp{path, std::string(), deleteOnRelease, 1};
    return file;
}

TTmpFile::TTmpFile(const TTmpFile& other) : Imp(other.Imp) {
    if (Imp)
        ++Imp->RefCount;
}

TTmpFile& TTmpFile::operator=(const TTmpFile& other) {
    // Taken first: releasing may empty `other` when it is this handle.
    TImp* imp = other.Imp;
    if (imp)
        ++imp->RefCount;
    Release();
    Imp = imp;
    return *this;
}

TTmpFile::~TTmpFile() {
    Release();
}

void TTmpFile::Release() {
    if (!Imp)
        return;
    if (--Imp->RefCount == 0) {
        if (Imp->DeleteOnRelease)
            std::remove(Imp->FileName.c_str());
        if (!Imp->Reservation.empty())
            std::remove(Imp->Reservation.c_str());
        delete Imp;
    }
    Imp = nullptr;
}

const std::string& TTmpFile::GetFileName() const {
    static const std::string none;
    return Imp ? Imp->FileName : none;
}

int TTmpFile::UseCount() const {
    return Imp ? Imp->RefCount : 0;
}
