#include "wave/formats.h"

#include <sox.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "wave/soxlib.h"

namespace NSWave {

std::vector<std::string> LibraryTypes(bool writable) {
    SoxInit();
    // The handlers of the library's plugins (FLAC, MP3, Ogg Vorbis, …) join
    // the table only once the plugins are loaded, which the library
    // otherwise does at its first lookup of a type by name.
    sox_format_init();
    std::set<std::string> names;
    for (const sox_format_tab_t* entry = sox_get_format_fns(); entry && entry->fn; ++entry) {
        const sox_format_handler_t* handler = entry->fn();
        if (!handler || (handler->flags & SOX_FILE_DEVICE))
            continue;
        if (writable ? !handler->startwrite && !handler->write
                     : !handler->startread && !handler->read)
            continue;
        for (const char* const* name = handler->names; name && *name; ++name) {
            std::string n = *name;
            std::transform(n.begin(), n.end(), n.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
            // "auto" only detects; names with dots or slashes are not suffixes.
            if (n.empty() || n == "auto" || n.find_first_of("./") != std::string::npos)
                continue;
            names.insert(n);
        }
    }
    return std::vector<std::string>(names.begin(), names.end());
}

} // namespace NSWave
