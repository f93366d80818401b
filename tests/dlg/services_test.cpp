// The Qt message box behind the message-box service: its buttons, texts of
// their own, and the answer codes they give.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "dlg/services.h"

namespace {

// Shows `request` in the Qt box and lets `act` work the box once it is up.
int ShowAndAct(const TMessageBoxRequest& request, std::function<void(QMessageBox*)> act) {
    QTimer::singleShot(0, [act] {
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                box = b;
        ASSERT_NE(box, nullptr);
        act(box);
        if (box->isVisible()) // a failed check must not leave it waiting
            box->reject();
    });
    return TQtMessageBoxes().Show(request);
}

QStringList Texts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* b : box->buttons())
        texts << b->text().remove('&');
    texts.sort();
    return texts;
}

} // namespace

TEST(QtMessageBox, ButtonsMayCarryTextsOfTheirOwnAndKeepTheirAnswers) {
    TMessageBoxRequest request;
    request.Text = "A recording of 2 minutes 5 seconds from today was not saved. Recover it?";
    request.Caption = "Brimvale";
    request.Buttons = TMsgButtons::YesNoCancel;
    request.Icon = TMsgIcon::Question;
    request.ButtonTexts = {"", "", "Later"};

    QStringList seen;
    EXPECT_EQ(ShowAndAct(request,
                         [&](QMessageBox* box) {
                             seen = Texts(box);
                             EXPECT_EQ(box->text().toStdString(), request.Text);
                             EXPECT_EQ(box->windowTitle(), "Brimvale");
                             box->button(QMessageBox::Cancel)->click();
                         }),
              IdCancel);
    EXPECT_EQ(seen, QStringList({"Later", "No", "Yes"}));
    // Escape is the third button, so closing the box keeps the recording.
    EXPECT_EQ(ShowAndAct(request, [](QMessageBox* box) { box->reject(); }), IdCancel);
    EXPECT_EQ(ShowAndAct(request, [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); }),
              IdYes);

    // Without texts of their own the buttons keep the standard ones.
    request.ButtonTexts.clear();
    EXPECT_EQ(ShowAndAct(request,
                         [&](QMessageBox* box) {
                             seen = Texts(box);
                             box->button(QMessageBox::No)->click();
                         }),
              IdNo);
    EXPECT_EQ(seen, QStringList({"Cancel", "No", "Yes"}));
}
