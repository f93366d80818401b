// What assistive technology finds in a document window: every control named,
// of the right role and enabled as the window enables it; buttons reached by
// Tab and pressed with Space; the channel views' words and values over a
// random sequence of selections, cursor moves and playback. That each
// change is announced is read from the accessibility bus
// (tests/shell/atspi_test.cpp): offscreen, Qt announces nothing.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <random>

#include "dlg/dlgbar.h"
#include "wave/timefmt.h"
#include "wavewin/chanwin.h"
#include "wavewin/timeline.h"
#include "wavewin/transport.h"
#include "wavewin/wavewindlg.h"
#include "wavewintest.h"

using namespace NSWaveWin;
using NSWaveWinTest::WaveWinTest;

namespace {

// The role each kind of control must show.
QAccessible::Role ExpectedRole(QWidget* w) {
    if (dynamic_cast<TChannelWin*>(w))
        return QAccessible::Chart;
    if (dynamic_cast<TBVButton*>(w) || qobject_cast<QPushButton*>(w))
        return QAccessible::Button;
    if (dynamic_cast<TRecLevelWin*>(w) || dynamic_cast<TGaugeGadget*>(w))
        return QAccessible::ProgressBar;
    if (dynamic_cast<TBVGroup*>(w))
        return QAccessible::Grouping;
    if (dynamic_cast<TDlgStatusBar*>(w))
        return QAccessible::StatusBar;
    if (dynamic_cast<TDlgControlBar*>(w))
        return QAccessible::ToolBar;
    if (dynamic_cast<TTimeLine*>(w) || dynamic_cast<TTextGadget*>(w))
        return QAccessible::StaticText;
    if (qobject_cast<QScrollBar*>(w))
        return QAccessible::ScrollBar;
    if (qobject_cast<QSlider*>(w))
        return QAccessible::Slider;
    if (dynamic_cast<TWaveWin*>(w))
        return QAccessible::Client;
    if (dynamic_cast<TWaveWinDlg*>(w))
        return QAccessible::Dialog;
    return QAccessible::NoRole;
}

void CheckEveryControl(TWaveWinDlg* dialog, const char* state) {
    SCOPED_TRACE(state);
    QList<QWidget*> widgets = dialog->findChildren<QWidget*>();
    widgets.prepend(dialog);
    int checked = 0;
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(dialog) && w != dialog)
            continue;
        const std::string kind = typeid(*w).name();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_TRUE(iface) << kind;
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << kind;
        EXPECT_EQ(iface->role(), ExpectedRole(w)) << kind;
        EXPECT_EQ(bool(iface->state().disabled), !w->isEnabled())
            << kind << " " << iface->text(QAccessible::Name).toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 30);
}

// The words a channel view must say, worked out from the window's state.
QString Expected(TWaveWin* w, int channel) {
    const double rate = w->Document.Rate;
    auto s = [&](uint32_t samples) {
        return QString::fromStdString(NSWave::FormatSeconds(samples / rate));
    };
    const TSampleRange& sel = w->Selected();
    if (w->Engine.State() == NSWave::TDeviceState::Playing)
        return "Playing at " + s(sel.Start) + " seconds, from " + s(w->PlayRange().Start) +
               " to " + s(w->PlayRange().End);
    if (!sel.Valid)
        return "Nothing selected";
    if (sel.Channel != AllChannels && sel.Channel != channel)
        return QStringLiteral("Nothing selected here: the selection is on channel %1")
            .arg(sel.Channel + 1);
    if (sel.Start == sel.End)
        return "Cursor at " + s(sel.Start) + " seconds";
    return "Selected from " + s(sel.Start) + " to " + s(sel.End) + " seconds, " +
           s(sel.End - sel.Start) + " seconds long";
}

} // namespace

