// The document window's view: layout of the channel views, zoom, scrolling,
// the selection and the mouse gestures that change it.

#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "dlg/artwork.h"
#include "wave/timefmt.h"
#include "wavewin/chanwin.h"
#include "wavewin/timeline.h"
#include "wavewin/viewprefs.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

// Scroll positions are 64-bit and a scroll bar counts in int: a long sound
// at a high zoom is past two thousand million pixels wide. A range that
// does not fit is mapped in proportion onto [0, BarLimit], so that both ends
// are still reached exactly.
constexpr int64_t BarLimit = int64_t(1) << 30;

int64_t BarMaximum(const QScrollBar* bar) {
    return bar->property("bvMaximum").toLongLong();
}

int ToBar(int64_t value, int64_t maximum) {
    if (maximum <= BarLimit)
        return int(value);
    return int((__int128(value) * BarLimit + maximum / 2) / maximum);
}

void SetBar(QScrollBar* bar, int64_t maximum, int page, int64_t position) {
    if (!bar)
        return;
    QSignalBlocker quiet(bar);
    bar->setProperty("bvMaximum", qlonglong(maximum));
    bar->setRange(0, ToBar(maximum, maximum));
    bar->setPageStep(std::max(1, ToBar(page, maximum)));
    bar->setSingleStep(std::max(1, ToBar(page / 10, maximum)));
    bar->setValue(ToBar(position, maximum));
    bar->setEnabled(maximum > 0);
}

} // namespace

int64_t ScrollOfBar(const QScrollBar* bar, int value) {
    const int64_t maximum = BarMaximum(bar);
    if (maximum <= BarLimit)
        return value;
    return int64_t((__int128(value) * maximum + BarLimit / 2) / BarLimit);
}

int BarOfScroll(const QScrollBar* bar, int64_t position) {
    return ToBar(position, BarMaximum(bar));
}

