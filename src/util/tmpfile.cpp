#include "util/tmpfile.h"

#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "util/xmsg.h"

namespace {

std::string TempDir() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    if (path.empty())
        throw xmsg("can't get temp dir");
    if (path.back() != '/')
        path += '/';
    return path;
}

} // namespace

TTmpFile::TTmpFile(const std::string& suffix, bool deleteOnRelease) {
    std::string reservation = TempDir() + "TMPXXXXXX.TMP";
    int fd = mkstemps(reservation.data(), 4);
    if (fd < 0)
        throw xmsg("can't make temp file name");
    close(fd);

    std::string name = reservation;
    // On a case-sensitive file system "tmp" must still name the reserved
    // file itself.
    if (strcasecmp(suffix.c_str(), "tmp") != 0) {
        size_t dot = name.rfind('.');
        if (dot != std::string::npos && name.find('/', dot) == std::string::npos)
            name.replace(dot + 1, std::string::npos, suffix);
        else
            name += "." + suffix;
    }
    Imp = new TImp{name, name == reservation ? std::string() : reservation, deleteOnRelease, 1};
}

TTmpFile::TTmpFile(const TTmpFile& other) : Imp(other.Imp) {
    if (Imp)
        ++Imp->RefCount;
}

TTmpFile& TTmpFile::operator=(const TTmpFile& other) {
    if (other.Imp)
        ++other.Imp->RefCount;
    Release();
    Imp = other.Imp;
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
