// The Effect menu ends with Other Effect, which opens its dialog for the
// active document.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/audio_virtual.h"
#include "shell/app.h"
#include "support/scriptedmsgbox.h"
#include "wave/file.h"
#include "wavewin/commands.h"
#include "wavewin/othereffectdlg.h"
#include "wavewin/wavewin.h"

using namespace NSWaveWin;

TEST(EffectMenu, OtherEffectComesLastAndOpensItsDialog) {
    NSAudio::TVirtualCard::Instance().Clear();
    TScriptedMessageBoxes boxes;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    NSWave::TFile sound(22050, 2, 2, 1);
    sound.SetSize(1000, 1);
    const QString path = folder.filePath("a.wav");
    sound.Save(path.toStdString());

    TApp app(TAppOptions{0});
    app.Start({path});
    QMenu* effect = app.Frame()->Menu(5);
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->title(), "&Effect");
    const QList<QAction*> items = effect->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    EXPECT_EQ(items.back(), app.Frame()->Action(CmdOtherEffect));
    EXPECT_EQ(items.back()->text(), "Other &Effect...");
    EXPECT_TRUE(items.back()->isEnabled());

    bool opened = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<TOtherEffectDlg*>(QApplication::activeModalWidget());
        opened = dialog && !dialog->Effects().empty();
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    timer.start(0);
    items.back()->trigger();
    EXPECT_TRUE(opened);
    EXPECT_FALSE(app.Frame()->ActiveWindow()->IsModified());
}
