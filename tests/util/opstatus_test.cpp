#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "util/opstatus.h"

namespace {

// Records everything the reporter shows.
struct TRecorder : TTextTarget, TGaugeTarget, TRepaintTarget, TCursorService {
    std::vector<std::string> Texts;
    int Gauge = 0;
    int GaugePaints = 0;
    int Repaints = 0;
    int Cursor = 1; // 1 normal, 2 wait
    int WaitShown = 0;

    void SetText(const std::string& text) override { Texts.push_back(text); }
    int Value() const override { return Gauge; }
    void SetValue(int percent) override {
        Gauge = percent;
        ++GaugePaints;
    }
    void RepaintNow() override { ++Repaints; }
    int ShowWait() override {
        ++WaitShown;
        int saved = Cursor;
        Cursor = 2;
        return saved;
    }
    void Restore(int saved) override { Cursor = saved; }

    TStatusTarget Target() { return {this, this, this}; }
};

class OpStatus : public ::testing::Test {
protected:
    void SetUp() override { TCursorService::Install(&R); }
    void TearDown() override { TCursorService::Install(nullptr); }
    TRecorder R;
};

TEST_F(OpStatus, EmptyCaptionShowsWaitCursorAndClearsOnDestruction) {
    {
        TOpStatus status("", R.Target());
        EXPECT_TRUE(R.Texts.empty());
        EXPECT_EQ(status.Percent, -1);
        EXPECT_EQ(R.Cursor, 2);
    }
    ASSERT_EQ(R.Texts.size(), 1u);
    EXPECT_EQ(R.Texts.back(), "");
    EXPECT_EQ(R.Gauge, 0);
    EXPECT_EQ(R.Cursor, 1);
}

TEST_F(OpStatus, SameValueRepaintsGaugeOnce) {
    TOpStatus status("Processing...", R.Target());
    EXPECT_EQ(R.Texts.back(), "Processing...");
    int before = R.Repaints;
    for (int i = 0; i < 1000; ++i)
        status.SetPercent(37);
    EXPECT_EQ(R.GaugePaints, 1);
    EXPECT_EQ(R.Repaints, before + 1);
    EXPECT_EQ(R.Gauge, 37);
    status.SetText("Filtering...", 40);
    EXPECT_EQ(R.Gauge, 40);
    EXPECT_EQ(status.Percent, 40);
}

TEST_F(OpStatus, WithoutGaugeCaptionsStillAppearAndPercentIsOnlyStored) {
    TStatusTarget target{&R, nullptr, &R};
    TOpStatus status("Saving: a.wav", target);
    status.SetPercent(50);
    EXPECT_EQ(status.Percent, 50);
    EXPECT_EQ(R.GaugePaints, 0);
    EXPECT_EQ(R.Texts.back(), "Saving: a.wav");
}

TEST_F(OpStatus, ThrowingOperationStillClearsCaptionAndRestoresCursor) {
    try {
        TOpStatus status("Loading: x.wav", R.Target());
        status.SetPercent(70);
        throw std::runtime_error("failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(R.Texts.back(), "");
    EXPECT_EQ(R.Gauge, 0);
    EXPECT_EQ(R.Cursor, 1);
}

TEST(OpStatusAlone, WorksWithNothingAttached) {
    TOpStatus status("Reversing...");
    status.SetPercent(10);
    EXPECT_EQ(status.Text, "Reversing...");
    EXPECT_EQ(StatusBase(&status), 10);
    EXPECT_EQ(StatusBase(nullptr), 0);
}

} // namespace
