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
    if (Service)
        return Service->Show({text, caption, buttons, icon});
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    switch (buttons) {
    case TMsgButtons::YesNo:
    case TMsgButtons::YesNoCancel:
        return IdYes;
    default:
        return IdOk;
    }
}