namespace {

using K = QKeySequence;

bool CanScrollBack(const TCommandState& s) {
    return s.ScrollX > 0;
}
bool CanScrollOn(const TCommandState& s) {
    return s.ScrollX < s.MaxScrollX;
}
bool CanScrollUp(const TCommandState& s) {
    return s.ScrollY > 0;
}
bool CanScrollDown(const TCommandState& s) {
    return s.ScrollY < s.MaxScrollY;
}

// A key alone scrolls by a page of the view; with Shift to the end. Left
// and Right move the cursor by a pixel instead (Shift: extend the
// selection) when the preference says so.
void ScrollRow(int id, int key, bool shift, bool horizontal, bool back) {
    const TScroll code = shift ? (back ? TScroll::ToStart : TScroll::ToEnd)
                               : (back ? TScroll::PageBack : TScroll::PageForward);
    TStateTest scrolls =
        horizontal ? (back ? CanScrollBack : CanScrollOn) : (back ? CanScrollUp : CanScrollDown);
    TCommandRow(
        TRow(id)
            .Shortcuts({K(shift ? (Qt::SHIFT | Qt::Key(key)) : QKeyCombination(Qt::Key(key)))})
            .When([scrolls, horizontal](const TCommandState& s) {
                return (horizontal && s.ArrowsMoveCursor) || scrolls(s);
            })
            .Idle()
            .Viewing()
            .Does([code, horizontal, shift, back](TWaveWin& w) {
                if (horizontal && ArrowsMoveCursorSetting.Get() != 0)
                    MoveCursor(w, back ? -SamplesPerPixel(w) : SamplesPerPixel(w), shift);
                else if (horizontal)
                    w.ScrollHorizontally(code);
                else
                    w.ScrollVertically(code);
            }));
}

[[maybe_unused]] const bool ScrollRows = [] {
    ScrollRow(CmdScrollLeft, Qt::Key_Left, false, true, true);
    ScrollRow(CmdScrollRight, Qt::Key_Right, false, true, false);
    ScrollRow(CmdScrollStart, Qt::Key_Left, true, true, true);
    ScrollRow(CmdScrollEnd, Qt::Key_Right, true, true, false);
    ScrollRow(CmdScrollUp, Qt::Key_Up, false, false, true);
    ScrollRow(CmdScrollDown, Qt::Key_Down, false, false, false);
    ScrollRow(CmdScrollTop, Qt::Key_Up, true, false, true);
    ScrollRow(CmdScrollBottom, Qt::Key_Down, true, false, false);
    return true;
}();

const TCommandRow
    HeightUpRow(TRow(CmdHeightUp)
                    .Button(TToolBar::Height, 0, NSArt::GlyphTaller)
                    .When([](const TCommandState& s) { return s.ChannelHeight <= 1999.999; })
                    .Viewing()
                    .Does([](TWaveWin& w) { w.SetChannelHeight(w.View().ChannelHeight * 1.5); }));
const TCommandRow HeightDownRow(
    TRow(CmdHeightDown)
        .Button(TToolBar::Height, 10, NSArt::GlyphShorter)
        .When([](const TCommandState& s) { return s.ChannelHeight >= 50.001; })
        .Viewing()
        .Does([](TWaveWin& w) { w.SetChannelHeight(w.View().ChannelHeight * 2.0 / 3.0); }));
// "+" arrives with Shift on most keyboards and without it on the keypad;
// both are the same command. With Control they are the desktop's own zoom
// keys, where Ctrl+= is Ctrl++ without Shift.
const TCommandRow
    ZoomInRow(TRow(CmdZoomIn)
                  .Item(TMenu::View, 0, QT_TRANSLATE_NOOP("Commands", "Zoom &In\tCtrl++"))
                  .Shortcuts({K(Qt::Key_Plus), K(Qt::SHIFT | Qt::Key_Plus),
                              K(Qt::KeypadModifier | Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Plus),
                              K(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
                              K(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus),
                              K(Qt::CTRL | Qt::Key_Equal)})
                  .Picture(NSArt::GlyphZoomIn)
                  .Button(TToolBar::Zoom, 0, NSArt::GlyphTaller)
                  .When([](const TCommandState& s) { return s.Zoom <= TWaveWin::ZoomMax - 0.001; })
                  .Viewing()
                  .Does([](TWaveWin& w) { w.SetScale(w.View().Zoom * 1.5); }));
const TCommandRow
    ZoomOutRow(TRow(CmdZoomOut)
                   .Item(TMenu::View, 10, QT_TRANSLATE_NOOP("Commands", "Zoom &Out\tCtrl+-"))
                   .Shortcuts({K(Qt::Key_Minus), K(Qt::KeypadModifier | Qt::Key_Minus),
                               K(Qt::CTRL | Qt::Key_Minus),
                               K(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus)})
                   .Picture(NSArt::GlyphZoomOut)
                   .Button(TToolBar::Zoom, 10, NSArt::GlyphShorter)
                   .When([](const TCommandState& s) { return s.Zoom >= s.ZoomFloor + 0.00000001; })
                   .Viewing()
                   .Does([](TWaveWin& w) { w.SetScale(w.View().Zoom * 2.0 / 3.0); }));
const TCommandRow FitRow(TRow(CmdFit)
                             .Item(TMenu::View, 20,
                                   QT_TRANSLATE_NOOP("Commands", "Fit To Window\t="))
                             .Shortcuts({K(Qt::Key_Equal)})
                             .Picture(NSArt::GlyphFitToWindow)
                             .Button(TToolBar::Zoom, 20, NSArt::GlyphFitEdges)
                             .Viewing()
                             .Does([](TWaveWin& w) { w.ZoomToFit(); }));

} // namespace

void TWaveWin::SetChannelHeight(double height) {
    ChannelHeight = int(height);
    UpdateView();
}

void TWaveWin::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitHeight();
    // A sound shown whole stays whole when the window changes its width (a
    // window maximised once it has been laid out, by the desktop).
    if (FitsWidth && Created && event->size().width() != event->oldSize().width() &&
        !(Selection.Valid && Selection.Start < Selection.End)) {
        SetScale(FitZoom());
        FitsWidth = true;
    }
}

double TWaveWin::FitZoom() const {
    const uint32_t n = ShownLength();
    return n == 0 ? 0.01 : double(width() - 4) / double(n) * 0.9;
}

double TWaveWin::MinZoom() const {
    return std::min(ZoomMin, FitZoom());
}

void TWaveWin::FitHeight() {
    const int n = Shown().ChannelCount();
    if (Created && n >= 1) {
        ChannelHeight = (height() - 6 * n) / n;
        UpdateView();
    }
}

