#include "platform/drives.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <string>
#include <unistd.h>

namespace NSDrives {

namespace {

// File system magic numbers (linux/magic.h).
constexpr long TmpfsMagic = 0x01021994;
constexpr long RamfsMagic = 0x858458f6;
constexpr long Iso9660Magic = 0x9660;
constexpr long UdfMagic = 0x15013346;

bool ReadsOne(const std::string& file) {
    std::ifstream in(file);
    int value = 0;
    return in >> value && value == 1;
}

// The block device holding `dev`, or a partition of it, marked removable by
// the kernel.
bool OnRemovableDevice(dev_t dev) {
    std::string link =
        "/sys/dev/block/" + std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    char target[4096];
    ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    std::string device = "/sys/dev/block/" + std::string(target);
    // A partition's own folder has no "removable"; its disk (the parent) has.
    if (ReadsOne(device + "/removable"))
        return true;
    return ReadsOne(device + "/../removable");
}

} // namespace

bool IsTransient(const std::string& path) {
    struct statfs fs;
    if (statfs(path.c_str(), &fs) != 0)
        return false;
    const long type = long(fs.f_type);
    if (type == TmpfsMagic || type == RamfsMagic || type == Iso9660Magic || type == UdfMagic)
        return true;
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    return OnRemovableDevice(info.st_dev);
}

} // namespace NSDrives
