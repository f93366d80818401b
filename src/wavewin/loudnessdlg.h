#pragma once
// Loudness: the range raised or lowered to an integrated loudness in LUFS
// (EBU R128), all its channels by one gain, never so far that its true
// peak passes a limit in dBTP.

#include "wavewin/effectdlg.h"

class QLineEdit;

namespace NSWaveWin {

constexpr int CmdLoudness = 2200;

class TLoudnessDlg : public TEffectDlg {
public:
    explicit TLoudnessDlg(TWaveWin& window);
    void LoadFields() override;
    // A target from -70 to 0 LUFS and a limit from -20 to 0 dBTP, then the
    // change; other values, or a range too short or too quiet to measure,
    // are refused with a message and the dialog stays open.
    TEffectChange ReadEffect(bool keep, bool quiet) override;

    static TDoubleSetting TargetSetting;
    static TDoubleSetting CeilingSetting;

    // The target presets: broadcast (EBU R128) and two streaming levels.
    static constexpr double Presets[] = {-23, -16, -14};

private:
    QLineEdit* Target;
    QLineEdit* Ceiling;
};

} // namespace NSWaveWin
