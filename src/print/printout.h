#pragma once
// The waveform printout: a header line, then rows, each a time ruler above
// one framed min/max waveform box per printed channel. One function paints a
// page on any painter (a printer, a PDF file, the preview, an image in a
// test), given the page rectangle and the resolution.

#include <QDateTime>
#include <cstdint>
#include <string>
#include <vector>

#include "wave/peaks.h"

class QPainter;
class QPrinter;
class QRect;

namespace NSWave {
class TChannel;
class TFile;
} // namespace NSWave

namespace NSPrint {

class TWavePrintout {
public:
    // An empty range (start == end) prints the whole document; a range or a
    // channel pair given in reverse is put in order; channels beyond the
    // document's are taken as its last; rows and pages are at least 1.
    TWavePrintout(const NSWave::TFile& document, uint32_t start, uint32_t end, int firstChannel,
                  int lastChannel, int rows, int pages, const std::string& title,
                  const QDateTime& created = QDateTime::currentDateTime());

    // Page p (from 1) exists exactly when p <= Pages().
    bool HasPage(int page) const { return page >= 1 && page <= PageCount; }

    // Paints page `page` inside `pageRect` (device pixels) on a device of
    // dpiX × dpiY pixels per inch. The painter's state is left as it was.
    void PaintPage(QPainter& painter, int page, const QRect& pageRect, int dpiX, int dpiY) const;

    // Prints the pages the printer asks for (all, or its page range; its
    // copies and page order) without any prompt. False when the printer
    // could not start or did not finish.
    bool Print(QPrinter& printer) const;

    // "Brimvale - <title> <date and time>,  Page p of n".
    std::string HeaderText(int page) const;

    // Samples per row and the first sample of a page, in 64 bits: on a long
    // sound the products pass 2^31 (and a page's rows may end past 2^32).
    uint64_t SamplesPerRow() const;
    uint64_t PageStart(int page) const;

    uint32_t Start() const { return First; }
    uint32_t End() const { return Last; }
    int FirstChannel() const { return FirstChan; }
    int LastChannel() const { return LastChan; }
    int Rows() const { return RowCount; }
    int Pages() const { return PageCount; }
    const std::string& Title() const { return FullTitle; }
    const QDateTime& Created() const { return Moment; }

    // The minimum and maximum of each of `width` pixel columns over the
    // samples [a, b): column x runs from where column x - 1 ended up to and
    // including sample a + (x + 1)(b - a) / width, so neighbouring columns
    // share a sample and the trace stays joined.
    static void Columns(const NSWave::TChannel& channel, uint64_t a, uint64_t b, int width,
                        std::vector<NSWave::TPeak>& out);

private:
    void PaintRow(QPainter& painter, int left, int top, int right, int bottom, uint64_t a,
                  uint64_t b, int cellW, int cellH, int dpiY) const;
    void PaintBox(QPainter& painter, const NSWave::TChannel& channel, int left, int top, int right,
                  int bottom, uint64_t a, uint64_t b) const;

    const NSWave::TFile& Document;
    uint32_t First;
    uint32_t Last;
    int FirstChan;
    int LastChan;
    int RowCount;
    int PageCount;
    std::string FullTitle;
    QDateTime Moment;
};

} // namespace NSPrint
