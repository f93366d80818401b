#include "wavewin/filechoice.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

#include "platform/drives.h"
#include "platform/filedlg.h"
#include "util/settings.h"
#include "wave/formats.h"

namespace NSWaveWin {

namespace {

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

std::string Patterns(const std::vector<std::string>& suffixes) {
    std::string text;
    for (const std::string& s : suffixes) {
        for (const std::string& form : {s, Upper(s)}) {
            if (!text.empty())
                text += ' ';
            text += "*." + form;
        }
    }
    return text;
}

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
    for (const std::string& type : NSWave::LibraryTypes(save))
        if (std::find(all.begin(), all.end(), type) == all.end())
            all.push_back(type);
    return {
        "All Sound files (" + Patterns(all) + ")",
        "Windows sound files (" + Patterns({"wav"}) + ")",
        "AIFF Apple IIc/IIgs and SGI (" + Patterns({"aiff", "aif"}) + ")",
        "All files (*)",
    };
}

std::string ChooseOpenFile() {
    TFileDialogRequest request;
    request.Title = "Open Sound File";
    request.Filters = SoundFilters(false);
    request.FilterIndex = 1;
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
    request.Title = "Save Sound File";
    request.Filters = SoundFilters(true);
    request.FilterIndex = 2;
    request.DefaultSuffix = "wav";
    size_t slash = current.rfind('/');
    size_t dot = current.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        std::string suffix = current.substr(dot);
        if (strcasecmp(suffix.c_str(), ".aif") == 0 || strcasecmp(suffix.c_str(), ".aiff") == 0) {
            request.FilterIndex = 3;
            request.DefaultSuffix = "aif";
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