bool TWaveWin::Layout() {
    if (!Created)
        return false;
    if (Selection.Valid && Selection.Channel != AllChannels &&
        Selection.Channel >= Shown().ChannelCount())
        Selection = TSampleRange();
    const int n = Shown().ChannelCount();
    if (n == 0)
        return false;
    const int64_t scrollX = ScrollX;
    ChannelHeight = std::clamp(ChannelHeight, MinChannelHeight, MaxChannelHeight);
    ViewWidth = width() - 4;
    Zoom = std::clamp(Zoom, MinZoom(), ZoomMax);
    CentreY = HalfHeight = (ChannelHeight - 4) / 2;
    MaxScrollY = std::max<int64_t>(0, int64_t(ChannelHeight + 6) * n - height() - 6);
    ScrollY = std::clamp<int64_t>(ScrollY, 0, MaxScrollY);
    MaxScrollX = std::max<int64_t>(0, int64_t(double(ShownLength()) * Zoom - ViewWidth + 40));
    ScrollX = std::clamp<int64_t>(ScrollX, 0, MaxScrollX);

    while (ChannelViews.Count() < n) {
        auto* view = new TChannelWin(this, ChannelViews.Count());
        ChannelViews.Add(view);
        view->show();
    }
    while (ChannelViews.Count() > n)
        delete ChannelViews.Detach(ChannelViews.Count() - 1);
    for (int i = 0; i < n; ++i)
        ChannelViews[i]->setGeometry(0, int(int64_t(i) * (ChannelHeight + 6) - ScrollY), width(),
                                     ChannelHeight);
    SetBar(HScroll, MaxScrollX, ViewWidth, ScrollX);
    SetBar(VScroll, MaxScrollY, height(), ScrollY);
    return ScrollX != scrollX;
}

void TWaveWin::UpdateView() {
    if (!Layout() && (!Created || Shown().ChannelCount() == 0))
        return;
    update();
    for (TChannelWin* view : ChannelViews)
        view->update();
    if (TimeLine)
        TimeLine->update();
    NoteState();
}

void TWaveWin::AnnounceChanges() {
    TDocumentChange change;
    std::vector<uint32_t> lengths(size_t(Document.ChannelCount()));
    for (int c = 0; c < Document.ChannelCount(); ++c) {
        NSWave::TChannel& channel = Document.Channel(c);
        lengths[size_t(c)] = channel.Count;
        const uint32_t from = channel.TakeChangedFrom();
        if (from != NSWave::TChannel::NoChange) {
            change.Channels.push_back(c);
            change.From = std::min(change.From, from);
        }
    }
    change.Lengths = lengths != AnnouncedLengths;
    change.Format = Document.Rate != AnnouncedRate || Document.Size != AnnouncedSize ||
                    Document.Style != AnnouncedStyle;
    if (change.Channels.empty() && !change.Lengths && !change.Format)
        return;
    AnnouncedLengths = std::move(lengths);
    AnnouncedRate = Document.Rate;
    AnnouncedSize = Document.Size;
    AnnouncedStyle = Document.Style;
    emit DocumentChanged(change);
}

void TWaveWin::FollowChange(const TDocumentChange& change) {
    // Channels that came or went share the window's height afresh (Undo of
    // Delete Track, a pasted sound that brings its own channels).
    if (Created && ChannelViews.Count() != Document.ChannelCount())
        FitHeight();
    if (change.Lengths || change.Format) {
        // Views whose place or scroll position moved are drawn afresh; the
        // others repaint what changed (below, each view for itself).
        const int before = ChannelViews.Count();
        if (Layout() || ChannelViews.Count() != before) {
            for (TChannelWin* view : ChannelViews)
                view->update();
            if (TimeLine)
                TimeLine->update();
        }
    }
    if (change.Format) {
        UpdateTitle();
        UpdateSelectionTexts();
        if (TimeLine)
            TimeLine->update();
    }
    NoteState();
}

void TWaveWin::SetColors(uint32_t back, uint32_t wave, uint32_t legend, uint32_t selection) {
    BackColor = back;
    WaveColor = wave;
    LegendColor = legend;
    SelColor = selection;
    UpdateView();
}

