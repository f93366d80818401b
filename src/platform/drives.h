#pragma once
// What kind of storage a directory lives on. A directory on a removable
// device, an optical disc or a memory file system is not worth remembering
// as the place to start the next file dialog: it may be gone next time.

#include <string>

namespace NSDrives {

// True when `path` (a file or a directory) lies on a removable block device
// (a USB stick, a card), an optical disc (iso9660, udf) or a RAM disk (tmpfs,
// ramfs). False when it cannot be told.
bool IsTransient(const std::string& path);

} // namespace NSDrives
