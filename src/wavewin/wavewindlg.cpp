#include "wavewin/wavewindlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHash>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>

#include "dlg/artwork.h"
#include "dlg/dlgbar.h"
#include "wavewin/commands.h"
#include "wavewin/timeline.h"
#include "wavewin/transport.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

// A scroll bar's value as a scroll position in pixels, and back.
int64_t ScrollOfBar(const QScrollBar* bar, int value);
int BarOfScroll(const QScrollBar* bar, int64_t position);

TWaveWinDlg::TWaveWinDlg(QWidget* parent) : TStdDlg(parent, WidthUnits, HeightUnits) {
    setWindowFlags(Qt::Widget);
    setSizeGripEnabled(false);

    Wave = new TWaveWin(this);
    Wave->Dialog = this;
    Wave->setAccessibleName(QCoreApplication::translate("WaveWindow", "Channels"));
    Wave->setAccessibleDescription(QCoreApplication::translate(
        "WaveWindow", "The channel strips of the sound, one waveform each"));
    Place(Wave, 2501, -1, 61, 395, 142);
    // In the template's order, which is the order of tabbing and stacking.
    PlaceViewControls();
    PlaceLevels();
    PlaceViewButtons();
    AddButtons(MakeBar(2502, 3, 221, 137, 37), TToolBar::Transport, 5);
    PlaceReadout();
    AddButtons(MakeBar(2551, 305, 221, 104, 37), TToolBar::Tracks, 5);
    AddButtons(MakeBar(2555, 6, 6, 224, 29), TToolBar::Effects, 0);

    // Set-up: fixed thicknesses, then the controls that follow the size.
    SetupWindow();
    FollowSize();
    // However small the window is made, the transport buttons stay in it,
    // and the waveform keeps a strip of its own above the bottom bars.
    setMinimumSize(Control(2502)->geometry().right() + Units().X(3), Units().Y(HeightUnits - 122));

    connect(Wave, &TWaveWin::StateChanged, this, [this] { FollowState(); });
    FollowState();
}

void TWaveWinDlg::PlaceViewControls() {
    auto* timeLine = new TTimeLine(Wave, this);
    Place(timeLine, 2509, 0, 41, 393, 20);
    Wave->TimeLine = timeLine;

    auto* hScroll = new QScrollBar(Qt::Horizontal, this);
    Place(hScroll, 2506, 118, 203, 276, 15);
    Wave->HScroll = hScroll;
    auto* vScroll = new QScrollBar(Qt::Vertical, this);
    Place(vScroll, 2505, 394, 71, 16, 132);
    Wave->VScroll = vScroll;
    for (QScrollBar* bar : {hScroll, vScroll})
        bar->setFocusPolicy(Qt::NoFocus);
    hScroll->setAccessibleName(
        QCoreApplication::translate("WaveWindow", "Scroll through the sound"));
    vScroll->setAccessibleName(
        QCoreApplication::translate("WaveWindow", "Scroll through the channels"));
    ConnectScrollBar(hScroll, true);
    ConnectScrollBar(vScroll, false);
}

void TWaveWinDlg::PlaceLevels() {
    auto* meterGroup = new TBVGroup(QCoreApplication::translate("WaveWindow", "Recording\nMeter"),
                                    NSArt::GlyphRecordingMeter, this);
    Place(meterGroup, 2552, 289, 2, 56, 38);
    auto* meter = new TRecLevelWin(meterGroup);
    meterGroup->SetSide(meter, 10, 50);
    Wave->Meter = meter;

    auto* volumeGroup = new TBVGroup(QCoreApplication::translate("WaveWindow", "Playback\nVolume"),
                                     NSArt::GlyphPlaybackVolume, this);
    Place(volumeGroup, 2553, 232, 2, 56, 38);
    auto* slider = new TVolSlider(Wave, volumeGroup);
    volumeGroup->SetSide(slider, 21, 50);
    Wave->Slider = slider;

    // The groups take the width their titles and controls need, the meter
    // beside the volume.
    QRect volume = volumeGroup->geometry();
    volume.setWidth(std::max(volume.width(), volumeGroup->NeededWidth()));
    volumeGroup->setGeometry(volume);
    QRect meterPlace = meterGroup->geometry();
    meterPlace.moveLeft(std::max(meterPlace.left(), volume.right() + 1 + Units().X(1)));
    meterPlace.setWidth(std::max(meterPlace.width(), meterGroup->NeededWidth()));
    meterGroup->setGeometry(meterPlace);
}

void TWaveWinDlg::PlaceViewButtons() {
    AddButtons(MakeBar(2508, 394, 41, 16, 30), TToolBar::Height, 0);
    AddButtons(MakeBar(2507, 0, 203, 49, 14), TToolBar::Zoom, 0);

    auto* format = new QPushButton(QStringLiteral("16 bit/22.050 kHz"), this);
    Place(format, 2049, 48, 203, 70, 15);
    format->setAutoDefault(false);
    format->setDefault(false);
    format->setFocusPolicy(Qt::TabFocus);
    format->setAccessibleDescription(QCoreApplication::translate(
        "WaveWindow", "The sample size and rate: opens the Sound Format dialog"));
    connect(format, &QPushButton::clicked, Wave, [this] {
        Wave->setFocus();
        Wave->Command(CmdSoundFormat);
    });
    Wave->FormatButton = format;
}

