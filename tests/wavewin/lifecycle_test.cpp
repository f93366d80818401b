// The document window's life: titles, loading, saving, closing.

#include <QMdiSubWindow>
#include <QPushButton>
#include <fstream>

#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using NSWaveWinTest::WaveWinTest;

namespace {

std::string Caption(TWaveWin* w) {
    return w->Child->windowTitle().toStdString();
}

} // namespace

TEST_F(WaveWinTest, UntitledWindowsAreNumberedAndNumbersAreNeverReused) {
    const int first = TWaveWin::NextUntitledNumber();
    TWaveWin* a = Open();
    TWaveWin* b = Open();
    EXPECT_EQ(Caption(a), "Sound " + std::to_string(first));
    EXPECT_EQ(Caption(b), "Sound " + std::to_string(first + 1));
    b->Child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TWaveWin* c = Open();
    EXPECT_EQ(Caption(c), "Sound " + std::to_string(first + 2));
    // A new sound: 8-bit, 22050 samples a second, one empty channel.
    EXPECT_EQ(a->FormatButton->text().toStdString(), "8 bit/22.05 kHz");
    EXPECT_EQ(a->Document.ChannelCount(), 1);
    EXPECT_EQ(a->Document.GetLength(), 0u);
    EXPECT_FALSE(a->IsModified());
}
