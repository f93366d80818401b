#pragma once
// Normalize: the range raised or lowered until its loudest sample reaches
// a level in dBFS, each channel on its own or all of them by one gain.

#include "wavewin/effectdlg.h"

class QLineEdit;
class QRadioButton;

namespace NSWaveWin {

constexpr int CmdNormalize = 2069;

class TNormalizeDlg : public TEffectDlg {
public:
    explicit TNormalizeDlg(TWaveWin& window);
    void LoadFields() override;
    // A level from -100 to 0 dBFS; another level is refused with a message
    // and the dialog stays open.
    TEffectChange ReadEffect(bool keep, bool quiet) override;

    static TDoubleSetting LevelSetting;
    static TValueSetting TogetherSetting;

private:
    QLineEdit* Level;
    QRadioButton* EachChannel;
    QRadioButton* Together;
};

// The gain that takes a peak of `peak` (the largest magnitude, up to 2^31)
// to `level` dBFS; 1 for silence, which no gain raises.
double NormalizeGain(int64_t peak, double level);
// The largest sample magnitude of `range` in one channel of `doc`.
int64_t PeakOf(const NSWave::TFile& doc, int channel, const TSampleRange& range);

} // namespace NSWaveWin
