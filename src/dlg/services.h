#pragma once
// The Qt faces of the services the lower layers ask for: message boxes, the
// wait cursor and file dialogs. The program installs them at start-up; tests
// install scripted ones instead.

#include "platform/filedlg.h"
#include "platform/msgbox.h"
#include "util/opstatus.h"

class QWidget;

class TQtMessageBoxes : public TMessageBoxService {
public:
    int Show(const TMessageBoxRequest& request) override;
};

class TQtCursor : public TCursorService {
public:
    int ShowWait() override;
    void Restore(int savedCursor) override;
};

class TQtFileDialogs : public TFileDialogService {
public:
    std::string Run(TFileDialogRequest& request) override;
};

// Installs the three for the program's lifetime.
void InstallQtServices();

// The window message boxes and file dialogs belong to: the active window.
QWidget* DialogOwner();
