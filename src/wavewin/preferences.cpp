// The Preferences command: its row, its dialog, and the colour schemes.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "undo/history.h"
#include "wavewin/commands.h"
#include "wavewin/prefsdlg.h"

#include "util/settings.h"
#include "wave/file.h"
#include "wavewin/preview.h"
#include "wavewin/viewprefs.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

const TCommandRow PreferencesRow(TRow(CmdPreferences)
                                     .Item(TMenu::Edit, 300,
                                           QT_TRANSLATE_NOOP("Commands", "Pre&ferences...\tCtrl+,"))
                                     .Shortcuts({QKeySequence(Qt::CTRL | Qt::Key_Comma)})
                                     .Does([](TWaveWin& w) {
                                         TPrefsDlg dialog(&w);
                                         dialog.exec();
                                     }));

uint32_t ValueOf(const QColor& c) {
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

QColor ColorOfValue(uint32_t v) {
    return QColor(int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF));
}

const int Rates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000};

// A strip of waveform in the chosen colours: background, a time line's
// legend, a selection band and the wave over it.
class TPreview : public QWidget {
public:
    TPreview(const TViewColors& colors, QWidget* parent) : QWidget(parent), Colors(colors) {
        setMinimumSize(260, 90);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int w = width(), h = height();
        p.fillRect(rect(), ColorOfValue(Colors[0]));
        p.fillRect(QRect(w * 2 / 5, 0, w / 4, h), ColorOfValue(Colors[3]));
        p.setPen(ColorOfValue(Colors[2]));
        p.drawLine(0, h / 2, w, h / 2);
        for (int x = 0; x < w; x += 40)
            p.drawText(x + 2, 12, QString::number(x / 40));
        p.setPen(ColorOfValue(Colors[1]));
        for (int x = 0; x < w; ++x) {
            const double a = std::sin(x * 0.15) * std::sin(x * 0.013) * (h / 2 - 8);
            p.drawLine(x, int(h / 2 - a), x, int(h / 2 + a));
        }
    }

private:
    const TViewColors& Colors;
};

} // namespace

TViewColors SchemeColors(TColorScheme scheme) {
    const QPalette pal = QApplication::palette();
    const QColor base = pal.color(QPalette::Base);
    const QColor text = pal.color(QPalette::Text);
    const QColor highlight = pal.color(QPalette::Highlight);
    switch (scheme) {
    case TColorScheme::Light: {
        const QColor back = base.lightness() >= 128 ? base : QColor(250, 250, 250);
        const QColor legend = text.lightness() < 128 ? text : QColor(40, 40, 40);
        return {ValueOf(back), ValueOf(highlight.darker(120)), ValueOf(legend),
                ValueOf(highlight.lighter(180))};
    }
    case TColorScheme::Dark: {
        const QColor back = base.lightness() < 128 ? base : QColor(30, 30, 34);
        const QColor legend = text.lightness() >= 128 ? text : QColor(210, 210, 210);
        return {ValueOf(back), ValueOf(highlight.lighter(150)), ValueOf(legend),
                ValueOf(highlight.darker(200))};
    }
    default:
        return {8388608, 65535, 16776960, 16777215};
    }
}

TViewColors StoredColors() {
    return {uint32_t(BackColorSetting.Get()), uint32_t(WaveColorSetting.Get()),
            uint32_t(LegendColorSetting.Get()), uint32_t(SelColorSetting.Get())};
}

void ApplyColors(const TViewColors& c) {
    BackColorSetting.Set(int32_t(c[0]));
    WaveColorSetting.Set(int32_t(c[1]));
    LegendColorSetting.Set(int32_t(c[2]));
    SelColorSetting.Set(int32_t(c[3]));
    for (TWaveWin* w : TWaveWin::Windows()) {
        w->SetColors(c[0], c[1], c[2], c[3]);
    }
}

