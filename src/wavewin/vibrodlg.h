#pragma once
// Vibro: the range's amplitude modulated at one of four strengths.

#include "wavewin/effectdlg.h"

class QLineEdit;
class QRadioButton;

namespace NSWaveWin {

class TVibroDlg : public TEffectDlg {
public:
    explicit TVibroDlg(TWaveWin& window);
    void LoadFields() override;
    TEffectChange ReadEffect(bool keep, bool quiet) override;

    // The arguments of the library's vibro for each strength, Maximum first.
    static const char* const Presets[4];
    static TValueSetting RadioSetting;

private:
    QRadioButton* Buttons[4];
};

} // namespace NSWaveWin
