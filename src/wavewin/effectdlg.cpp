#include "wavewin/effectdlg.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <algorithm>
#include <sstream>

#include "undo/undo.h"
#include "util/opstatus.h"
#include "util/tmpfile.h"
#include "util/xmsg.h"
#include "wave/timefmt.h"
#include "wavewin/wavewin.h"

// --- the base ----------------------------------------------------------------------

TEffectDlg::TEffectDlg(NSWaveWin::TWaveWin& window, int widthUnits, int heightUnits,
                       const QString& title)
    : TStdDlg(&window, widthUnits, heightUnits, title), Window(window),
      EffectRange(window.EffectiveRange()) {}

void TEffectDlg::SetupWindow() {
    TStdDlg::SetupWindow();
    LoadFields();
}

void TEffectDlg::accept() {
    if (CanClose())
        QDialog::accept();
}

bool TEffectDlg::CanClose() {
    TSampleRange range = EffectRange;
    range.End = std::min(range.End, Window.Document.GetLength());
    if (!range.Valid || range.Start >= range.End)
        return true;
    const bool modified = Window.IsModified();
    auto* record = new NSUndo::TReplacement(Window, range);
    const bool kept = record->Outcome == NSUndo::TUndoBase::Ready;
    if (!Window.AddUndo(record))
        return false;
    // Without undo data the channels still reach the range's end, so the
    // result does not depend on the answer.
    Window.Document.Extend(range);
    try {
        Apply();
    } catch (const xmsg& e) {
        // The record stays: Undo gives the range back as it was. An effect
        // that failed before it wrote a sample (its staging file) leaves the
        // sound, and so its modified mark, as they were.
        if (kept && record->Unchanged(Window))
            Window.SetModified(modified);
        Window.MessageBox(e.why(), "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
        Window.UpdateView();
        return false;
    }
    return true;
}

void TEffectDlg::ApplyEffect(const std::string& name, const std::string& args) {
    TOpStatus status("Filtering...", Window.StatusTarget());
    Window.Document.ApplyEffect(EffectRange, name.c_str(), args.c_str(), &status);
}

namespace NSWaveWin {

// --- shared parts --------------------------------------------------------------------

void PlaceOkCancel(TStdDlg& dialog, int x, int y) {
    auto* ok = new QPushButton(QStringLiteral("Ok"), &dialog);
    dialog.Place(ok, 1, x, y, 50, 14);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    dialog.Place(cancel, 2, x + 58, y, 50, 14);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

QLabel* PlaceText(TStdDlg& dialog, const QString& text, int x, int y, int w, int h) {
    auto* label = new QLabel(text, &dialog);
    dialog.Place(label, -1, x, y, w, h);
    return label;
}

int ReadInt(const QString& text) {
    std::istringstream in(text.toStdString());
    int value = 0;
    if (!(in >> value))
        return 0;
    return value;
}

float ReadFloat(const QString& text) {
    std::istringstream in(text.toStdString());
    float value = 0;
    if (!(in >> value))
        return 0;
    return value;
}

std::string DefaultNumber(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// An edit with a caption whose key letter reaches the edit.
QLineEdit* PlaceEdit(TStdDlg& dialog, int id, const QString& caption, int x, int y, int captionW,
                     int w) {
    QLabel* label = PlaceText(dialog, caption, x, y + 2, captionW, 8);
    auto* edit = new QLineEdit(&dialog);
    dialog.Place(edit, id, x + captionW + 2, y, w, 12);
    label->setBuddy(edit);
    return edit;
}

// A group box whose key letter reaches a control placed over it: the
// dialog's controls are its siblings, as in the templates.
class TBuddyGroup : public QGroupBox {
public:
    TBuddyGroup(const QString& title, QWidget* buddy, QWidget* parent)
        : QGroupBox(title, parent), Buddy(buddy) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Shortcut && Buddy) {
            Buddy->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return QGroupBox::event(event);
    }

private:
    QWidget* Buddy;
};

} // namespace

// --- Echo --------------------------------------------------------------------------------

TDoubleSetting TEchoDlg::DelaySetting("Filters\\Echo\\Delay", 1.0);
TValueSetting TEchoDlg::VolSetting("Filters\\Echo\\Vol", 50);

TEchoDlg::TEchoDlg(TWaveWin& window) : TEffectDlg(window, 150, 68, QStringLiteral("Echo Options")) {
    Delay = PlaceEdit(*this, 2526, QStringLiteral("&Delay:"), 8, 8, 34, 44);
    Delay->setText(QStringLiteral("1.000"));
    PlaceText(*this, QStringLiteral("Seconds"), 92, 10, 50, 8);
    Volume = PlaceEdit(*this, 2527, QStringLiteral("&Volume:"), 8, 26, 34, 44);
    Volume->setText(QStringLiteral("50"));
    PlaceText(*this, QStringLiteral("%"), 92, 28, 20, 8);
    PlaceOkCancel(*this, 17, 48);
    setFixedSize(size());
    SetupWindow();
}

void TEchoDlg::LoadFields() {
    Delay->setText(Text(DefaultNumber(DelaySetting.Get())));
    Volume->setText(QString::number(VolSetting.Get()));
}

void TEchoDlg::Apply() {
    const double delay = DelaySetting.Set(ReadFloat(Delay->text()));
    const int percent = VolSetting.Set(ReadInt(Volume->text()));
    ApplyEffect("echo", DefaultNumber(delay) + " " + DefaultNumber(percent * 0.01));
}

// --- Vibro -------------------------------------------------------------------------------

const char* const TVibroDlg::Presets[4] = {"29 1.0", "25 0.8", "20 0.75", "15 0.65"};
TValueSetting TVibroDlg::RadioSetting("Filters\\Vibro\\Radio", 2);

TVibroDlg::TVibroDlg(TWaveWin& window)
    : TEffectDlg(window, 180, 110, QStringLiteral("Vibro Effect")) {
    QLabel* text =
        PlaceText(*this,
                  QStringLiteral("The 'Vibro' effect will modulate the amplitude of your "
                                 "sound with a low frequency sine wave."),
                  10, 8, 160, 24);
    text->setWordWrap(true);
    const char* const names[4] = {"Maximum", "Strong", "Medium", "Light"};
    for (int i = 0; i < 4; ++i) {
        Buttons[i] = new QRadioButton(QString::fromLatin1(names[i]), this);
        Place(Buttons[i], 2537 + i, 24, 36 + 12 * i, 80, 10);
    }
    PlaceOkCancel(*this, 32, 90);
    setFixedSize(size());
    SetupWindow();
}

void TVibroDlg::LoadFields() {
    int index = RadioSetting.Get();
    // A stored index no button stands for opens at the default strength, so
    // a button is always checked.
    if (index < 0 || index > 3)
        index = 2;
    Buttons[index]->setChecked(true);
}

void TVibroDlg::Apply() {
    int index = 2;
    for (int i = 0; i < 4; ++i)
        if (Buttons[i]->isChecked())
            index = i;
    RadioSetting.Set(index);
    ApplyEffect("vibro", Presets[index]);
}

// --- Amplitude ---------------------------------------------------------------------------

TValueSetting TAmpDlg::VolSetting("Filters\\Amp\\Vol", 50);

TAmpDlg::TAmpDlg(TWaveWin& window) : TEffectDlg(window, 130, 66, QStringLiteral("Amplitude")) {
    Volume = new QLineEdit(QStringLiteral("100"), this);
    auto* group = new TBuddyGroup(QStringLiteral("&Adjust Volume"), Volume, this);
    Place(group, -1, 8, 4, 114, 34);
    // Over the group, as in the template.
    Place(Volume, 2529, 34, 18, 40, 12);
    Volume->raise();
    QLabel* percent = PlaceText(*this, QStringLiteral("%"), 78, 20, 12, 8);
    percent->raise();
    PlaceOkCancel(*this, 7, 46);
    setFixedSize(size());
    SetupWindow();
}

void TAmpDlg::LoadFields() {
    Volume->setText(QString::number(VolSetting.Get()));
}

bool TAmpDlg::CanClose() {
    const int percent = ReadInt(Volume->text());
    if (!Window.ApplyAmplitude(percent))
        return false;
    VolSetting.Set(percent);
    return true;
}

// --- Pitch -------------------------------------------------------------------------------

const int TPitchDlg::Factors[Positions] = {40,  45,  50,  55,  60,  65,  70,  75,  80,
                                           85,  90,  95,  100, 105, 110, 115, 120, 130,
                                           140, 150, 160, 180, 200, 220, 250};
TValueSetting TPitchDlg::FactorSetting("Filters\\Pitch\\Factor", -1);

TPitchDlg::TFactorSlider::TFactorSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTickPosition(QSlider::TicksBelow);
}

void TPitchDlg::TFactorSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderTickmarks;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);

    // The thumb: 18 × 18 pixels on the handle's place, a key pointing down
    // at the ticks.
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    QRectF thumb(0, 0, 18, 18);
    thumb.moveCenter(QRectF(handle).center());
    const qreal l = thumb.left() + 2.5, r = thumb.right() - 2.5;
    const qreal t = thumb.top() + 1.5, b = thumb.bottom() - 0.5;
    const qreal shoulder = t + 10;
    QPainterPath key;
    key.moveTo(l + 2, t);
    key.lineTo(r - 2, t);
    key.quadTo(r, t, r, t + 2);
    key.lineTo(r, shoulder);
    key.lineTo((l + r) / 2, b);
    key.lineTo(l, shoulder);
    key.lineTo(l, t + 2);
    key.quadTo(l, t, l + 2, t);
    QLinearGradient shade(thumb.topLeft(), thumb.bottomLeft());
    const QPalette& pal = palette();
    const QColor face = isEnabled() ? pal.color(QPalette::Button) : pal.color(QPalette::Window);
    shade.setColorAt(0, face.lighter(125));
    shade.setColorAt(1, face.darker(115));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(shade);
    painter.setPen(
        QPen(hasFocus() ? pal.color(QPalette::Highlight) : pal.color(QPalette::Shadow), 1.0));
    painter.drawPath(key);
    // A grip line down the middle.
    painter.setPen(QPen(pal.color(QPalette::Dark), 1.0));
    painter.drawLine(QPointF((l + r) / 2, t + 3), QPointF((l + r) / 2, shoulder));
}

