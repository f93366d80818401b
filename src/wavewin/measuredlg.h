#pragma once
// Measure: a small window with the loudness figures of the range the
// effects would work on (EBU R128 integrated loudness and loudness range,
// true peak, sample peak, RMS), one row per channel and one for all of
// them together.

#include <QDialog>

#include "wave/loudness.h"

class QTableWidget;

namespace NSWaveWin {

constexpr int CmdMeasure = 2201;

class TWaveWin;

class TMeasureDlg : public QDialog {
public:
    TMeasureDlg(TWaveWin& window, const NSWave::TLoudness& figures, const TSampleRange& range);

    QTableWidget* Table() const { return Grid; }
    // A figure as the table shows it: one decimal, "-inf" for silence.
    static QString Text(double value);

private:
    QTableWidget* Grid;
};

} // namespace NSWaveWin
