#pragma once
// User texts in the user's language, for the layers without widgets: the
// English text is the key, the translation is looked up through Qt's
// translators, and the placeholders %1 to %9 are filled after translation,
// so a translation may put them in any order.

#include <initializer_list>
#include <string>

namespace NSText {

// The translation of `text` in `context` (UTF-8); `text` itself where no
// translator knows it.
std::string Tr(const char* context, const char* text);

// `pattern` with %1 to %9 replaced by `args`, in one pass: a value that holds
// a % sign is never filled again.
std::string Fill(const std::string& pattern, std::initializer_list<std::string> args);

} // namespace NSText
