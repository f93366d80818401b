#pragma once
// The program's own effect names and argument words, mapped to the handlers
// of the installed sound library.
//
// The dialogs speak in the program's terms ("echo" with a delay in seconds
// and an attenuation, "vibro" with a speed and a depth fraction, "resample"
// with no words); the library's handlers of those effects take other names
// or other units. Every other name goes to the library as it stands.

#include <string>
#include <vector>

namespace NSWave {

// The library's handler name (lower case) and its argument words.
struct TEffectCall {
    std::string Name;
    std::vector<std::string> Words;
};

// The most words of an argument text that reach an effect.
constexpr size_t MaxEffectWords = 20;

// Splits `args` (may be null) at white space into at most MaxEffectWords
// words; the rest of the text is ignored.
std::vector<std::string> SplitEffectWords(const char* args);

// Maps a program effect (name in any letter case) to the installed handler.
// `outRate` is the rate the output is wanted at. Words that are not numbers
// are passed on unchanged, so the library reports them with its own text.
// Throws xmsg for an echo with more delays than the library can hold.
TEffectCall TranslateEffect(const std::string& name, std::vector<std::string> words, int outRate);

} // namespace NSWave
