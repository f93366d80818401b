// Printing a one-hour 44.1 kHz stereo document (about 1.3 GB of samples)
// into a PDF file: one page of three rows at 600 dots per inch, landscape,
// both channels.
// - hour_pdf: the printout with the channels' min/max summary built (as the
//   views leave it); the goal is 0.5 s or less;
// - hour_plain_scan: the same pixel columns by the plain scan over every
//   sample, without any drawing: what a printout that reads every sample
//   costs at the least;
// - hour_pdf_cold: the printout right after the summary was dropped, so it
//   builds it first;
// - second_pdf: the same page for a one-second sound, for scale.
//
// Run: build/release/bench/print_bench (medians of five repetitions). The
// PDF files go to $TMPDIR and are removed.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <cstdlib>
#include <memory>

#include "machineload.h"
#include "print/printout.h"
#include "wave/file.h"

namespace {

constexpr uint32_t HourSamples = 44100u * 3600u; // 158,760,000 per channel
constexpr int Dpi = 600;
constexpr int Rows = 3;

std::unique_ptr<NSWave::TFile> MakeSound(uint32_t length) {
    auto d = std::make_unique<NSWave::TFile>(44100, 2, 2, 2);
    d->SetSize(length, 2);
    for (int c = 0; c < 2; ++c) {
        // Noise whose loudness changes every few thousand samples.
        int32_t* s = d->Channel(c).MutableSamples(0);
        for (uint32_t i = 0; i < length; ++i)
            s[i] = int32_t((i + uint32_t(c)) * 2654435761u) >> ((i >> 12) % 8);
    }
    return d;
}

NSWave::TFile& Hour() {
    static std::unique_ptr<NSWave::TFile> doc = MakeSound(HourSamples);
    return *doc;
}

NSWave::TFile& Second() {
    static std::unique_ptr<NSWave::TFile> doc = MakeSound(44100);
    return *doc;
}

QString PdfName() {
    return QDir::tempPath() + "/print_bench.pdf";
}

std::unique_ptr<QPrinter> PdfPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(PdfName());
    printer->setResolution(Dpi);
    printer->setPageOrientation(QPageLayout::Landscape);
    return printer;
}

void PrintToPdf(benchmark::State& state, NSWave::TFile& doc, bool dropSummary) {
    for (int c = 0; c < 2; ++c)
        doc.Channel(c).Extremes(0, doc.Channel(c).Count - 1); // summary built
    for (auto _ : state) {
        if (dropSummary) {
            state.PauseTiming();
            for (int c = 0; c < 2; ++c)
                doc.Channel(c).Changed(0);
            state.ResumeTiming();
        }
        auto printer = PdfPrinter();
        NSPrint::TWavePrintout printout(doc, 0, 0, 0, 1, Rows, 1, "hour.wav");
        if (!printout.Print(*printer))
            state.SkipWithError("the PDF could not be written");
    }
    state.counters["PDF KB"] = double(QFile(PdfName()).size()) / 1024;
    QFile::remove(PdfName());
}

void BM_HourPdf(benchmark::State& state) {
    PrintToPdf(state, Hour(), false);
}

void BM_HourPdfCold(benchmark::State& state) {
    PrintToPdf(state, Hour(), true);
}

void BM_SecondPdf(benchmark::State& state) {
    PrintToPdf(state, Second(), false);
}

// The page's columns (its width less the margins, three rows, both
// channels), each by reading every sample.
void BM_HourPlainScan(benchmark::State& state) {
    NSWave::TFile& doc = Hour();
    const int width = PdfPrinter()->width() - 2 * (Dpi / 10);
    NSPrint::TWavePrintout printout(doc, 0, 0, 0, 1, Rows, 1, "hour.wav");
    const uint64_t perRow = printout.SamplesPerRow();
    for (auto _ : state) {
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < Rows; ++k) {
                const uint64_t a = k * perRow;
                uint64_t from = a;
                for (int x = 0; x < width; ++x) {
                    const uint64_t to = a + uint64_t(x + 1) * perRow / uint64_t(width);
                    benchmark::DoNotOptimize(NSWave::PlainExtremes(doc.Channel(c), from, to));
                    from = to;
                }
            }
    }
    state.counters["columns"] = double(width) * Rows * 2;
}

BENCHMARK(BM_HourPdf)
    ->Name("hour_pdf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HourPlainScan)
    ->Name("hour_plain_scan")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HourPdfCold)
    ->Name("hour_pdf_cold")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SecondPdf)
    ->Name("second_pdf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintMachineLoad("after");
    return 0;
}
