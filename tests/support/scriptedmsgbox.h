#pragma once
// Scripted answers to message boxes. A test says which messages it expects
// and how to answer them; any other message fails the test and is answered
// Cancel, so nothing ever waits for a person.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/msgbox.h"

class TScriptedMessageBoxes : public TMessageBoxService {
public:
    TScriptedMessageBoxes() { Before = Install(this); }
    ~TScriptedMessageBoxes() override {
        Install(Before);
        for (const auto& e : Expected)
            ADD_FAILURE() << "expected message never shown: " << e.Text;
    }

    // The next message must contain `text`; it is answered `answer`.
    void Expect(const std::string& text, int answer) { Expected.push_back({text, answer}); }

    int Show(const TMessageBoxRequest& request) override {
        Shown.push_back(request);
        if (Expected.empty()) {
            ADD_FAILURE() << "unexpected message: " << request.Caption << ": " << request.Text;
            return IdCancel;
        }
        auto e = Expected.front();
        Expected.pop_front();
        EXPECT_NE(request.Text.find(e.Text), std::string::npos)
            << "message shown: " << request.Text << "\nexpected: " << e.Text;
        return e.Answer;
    }

    std::vector<TMessageBoxRequest> Shown;

private:
    struct TExpected {
        std::string Text;
        int Answer;
    };
    std::deque<TExpected> Expected;
    TMessageBoxService* Before = nullptr;
};
