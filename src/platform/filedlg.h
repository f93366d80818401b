#pragma once
// File dialogs: the program states what it asks (title, filters, start
// directory, proposed name) and gets a chosen name back, or nothing. The GUI
// installs the real dialog; tests install scripted answers, so nothing ever
// waits for a person.

#include <string>
#include <vector>

#include "platform/installed.h"

struct TFileDialogRequest {
    bool Save = false;
    std::string Title;
    // Each "Description (*.a *.b)", in order.
    std::vector<std::string> Filters;
    // 1-based index of the filter shown first; the chosen one on return.
    int FilterIndex = 1;
    // Appended to a typed name that has no suffix ("wav").
    std::string DefaultSuffix;
    std::string Directory;
    std::string FileName;
    bool MustExist = false;
    bool PromptOverwrite = false;
};

class TFileDialogService : public TInstalled<TFileDialogService> {
public:
    virtual ~TFileDialogService() = default;
    // The chosen name; empty when the user cancelled.
    virtual std::string Run(TFileDialogRequest& request) = 0;
};

// Runs the installed dialog; without one, nothing is chosen.
std::string RunFileDialog(TFileDialogRequest& request);
