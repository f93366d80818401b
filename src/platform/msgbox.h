#pragma once
// Message boxes: a text, a caption, buttons and an icon in; the answer code
// out. The GUI installs the real service at start-up; tests install scripted
// answers. Without a service the text goes to standard error and the answer
// is the first button's.

#include <string>
#include <vector>

#include "platform/installed.h"

enum TMsgAnswer { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };

enum class TMsgIcon { None, Information, Warning, Error, Question };

struct TMessageBoxRequest {
    std::string Text;
    std::string Caption;
    TMsgButtons Buttons = TMsgButtons::Ok;
    TMsgIcon Icon = TMsgIcon::None;
    // Texts that replace the standard buttons' texts, in button order (Yes,
    // No, Cancel); missing or empty ones keep the standard text. The answer
    // codes stay those of the standard buttons.
    std::vector<std::string> ButtonTexts = {};
};

class TMessageBoxService : public TInstalled<TMessageBoxService> {
public:
    virtual ~TMessageBoxService() = default;
    virtual int Show(const TMessageBoxRequest& request) = 0;
};

int ShowMessageBox(const std::string& text, const std::string& caption,
                   TMsgButtons buttons = TMsgButtons::Ok, TMsgIcon icon = TMsgIcon::None);
int ShowMessageBox(const TMessageBoxRequest& request);