TPrefsDlg::TPrefsDlg(QWidget* parent) : QDialog(parent), Colors(StoredColors()) {
    setWindowTitle(QCoreApplication::translate("Preferences", "Preferences"));
    auto* layout = new QVBoxLayout(this);

    auto* editing = new QGroupBox(QCoreApplication::translate("Preferences", "Editing"), this);
    auto* editForm = new QFormLayout(editing);
    UndoLevels = new QSpinBox(editing);
    UndoLevels->setRange(1, NSUndo::MaxUndoLevels);
    UndoLevels->setValue(NSUndo::UndoLevels());
    editForm->addRow(QCoreApplication::translate("Preferences", "&Undo levels:"), UndoLevels);
    ArrowsMove = new QCheckBox(
        QCoreApplication::translate("Preferences", "&Arrow keys move the cursor (Shift extends the "
                                                   "selection)"),
        editing);
    ArrowsMove->setChecked(ArrowsMoveCursorSetting.Get() != 0);
    editForm->addRow(ArrowsMove);
    FollowPlay = new QCheckBox(
        QCoreApplication::translate("Preferences", "&Scroll during playback"), editing);
    FollowPlay->setChecked(FollowPlaySetting.Get() != 0);
    editForm->addRow(FollowPlay);
    PreviewSeconds = new QSpinBox(editing);
    PreviewSeconds->setRange(1, MaxPreviewSeconds);
    PreviewSeconds->setSuffix(QCoreApplication::translate("Preferences", " s"));
    PreviewSeconds->setValue(
        std::clamp<int>(TEffectPreview::SecondsSetting.Get(), 1, MaxPreviewSeconds));
    editForm->addRow(QCoreApplication::translate("Preferences", "Effect &preview:"),
                     PreviewSeconds);
    layout->addWidget(editing);

    auto* format = new QGroupBox(QCoreApplication::translate("Preferences", "New sound"), this);
    auto* formatForm = new QFormLayout(format);
    Rate = new QComboBox(format);
    for (int rate : Rates)
        Rate->addItem(QCoreApplication::translate("Preferences", "%1 Hz").arg(rate), rate);
    const int rate = NewRateSetting.Get();
    if (Rate->findData(rate) < 0)
        Rate->addItem(QCoreApplication::translate("Preferences", "%1 Hz").arg(rate), rate);
    Rate->setCurrentIndex(Rate->findData(rate));
    formatForm->addRow(QCoreApplication::translate("Preferences", "&Rate:"), Rate);
    Size = new QComboBox(format);
    for (int bits = 1; bits <= 4; ++bits)
        Size->addItem(QCoreApplication::translate("Preferences", "%1-bit").arg(8 * bits), bits);
    Size->setCurrentIndex(std::max(0, Size->findData(int(NewSizeSetting.Get()))));
    formatForm->addRow(QCoreApplication::translate("Preferences", "Sample si&ze:"), Size);
    Channels = new QSpinBox(format);
    Channels->setRange(1, 32);
    Channels->setValue(std::clamp<int>(NewChannelsSetting.Get(), 1, 32));
    formatForm->addRow(QCoreApplication::translate("Preferences", "C&hannels:"), Channels);
    auto* cd = new QPushButton(
        QCoreApplication::translate("Preferences", "44,100 Hz 1&6-bit stereo"), format);
    cd->setAutoDefault(false);
    connect(cd, &QPushButton::clicked, this, [this] { TakeCdFormat(); });
    formatForm->addRow(cd);
    layout->addWidget(format);

    auto* saving = new QGroupBox(QCoreApplication::translate("Preferences", "Saving"), this);
    auto* savingForm = new QFormLayout(saving);
    Mp3Quality = new QComboBox(saving);
    const std::pair<const char*, int> qualities[] = {
        {QT_TRANSLATE_NOOP("Preferences", "Variable, high quality (V2)"), -2},
        {QT_TRANSLATE_NOOP("Preferences", "Variable, medium (V4)"), -4},
        {QT_TRANSLATE_NOOP("Preferences", "Variable, small files (V6)"), -6},
        {QT_TRANSLATE_NOOP("Preferences", "Constant 128 kbit/s"), 128},
        {QT_TRANSLATE_NOOP("Preferences", "Constant 192 kbit/s"), 192},
        {QT_TRANSLATE_NOOP("Preferences", "Constant 256 kbit/s"), 256},
        {QT_TRANSLATE_NOOP("Preferences", "Constant 320 kbit/s"), 320}};
    for (const auto& [text, value] : qualities)
        Mp3Quality->addItem(QCoreApplication::translate("Preferences", text), value);
    Mp3Quality->setCurrentIndex(
        std::max(0, Mp3Quality->findData(int(NSWave::Mp3QualitySetting.Get()))));
    savingForm->addRow(QCoreApplication::translate("Preferences", "&MP3 quality:"), Mp3Quality);
    OpusBitrate = new QComboBox(saving);
    const std::pair<const char*, int> bitrates[] = {
        {QT_TRANSLATE_NOOP("Preferences", "64 kbit/s"), 64},
        {QT_TRANSLATE_NOOP("Preferences", "96 kbit/s"), 96},
        {QT_TRANSLATE_NOOP("Preferences", "128 kbit/s"), 128},
        {QT_TRANSLATE_NOOP("Preferences", "160 kbit/s"), 160},
        {QT_TRANSLATE_NOOP("Preferences", "256 kbit/s"), 256}};
    for (const auto& [text, value] : bitrates)
        OpusBitrate->addItem(QCoreApplication::translate("Preferences", text), value);
    // A value not in the list shows as the default.
    const int bitrate = OpusBitrate->findData(int(NSWave::OpusBitrateSetting.Get()));
    OpusBitrate->setCurrentIndex(bitrate >= 0 ? bitrate
                                              : OpusBitrate->findData(NSWave::DefaultOpusBitrate));
    savingForm->addRow(QCoreApplication::translate("Preferences", "&Opus bitrate:"), OpusBitrate);
    layout->addWidget(saving);

    auto* colours = new QGroupBox(QCoreApplication::translate("Preferences", "Colours"), this);
    auto* colourBox = new QVBoxLayout(colours);
    Scheme = new QComboBox(colours);
    Scheme->addItems({QCoreApplication::translate("Preferences", "Classic"),
                      QCoreApplication::translate("Preferences", "Light"),
                      QCoreApplication::translate("Preferences", "Dark"),
                      QCoreApplication::translate("Preferences", "Custom")});
    int current = 3;
    for (int s = 0; s < 3; ++s)
        if (SchemeColors(TColorScheme(s)) == Colors)
            current = s;
    Scheme->setCurrentIndex(current);
    auto* schemeRow = new QFormLayout;
    schemeRow->addRow(QCoreApplication::translate("Preferences", "S&cheme:"), Scheme);
    colourBox->addLayout(schemeRow);
    auto* preview = new TPreview(Colors, colours);
    colourBox->addWidget(preview);
    connect(Scheme, &QComboBox::currentIndexChanged, this, [this, preview](int index) {
        // Custom is what the settings held when the dialog opened.
        Colors = index < 3 ? SchemeColors(TColorScheme(index)) : StoredColors();
        preview->update();
    });
    layout->addWidget(colours);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TPrefsDlg::TakeCdFormat() {
    Rate->setCurrentIndex(Rate->findData(44100));
    Size->setCurrentIndex(Size->findData(2));
    Channels->setValue(2);
}

void TPrefsDlg::accept() {
    NSUndo::UndoLevelsSetting.Set(UndoLevels->value());
    ArrowsMoveCursorSetting.Set(ArrowsMove->isChecked() ? 1 : 0);
    FollowPlaySetting.Set(FollowPlay->isChecked() ? 1 : 0);
    TEffectPreview::SecondsSetting.Set(PreviewSeconds->value());
    NewRateSetting.Set(Rate->currentData().toInt());
    NewSizeSetting.Set(Size->currentData().toInt());
    NewChannelsSetting.Set(Channels->value());
    NSWave::Mp3QualitySetting.Set(Mp3Quality->currentData().toInt());
    NSWave::OpusBitrateSetting.Set(OpusBitrate->currentData().toInt());
    if (Colors != StoredColors())
        ApplyColors(Colors);
    TWaveWin::BroadcastState();
    QDialog::accept();
}

} // namespace NSWaveWin
