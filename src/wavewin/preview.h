#pragma once
// An effect heard before it is made: the first seconds of a range copied
// into a scratch document, changed there by the same code Ok runs, and
// played from that copy by an engine of its own. The document, its
// modified flag and its undo history never see it.

#include <functional>
#include <memory>

#include "util/settings.h"
#include "wave/samplerange.h"

class TOpStatus;

namespace NSWave {
class TFile;
class TPlayRecEngine;
} // namespace NSWave

namespace NSWaveWin {

class TWaveWin;

// A change made to `doc` over `range`; throws xmsg. On Ok `doc` is the
// window's document, in a preview the scratch copy.
using TEffectChange =
    std::function<void(NSWave::TFile& doc, const TSampleRange& range, TOpStatus& status)>;

class TEffectPreview {
public:
    // Seconds a preview plays at most.
    static TValueSetting SecondsSetting;

    explicit TEffectPreview(TWaveWin& window);
    ~TEffectPreview();
    TEffectPreview(const TEffectPreview&) = delete;
    TEffectPreview& operator=(const TEffectPreview&) = delete;

    // Stops what plays, then plays `change` made to a copy of the first
    // seconds of `range` (clipped to the sound). A failed change is shown,
    // unless `quiet`, and nothing plays. Any other playback stops first.
    bool Play(const TSampleRange& range, const TEffectChange& change, bool quiet = false);
    void Stop();
    bool Playing() const;
    // The changed copy last played; null before the first preview.
    const NSWave::TFile* Scratch() const { return Copy.get(); }

private:
    TWaveWin& Window;
    // The copy goes after its engine.
    std::unique_ptr<NSWave::TFile> Copy;
    std::unique_ptr<NSWave::TPlayRecEngine> Engine;
};

} // namespace NSWaveWin
