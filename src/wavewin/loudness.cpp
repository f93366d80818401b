// The Loudness command: its row, its dialog and its change.

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/loudness.h"
#include "wave/reader.h"
#include "wavewin/commands.h"
#include "wavewin/loudnessdlg.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

const TCommandRow LoudnessRow(TRow(CmdLoudness)
                                  .Item(TMenu::Effect, 106,
                                        QT_TRANSLATE_NOOP("Commands", "&Loudness..."))
                                  .Popup(46)
                                  .When(SoundHolds)
                                  .Idle()
                                  .Does([](TWaveWin& w) {
                                      TLoudnessDlg dialog(w);
                                      dialog.exec();
                                  }));

// A number typed in a field, with the typographic minus as well.
bool ReadNumber(const QLineEdit* edit, double low, double high, double& value) {
    QString text = edit->text().trimmed();
    text.replace(QChar(0x2212), QLatin1Char('-'));
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && value >= low && value <= high;
}

} // namespace

TDoubleSetting TLoudnessDlg::TargetSetting("Filters\\Loudness\\Target", -23.0);
TDoubleSetting TLoudnessDlg::CeilingSetting("Filters\\Loudness\\PeakLimit", -1.0);

TLoudnessDlg::TLoudnessDlg(TWaveWin& window)
    : TEffectDlg(window, 176, 84, QCoreApplication::translate("Loudness", "Loudness")) {
    Caption = NSText::Tr("Loudness", "Adjusting loudness...");
    Target = PlaceEdit(*this, 2580, QCoreApplication::translate("Loudness", "&Target loudness:"), 8,
                       8, 70, 36);
    PlaceText(*this, QStringLiteral("LUFS"), 120, 10, 40, 8);
    const char* captions[] = {QT_TRANSLATE_NOOP("Loudness", "EBU R128 (-2&3)"),
                              QT_TRANSLATE_NOOP("Loudness", "Stream (-1&6)"),
                              QT_TRANSLATE_NOOP("Loudness", "Stream (-1&4)")};
    for (int i = 0; i < 3; ++i) {
        auto* preset = new QPushButton(QCoreApplication::translate("Loudness", captions[i]), this);
        preset->setAutoDefault(false);
        Place(preset, 2582 + i, 8 + 54 * i, 24, 52, 14);
        const double level = Presets[i];
        connect(preset, &QPushButton::clicked, this,
                [this, level] { Target->setText(QString::fromStdString(DefaultNumber(level))); });
    }
    Ceiling = PlaceEdit(*this, 2581, QCoreApplication::translate("Loudness", "True &peak limit:"),
                        8, 44, 70, 36);
    PlaceText(*this, QStringLiteral("dBTP"), 120, 46, 40, 8);
    PlaceOkCancelPreview(*this, 8, 64, [this] { Preview(); });
    setFixedSize(size());
    SetupWindow();
}

void TLoudnessDlg::LoadFields() {
    Target->setText(QString::fromStdString(DefaultNumber(TargetSetting.Get())));
    Ceiling->setText(QString::fromStdString(DefaultNumber(CeilingSetting.Get())));
}

TEffectChange TLoudnessDlg::ReadEffect(bool keep, bool quiet) {
    auto refuse = [&](const std::string& text) -> TEffectChange {
        if (!quiet)
            Window.MessageBox(text, "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
        return nullptr;
    };
    double target = 0, ceiling = 0;
    if (!ReadNumber(Target, -70, 0, target))
        return refuse(
            NSText::Tr("Loudness", "The target loudness must be a number from -70 to 0 LUFS."));
    if (!ReadNumber(Ceiling, -20, 0, ceiling))
        return refuse(
            NSText::Tr("Loudness", "The true peak limit must be a number from -20 to 0 dBTP."));
    if (keep) {
        TargetSetting.Set(target);
        CeilingSetting.Set(ceiling);
    }

    // Measured over the whole range, so a preview of its first seconds
    // gets the gain Ok gives.
    NSWave::TLoudness measured;
    try {
        TOpStatus status(NSText::Tr("Loudness", "Measuring loudness..."), Window.StatusTarget());
        measured = NSWave::MeasureLoudness(Window.Document, Range(), NSWave::TLoudnessDetail::Gain,
                                           &status);
    } catch (const NSWave::xcancelled&) {
        return nullptr;
    } catch (const xmsg& e) {
        return refuse(e.why());
    }
    const NSWave::TLoudnessFigures& t = measured.Together;
    if (!std::isfinite(t.Integrated))
        return refuse(NSText::Tr(
            "Loudness", "The range is too short or too quiet to measure its loudness (it needs "
                        "at least 0.4 seconds of sound above -70 LUFS)."));
    const double gain =
        std::pow(10.0, NSWave::LoudnessGain(t.Integrated, t.TruePeak, target, ceiling) / 20);
    return [gain](NSWave::TFile& doc, const TSampleRange& range, TOpStatus& status) {
        doc.Amplify(range, gain, gain, &status);
    };
}

} // namespace NSWaveWin
