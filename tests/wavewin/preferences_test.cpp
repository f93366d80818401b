// The keyboard's cursor and selection keys over random key sequences next
// to a model of an anchored selection, and the Preferences dialog: what it
// keeps, and what new sounds, the views and the Edit menu do with it.

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <random>

#include "undo/history.h"
#include "wavewin/dialogtest.h"
#include "wavewin/prefsdlg.h"
#include "wavewin/viewprefs.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

class PreferencesTest : public DialogTest {
protected:
    void TearDown() override {
        for (TSetting* s : std::initializer_list<TSetting*>{
                 &NSUndo::UndoLevelsSetting, &ArrowsMoveCursorSetting, &FollowPlaySetting,
                 &NewRateSetting, &NewSizeSetting, &NewChannelsSetting, &BackColorSetting,
                 &WaveColorSetting, &LegendColorSetting, &SelColorSetting})
            Forget(*s);
        DialogTest::TearDown();
    }
    std::mt19937 Random{5150};
    int Pick(int a, int b) { return std::uniform_int_distribution<int>(a, b)(Random); }
};

// The keys' ids and what each does: a move of the cursor or of the
// selection's moving end.
struct TKey {
    int Id;
    bool Extend;
    int Kind; // 0 start, 1 end, 2 screen back, 3 screen on, 4 pixel back, 5 pixel on
};
const TKey Keys[] = {{2210, false, 0},          {2211, false, 1},
                     {2212, true, 0},           {2213, true, 1},
                     {2214, false, 2},          {2215, false, 3},
                     {2216, true, 2},           {2217, true, 3},
                     {CmdScrollLeft, false, 4}, {CmdScrollRight, false, 5},
                     {CmdScrollStart, true, 4}, {CmdScrollEnd, true, 5}};

} // namespace

TEST_F(PreferencesTest, CursorKeysMoveAndExtendAnAnchoredSelection) {
    ArrowsMoveCursorSetting.Set(1);
    TWaveWin* w = Window({V(50000, 1), V(50000, 2)});
    w->SetScale(0.37);
    int64_t anchor = 0, moving = 0;
    Select(w, 0, 0, 1);
    for (int step = 0; step < 300; ++step) {
        const TKey& key = Keys[Pick(0, int(std::size(Keys)) - 1)];
        const int64_t length = 50000;
        const int64_t pixel = std::max<int64_t>(1, std::llround(1 / w->View().Zoom));
        const int64_t screen = std::max<int64_t>(1, int64_t(w->View().ViewWidth / w->View().Zoom));
        const int64_t deltas[] = {-length, length, -screen, screen, -pixel, pixel};
        moving = std::clamp<int64_t>(moving + deltas[key.Kind], 0, length);
        if (!key.Extend)
            anchor = moving;
        ASSERT_TRUE(w->IsEnabled(key.Id)) << key.Id;
        w->Command(key.Id);
        const TSampleRange want(uint32_t(std::min(anchor, moving)),
                                uint32_t(std::max(anchor, moving)), 1);
        ASSERT_EQ(w->Selected(), want) << "step " << step << " key " << key.Id;
        // The moving end stays in sight.
        const int64_t x = w->PixelOf(double(moving));
        ASSERT_TRUE(x >= 0 && x <= w->View().ViewWidth) << step;
    }
    // Without the preference the arrows scroll, as they always did.
    ArrowsMoveCursorSetting.Set(0);
    const TSampleRange before = w->Selected();
    w->ScrollHorizontally(TScroll::ToStart);
    w->Command(CmdScrollRight);
    EXPECT_EQ(w->Selected(), before);
    EXPECT_GT(w->View().ScrollX, 0);
    // Zoom to Selection fills the view with the selection.
    Select(w, 1000, 3000, AllChannels);
    w->Command(2220);
    EXPECT_NEAR(w->View().Zoom, double(w->View().ViewWidth) / 2000, 1e-9);
    EXPECT_EQ(w->View().ScrollX, int64_t(1000 * w->View().Zoom));
}

TEST_F(PreferencesTest, TheDialogKeepsItsValuesAndTheProgramFollowsThem) {
    TWaveWin* w = Window({V(100, 1)});
    const uint32_t classicBack = w->View().BackColor;
    EXPECT_FALSE(CommandShown(CmdRedo, w->CommandState()));
    bool reached = false;
    EXPECT_FALSE(Drive<TPrefsDlg>(w, CmdPreferences, [&](TPrefsDlg& d) {
        reached = true;
        // As a fresh install has them.
        EXPECT_EQ(d.UndoLevels->value(), 1);
        EXPECT_EQ(d.Rate->currentData().toInt(), 22050);
        EXPECT_EQ(d.Size->currentData().toInt(), 1);
        EXPECT_EQ(d.Channels->value(), 1);
        EXPECT_EQ(d.Scheme->currentText(), "Classic");
        EXPECT_TRUE(d.FollowPlay->isChecked());
        EXPECT_FALSE(d.ArrowsMove->isChecked());
        EXPECT_EQ(d.OpusBitrate->currentText(), "128 kbit/s");
        EXPECT_EQ(d.OpusBitrate->count(), 5);
        d.OpusBitrate->setCurrentIndex(d.OpusBitrate->findText("256 kbit/s"));
        d.TakeCdFormat();
        d.UndoLevels->setValue(20);
        d.FollowPlay->setChecked(false);
        d.Scheme->setCurrentIndex(2);
        d.accept();
    }));
    ASSERT_TRUE(reached);
    EXPECT_EQ(Stored("Undo\\Levels"), "20");
    EXPECT_EQ(Stored("NewSound\\Rate"), "44100");
    EXPECT_EQ(Stored("NewSound\\Size"), "2");
    EXPECT_EQ(Stored("NewSound\\Channels"), "2");
    EXPECT_EQ(Stored("View\\FollowPlayback"), "0");
    EXPECT_EQ(Stored("Save\\OpusBitrate"), "256");
    const TViewColors dark = SchemeColors(TColorScheme::Dark);
    EXPECT_EQ(StoredColors(), dark);
    EXPECT_EQ(w->View().BackColor, dark[0]);
    EXPECT_NE(w->View().BackColor, classicBack);
    EXPECT_TRUE(CommandShown(CmdRedo, w->CommandState()));
    // A new sound takes the format.
    TWaveWin* fresh = Open();
    EXPECT_EQ(fresh->Document.Rate, 44100);
    EXPECT_EQ(fresh->Document.Size, 2);
    EXPECT_EQ(fresh->Document.ChannelCount(), 2);
    // Opened again, the dialog shows the scheme by its name.
    EXPECT_TRUE(Drive<TPrefsDlg>(w, CmdPreferences, [&](TPrefsDlg& d) {
        EXPECT_EQ(d.Scheme->currentText(), "Dark");
        EXPECT_EQ(d.UndoLevels->value(), 20);
        EXPECT_EQ(d.OpusBitrate->currentText(), "256 kbit/s");
    }));
}
