// The document window on a screen of twice the density and under a dark
// palette: the waveform, the spectrogram and the time line drawn in device
// pixels (a line one device pixel thick, the wave and the spectrogram as the
// plain painters draw them at twice the zoom), and texts and lines in the
// palette's colours.

#include <QApplication>
#include <QProcess>
#include <cstdlib>

#include "dlg/dlgbar.h"
#include "spectrotest.h"
#include "support/childtest.h"
#include "viewtest.h"
#include "wavewin/chanwin.h"
#include "wavewin/commands.h"
#include "wavewin/spectroview.h"
#include "wavewin/timeline.h"
#include "wavewin/transport.h"
#include "wavewin/wavewindlg.h"
#include "wavewintest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

const char* const ChildFlag = "BRIMVALE_SCALED_CHILD";

// The lengths of the runs of pixels of `colour` along row y.
std::vector<int> Runs(const QImage& image, int y, QRgb colour) {
    std::vector<int> runs;
    int run = 0;
    for (int x = 0; x < image.width(); ++x) {
        if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
            ++run;
        } else if (run) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run)
        runs.push_back(run);
    return runs;
}

// The rows of column x in `colour`.
int RowsOf(const QImage& image, int x, QRgb colour) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        rows += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return rows;
}

} // namespace

TEST(ScaledScreen, TheWindowIsDrawnInDevicePixelsAtTwiceTheDensity) {
    if (std::getenv(ChildFlag))
        GTEST_SKIP() << "the part that runs at twice the density";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ChildFlag, "1");
    env.insert("QT_SCALE_FACTOR", "2");
    ExpectChildTestPasses(env, "ScaledScreenChild.*", 2);
}

class ScaledScreenChild : public WaveWinTest {};

TEST_F(ScaledScreenChild, WaveTimeLineAndCursorAreOneDevicePixelWide) {
    if (!std::getenv(ChildFlag))
        GTEST_SKIP() << "runs in a process of its own at twice the density";
    // A sound that ends before the view does, so the green zero line shows.
    TWaveWin* w = Open(MakeSound("scaled.wav", 2, 30000, 22050, 2, [](int c, uint32_t i) {
        return int32_t(std::sin(i * (c ? 0.0031 : 0.0107)) * 1.5e9 * (1 + (i % 7 == 0)) / 2);
    }));
    QCoreApplication::processEvents();
    w->SetScale(0.02);
    QCoreApplication::processEvents();
    TChannelWin* view = w->Views()[0];
    ASSERT_EQ(view->devicePixelRatioF(), 2.0);
    const uint32_t cursor = 9000;
    for (const TSampleRange& selection :
         {TSampleRange(cursor, cursor, 0), TSampleRange(4000, 17000, AllChannels)}) {
        w->SetSelection(selection);
        QCoreApplication::processEvents();
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), view->size() * 2);
        // What the plain painter draws at twice the zoom, scroll and height.
        TWaveWin& twice = *w;
        TViewState& set = TWaveWinProbe::View(twice);
        const double zoom = set.Zoom;
        const int64_t scroll = set.ScrollX;
        const int centre = set.CentreY, half = set.HalfHeight;
        set.Zoom = zoom * 2;
        set.ScrollX = scroll * 2;
        set.CentreY = centre * 2;
        set.HalfHeight = half * 2;
        const QImage plain = PlainView(twice, 0, shown.width(), shown.height());
        set.Zoom = zoom;
        set.ScrollX = scroll;
        set.CentreY = centre;
        set.HalfHeight = half;
        EXPECT_TRUE(SamePixels(shown, plain, shown.rect()));

        // The green zero line past the end is one device row.
        const int end = int(w->PixelOf(30000)) * 2;
        ASSERT_LT(end + 4, shown.width());
        EXPECT_EQ(RowsOf(shown, end + 3, qRgb(0, 255, 0)), 1);
        if (selection.Start == selection.End) {
            // The cursor: one device column of the wave's colour on the
            // background's top row.
            const std::vector<int> runs = Runs(shown, 0, RgbOf(w->View().WaveColor));
            ASSERT_EQ(runs.size(), 1u);
            EXPECT_EQ(runs[0], 1);
        }
    }

    // The time line's line is one device row, its ticks one device column.
    const QImage line = w->TimeLine->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb mid = TTimeLine::LineColor(w->TimeLine->palette()).rgb();
    const QRgb ink = w->TimeLine->palette().color(QPalette::Text).rgb();
    EXPECT_EQ(RowsOf(line, line.width() - 3, mid), 1);
    const std::vector<int> ticks = Runs(line, 2 * 13, ink);
    ASSERT_GE(ticks.size(), 3u);
    for (int run : ticks)
        EXPECT_EQ(run, 1);
}

