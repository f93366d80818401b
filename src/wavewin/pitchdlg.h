#pragma once
// Pitch: the range resampled to between 40 % and 250 % of its duration.

#include <QSlider>

#include "wavewin/effectdlg.h"

class QLineEdit;
class QRadioButton;

namespace NSWaveWin {

class TPitchDlg : public TEffectDlg {
public:
    // 25 positions, 0 to 24, with tick marks every 2, under a thumb of our own.
    class TFactorSlider : public QSlider {
    public:
        explicit TFactorSlider(QWidget* parent);

    protected:
        void paintEvent(QPaintEvent* event) override;
    };

    // New duration in percent of the old, by slider position; 12 is 100.
    static constexpr int Positions = 25;
    static const int Factors[Positions];

    explicit TPitchDlg(TWaveWin& window);
    void LoadFields() override;
    // The range resampled to Factors[position] percent of its duration.
    bool CanClose() override;
    // For the preview: the whole copy resampled by the factor.
    TEffectChange ReadEffect(bool keep, bool quiet) override;

    double OldDuration() const { return OldSeconds; }
    TFactorSlider* Slider() const { return FactorSlider; }

    static TValueSetting FactorSetting;

private:
    // Follows the slider: the setting and the two texts.
    void UpdateTexts(int position);

    double OldSeconds = 0;
    TFactorSlider* FactorSlider;
};

} // namespace NSWaveWin