void TWaveWinDlg::PlaceReadout() {
    auto* status = new TDlgStatusBar(this);
    Place(status, 2503, 141, 246, 162, 12);
    Wave->StatusBar = status;
    Wave->StatusText = status->MessageGadget();
    Wave->ModifiedGadget = status->ModifiedGadget();
    status->setAccessibleName(QCoreApplication::translate("WaveWindow", "Status"));

    TDlgControlBar* values = MakeBar(2504, 141, 231, 162, 12);
    values->setAccessibleName(QCoreApplication::translate("WaveWindow", "Selection"));
    // The values in the palette's text colour; the captions navy on a light
    // palette (the gadget takes the palette's text colour on a dark one).
    Wave->StartGadget = new TSelectionGadget(values, "---", ValueFont(), QColor(), true);
    Wave->EndGadget = new TSelectionGadget(values, "---", ValueFont(), QColor(), true);
    Wave->LengthGadget = new TSelectionGadget(values, "---", ValueFont(), QColor(), true);
    TSelectionGadget* shown[] = {Wave->StartGadget, Wave->EndGadget, Wave->LengthGadget};
    for (TSelectionGadget* g : shown)
        values->Insert(g, true);

    TDlgControlBar* captions = MakeBar(2557, 141, 221, 162, 10);
    captions->setAccessibleName(QCoreApplication::translate("WaveWindow", "Selection captions"));
    const char* texts[] = {QT_TRANSLATE_NOOP("WaveWindow", "Start"),
                           QT_TRANSLATE_NOOP("WaveWindow", "End"),
                           QT_TRANSLATE_NOOP("WaveWindow", "Length")};
    for (int k = 0; k < 3; ++k) {
        auto* caption =
            new TSelectionGadget(captions, QCoreApplication::translate("WaveWindow", texts[k]),
                                 CaptionFont(), QColor(0, 0, 128), false);
        captions->Insert(caption, true);
        // Each value is read out under its caption's name.
        shown[k]->setAccessibleName(QCoreApplication::translate("WaveWindow", texts[k]));
        shown[k]->SetLabel(caption);
    }
}

void TWaveWinDlg::FollowSize() {
    Control(2049)->setFixedHeight(25);
    Control(2506)->setFixedHeight(25);
    Control(2505)->setFixedWidth(25);
    new TVariableWidth(*this, Wave);
    new TVariableHeight(*this, Wave);
    new TVariableWidth(*this, Control(2509));
    new TRightAnchor(*this, Control(2508));
    new TRightAnchor(*this, Control(2505));
    new TVariableHeight(*this, Control(2505));
    new TBottomAnchor(*this, Control(2507));
    new TBottomAnchor(*this, Control(2049));
    new TBottomAnchor(*this, Control(2506));
    new TVariableWidth(*this, Control(2506));
    for (int id : {2502, 2503, 2504, 2557, 2551})
        new TBottomAnchor(*this, Control(id));
}

TDlgControlBar* TWaveWinDlg::MakeBar(int id, int x, int y, int w, int h) {
    auto* bar = new TDlgControlBar(this);
    // Translated for each window: a language installed later shows too.
    static const QHash<int, const char*> names = {
        {2502, QT_TRANSLATE_NOOP("WaveWindow", "Transport")},
        {2551, QT_TRANSLATE_NOOP("WaveWindow", "Tracks")},
        {2555, QT_TRANSLATE_NOOP("WaveWindow", "Effects")},
        {2508, QT_TRANSLATE_NOOP("WaveWindow", "Channel height")},
        {2507, QT_TRANSLATE_NOOP("WaveWindow", "Zoom")}};
    if (const char* name = names.value(id))
        bar->setAccessibleName(QCoreApplication::translate("WaveWindow", name));
    Place(bar, id, x, y, w, h);
    return bar;
}

void TWaveWinDlg::AddButtons(TDlgControlBar* bar, TToolBar which, int margin) {
    for (const TCommandInfo* c : ToolButtons(which)) {
        const char* caption = c->Tool.Caption;
        auto* button = new TBVButton(Wave, c->Id, c->Tool.Glyph, margin, CommandText(caption), bar);
        bar->Insert(button);
        ButtonList.append(button);
    }
}

void TWaveWinDlg::ConnectScrollBar(QScrollBar* bar, bool horizontal) {
    connect(bar, &QAbstractSlider::actionTriggered, Wave, [this, bar, horizontal](int action) {
        TScroll code;
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            code = TScroll::LineBack;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            code = TScroll::LineForward;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = TScroll::PageBack;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = TScroll::PageForward;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = TScroll::ToStart;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = TScroll::ToEnd;
            break;
        case QAbstractSlider::SliderMove:
            code = TScroll::ThumbTrack;
            break;
        default:
            return;
        }
        const int64_t position = ScrollOfBar(bar, bar->sliderPosition());
        if (horizontal)
            Wave->ScrollHorizontally(code, position);
        else
            Wave->ScrollVertically(code, position);
        // The bar shows where the window went, not where the click aimed.
        const int64_t now = horizontal ? Wave->View().ScrollX : Wave->View().ScrollY;
        bar->setSliderPosition(BarOfScroll(bar, now));
    });
}

void TWaveWinDlg::FollowState() {
    for (TBVButton* button : ButtonList)
        button->UpdateState();
    if (Wave->Slider) {
        const int position = TVolSlider::PositionOf(Wave->Level() * NSWave::VolumeStep);
        if (Wave->Slider->value() != position) {
            QSignalBlocker quiet(Wave->Slider);
            Wave->Slider->setValue(position);
        }
    }
}

void TWaveWinDlg::closeEvent(QCloseEvent* event) {
    if (Wave->Loading()) {
        // The load stops first; the window closes once it has.
        Wave->CancelLoad();
        QWidget* closing = Wave->Child ? static_cast<QWidget*>(Wave->Child) : this;
        connect(
            Wave, &TWaveWin::LoadEnded, closing, [closing] { closing->close(); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        event->ignore();
        return;
    }
    if (Wave->CanClose())
        event->accept();
    else
        event->ignore();
}

} // namespace NSWaveWin
