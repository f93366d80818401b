// Printed pages against a plain reference: pages are painted into images and
// every part is checked against the layout computed here from the page's
// rules in the simplest way (64-bit and exact integer arithmetic, every
// sample read by the plain scan): margins, header, bands, ruler frames,
// tick choice and labels, box frames, centre lines and min/max columns.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "print/printout.h"
#include "wave/file.h"
#include "wave/peaks.h"
#include "wave/timefmt.h"

using NSPrint::TWavePrintout;

namespace {

const QDateTime Moment(QDate(2024, 3, 7), QTime(9, 5, 42));
const char* const MomentText = "2024-03-07 09:05";

// What the printout is asked for, before its construction rules.
struct TCase {
    int64_t Start = 0;
    int64_t End = 0;
    int First = 0;
    int Last = 0;
    int Rows = 3;
    int Pages = 1;
    int Page = 1;
    int Dpi = 100;
    bool Portrait = false;
};

// One row as the reference lays it out.
struct TRowRef {
    int64_t IntervalMs = 0; // 0: no ticks
    bool Minutes = false;
    std::vector<int> TickX;
    std::vector<std::string> Labels; // the labels that fit
};

QSize PageSize(const TCase& c) {
    // Letter paper, as the printable area of a printer without margins.
    const QSize portrait(c.Dpi * 17 / 2, c.Dpi * 11);
    return c.Portrait ? portrait : portrait.transposed();
}

QImage Blank(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage Render(const TWavePrintout& printout, const TCase& c) {
    QImage image = Blank(PageSize(c));
    QPainter painter(&image);
    printout.PaintPage(painter, c.Page, image.rect(), c.Dpi, c.Dpi);
    return image;
}

QFont PrintFont(int dpi) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(dpi / 9);
    return font;
}

bool IsBlack(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// A frame drawn with a 3-pixel pen on the edges of [l, r) × [t, b).
void CheckFrame(const QImage& image, int l, int t, int r, int b, const char* what) {
    int wrong = 0;
    for (int d = -1; d <= 1; ++d) {
        for (int x = l - 1; x <= r; ++x)
            wrong += !IsBlack(image, x, t + d) + !IsBlack(image, x, b - 1 + d);
        for (int y = t - 1; y <= b; ++y)
            wrong += !IsBlack(image, l + d, y) + !IsBlack(image, r - 1 + d, y);
    }
    EXPECT_EQ(wrong, 0) << what << " frame " << l << "," << t << " - " << r << "," << b;
}

// Compares a region pixel by pixel; returns the number of differences.
int Differences(const QImage& a, const QImage& b, QRect region) {
    int n = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Checks one painted page; returns the rows as the reference laid them out.
std::vector<TRowRef> CheckPage(const QImage& image, const NSWave::TFile& doc, TCase c,
                               const std::string& title) {
    // The construction rules.
    uint64_t start = uint64_t(c.Start), end = uint64_t(c.End);
    if (start == end) {
        start = 0;
        end = doc.GetLength();
    }
    if (start > end)
        std::swap(start, end);
    if (c.First > c.Last)
        std::swap(c.First, c.Last);
    const int top = doc.ChannelCount() - 1;
    c.First = std::clamp(c.First, 0, top);
    c.Last = std::clamp(c.Last, 0, top);
    const uint64_t rows = uint64_t(std::max(c.Rows, 1));
    const uint64_t pages = uint64_t(std::max(c.Pages, 1));

    QImage probe = Blank(QSize(10, 10));
    QPainter measure(&probe);
    measure.setFont(PrintFont(c.Dpi));
    const QFontMetrics fm = measure.fontMetrics();
    const int W = fm.horizontalAdvance(QLatin1Char('M'));
    const int H = fm.height();

    const int L = c.Dpi / 10, T = c.Dpi / 10;
    const int R = image.width() - c.Dpi / 10, B = image.height() - c.Dpi / 10;

    // Nothing in the margins (frames reach one pixel out of their edges).
    int outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((x < L - 1 || x > R || y < T - 1 || y > B) && !IsWhite(image, x, y))
                ++outside;
    EXPECT_EQ(outside, 0) << "ink in the margins";

    // The header at the top left, alone above the first ruler.
    const std::string header = "Brimvale - " + title + " " + MomentText + ",  Page " +
                               std::to_string(c.Page) + " of " + std::to_string(pages);
    QImage expected = Blank(image.size());
    {
        QPainter p(&expected);
        p.setFont(PrintFont(c.Dpi));
        p.setPen(Qt::black);
        p.drawText(QPoint(L, T + fm.ascent()), QString::fromStdString(header));
    }
    EXPECT_EQ(Differences(image, expected, QRect(0, 0, image.width(), T + 2 * H - 2)), 0)
        << "header " << header;

    const uint64_t S = ((end - start) / pages + 1) / rows + 1;
    const uint64_t first = start + S * rows * uint64_t(c.Page - 1);
    const int64_t avail = B - (T + H);
    const int width = R - L;
    const int64_t rate = doc.Rate;
    const int64_t table[] = {1,    2,    5,    10,    20,    50,    100,    200,    500,
                             1000, 2000, 5000, 10000, 30000, 60000, 120000, 300000, 600000};
    std::vector<TRowRef> result;
    for (uint64_t k = 0; k < rows; ++k) {
        const int top = T + H + int(avail * int64_t(k) / int64_t(rows));
        const int bottom = T + H + int(avail * int64_t(k + 1) / int64_t(rows));
        const uint64_t a = first + k * S, b = a + S;
        TRowRef row;

        // Ruler: frame, then the finest interval more than half an inch
        // apart, ticks from the multiple before the row's start.
        CheckFrame(image, L, top + H, R, top + 2 * H, "ruler");
        for (int64_t ms : table) {
            const int64_t length = ms * rate / 1000;
            if (__int128(length) * width > __int128(c.Dpi / 2) * int64_t(S)) {
                row.IntervalMs = ms;
                break;
            }
        }
        QImage ruler = Blank(image.size());
        if (row.IntervalMs) {
            QPainter p(&ruler);
            p.setFont(PrintFont(c.Dpi));
            p.setPen(Qt::black);
            row.Minutes = b > uint64_t(60 * rate);
            const int decimals = row.IntervalMs >= 1000  ? 0
                                 : row.IntervalMs >= 100 ? 1
                                 : row.IntervalMs >= 10  ? 2
                                                         : 3;
            // Tick n lies at n·ms·rate/1000 samples.
            for (int64_t n = int64_t(a) * 1000 / (row.IntervalMs * rate);; ++n) {
                const __int128 offset = __int128(n) * row.IntervalMs * rate - __int128(a) * 1000;
                if (offset < 0)
                    continue;
                const int x = L + int(offset * width / (__int128(1000) * int64_t(S)));
                if (x >= R)
                    break;
                row.TickX.push_back(x);
                p.fillRect(QRect(x, top + H + H / 4, 1, H - H / 4), Qt::black);
                const std::string label = NSWave::FormatSeconds(double(n * row.IntervalMs) / 1000,
                                                                decimals, row.Minutes ? 1 : 0);
                const QString text = QString::fromStdString(label);
                if (x + W / 4 + fm.horizontalAdvance(text) < R) {
                    row.Labels.push_back(label);
                    p.drawText(QPoint(x + W / 4, top + H + fm.ascent()), text);
                }
            }
        }
        EXPECT_EQ(Differences(image, ruler, QRect(L + 2, top + H + 2, width - 4, H - 4)), 0)
            << "ruler of row " << k << " (ticks every " << row.IntervalMs << " ms)";

        // One box per channel; each column the plain min/max of its run.
        const int n = c.Last - c.First + 1;
        const int64_t boxes = bottom - (top + 2 * H);
        for (int i = 0; i < n; ++i) {
            const int y1 = top + 2 * H + int(boxes * i / n);
            const int y2 = top + 2 * H + int(boxes * (i + 1) / n);
            CheckFrame(image, L, y1, R, y2, "box");
            const int y0 = (y1 + y2) / 2, h = (y2 - y1) / 2;
            const NSWave::TChannel& channel = doc.Channel(c.First + i);
            uint64_t from = a;
            int wrong = 0;
            for (int x = 0; x < width; ++x) {
                const uint64_t to = a + uint64_t(x + 1) * S / uint64_t(width);
                const NSWave::TPeak peak = NSWave::PlainExtremes(channel, from, to);
                from = to;
                if (x < 2 || x >= width - 2)
                    continue;
                const int lo = y0 + int((int64_t(peak.Min >> 16) * h) >> 15);
                const int hi = y0 + int((int64_t(peak.Max >> 16) * h) >> 15);
                for (int y = y1 + 2; y <= y2 - 3; ++y) {
                    const bool ink = y == y0 || (y >= lo && y <= hi);
                    if (ink ? !IsBlack(image, L + x, y) : !IsWhite(image, L + x, y))
                        ++wrong;
                }
            }
            EXPECT_EQ(wrong, 0) << "columns of channel " << c.First + i << " in row " << k;
        }
        result.push_back(row);
    }
    return result;
}

// A sound of stretches: silence, noise of some loudness, a slow sine,
// full-scale square waves and lone spikes.
void FillChannel(NSWave::TChannel& channel, std::mt19937& random) {
    int32_t* s = channel.MutableSamples(0);
    uint32_t i = 0;
    while (i < channel.Count) {
        const uint32_t n = std::min<uint32_t>(channel.Count - i, 1 + random() % 200000);
        const int kind = int(random() % 5);
        const int shift = int(random() % 12);
        for (uint32_t j = 0; j < n; ++j, ++i) {
            switch (kind) {
            case 0:
                s[i] = 0;
                break;
            case 1:
                s[i] = int32_t(random()) >> shift;
                break;
            case 2:
                s[i] = int32_t(std::sin(double(j) / 700) * 2e9) >> shift;
                break;
            case 3:
                s[i] = (j / 37) % 2 ? INT32_MAX : INT32_MIN;
                break;
            default:
                s[i] = random() % 5000 == 0 ? int32_t(random()) : 0;
                break;
            }
        }
    }
}

std::unique_ptr<NSWave::TFile> Sound(int rate, int channels, uint32_t length) {
    auto doc = std::make_unique<NSWave::TFile>(rate, 2, 2, channels);
    doc->SetSize(length, channels);
    return doc;
}

} // namespace

TEST(Printout, PagesMatchTheReferenceOverRandomSounds) {
    std::mt19937 random(20240307);
    const int rates[] = {8000, 11025, 22050, 44100, 48000};
    const double seconds[] = {0.05, 1, 9, 70, 200};
    for (int round = 0; round < 14; ++round) {
        const int rate = rates[random() % 5];
        const int channels = 1 + int(random() % 3);
        const auto length =
            uint32_t(seconds[random() % 5] * rate * (0.5 + (random() % 100) / 100.0));
        auto doc = Sound(rate, channels, length);
        for (int ch = 0; ch < channels; ++ch) {
            // Some channels end early: the rest of their boxes is flat.
            if (ch > 0 && random() % 3 == 0)
                doc->Channel(ch).SetSize(uint32_t(length * (random() % 100) / 100));
            FillChannel(doc->Channel(ch), random);
        }
        TCase c;
        switch (random() % 4) {
        case 0: // the whole sound
            c.Start = c.End = random() % 2 ? 0 : int64_t(random() % (length + 1));
            break;
        case 1: // a stretch inside, maybe given backwards
            c.Start = random() % (length + 1);
            c.End = random() % (length + 1);
            break;
        default: // past the end
            c.Start = random() % (length + 1);
            c.End = int64_t(length) + random() % (length + 10);
            break;
        }
        c.First = int(random() % (channels + 2)) - 1;
        c.Last = int(random() % (channels + 2)) - 1;
        c.Rows = int(random() % 6);
        c.Pages = int(random() % 4);
        c.Page = 1 + int(random() % std::max(c.Pages, 1));
        c.Dpi = std::vector<int>{72, 96, 100, 150}[random() % 4];
        c.Portrait = random() % 2;
        SCOPED_TRACE("round " + std::to_string(round) + ": rate " + std::to_string(rate) +
                     ", length " + std::to_string(length) + ", range " + std::to_string(c.Start) +
                     ".." + std::to_string(c.End) + ", channels " + std::to_string(c.First) + ".." +
                     std::to_string(c.Last) + ", rows " + std::to_string(c.Rows) + ", page " +
                     std::to_string(c.Page) + "/" + std::to_string(c.Pages) + ", dpi " +
                     std::to_string(c.Dpi));
        TWavePrintout printout(*doc, uint32_t(c.Start), uint32_t(c.End), c.First, c.Last, c.Rows,
                               c.Pages, "take.wav", Moment);
        CheckPage(Render(printout, c), *doc, c, "take.wav");
    }
}

TEST(Printout, RowsOfANineSecondSoundAndTheMinutesFormOfLongerRows) {
    // 9 s on one page in 3 rows: about 3 s a row, ticks every 0.2 s at
    // 100 dpi, labels in seconds.
    auto nine = Sound(22050, 1, 9 * 22050);
    std::mt19937 random(1);
    FillChannel(nine->Channel(0), random);
    TWavePrintout printout(*nine, 0, 0, 0, 0, 3, 1, "nine", Moment);
    EXPECT_EQ(printout.SamplesPerRow(), 66151u);
    TCase c;
    std::vector<TRowRef> rows = CheckPage(Render(printout, c), *nine, c, "nine");
    ASSERT_EQ(rows.size(), 3u);
    for (const TRowRef& row : rows) {
        EXPECT_EQ(row.IntervalMs, 200);
        EXPECT_FALSE(row.Minutes);
    }
    ASSERT_FALSE(rows[0].Labels.empty());
    EXPECT_EQ(rows[0].Labels.front(), "0.0");
    EXPECT_EQ(rows[1].Labels.front(), "3.2");

    // Two minutes in 3 rows: the first row ends at 40 s and stays in
    // seconds; the later ones end after a minute, so every label of theirs,
    // even those below 60 s, is minutes and seconds.
    auto two = Sound(8000, 2, 120 * 8000);
    TWavePrintout longer(*two, 0, 0, 0, 1, 3, 1, "two", Moment);
    c.Last = 1;
    rows = CheckPage(Render(longer, c), *two, c, "two");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[0].Minutes);
    EXPECT_TRUE(rows[1].Minutes);
    EXPECT_TRUE(rows[2].Minutes);
    EXPECT_EQ(rows[0].Labels.front(), "0");
    EXPECT_EQ(rows[1].Labels.front(), "0:42");
    EXPECT_EQ(rows[2].Labels.back(), "1:58");
}

TEST(Printout, AShortChannelPrintsAFlatLinePastItsEnd) {
    auto doc = Sound(11025, 2, 11025 * 4);
    for (int ch = 0; ch < 2; ++ch) {
        int32_t* s = doc->Channel(ch).MutableSamples(0);
        for (uint32_t i = 0; i < doc->Channel(ch).Count; ++i)
            s[i] = i % 50 < 25 ? INT32_MAX : INT32_MIN;
    }
    doc->Channel(1).SetSize(11025); // one second of four
    TWavePrintout printout(*doc, 0, 0, 0, 1, 1, 1, "short", Moment);
    TCase c;
    c.Rows = 1;
    c.Last = 1;
    const QImage image = Render(printout, c);
    CheckPage(image, *doc, c, "short");
    // A column three quarters across, down from the ruler's bottom: channel
    // 1 full scale (black from its frame through to channel 2's frame),
    // then channel 2 past its end: white but for the centre line, then its
    // bottom frame.
    QImage probe = Blank(QSize(10, 10));
    QPainter measure(&probe);
    measure.setFont(PrintFont(c.Dpi));
    const int H = measure.fontMetrics().height();
    const int x = image.width() * 3 / 4;
    std::vector<std::pair<int, int>> runs; // black runs [from, to]
    for (int y = 10 + 3 * H - 2; y < image.height(); ++y)
        if (IsBlack(image, x, y)) {
            if (!runs.empty() && runs.back().second == y - 1)
                runs.back().second = y;
            else
                runs.push_back({y, y});
        }
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].first, runs[1].second);
    EXPECT_NEAR(runs[1].first, (runs[0].second + runs[2].first) / 2, 2);
}