TEST_F(WaveWinTest, EveryControlIsNamedOfItsRoleAndEnabledAsTheWindowSays) {
    TWaveWin* w = Open(MakeSound("two.wav", 2, 30000));
    ASSERT_TRUE(w->Dialog);
    CheckEveryControl(w->Dialog, "loaded");
    w->SetSelection(TSampleRange(100, 5000, 1));
    CheckEveryControl(w->Dialog, "selected");
    w->Command(CmdPlay);
    CheckEveryControl(w->Dialog, "playing");
    w->Command(CmdStop);

    // The read-out's values are labelled by their captions.
    QAccessibleInterface* start = QAccessible::queryAccessibleInterface(w->StartGadget);
    EXPECT_EQ(start->text(QAccessible::Name), "Start");
    EXPECT_EQ(start->text(QAccessible::Value), w->StartGadget->Text());
    const auto labels = start->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Start");
    EXPECT_EQ(labels[0].first->role(), QAccessible::StaticText);
}

TEST_F(WaveWinTest, ButtonsAreReachedWithTabAndPressedWithSpace) {
    TWaveWin* w = Open(MakeSound("one.wav", 1, 30000));
    w->Dialog->activateWindow();
    w->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w->Dialog->window()));
    // Tab goes from the channels through the buttons; a click leaves the
    // focus where it was.
    int buttons = 0;
    for (int k = 0; k < 40 && buttons < 3; ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (dynamic_cast<TBVButton*>(QApplication::focusWidget()))
            ++buttons;
    }
    EXPECT_EQ(buttons, 3);
    for (TBVButton* b : w->Dialog->Buttons())
        EXPECT_EQ(b->focusPolicy(), Qt::TabFocus);

    TBVButton* add = nullptr;
    for (TBVButton* b : w->Dialog->Buttons())
        if (b->Command() == CmdAddTrack)
            add = b;
    ASSERT_TRUE(add);
    add->setFocus(Qt::TabFocusReason);
    QTest::keyClick(add, Qt::Key_Space);
    EXPECT_EQ(w->Document.ChannelCount(), 2);
    EXPECT_EQ(w->Engine.State(), NSWave::TDeviceState::Idle);
    // The focus shows on the button.
    EXPECT_TRUE(add->hasFocus());
}

TEST_F(WaveWinTest, ChannelViewsSayWhereTheSelectionAndPlayAreAsTheyMove) {
    TWaveWin* w = Open(MakeSound("three.wav", 3, 44100, 22050));
    std::mt19937 random(4711);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };
    for (int view = 0; view < 3; ++view) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w->Views()[view]);
        EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Channel %1 of 3").arg(view + 1));
    }
    for (int step = 0; step < 300; ++step) {
        const int what = pick(0, 9);
        const uint32_t a = uint32_t(pick(0, 44100)), b = uint32_t(pick(0, 44100));
        const int channel = pick(-1, 2);
        if (what <= 3) {
            w->SetSelection(
                TSampleRange(std::min(a, b), std::max(a, b), channel < 0 ? AllChannels : channel));
        } else if (what == 4) {
            w->Command(CmdDeselect);
        } else if (what == 5) {
            // A screen reader moves the cursor by setting a view's value.
            const int view = pick(0, 2);
            QAccessible::queryAccessibleInterface(w->Views()[view])
                ->valueInterface()
                ->setCurrentValue(a / 22050.0);
            if (w->Engine.State() == NSWave::TDeviceState::Idle) {
                EXPECT_EQ(w->Selected(), TSampleRange(a, a, view));
            }
        } else if (what == 6) {
            w->Command(CmdPlay);
        } else if (what == 7) {
            Card.PlayBlocks(pick(1, 3));
            Deliver();
        } else {
            w->Command(CmdStop);
        }
        for (int view = 0; view < 3; ++view) {
            SCOPED_TRACE(testing::Message() << "step " << step << " view " << view);
            QObject* object = w->Views()[view];
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
            const QString text = iface->text(QAccessible::Value);
            ASSERT_EQ(text, Expected(w, view));
            QAccessibleTextInterface* words = iface->textInterface();
            ASSERT_TRUE(words);
            EXPECT_EQ(words->text(0, words->characterCount()), text);
            const double now = iface->valueInterface()->currentValue().toDouble();
            EXPECT_DOUBLE_EQ(now, w->Selected().Valid ? w->Selected().Start / 22050.0 : 0.0);
        }
    }
    w->Command(CmdStop);
}
