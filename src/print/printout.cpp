#include "print/printout.h"

#include <QFont>
#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <utility>

#include "util/text.h"
#include "wave/file.h"
#include "wave/timefmt.h"

namespace NSPrint {

namespace {

// The ruler's tick intervals, finest first, in milliseconds (exact, so that
// tick times and their labels never drift), with the decimals of the labels.
struct TTickInterval {
    int64_t Milliseconds;
    int Decimals;
};
const TTickInterval TickIntervals[] = {
    {1, 3},     {2, 3},     {5, 3},     {10, 2},     {20, 2},     {50, 2},
    {100, 1},   {200, 1},   {500, 1},   {1000, 0},   {2000, 0},   {5000, 0},
    {10000, 0}, {30000, 0}, {60000, 0}, {120000, 0}, {300000, 0}, {600000, 0},
};

// A frame drawn with a 3-pixel pen centred on the edges of
// [left, right) × [top, bottom): one pixel outside, the edge pixel and one
// inside.
void DrawFrame(QPainter& painter, int left, int top, int right, int bottom) {
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

// One-pixel lines, both ends included, in one call. Pens rather than
// filled rectangles, so that a page drawn smaller than its resolution (the
// preview, a PDF viewer) still shows every line at least a pixel wide.
void DrawLines(QPainter& painter, const std::vector<QLine>& lines) {
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLines(lines.data(), int(lines.size()));
}

// A 32-bit sample's offset from the centre line of a box of half height h;
// positive samples lie below it, as in the channel views.
int SampleY(int32_t sample, int h) {
    return int(((int64_t(sample >> 16)) * h) >> 15);
}

} // namespace

TWavePrintout::TWavePrintout(const NSWave::TFile& document, uint32_t start, uint32_t end,
                             int firstChannel, int lastChannel, int rows, int pages,
                             const std::string& title, const QDateTime& created)
    : Document(document), First(start), Last(end), FirstChan(firstChannel), LastChan(lastChannel),
      RowCount(std::max(rows, 1)), PageCount(std::max(pages, 1)), FullTitle("Brimvale - " + title),
      Moment(created) {
    if (First == Last) {
        First = 0;
        Last = document.GetLength();
    }
    if (First > Last)
        std::swap(First, Last);
    if (FirstChan > LastChan)
        std::swap(FirstChan, LastChan);
    // A channel number past the document's means its last channel.
    const int lastIndex = std::max(document.ChannelCount() - 1, 0);
    FirstChan = std::clamp(FirstChan, 0, lastIndex);
    LastChan = std::clamp(LastChan, 0, lastIndex);
}

uint64_t TWavePrintout::SamplesPerRow() const {
    return ((uint64_t(Last) - First) / uint64_t(PageCount) + 1) / uint64_t(RowCount) + 1;
}

uint64_t TWavePrintout::PageStart(int page) const {
    return uint64_t(First) + SamplesPerRow() * uint64_t(RowCount) * uint64_t(std::max(page - 1, 0));
}

std::string TWavePrintout::HeaderText(int page) const {
    return FullTitle + " " + Moment.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString() +
           ",  " +
           NSText::Fill(NSText::Tr("Print", "Page %1 of %2"),
                        {std::to_string(page), std::to_string(PageCount)});
}

void TWavePrintout::Columns(const NSWave::TChannel& channel, uint64_t a, uint64_t b, int width,
                            std::vector<NSWave::TPeak>& out) {
    out.resize(size_t(std::max(width, 0)));
    const uint64_t span = b > a ? b - a : 0;
    uint64_t from = a;
    for (int x = 0; x < width; ++x) {
        const uint64_t to = a + uint64_t(x + 1) * span / uint64_t(width);
        out[size_t(x)] = channel.Extremes(from, to);
        from = to;
    }
}

void TWavePrintout::PaintPage(QPainter& painter, int page, const QRect& pageRect, int dpiX,
                              int dpiY) const {
    if (!HasPage(page))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(dpiY / 9, 1));
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int cellW = metrics.horizontalAdvance(QLatin1Char('M'));
    const int cellH = metrics.height();

    const int left = pageRect.left() + dpiX / 10;
    const int right = pageRect.left() + pageRect.width() - dpiX / 10;
    const int top = pageRect.top() + dpiY / 10;
    const int bottom = pageRect.top() + pageRect.height() - dpiY / 10;

    painter.setPen(Qt::black);
    painter.drawText(QPoint(left, top + metrics.ascent()),
                     QString::fromStdString(HeaderText(page)));