TEST(Printout, ConstructionRulesAndLongRangesIn64Bits) {
    // Rows past 2^32 samples: the last row of a range ending at the
    // largest position reaches beyond it, and must read silence there, not
    // wrap round to the loud start of the sound.
    auto doc = Sound(44100, 1, 10000);
    int32_t* s = doc->Channel(0).MutableSamples(0);
    for (int i = 0; i < 10000; ++i)
        s[i] = i % 2 ? INT32_MAX : INT32_MIN;
    TCase c;
    c.Start = 4000000000;
    c.End = UINT32_MAX;
    TWavePrintout high(*doc, uint32_t(c.Start), uint32_t(c.End), 0, 0, 3, 1, "far", Moment);
    EXPECT_GT(high.PageStart(1) + 3 * high.SamplesPerRow(), uint64_t(UINT32_MAX) + 1);
    CheckPage(Render(high, c), *doc, c, "far");
    // Over many pages the last one lies wholly past 2^32.
    c.Start = UINT32_MAX - 200000;
    c.Rows = 5;
    c.Pages = c.Page = 1000;
    TWavePrintout paged(*doc, uint32_t(c.Start), uint32_t(c.End), 0, 0, 5, 1000, "far", Moment);
    EXPECT_GT(paged.PageStart(1000), uint64_t(UINT32_MAX) + 1);
    CheckPage(Render(paged, c), *doc, c, "far");

    // The fifth page of a range of 4.2 thousand million samples starts past
    // 2^31 (S · rows · 4 in 64 bits); its labels are in the thousands of
    // minutes.
    c = TCase();
    c.End = 4200000000;
    c.Pages = 5;
    c.Page = 5;
    TWavePrintout far(*doc, 0, uint32_t(c.End), 0, 0, 3, 5, "far", Moment);
    EXPECT_EQ(far.SamplesPerRow(), 280000001u);
    EXPECT_EQ(far.PageStart(5), 3360000012u);
    const std::vector<TRowRef> rows = CheckPage(Render(far, c), *doc, c, "far");
    ASSERT_FALSE(rows[0].Labels.empty());
    EXPECT_EQ(rows[0].Labels.front().substr(0, 5), "1270:");

    // The rules: an empty range is the whole sound, reversed ranges and
    // channels are put in order, channels past the last are the last,
    // rows and pages are at least 1.
    auto three = Sound(8000, 3, 5000);
    TWavePrintout whole(*three, 77, 77, 2, 0, 0, -3, "x", Moment);
    EXPECT_EQ(whole.Start(), 0u);
    EXPECT_EQ(whole.End(), 5000u);
    EXPECT_EQ(whole.FirstChannel(), 0);
    EXPECT_EQ(whole.LastChannel(), 2);
    EXPECT_EQ(whole.Rows(), 1);
    EXPECT_EQ(whole.Pages(), 1);
    EXPECT_TRUE(whole.HasPage(1));
    EXPECT_FALSE(whole.HasPage(2));
    EXPECT_FALSE(whole.HasPage(0));
    TWavePrintout reversed(*three, 4000, 1000, 9, 1, 2, 4, "x", Moment);
    EXPECT_EQ(reversed.Start(), 1000u);
    EXPECT_EQ(reversed.End(), 4000u);
    EXPECT_EQ(reversed.FirstChannel(), 1);
    EXPECT_EQ(reversed.LastChannel(), 2);
    EXPECT_EQ(reversed.HeaderText(3), "Brimvale - x 2024-03-07 09:05,  Page 3 of 4");
}