TPitchDlg::TPitchDlg(TWaveWin& window)
    : TEffectDlg(window, 220, 116, QStringLiteral("Pitch Options")) {
    const int rate = window.Document.Rate;
    if (rate > 0)
        OldSeconds = double(Range().End - Range().Start) / rate;
    const int stored = FactorSetting.Get();
    if (stored < 0 || stored >= Positions)
        FactorSetting.Set(
            int(std::find_if(std::begin(Factors), std::end(Factors), [](int f) { return f > 99; }) -
                std::begin(Factors)));

    FactorSlider = new TFactorSlider(this);
    Place(FactorSlider, 2535, 8, 6, 204, 22);
    PlaceText(*this, QStringLiteral("0%"), 100, 29, 20, 8)->setAlignment(Qt::AlignHCenter);
    const char* const rows[3][2] = {
        {"Old Duration", "Seconds"}, {"Relative Change", "%"}, {"New Duration", "Seconds"}};
    for (int i = 0; i < 3; ++i) {
        const int y = 44 + 14 * i;
        PlaceText(*this, QString::fromLatin1(rows[i][0]), 10, y, 70, 8);
        auto* value = new QLabel(this);
        Place(value, 2532 + i, 84, y - 1, 60, 10);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        PlaceText(*this, QString::fromLatin1(rows[i][1]), 148, y, 40, 8);
    }
    PlaceOkCancel(*this, 52, 94);
    setFixedSize(size());
    connect(FactorSlider, &QSlider::valueChanged, this, [this](int p) { UpdateTexts(p); });
    SetupWindow();
}

