#pragma once
// The per-user settings registry: keys named by backslash paths holding
// string values. Only the application's own key "Software\Hollin\brimvale\1.0"
// and the keys below it are kept; they live in one INI file:
//   $BRIMVALE_CONFIG_DIR/1.0.ini when that variable is set, else
//   $XDG_CONFIG_HOME/Hollin/brimvale/1.0.ini (XDG_CONFIG_HOME defaulting to
//   ~/.config).
// "Software\Hollin\brimvale\1.0\View" value "BackColor" is the entry
// BackColor of the section View. Every write reaches the disk at once.

#include <cstdint>
#include <string>

namespace NSRegistry {

constexpr const char* AppRoot = "Software\\Hollin\\brimvale\\1.0";

// Answers, as the registry gives them.
constexpr long Success = 0;
constexpr long NotFound = 2;
constexpr long MoreData = 234;
constexpr uint32_t TypeString = 1; // REG_SZ

// The file the store is kept in (resolved at every call, so the environment
// may change before first use).
std::string StoreFile();

// Opens or creates a key path; false for a path outside the application's
// key.
bool CreateKey(const std::string& keyPath);

// Reads a value into `buffer` of *size bytes. On success *size is the length
// including the terminator and *type the value's type. A buffer too small
// answers MoreData with the size needed in *size.
long QueryValue(const std::string& keyPath, const std::string& valueName, uint32_t* type,
                char* buffer, uint32_t* size);

// Writes a string value; false when it could not be stored.
bool SetValue(const std::string& keyPath, const std::string& valueName, const std::string& text);

} // namespace NSRegistry
