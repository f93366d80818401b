#pragma once
// Dialogs opened through a window's command and driven from the test while
// they run modally: the test reaches the dialog once its event loop runs,
// fills it and presses its buttons; a dialog the test leaves open is
// cancelled afterwards.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <string>

#include "dlg/stddlg.h"
#include "platform/registry.h"
#include "util/settings.h"
#include "wavewin/edittest.h"

namespace NSWaveWinTest {

class DialogTest : public EditTest {
protected:
    // Runs command `id` of `w`; `drive` receives the dialog it opens. Returns
    // whether the dialog was still open when `drive` was done.
    template <class TDialog>
    bool Drive(NSWaveWin::TWaveWin* w, int id, const std::function<void(TDialog&)>& drive) {
        bool reached = false;
        bool leftOpen = false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = dynamic_cast<TDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "the command opened no dialog of that kind";
                if (QWidget* other = QApplication::activeModalWidget())
                    other->close();
                return;
            }
            reached = true;
            drive(*dialog);
            if (dialog->isVisible()) {
                leftOpen = true;
                dialog->reject();
            }
        });
        timer.start(0);
        w->Command(id);
        EXPECT_TRUE(reached) << "command " << id;
        return leftOpen;
    }

    static void Press(TStdDlg& dialog, int id) {
        auto* button = qobject_cast<QAbstractButton*>(dialog.Control(id));
        ASSERT_TRUE(button) << id;
        button->click();
    }
    static void Ok(TStdDlg& dialog) { Press(dialog, 1); }
    static void Cancel(TStdDlg& dialog) { Press(dialog, 2); }

    static std::string TextOf(TStdDlg& dialog, int id) {
        QWidget* control = dialog.Control(id);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            return edit->text().toStdString();
        return control ? control->property("text").toString().toStdString() : "(none)";
    }
    static void Type(TStdDlg& dialog, int id, const char* text) {
        auto* edit = qobject_cast<QLineEdit*>(dialog.Control(id));
        ASSERT_TRUE(edit) << id;
        edit->setText(QString::fromLatin1(text));
    }

    // What the settings store holds for a setting's name.
    static std::string Stored(const std::string& name) {
        const size_t slash = name.rfind('\\');
        char text[256] = {};
        uint32_t type = 0, size = sizeof text;
        if (NSRegistry::QueryValue(std::string(NSRegistry::AppRoot) + "\\" + name.substr(0, slash),
                                   name.substr(slash + 1), &type, text,
                                   &size) != NSRegistry::Success)
            return "(missing)";
        return text;
    }
    // Empties a setting in the store; its object reads it again at next use.
    static void Forget(TSetting& setting) {
        const std::string& name = setting.GetName();
        const size_t slash = name.rfind('\\');
        NSRegistry::SetValue(std::string(NSRegistry::AppRoot) + "\\" + name.substr(0, slash),
                             name.substr(slash + 1), "");
        setting.Unload();
    }
};

} // namespace NSWaveWinTest
