#include "platform/msgbox.h"

#include <cstdio>

int ShowMessageBox(const std::string& text, const std::string& caption, TMsgButtons buttons,
                   TMsgIcon icon) {
    TMessageBoxRequest request;
    request.Text = text;
    request.Caption = caption;
    request.Buttons = buttons;
    request.Icon = icon;
    return ShowMessageBox(request);
}

int ShowMessageBox(const TMessageBoxRequest& request) {
    if (TMessageBoxService* service = TMessageBoxService::Current())
        return service->Show(request);
    std::fprintf(stderr, "%s: %s\n", request.Caption.c_str(), request.Text.c_str());
    switch (request.Buttons) {
    case TMsgButtons::YesNo:
    case TMsgButtons::YesNoCancel:
        return IdYes;
    default:
        return IdOk;
    }
}