void TPitchDlg::LoadFields() {
    FactorSlider->setRange(0, Positions - 1);
    FactorSlider->setTickInterval(2);
    FactorSlider->setPageStep(2);
    static_cast<QLabel*>(Control(2532))->setText(Text(NSWave::FormatSeconds(OldSeconds)));
    const int position = FactorSetting.Get();
    if (FactorSlider->value() == position)
        UpdateTexts(position);
    else
        FactorSlider->setValue(position);
}

void TPitchDlg::UpdateTexts(int position) {
    if (position < 0 || position >= Positions)
        return;
    FactorSetting.Set(position);
    const int factor = Factors[position];
    const double newSeconds = factor * OldSeconds * 0.01;
    // The change in percent is exactly factor − 100; computed from the two
    // durations it would show rounding noise ("1.64874e-14" for none).
    static_cast<QLabel*>(Control(2533))
        ->setText(OldSeconds == 0 ? QString() : Text(DefaultNumber(factor - 100)));
    static_cast<QLabel*>(Control(2534))
        ->setText(Text(NSWave::FormatSeconds(newSeconds, NSWave::AutoDecimals(OldSeconds),
                                             OldSeconds > 60 ? 1 : 0)));
}

bool TPitchDlg::CanClose() {
    const int position = FactorSlider->value();
    if (position < 0 || position >= Positions)
        return false;
    const int factor = Factors[position];
    if (factor == 100)
        return true;

    NSWave::TFile& doc = Window.Document;
    TSampleRange range = Range();
    range.End = std::min(range.End, doc.GetLength());
    if (!range.Valid || range.Start >= range.End || doc.Rate <= 0)
        return true;
    // The range at a rate that many times slower or faster, read back at the
    // sound's own rate through the resampler: its duration changes by the
    // factor, its pitch the other way. Staged as raw 32-bit samples, which
    // hold every sample size without loss.
    TTmpFile staging("s4");
    const int nominalRate = int(unsigned(doc.Rate) * 100u / unsigned(factor));
    try {
        TOpStatus status("Resampling...", Window.StatusTarget());
        doc.SaveScratch(staging.GetFileName(), &status, nullptr, range);
    } catch (const xmsg& e) {
        Window.MessageBox(e.why(), "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
        return false;
    }
    const int channels = range.Channel == AllChannels ? doc.ChannelCount() : 1;
    auto* record = new NSUndo::TInsertion(Window, range, staging, nominalRate, channels);
    const bool selected = Window.Selection.Valid;
    return Window.ApplyEdit(record, "Resampling...", [&](TOpStatus& status) {
        record->Redo(Window, &status);
        if (selected)
            Window.SetSelection(record->Inserted, false);
    });
}

} // namespace NSWaveWin
