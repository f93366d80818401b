#pragma once
// The Sound Format dialog: the document's sample rate, sample size, channels,
// duration and estimated file size next to the ones it is to change to. Ok
// resamples to a new rate and sets the sample size.

#include <QString>
#include <cstdint>
#include <string>

#include "dlg/stddlg.h"
#include "wavewin/preview.h"

class QComboBox;
class QLabel;

namespace NSWave {
class TFile;
}

namespace NSWaveWin {

class TWaveWin;

class TWaveFormatDlg : public TStdDlg {
public:
    // Rates the dialog accepts.
    static constexpr int MinRate = 100;
    static constexpr int MaxRate = 384000;

    TWaveFormatDlg(NSWave::TFile& document, TWaveWin& window);

    // Ok: changes the rate and the size; false keeps the dialog open after
    // showing the error.
    bool CanClose();
    void accept() override;
    void done(int result) override;
    // Preview: the first seconds of the sound at the chosen rate and size,
    // played from a copy. `quiet`: a refused rate stops it without a word.
    void Preview(bool quiet = false);
    TEffectPreview& Previewer() { return Previews; }
    // Whether a conversion began, so the document may have changed even
    // though the dialog did not end with Ok.
    bool ConversionBegun() const { return Begun; }

    // The rate a text gives: its leading number x as x samples a second
    // from 1000 on, else as x kHz (the product in extended precision, so
    // "22.054 KHz" is 22053); 0 when the text does not start with a number.
    static int RateFromText(const QString& text);
    // "22.05 KHz" for 22050.
    static std::string RateText(int rate);
    // "8 Bit" … "32 Bit", "32 Bit Float", "64 Bit Float" for a size code.
    static std::string SizeName(int sizeCode);
    // "10.00 Sec." for `samples` at `rate`; empty without a rate.
    static std::string DurationText(int rate, uint64_t samples);
    // The bytes of `samples` × `channels` samples of `bits`: "1000 Bytes",
    // "861 KB", "MB" from 5,000,000 bytes on, "GB" past 4,999 MB.
    static std::string SizeEstimate(uint64_t samples, int bits, int channels);

private:
    // The rate Ok would set: the document's own while the text is the one
    // the dialog filled in.
    int ChosenRate() const;
    // Recomputes the "Change To" column.
    void UpdateChangeTo();

    NSWave::TFile& Document;
    TWaveWin& Window;
    QComboBox* RateBox;
    QComboBox* SizeBox;
    QString FilledRate;
    bool Begun = false;
    TEffectPreview Previews{Window};
};

} // namespace NSWaveWin