namespace {

// The view painted in device pixels, all of it or only the part `area` of
// its own pixels asked for (magenta elsewhere).
QImage DevicePixels(TChannelWin& view, const QRect& area = QRect()) {
    if (area.isNull())
        return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage image(view.size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(qRgb(255, 0, 255));
    view.render(&image, area.topLeft(), QRegion(area));
    return image;
}

// The columns of the area in which two pictures differ.
std::vector<int> ColumnsThatDiffer(const QImage& a, const QImage& b, const QRect& area) {
    std::vector<int> columns;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                columns.push_back(x);
                break;
            }
    return columns;
}

} // namespace

TEST_F(ScaledScreenChild, SpectrogramColumnsRowsRulerAndCursorAreDevicePixels) {
    if (!std::getenv(ChildFlag))
        GTEST_SKIP() << "runs in a process of its own at twice the density";
    TWaveWin* w = Open(MakeSound("spectro2x.wav", 2, 60000, 22050, 2, [](int c, uint32_t i) {
        const double t = i / 22050.0;
        return int32_t(std::sin(6.2832 * (300 + 2000 * t * (c + 1)) * t) * 8e8) +
               (int32_t(i * 2654435761u) >> (8 + (i >> 11) % 10));
    }));
    QCoreApplication::processEvents();
    w->Command(CmdSpectrogram);
    ASSERT_TRUE(w->View().Spectrogram);
    TChannelWin* first = w->Views()[0];
    ASSERT_EQ(first->devicePixelRatioF(), 2.0);

    // What the window shows once the tiles have arrived against the plain
    // painting at twice the zoom, scroll and size, right of the ruler: the
    // whole view, and a stretch of columns painted alone from an odd column
    // of the view's own pixels. Returns the first view's device pixels.
    QRect area;
    auto check = [&](const std::string& state) {
        SCOPED_TRACE(state);
        SettleSpectrograms(w);
        QImage firstShown;
        for (TChannelWin* view : w->Views()) {
            const QImage shown = DevicePixels(*view);
            EXPECT_EQ(shown.size(), view->size() * 2);
            const QImage plain =
                PlainSpectrogram(*w, view->Channel, view->width() * 2, view->height() * 2, 2);
            QRect right = shown.rect();
            right.setLeft(2 * TSpectroStrip::RulerWidth);
            EXPECT_TRUE(SamePixels(shown, plain, right)) << "channel " << view->Channel;
            const QRect part(view->width() / 3 | 1, 0, view->width() / 3, view->height());
            const QImage alone = DevicePixels(*view, part);
            EXPECT_TRUE(SamePixels(alone, plain, QRect(part.topLeft() * 2, part.size() * 2)))
                << "painted alone, channel " << view->Channel;
            if (view == first) {
                firstShown = shown;
                area = right;
            }
        }
        return firstShown;
    };

    // Fitted, then zoomed in far enough that a frame spans many columns and
    // scrolled into the sound; then out until the sound ends on the screen.
    const double zooms[] = {0, 0.5, 0.02};
    for (double zoom : zooms) {
        if (zoom) {
            w->SetScale(zoom);
            QCoreApplication::processEvents();
        }
        if (zoom == 0.5) {
            w->ScrollHorizontally(TScroll::ThumbPosition, w->View().MaxScrollX / 3);
            SettleSpectrograms(w);
            w->ScrollHorizontally(TScroll::PageForward);
        }
        const std::string state = "zoom " + std::to_string(zoom);
        w->SetSelection(TSampleRange());
        const QImage none = check(state);
        ASSERT_FALSE(HasFailure());

        // A cursor inverts one device column, a selection the device columns
        // from its start's to its end's: here from an odd one, the right
        // half of one of the view's pixels.
        const double zoomDevice = w->View().Zoom * 2;
        const int64_t scrollDevice = w->View().ScrollX * 2;
        auto column = [&](uint32_t sample) {
            return int64_t(sample * zoomDevice - double(scrollDevice));
        };
        uint32_t start =
            uint32_t((scrollDevice + 2 * TSpectroStrip::RulerWidth + 301) / zoomDevice);
        while (column(start) % 2 == 0)
            ++start;
        const int64_t from = column(start);
        ASSERT_LT(from, area.right());
        for (const TSampleRange& selection :
             {TSampleRange(start, start, 0), TSampleRange(start, start + 5000, AllChannels)}) {
            w->SetSelection(selection);
            const QImage shown = check(state + (selection.IsEmpty() ? ", cursor" : ", band"));
            const int64_t to = selection.IsEmpty() ? from + 1 : column(selection.End);
            const std::vector<int> inverted = ColumnsThatDiffer(shown, none, area);
            ASSERT_FALSE(inverted.empty());
            EXPECT_EQ(inverted.front(), from);
            EXPECT_EQ(inverted.back() + 1, std::min<int64_t>(to, area.right() + 1));
            EXPECT_EQ(int64_t(inverted.size()), inverted.back() + 1 - inverted.front());
            if (selection.IsEmpty()) {
                EXPECT_EQ(inverted.size(), 1u);
            }
            for (int y = area.top(); y <= area.bottom(); ++y)
                ASSERT_EQ(shown.pixel(int(from), y), none.pixel(int(from), y) ^ 0x00ffffffu);
        }
    }

    // The ruler's ticks are one device row each, its edge one device column.
    const QImage shown = DevicePixels(*first);
    const QRgb ink = RgbOf(w->View().LegendColor);
    const int edge = 2 * TSpectroStrip::RulerWidth - 1;
    EXPECT_EQ(RowsOf(shown, edge, ink), shown.height());
    EXPECT_LT(RowsOf(shown, edge - 1, ink), shown.height() / 4);
    std::vector<int> ticks;
    for (int y = 0, run = 0; y <= shown.height(); ++y) {
        if (y < shown.height() && (shown.pixel(edge - 2, y) & 0xFFFFFF) == (ink & 0xFFFFFF)) {
            ++run;
        } else if (run) {
            ticks.push_back(run);
            run = 0;
        }
    }
    ASSERT_GE(ticks.size(), 3u);
    for (int run : ticks)
        EXPECT_EQ(run, 1);
}

