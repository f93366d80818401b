#pragma once
// Document windows under test: a multiple-document area to open them in, the
// virtual sound card, scripted message boxes and file dialogs, and sound
// files made for the test in a folder that goes with it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio_virtual.h"
#include "support/scriptedfiledialog.h"
#include "support/scriptedmsgbox.h"
#include "wave/device.h"
#include "wave/file.h"
#include "wavewin/probe.h"
#include "wavewin/wavewin.h"

namespace NSWaveWinTest {

class WaveWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        Card.Clear();
        Area = std::make_unique<QMdiArea>();
        Area->resize(1000, 700);
        Area->show();
        ASSERT_TRUE(Folder.isValid());
    }

    void TearDown() override {
        // Discard every window without questions.
        for (NSWaveWin::TWaveWin* window : NSWaveWin::TWaveWin::Windows())
            window->SetModified(false);
        Area.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(NSWave::ActiveDocument(), nullptr);
        Card.Clear();
    }

    // A document window in the test's area, loading `name` (empty: new).
    NSWaveWin::TWaveWin* Open(const std::string& name = std::string(), bool maximise = true) {
        return NSWaveWin::TWaveWin::Open(Area.get(), name, maximise);
    }

    // A path in the test's own folder.
    std::string Path(const std::string& name) const {
        return (Folder.path() + "/" + QString::fromStdString(name)).toStdString();
    }

    // Writes a sound file of `channels` × `length` samples, sample i of
    // channel c being value(c, i) (full-scale 32-bit), at `rate` with size
    // code `size`.
    std::string MakeSound(const std::string& name, int channels, uint32_t length, int rate = 22050,
                          int size = 2, std::function<int32_t(int, uint32_t)> value = nullptr) {
        NSWave::TFile file(rate, 2, size, channels);
        file.SetSize(length, channels);
        for (int c = 0; c < channels; ++c)
            for (uint32_t i = 0; i < length; ++i)
                file.Channel(c).MutableSamples(0)[i] =
                    value ? value(c, i) : int32_t((int64_t(i % 200) - 100) << 24);
        std::string path = Path(name);
        file.Save(path);
        return path;
    }

    // Delivers the sound card's waiting notices.
    static void Deliver() { NSWave::TWaveHook::Instance().ProcessWaiting(); }

    NSAudio::TVirtualCard& Card = NSAudio::TVirtualCard::Instance();
    std::unique_ptr<QMdiArea> Area;
    QTemporaryDir Folder;
    TScriptedMessageBoxes Boxes;
    TScriptedFileDialogs Dialogs;
};

} // namespace NSWaveWinTest