void TWaveWin::ShowChannel(int channel) {
    if (!Created || channel < 0 || channel >= Shown().ChannelCount())
        return;
    const int64_t top = int64_t(channel) * (ChannelHeight + 6);
    if (top < ScrollY || top + ChannelHeight > ScrollY + height())
        ScrollVertically(TScroll::ThumbPosition, top);
}

void TWaveWin::ResetView() {
    ScrollX = 0;
    ScrollY = 0;
    ChannelHeight = 100;
    FitHeight();
    UpdateView();
    Selection = TSampleRange();
    ZoomToFit();
    SetSelection(TSampleRange(), false);
    Drag = TDrag();
}

void TWaveWin::SetScale(double zoom) {
    if (!Created)
        return;
    FitsWidth = false;
    const double z = std::clamp(zoom, MinZoom(), ZoomMax);
    const int64_t startPixel = Selection.Valid ? PixelOf(Selection.Start) : -1;
    if (z > Zoom && Selection.Valid && startPixel >= 0 && startPixel <= width() - 4)
        ScrollX = int64_t(z * Selection.Start) - width() / 2;
    else
        ScrollX = int64_t(z * double(int64_t(double(ScrollX) / Zoom)));
    Zoom = z;
    UpdateView();
}

void TWaveWin::ZoomToFit() {
    if (Selection.Valid && Selection.Start < Selection.End) {
        FitsWidth = false;
        Zoom = std::clamp(double(ViewWidth) / double(Selection.End - Selection.Start), MinZoom(),
                          ZoomMax);
        ScrollX = int64_t(Selection.Start * Zoom);
        UpdateView();
        return;
    }
    SetScale(FitZoom());
    FitsWidth = true;
}

void TWaveWin::ScrollHorizontally(TScroll code, int64_t position) {
    int64_t x = ScrollX;
    switch (code) {
    case TScroll::LineBack:
        x -= ViewWidth / 10;
        break;
    case TScroll::LineForward:
        x += ViewWidth / 10;
        break;
    case TScroll::PageBack:
        x -= int64_t(ViewWidth) * 3 / 4;
        break;
    case TScroll::PageForward:
        x += int64_t(ViewWidth) * 3 / 4;
        break;
    case TScroll::ThumbPosition:
    case TScroll::ThumbTrack:
        x = position;
        break;
    case TScroll::ToStart:
        x = 0;
        break;
    case TScroll::ToEnd:
        x = MaxScrollX;
        break;
    }
    x = std::clamp<int64_t>(x, 0, MaxScrollX);
    if (x == ScrollX)
        return;
    const int64_t shift = ScrollX - x;
    ScrollX = x;
    SetBar(HScroll, MaxScrollX, ViewWidth, ScrollX);
    for (TChannelWin* view : ChannelViews) {
        if (std::llabs(shift) < view->width()) {
            view->scroll(int(shift), 0);
            view->Scrolled(int(shift));
        } else
            view->update();
    }
    if (TimeLine)
        TimeLine->update();
    NoteState();
}

void TWaveWin::ScrollVertically(TScroll code, int64_t position) {
    const int h = height();
    const int n = Shown().ChannelCount();
    int64_t y = ScrollY;
    switch (code) {
    case TScroll::LineBack:
        y -= std::max(1, h * 4 / 50);
        break;
    case TScroll::LineForward:
        y += std::max(1, h * 4 / 50);
        break;
    case TScroll::PageBack:
        y -= std::max(1, h * 4 / 5);
        break;
    case TScroll::PageForward:
        y += std::max(1, h * 4 / 5);
        break;
    case TScroll::ThumbPosition:
    case TScroll::ThumbTrack:
        y = position;
        break;
    case TScroll::ToStart:
        y = 0;
        break;
    case TScroll::ToEnd:
        y = int64_t(n) * (ChannelHeight + 6);
        break;
    }
    // Never past the layout's maximum, or every channel would scroll away.
    y = std::clamp<int64_t>(y, 0, MaxScrollY);
    if (y == ScrollY)
        return;
    ScrollY = y;
    for (int i = 0; i < ChannelViews.Count(); ++i)
        ChannelViews[i]->move(0, int(int64_t(i) * (ChannelHeight + 6) - ScrollY));
    SetBar(VScroll, MaxScrollY, h, ScrollY);
    NoteState();
}

