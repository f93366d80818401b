// The Qt message box behind the message-box service: its buttons, texts of
// their own, and the answer codes they give; the Qt file dialog's suffixes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
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

// The Qt file dialog of Save As: a name typed without a suffix takes that of
// the type the user chose in the list, and the default with "All files".
TEST(QtFileDialog, ANameWithoutSuffixTakesTheChosenType) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& [chosen, expected] :
         {std::pair{1, "take.opus"}, std::pair{2, "take.wav"}, std::pair{-1, "take.wav"}}) {
        TFileDialogRequest request;
        request.Save = true;
        request.Title = "Save Sound File";
        request.Filters = {"WAV (*.wav)", "Opus (*.opus)", "All files (*)"};
        request.DefaultSuffix = "wav";
        request.Directory = dir.path().toStdString();
        QTimer::singleShot(0, [chosen] {
            QFileDialog* dialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible())
                    dialog = d;
            ASSERT_NE(dialog, nullptr);
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (types && name) {
                // As the user picks an entry: the list's own signals.
                if (chosen >= 0) {
                    types->setCurrentIndex(chosen);
                    emit types->activated(chosen);
                    emit types->textActivated(types->itemText(chosen));
                }
                name->setText("take");
                QMetaObject::invokeMethod(dialog, "accept");
                return;
            }
            ADD_FAILURE() << "no type list or name field";
            dialog->reject();
        });
        const std::string file = TQtFileDialogs().Run(request);
        EXPECT_EQ(file, dir.filePath(expected).toStdString()) << chosen;
    }
}
