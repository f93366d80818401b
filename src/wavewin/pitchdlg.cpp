#include "wavewin/pitchdlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <algorithm>

#include "undo/undo.h"
#include "util/opstatus.h"
#include "util/tmpfile.h"
#include "util/xmsg.h"
#include "wave/timefmt.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

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
    : TEffectDlg(window, 220, 116, QCoreApplication::translate("Pitch", "Pitch Options")) {
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
        {QT_TRANSLATE_NOOP("Pitch", "Old Duration"), QT_TRANSLATE_NOOP("Pitch", "Seconds")},
        {QT_TRANSLATE_NOOP("Pitch", "Relative Change"), "%"},
        {QT_TRANSLATE_NOOP("Pitch", "New Duration"), QT_TRANSLATE_NOOP("Pitch", "Seconds")}};
    for (int i = 0; i < 3; ++i) {
        const int y = 44 + 14 * i;
        PlaceText(*this, QCoreApplication::translate("Pitch", rows[i][0]), 10, y, 70, 8);
        auto* value = new QLabel(this);
        Place(value, 2532 + i, 84, y - 1, 60, 10);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        PlaceText(*this, QCoreApplication::translate("Pitch", rows[i][1]), 148, y, 40, 8);
    }
    PlaceOkCancelPreview(*this, 52, 94, [this] { Preview(); });
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

TEffectChange TPitchDlg::ReadEffect(bool, bool) {
    const int position = FactorSlider->value();
    if (position < 0 || position >= Positions)
        return nullptr;
    const int factor = Factors[position];
    // Read at a rate that many times slower or faster and resampled back to
    // its own, as Ok's insertion reads its staged copy.
    return [factor](NSWave::TFile& doc, const TSampleRange&, TOpStatus& status) {
        const int rate = doc.Rate;
        if (factor == 100 || rate <= 0)
            return;
        doc.Rate = int(unsigned(rate) * 100u / unsigned(factor));
        doc.SetRate(rate, &status);
    };
}

bool TPitchDlg::CanClose() {
    Previewer().Stop();
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
    // factor, its pitch the other way. The undo record's copy of the range
    // is the material, as 32-bit samples, which hold every sample size
    // without loss.
    const int nominalRate = int(unsigned(doc.Rate) * 100u / unsigned(factor));
    auto* record = new NSUndo::TInsertion(Window, range, nominalRate);
    const bool selected = Window.Selected().Valid;
    return Window.ApplyEdit(record, NSText::Tr("Pitch", "Resampling..."), [&](TOpStatus& status) {
        record->Redo(Window, &status);
        if (selected)
            Window.SetSelection(record->Inserted, false);
    });
}

} // namespace NSWaveWin