void TWaveWin::ShowSample(uint32_t sample) {
    const int64_t p = int64_t(sample * Zoom);
    if (p < ScrollX || p >= ScrollX + ViewWidth)
        ScrollHorizontally(TScroll::ThumbPosition, p <= ViewWidth / 2 ? 0 : p - ViewWidth / 2);
}

TSampleRange TWaveWin::EffectiveRange() const {
    const uint32_t length = Document.GetLength();
    if (Selection.Valid && Selection.Start == Selection.End)
        return TSampleRange(0, length, Selection.Channel);
    if (Selection.Valid)
        return Selection;
    return TSampleRange(0, length, AllChannels);
}

void TWaveWin::SetSelection(const TSampleRange& range, bool bringIntoView) {
    auto repaint = [&](const TSampleRange& r) {
        if (!r.Valid)
            return;
        for (TChannelWin* view : ChannelViews)
            if (r.Channel == AllChannels || r.Channel == view->Channel)
                view->InvalidateSamples(r.Start, r.End);
    };
    const TSampleRange old = Selection;
    if (Created && old.Valid && range.Valid && old.Channel == range.Channel &&
        old.Channel != AllChannels && old.Channel < ChannelViews.Count() &&
        (old.End == range.End || old.Start == range.Start)) {
        if (old.End == range.End)
            repaint(TSampleRange(old.Start, range.Start, old.Channel));
        else
            repaint(TSampleRange(old.End, range.End, old.Channel));
        Selection = range;
    } else {
        repaint(old);
        Selection = range;
        repaint(range);
    }
    if (bringIntoView && range.Valid)
        ShowSample(range.Start);
    UpdateSelectionTexts();
    NoteState();
}

void TWaveWin::UpdateSelectionTexts() {
    const double rate = std::max(1, Document.Rate);
    auto seconds = [&](uint32_t samples) { return NSWave::FormatSeconds(samples / rate); };
    const bool valid = Selection.Valid;
    const bool range = valid && Selection.Start < Selection.End;
    if (StartGadget)
        StartGadget->SetText(valid ? seconds(Selection.Start) : "---");
    if (EndGadget)
        EndGadget->SetText(range ? seconds(Selection.End) : "---");
    if (LengthGadget)
        LengthGadget->SetText(range ? seconds(Selection.End - Selection.Start) : "---");
}

void TWaveWin::MouseDown(TChannelWin* view, int x, bool shift, bool control) {
    CmStop();
    if (shift) {
        CmAllChannels();
        return;
    }
    const int64_t s = std::max<int64_t>(0, SampleUnder(x));
    const uint32_t sample = uint32_t(std::min<int64_t>(s, UINT32_MAX));
    Drag.Anchor = sample;
    Drag.ClickX = x;
    TSampleRange selection;
    if (control) {
        if (Selection.Valid) {
            selection = Selection;
            selection.Start = std::min(selection.Start, sample);
            selection.End = std::max(selection.End, sample);
        } else {
            selection = TSampleRange(sample, sample, view->Channel);
        }
        Drag = TDrag();
    } else {
        Drag.View = view;
        selection = TSampleRange(sample, sample, view->Channel);
    }
    SetSelection(selection, false);
}

void TWaveWin::MouseMove(TChannelWin* view, int x, bool buttonDown) {
    if (!Dragging(view) || !buttonDown) {
        Drag = TDrag();
        return;
    }
    if (Drag.ClickX >= 0) {
        if (std::abs(x - Drag.ClickX) < 3)
            return;
        Drag.ClickX = -1;
    }
    const int64_t s = std::clamp<int64_t>(SampleUnder(std::max(x, 0)), 0, UINT32_MAX);
    SetSelection(TSampleRange(uint32_t(Drag.Anchor), uint32_t(s), view->Channel), false);
}

void TWaveWin::MouseUp(TChannelWin* view, int x) {
    MouseMove(view, x, true);
    Drag = TDrag();
}

bool TWaveWin::Dragging(const TChannelWin* view) const {
    return view && Drag.View == view && Drag.Anchor >= 0;
}

} // namespace NSWaveWin
