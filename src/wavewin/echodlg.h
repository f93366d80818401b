#pragma once
// Echo: the range with its repeats, delay and volume from the settings.

#include "wavewin/effectdlg.h"

class QLineEdit;
class QRadioButton;

namespace NSWaveWin {

class TEchoDlg : public TEffectDlg {
public:
    explicit TEchoDlg(TWaveWin& window);
    void LoadFields() override;
    TEffectChange ReadEffect(bool keep, bool quiet) override;

    static TDoubleSetting DelaySetting;
    static TValueSetting VolSetting;

private:
    QLineEdit* Delay;
    QLineEdit* Volume;
};

} // namespace NSWaveWin
