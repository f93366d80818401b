#include "platform/msgbox.h"

#include <cstdio>

namespace {
TMessageBoxService* Service = nullptr;
}

TMessageBoxService* TMessageBoxService::Install(TMessageBoxService* service) {
    TMessageBoxService* before = Service;
    Service = service;
    return before;
}

TMessageBoxService* TMessageBoxService::Current() {
    return Service;
}

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
    if (Service)
        return Service->Show(request);
    std::fprintf(stderr, "%s: %s\n", request.Caption.c_str(), request.Text.c_str());
    switch (request.Buttons) {
    case TMsgButtons::YesNo:
    case TMsgButtons::YesNoCancel:
        return IdYes;
    default:
        return IdOk;
    }
}