TEST_F(WaveWinTest, ADarkPaletteGivesReadableReadOutsRulerAndCaptions) {
    const QPalette light = QApplication::palette();
    QPalette dark;
    for (auto [role, colour] : {std::pair{QPalette::Window, QColor(40, 40, 44)},
                                {QPalette::WindowText, QColor(230, 230, 230)},
                                {QPalette::Base, QColor(28, 28, 30)},
                                {QPalette::Text, QColor(240, 240, 240)},
                                {QPalette::Button, QColor(55, 55, 60)},
                                {QPalette::ButtonText, QColor(235, 235, 235)},
                                {QPalette::Mid, QColor(90, 90, 90)}})
        dark.setColor(role, colour);
    QApplication::setPalette(dark);
    TWaveWin* w = Open(MakeSound("dark.wav", 1, 30000));
    w->SetSelection(TSampleRange(100, 9000, 0));
    QCoreApplication::processEvents();
    // The lightest pixel of each is its text: light on the dark ground.
    // Frames drawn in the palette's light colour are left out.
    auto lightest = [](QWidget* widget) {
        const QImage whole = widget->grab().toImage();
        const QImage image = whole.copy(whole.rect().adjusted(3, 3, -3, -3));
        int best = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                best = std::max(best, QColor(image.pixel(x, y)).lightness());
        return best;
    };
    auto darkest = [](QWidget* widget) {
        const QImage image = widget->grab().toImage();
        int sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += QColor(image.pixel(x, y)).lightness();
        return sum / std::max(1, image.width() * image.height());
    };
    QList<QWidget*> texts = {w->StartGadget, w->EndGadget, w->LengthGadget, w->TimeLine};
    for (QWidget* child : w->Dialog->findChildren<QWidget*>())
        if (dynamic_cast<TBVGroup*>(child) || (dynamic_cast<TSelectionGadget*>(child) &&
                                               static_cast<TTextGadget*>(child)->Text() == "Start"))
            texts << child;
    ASSERT_EQ(texts.size(), 7);
    for (QWidget* widget : texts) {
        SCOPED_TRACE(typeid(*widget).name());
        EXPECT_GE(lightest(widget), 200);
        EXPECT_LE(darkest(widget), 110);
    }
    QApplication::setPalette(light);
}
