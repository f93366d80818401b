#include "wavewin/filechoice.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

#include "platform/drives.h"
#include "platform/filedlg.h"
#include "util/settings.h"
#include "util/text.h"
#include "wave/formats.h"
#include "wave/opuswriter.h"

namespace NSWaveWin {

namespace {

std::string Patterns(const std::vector<std::string>& suffixes) {
    std::string text;
    for (const std::string& s : suffixes) {
        if (!text.empty())
            text += ' ';
        text += "*." + s;
    }
    return text;
}

// The families of sound files offered one entry each, in this order: a
// family the library knows by one of its suffixes is offered with all of
// them (the content decides the type), one it knows by none is left out.
// WAV and AIFF are always there.
const struct {
    const char* Name;
    std::vector<std::string> Suffixes;
} Families[] = {
    {"WAV", {"wav"}},
    {"AIFF", {"aiff", "aif", "aifc"}},
    {"FLAC", {"flac"}},
    {"Ogg Vorbis", {"ogg", "oga"}},
    {"Opus", {"opus"}},
    {"MP3", {"mp3"}},
    {"Sun/NeXT", {"au", "snd"}},
};

} // namespace

TStrSetting& LastDirSetting() {
    static TStrSetting setting("App\\LastDir");
    return setting;
}

TStrSetting& LastFileSetting() {
    static TStrSetting setting("App\\LastFile");
    return setting;
}

std::vector<std::string> SoundFilters(bool save) {
    std::vector<std::string> all = {"wav", "aiff", "aif"};
    // The library only reads Opus files; the program's own encoder writes
    // them where it is built in.
    if (save && NSWave::CanSaveOpus())
        all.push_back("opus");
    for (const std::string& type : NSWave::LibraryTypes(save))
        if (std::find(all.begin(), all.end(), type) == all.end())
            all.push_back(type);
    auto known = [&](const std::string& s) {
        return std::find(all.begin(), all.end(), s) != all.end();
    };
    std::vector<std::string> filters;
    for (const auto& family : Families)
        if (std::any_of(family.Suffixes.begin(), family.Suffixes.end(), known)) {
            filters.push_back(std::string(family.Name) + " (" + Patterns(family.Suffixes) + ")");
            for (const std::string& s : family.Suffixes)
                if (!known(s))
                    all.push_back(s);
        }
    filters.push_back(
        NSText::Fill(NSText::Tr("FileChoice", "All sound files (%1)"), {Patterns(all)}));
    filters.push_back(NSText::Tr("FileChoice", "All files (*)"));
    return filters;
}

int FilterIndexOf(const std::vector<std::string>& filters, const std::string& name) {
    for (size_t i = 0; i < filters.size(); ++i)
        if (filters[i].rfind(name + " (", 0) == 0)
            return int(i) + 1;
    return 1;
}

std::string ChooseOpenFile() {
    TFileDialogRequest request;
    request.Title = NSText::Tr("FileChoice", "Open Sound File");
    request.Filters = SoundFilters(false);
    request.FilterIndex = int(request.Filters.size()) - 1; // all sound files, before all files
    request.DefaultSuffix = "wav";
    request.Directory = LastDirSetting().Get();
    request.MustExist = true;
    std::string chosen = RunFileDialog(request);
    if (!chosen.empty())
        RememberDirectory(chosen);
    return chosen;
}

std::string ChooseSaveFile(const std::string& current) {
    TFileDialogRequest request;
    request.Save = true;
    request.Title = NSText::Tr("FileChoice", "Save Sound File");
    request.Filters = SoundFilters(true);
    request.FilterIndex = FilterIndexOf(request.Filters, "WAV");
    request.DefaultSuffix = "wav";
    size_t slash = current.rfind('/');
    size_t dot = current.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        std::string suffix = current.substr(dot);
        if (strcasecmp(suffix.c_str(), ".aif") == 0 || strcasecmp(suffix.c_str(), ".aiff") == 0) {
            request.FilterIndex = FilterIndexOf(request.Filters, "AIFF");
            request.DefaultSuffix = "aif";
        } else if (strcasecmp(suffix.c_str(), ".opus") == 0 && NSWave::CanSaveOpus()) {
            request.FilterIndex = FilterIndexOf(request.Filters, "Opus");
            request.DefaultSuffix = "opus";
        }
    }
    request.Directory = LastDirSetting().Get();
    request.FileName = current;
    request.PromptOverwrite = true;
    std::string chosen = RunFileDialog(request);
    if (!chosen.empty())
        RememberDirectory(chosen);
    return chosen;
}

void RememberDirectory(const std::string& chosen) {
    size_t slash = chosen.rfind('/');
    if (slash == std::string::npos)
        return;
    std::string dir = slash == 0 ? std::string("/") : chosen.substr(0, slash);
    if (NSDrives::IsTransient(dir))
        return;
    LastDirSetting().Set(dir);
}

} // namespace NSWaveWin
