#include "platform/filedlg.h"

std::string RunFileDialog(TFileDialogRequest& request) {
    TFileDialogService* service = TFileDialogService::Current();
    return service ? service->Run(request) : std::string();
}
