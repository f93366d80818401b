#pragma once
// Scripted answers to file dialogs, like the scripted message boxes: a test
// says which dialog it expects and what the user chooses; any other dialog
// fails the test and is cancelled.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/filedlg.h"

class TScriptedFileDialogs : public TFileDialogService {
public:
    TScriptedFileDialogs() { Before = Install(this); }
    ~TScriptedFileDialogs() override {
        Install(Before);
        for (const auto& e : Expected)
            ADD_FAILURE() << "expected file dialog never shown: " << e.Title;
    }

    // The next dialog's title must contain `title`; the user picks `choice`
    // (empty: Cancel) with the filter `filterIndex` (0: as offered).
    void Expect(const std::string& title, const std::string& choice, int filterIndex = 0) {
        Expected.push_back({title, choice, filterIndex});
    }

    std::string Run(TFileDialogRequest& request) override {
        Shown.push_back(request);
        if (Expected.empty()) {
            ADD_FAILURE() << "unexpected file dialog: " << request.Title;
            return std::string();
        }
        auto e = Expected.front();
        Expected.pop_front();
        EXPECT_NE(request.Title.find(e.Title), std::string::npos)
            << "dialog shown: " << request.Title << "\nexpected: " << e.Title;
        if (e.FilterIndex)
            request.FilterIndex = e.FilterIndex;
        return e.Choice;
    }

    std::vector<TFileDialogRequest> Shown;

private:
    struct TExpected {
        std::string Title;
        std::string Choice;
        int FilterIndex;
    };
    std::deque<TExpected> Expected;
    TFileDialogService* Before = nullptr;
};