    const int rowsTop = top + cellH;
    const int height = bottom - rowsTop;
    if (right > left && height > 0) {
        const uint64_t perRow = SamplesPerRow();
        const uint64_t first = PageStart(page);
        for (int k = 0; k < RowCount; ++k) {
            const int bandTop = rowsTop + int(int64_t(height) * k / RowCount);
            const int bandBottom = rowsTop + int(int64_t(height) * (k + 1) / RowCount);
            const uint64_t a = first + uint64_t(k) * perRow;
            PaintRow(painter, left, bandTop, right, bandBottom, a, a + perRow, cellW, cellH, dpiY);
        }
    }
    painter.restore();
}

void TWavePrintout::PaintRow(QPainter& painter, int left, int top, int right, int bottom,
                             uint64_t a, uint64_t b, int cellW, int cellH, int dpiY) const {
    const int width = right - left;
    const double span = double(b - a);
    std::vector<QLine> ticks;
    const int rulerTop = top + cellH;
    const int rulerBottom = top + 2 * cellH;
    DrawFrame(painter, left, rulerTop, right, rulerBottom);

    // The finest interval whose ticks lie more than half an inch apart.
    const int64_t rate = Document.Rate;
    const TTickInterval* tick = nullptr;
    if (rate > 0) {
        for (const TTickInterval& interval : TickIntervals) {
            const int64_t length = interval.Milliseconds * rate / 1000;
            if (double(length) * width / span > double(dpiY / 2)) {
                tick = &interval;
                break;
            }
        }
    }
    struct TLabel {
        int X;
        QString Text;
    };
    std::vector<TLabel> labels;
    if (tick) {
        const QFontMetrics metrics = painter.fontMetrics();
        // One form for every label of the row: minutes when it ends after
        // a minute.
        const int minutesForm = b > uint64_t(60 * rate) ? 1 : 0;
        // Positions in thousandths of a sample stay exact integers.
        const int64_t step = tick->Milliseconds * rate;
        const int64_t origin = int64_t(a) * 1000;
        for (int64_t n = origin / step;; ++n) {
            const int64_t offset = n * step - origin;
            const int x = left + int(std::floor(double(offset) * width / (1000.0 * span)));
            if (x >= right)
                break;
            if (offset < 0)
                continue;
            ticks.emplace_back(x, rulerTop + cellH / 4, x, rulerBottom - 1);
            const QString text = QString::fromStdString(NSWave::FormatSeconds(
                double(n * tick->Milliseconds) / 1000.0, tick->Decimals, minutesForm));
            const int textX = x + cellW / 4;
            if (textX + metrics.horizontalAdvance(text) < right)
                labels.push_back({textX, text});
        }
    }
    DrawLines(painter, ticks);
    if (!labels.empty()) {
        painter.setPen(Qt::black);
        const int baseline = rulerTop + painter.fontMetrics().ascent();
        for (const TLabel& label : labels)
            painter.drawText(QPoint(label.X, baseline), label.Text);
    }

    // The boxes share the height under the ruler, top to bottom.
    const int boxesHeight = bottom - rulerBottom;
    const int count = LastChan - FirstChan + 1;
    if (boxesHeight <= 0 || !Document.HasChannel(FirstChan))
        return;
    for (int i = 0; i < count; ++i) {
        const int boxTop = rulerBottom + int(int64_t(boxesHeight) * i / count);
        const int boxBottom = rulerBottom + int(int64_t(boxesHeight) * (i + 1) / count);
        PaintBox(painter, Document.Channel(FirstChan + i), left, boxTop, right, boxBottom, a, b);
    }
}

void TWavePrintout::PaintBox(QPainter& painter, const NSWave::TChannel& channel, int left, int top,
                             int right, int bottom, uint64_t a, uint64_t b) const {
    const int width = right - left;
    DrawFrame(painter, left, top, right, bottom);
    const int y0 = (top + bottom) / 2;
    const int h = (bottom - top) / 2;
    std::vector<QLine> lines;
    lines.reserve(size_t(width) + 1);
    lines.emplace_back(left, y0, right - 1, y0);
    std::vector<NSWave::TPeak> peaks;
    Columns(channel, a, b, width, peaks);
    for (int x = 0; x < width; ++x) {
        const int low = y0 + SampleY(peaks[size_t(x)].Min, h);
        const int high = y0 + SampleY(peaks[size_t(x)].Max, h);
        lines.emplace_back(left + x, low, left + x, high);
    }
    DrawLines(painter, lines);
}

bool TWavePrintout::Print(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    int from = 1, to = PageCount;
    if (printer.printRange() == QPrinter::PageRange) {
        if (printer.fromPage() > 0)
            from = std::max(from, printer.fromPage());
        if (printer.toPage() > 0)
            to = std::min(to, printer.toPage());
    }
    std::vector<int> range;
    for (int p = from; p <= to; ++p)
        range.push_back(p);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(range.begin(), range.end());
    // Copies the printer cannot make itself are printed here.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    std::vector<int> sequence;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            sequence.insert(sequence.end(), range.begin(), range.end());
    } else {
        for (int p : range)
            sequence.insert(sequence.end(), size_t(copies), p);
    }

    const QRect page(0, 0, printer.width(), printer.height());
    bool first = true;
    for (int p : sequence) {
        if (!first && !printer.newPage())
            break;
        first = false;
        PaintPage(painter, p, page, printer.logicalDpiX(), printer.logicalDpiY());
        if (printer.printerState() == QPrinter::Aborted ||
            printer.printerState() == QPrinter::Error)
            break;
    }
    const bool ended = painter.end();
    return ended && printer.printerState() != QPrinter::Aborted &&
           printer.printerState() != QPrinter::Error;
}

} // namespace NSPrint
