// The Normalize command: its row, its dialog and its change.

#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "dlg/artwork.h"
#include "util/opstatus.h"
#include "util/text.h"
#include "wavewin/commands.h"
#include "wavewin/normalizedlg.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

const TCommandRow NormalizeRow(TRow(CmdNormalize)
                                   .Item(TMenu::Effect, 105,
                                         QT_TRANSLATE_NOOP("Commands", "&Normalize..."))
                                   .Picture(NSArt::GlyphNormalize)
                                   .Popup(45)
                                   .When(SoundHolds)
                                   .Idle()
                                   .Does([](TWaveWin& w) {
                                       TNormalizeDlg dialog(w);
                                       dialog.Run();
                                   }));

constexpr double FullScale = 2147483647.0;
constexpr double LowestLevel = -100;

} // namespace

double NormalizeGain(int64_t peak, double level) {
    if (peak <= 0)
        return 1;
    return FullScale * std::pow(10.0, level / 20) / double(peak);
}

int64_t PeakOf(const NSWave::TFile& doc, int channel, const TSampleRange& range) {
    if (!doc.HasChannel(channel) || range.Start >= range.End)
        return 0;
    const NSWave::TPeak peak = doc.Channel(channel).Extremes(range.Start, range.End - 1);
    return std::max(-int64_t(peak.Min), int64_t(peak.Max));
}

TDoubleSetting TNormalizeDlg::LevelSetting("Filters\\Normalize\\Level", -1.0);
TValueSetting TNormalizeDlg::TogetherSetting("Filters\\Normalize\\Together", 0);

TNormalizeDlg::TNormalizeDlg(TWaveWin& window)
    : TEffectDlg(window, 200, 82, QCoreApplication::translate("Normalize", "Normalize")) {
    Caption = NSText::Tr("Normalize", "Normalizing...");
    Level = PlaceEdit(*this, 2570, QCoreApplication::translate("Normalize", "&Peak level:"), 8, 8,
                      44, 36);
    PlaceText(*this, QStringLiteral("dBFS"), 92, 10, 40, 8);
    EachChannel = new QRadioButton(
        QCoreApplication::translate("Normalize", "&Each channel on its own"), this);
    Place(EachChannel, 2571, 8, 26, 134, 10);
    Together =
        new QRadioButton(QCoreApplication::translate("Normalize", "&All channels together"), this);
    Place(Together, 2572, 8, 38, 134, 10);
    PlaceOkCancelPreview(*this, 17, 60, [this] { Preview(); });
    setFixedSize(size());
    SetupWindow();
}

void TNormalizeDlg::LoadFields() {
    Level->setText(QString::fromStdString(DefaultNumber(LevelSetting.Get())));
    (TogetherSetting.Get() ? Together : EachChannel)->setChecked(true);
}

TEffectChange TNormalizeDlg::ReadEffect(bool keep, bool quiet) {
    QString text = Level->text().trimmed();
    text.replace(QChar(0x2212), QLatin1Char('-'));
    bool ok = false;
    const double level = text.toDouble(&ok);
    if (!ok || !(level >= LowestLevel && level <= 0)) {
        if (!quiet)
            Window.MessageBox(
                NSText::Tr("Normalize", "The peak level must be a number from -100 to 0 dBFS."),
                "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
        return nullptr;
    }
    const bool together = Together->isChecked();
    if (keep) {
        LevelSetting.Set(level);
        TogetherSetting.Set(together ? 1 : 0);
    }
    // The peaks are those of the whole range in the document, so a preview
    // of its first seconds gets the gains Ok gives.
    const NSWave::TFile& measured = Window.Document;
    const TSampleRange whole = Range();
    return [&measured, whole, level, together](NSWave::TFile& doc, const TSampleRange& range,
                                               TOpStatus& status) {
        const int first = range.Channel == AllChannels ? 0 : range.Channel;
        const int last = range.Channel == AllChannels ? doc.ChannelCount() - 1 : range.Channel;
        auto peak = [&](int c) {
            if (!measured.HasChannel(c))
                return int64_t(0);
            const uint32_t end = std::min(whole.End, measured.Channel(c).Count);
            return PeakOf(measured, c, TSampleRange(whole.Start, end, c));
        };
        int64_t loudest = 0;
        for (int c = first; c <= last; ++c)
            loudest = std::max(loudest, peak(c));
        for (int c = first; c <= last; ++c) {
            const double gain = NormalizeGain(together ? loudest : peak(c), level);
            status.SetPercent((c - first) * 100 / (last - first + 1));
            doc.Amplify(TSampleRange(range.Start, range.End, c), gain, gain);
        }
    };
}

} // namespace NSWaveWin
