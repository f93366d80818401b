// The Measure command: its row and its window.

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/reader.h"
#include "wave/timefmt.h"
#include "wavewin/commands.h"
#include "wavewin/measuredlg.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

void Measure(TWaveWin& w) {
    const TSampleRange range = w.EffectiveRange();
    NSWave::TLoudness figures;
    try {
        TOpStatus status(NSText::Tr("Measure", "Measuring..."), w.StatusTarget());
        figures = NSWave::MeasureLoudness(w.Document, range, NSWave::TLoudnessDetail::All, &status);
    } catch (const NSWave::xcancelled&) {
        return;
    } catch (const xmsg& e) {
        w.MessageBox(e.why(), "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
        return;
    }
    TMeasureDlg dialog(w, figures, range);
    dialog.exec();
}

const TCommandRow MeasureRow(TRow(CmdMeasure)
                                 .Item(TMenu::Sound, 110,
                                       QT_TRANSLATE_NOOP("Commands", "M&easure..."))
                                 .When(SoundHolds)
                                 .Idle()
                                 .Does(Measure));

} // namespace

QString TMeasureDlg::Text(double value) {
    if (!std::isfinite(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    return QString::number(value, 'f', 1);
}

TMeasureDlg::TMeasureDlg(TWaveWin& window, const NSWave::TLoudness& figures,
                         const TSampleRange& range)
    : QDialog(&window) {
    setWindowTitle(QCoreApplication::translate("Measure", "Measure"));
    auto* layout = new QVBoxLayout(this);
    const double rate = std::max(1, window.Document.Rate);
    const uint32_t end = std::min(range.End, window.Document.GetLength());
    auto* where = new QLabel(
        QCoreApplication::translate("Measure", "From %1 to %2")
            .arg(QString::fromStdString(NSWave::FormatSeconds(range.Start / rate)),
                 QString::fromStdString(NSWave::FormatSeconds(std::max(end, range.Start) / rate))),
        this);
    layout->addWidget(where);

    const bool several = figures.Channels.size() > 1;
    const int rows = int(figures.Channels.size()) + (several ? 1 : 0);
    Grid = new QTableWidget(rows, 5, this);
    Grid->setHorizontalHeaderLabels({QCoreApplication::translate("Measure", "Integrated (LUFS)"),
                                     QCoreApplication::translate("Measure", "Range (LU)"),
                                     QCoreApplication::translate("Measure", "True peak (dBTP)"),
                                     QCoreApplication::translate("Measure", "Sample peak (dBFS)"),
                                     QCoreApplication::translate("Measure", "RMS (dBFS)")});
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto fill = [&](int row, const QString& name, const NSWave::TLoudnessFigures& f) {
        Grid->setVerticalHeaderItem(row, new QTableWidgetItem(name));
        const double values[] = {f.Integrated, f.Range, f.TruePeak, f.SamplePeak, f.Rms};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(Text(values[c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Grid->setItem(row, c, item);
        }
    };
    for (size_t i = 0; i < figures.Channels.size(); ++i)
        fill(int(i),
             QCoreApplication::translate("Measure", "Channel %1").arg(figures.Channels[i] + 1),
             figures.PerChannel[i]);
    if (several)
        fill(rows - 1, QCoreApplication::translate("Measure", "All channels"), figures.Together);
    Grid->resizeColumnsToContents();
    Grid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(Grid);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 110 + 30 * rows);
}

} // namespace NSWaveWin
