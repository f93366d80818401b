#include "platform/filedlg.h"

namespace {
TFileDialogService* Service = nullptr;
}

TFileDialogService* TFileDialogService::Install(TFileDialogService* service) {
    TFileDialogService* before = Service;
    Service = service;
    return before;
}

TFileDialogService* TFileDialogService::Current() {
    return Service;
}

std::string RunFileDialog(TFileDialogRequest& request) {
    return Service ? Service->Run(request) : std::string();
}
