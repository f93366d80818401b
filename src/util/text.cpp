#include "util/text.h"

#include <QCoreApplication>
#include <vector>

namespace NSText {

std::string Tr(const char* context, const char* text) {
    return QCoreApplication::translate(context, text).toStdString();
}

std::string Fill(const std::string& pattern, std::initializer_list<std::string> args) {
    const std::vector<std::string> values(args);
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const size_t n = size_t(pattern[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace NSText
