#include "wave/effectmap.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "util/text.h"
#include "util/xmsg.h"

namespace NSWave {

namespace {

// The library's echo keeps at most this many delays and writes past its
// tables when given more.
constexpr size_t MaxEchoDelays = 7;

// `word` times `factor` when the word is a number, else the word unchanged.
std::string Scaled(const std::string& word, double factor) {
    char* end = nullptr;
    double value = std::strtod(word.c_str(), &end);
    if (word.empty() || *end != '\0')
        return word;
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value * factor);
    return text;
}

} // namespace

std::vector<std::string> SplitEffectWords(const char* args) {
    std::vector<std::string> words;
    if (!args)
        return words;
    std::string_view text(args);
    size_t pos = 0;
    while (words.size() < MaxEffectWords) {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
            ++pos;
        if (pos == text.size())
            break;
        size_t end = pos;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
            ++end;
        words.emplace_back(text.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

TEffectCall TranslateEffect(const std::string& name, std::vector<std::string> words, int outRate) {
    TEffectCall call;
    for (char c : name)
        call.Name += char(std::tolower(static_cast<unsigned char>(c)));

    if (call.Name == "echo") {
        // "DELAY ATTENUATION [DELAY ATTENUATION ...]" in seconds: the output
        // is the input plus each delayed copy, so both gains are 1.
        if ((words.size() + 1) / 2 > MaxEchoDelays)
            throw xmsg(NSText::Tr("Effect", "echo: at most 7 delays are possible"));
        call.Words = {"1", "1"};
        for (size_t i = 0; i < words.size(); ++i)
            call.Words.push_back(i % 2 == 0 ? Scaled(words[i], 1000) : words[i]);
    } else if (call.Name == "vibro") {
        // "SPEED DEPTH" with the depth as a fraction of full scale.
        call.Name = "tremolo";
        for (size_t i = 0; i < words.size(); ++i)
            call.Words.push_back(i == 1 ? Scaled(words[i], 100) : words[i]);
    } else if (call.Name == "resample") {
        call.Name = "rate";
        call.Words = std::move(words);
        call.Words.push_back(std::to_string(outRate));
    } else {
        call.Words = std::move(words);
    }
    return call;
}

} // namespace NSWave
