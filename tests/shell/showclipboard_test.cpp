// Show Clipboard: a new window showing exactly the sound on the clipboard.

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>

#include "platform/audio_virtual.h"
#include "shell/appframe.h"
#include "support/scriptedmsgbox.h"
#include "wave/file.h"
#include "wavewin/chanwin.h"
#include "wavewin/commands.h"
#include "wavewin/wavewin.h"

using namespace NSWaveWin;

TEST(ShowClipboard, OpensANewWindowWithExactlyTheClipboardSoundFitted) {
    NSAudio::TVirtualCard::Instance().Clear();
    TScriptedMessageBoxes boxes;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // 44,100 Hz stereo 16-bit, as another program puts it on the clipboard.
    const uint32_t length = 5000;
    NSWave::TFile clip(44100, 2, 2, 2);
    clip.SetSize(length, 2);
    for (int c = 0; c < 2; ++c)
        for (uint32_t i = 0; i < length; ++i)
            clip.Channel(c).MutableSamples(0)[i] = int32_t(int16_t(i * (c + 3))) << 16;
    const QString path = folder.filePath("clip.wav");
    clip.Save(path.toStdString());
    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    auto* data = new QMimeData;
    data->setData("audio/wav", in.readAll());
    QGuiApplication::clipboard()->setMimeData(data);

    TAppFrame frame;
    frame.show();
    frame.Command(CmdShowClipboard);
    TWaveWin* w = frame.ActiveWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Document.Rate, 44100);
    EXPECT_EQ(w->Document.Size, 2);
    ASSERT_EQ(w->Document.ChannelCount(), 2);
    for (int c = 0; c < 2; ++c) {
        ASSERT_EQ(w->Document.Channel(c).Count, length);
        EXPECT_TRUE(std::equal(clip.Channel(c).Samples, clip.Channel(c).Samples + length,
                               w->Document.Channel(c).Samples));
    }
    EXPECT_FALSE(w->Selected().Valid);
    EXPECT_NEAR(w->View().Zoom, double(w->View().ViewWidth) / length * 0.9, 1e-9);
    EXPECT_EQ(w->FormatButton->text().toStdString(), "16 bit/44.1 kHz");
    // The pasted sound can be taken back like any paste.
    EXPECT_TRUE(frame.Action(CmdUndo)->isEnabled());
    frame.Command(CmdUndo);
    EXPECT_EQ(w->Document.GetLength(), 0u);
    EXPECT_FALSE(w->IsModified());
    // Sound pasted into a sound that holds samples is converted to it.
    frame.Command(CmdUndo);
    frame.Command(CmdShowClipboard);
    ASSERT_NE(frame.ActiveWindow(), w);
    auto* mono = new QMimeData;
    NSWave::TFile one(8000, 2, 2, 1);
    one.SetSize(800, 1);
    const QString onePath = folder.filePath("one.wav");
    one.Save(onePath.toStdString());
    QFile oneIn(onePath);
    ASSERT_TRUE(oneIn.open(QIODevice::ReadOnly));
    mono->setData("audio/x-wav", oneIn.readAll());
    QGuiApplication::clipboard()->setMimeData(mono);
    w->Command(CmdPaste);
    EXPECT_EQ(w->Document.Rate, 44100);
    EXPECT_EQ(w->Document.Channel(1).Count, length + 800 * 44100 / 8000);

    // Six channels shown in a window beside another: all of them in its
    // height, the whole sound in its width.
    NSWave::TFile six(8000, 2, 2, 6);
    six.SetSize(800, 6);
    const QString sixPath = folder.filePath("six.wav");
    six.Save(sixPath.toStdString());
    QFile sixIn(sixPath);
    ASSERT_TRUE(sixIn.open(QIODevice::ReadOnly));
    auto* many = new QMimeData;
    many->setData("audio/x-wav", sixIn.readAll());
    QGuiApplication::clipboard()->setMimeData(many);
    frame.Command(CmdShowClipboard);
    TWaveWin* shown = frame.ActiveWindow();
    ASSERT_EQ(shown->Document.ChannelCount(), 6);
    QCoreApplication::processEvents();
    for (int c = 0; c < 6; ++c)
        EXPECT_TRUE(shown->rect().contains(shown->Views()[c]->geometry()))
            << c << " " << shown->View().ChannelHeight << " " << shown->height();
    EXPECT_LE(shown->PixelOf(800), shown->View().ViewWidth);

    QGuiApplication::clipboard()->clear();
    frame.UpdateActions();
    EXPECT_FALSE(frame.Action(CmdPaste)->isEnabled());
    for (TWaveWin* window : TWaveWin::Windows())
        window->SetModified(false);
}
