#pragma once
// Amplitude: the range's gain in percent.

#include "wavewin/effectdlg.h"

class QLineEdit;
class QRadioButton;

namespace NSWaveWin {

class TAmpDlg : public TEffectDlg {
public:
    explicit TAmpDlg(TWaveWin& window);
    void LoadFields() override;
    TEffectChange ReadEffect(bool keep, bool quiet) override;
    // The window's Amplitude gain over the range.
    bool CanClose() override;

    static TValueSetting VolSetting;

private:
    QLineEdit* Volume;
};

// The Amplitude change: `percent` of the samples of `range`.
void AmplifyBy(NSWave::TFile& doc, const TSampleRange& range, int percent, TOpStatus& status);

} // namespace NSWaveWin
