// A real PDF printed through the options dialog and QPrinter, read back by
// another program: pdftotext for the header, pdftoppm's raster for the
// margins, the waveform boxes, their frames and centre lines.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>

#include "print/optdlg.h"
#include "support/scriptedmsgbox.h"
#include "support/scriptedprint.h"
#include "wave/file.h"

namespace {

// The poppler tools, or a skip on a developer machine without them (a
// failure under CI=true).
#define REQUIRE_TOOL(name, path)                                                                   \
    const QString path = QStandardPaths::findExecutable(name);                                     \
    if (path.isEmpty()) {                                                                          \
        const char* ci = std::getenv("CI");                                                        \
        if (ci && std::strcmp(ci, "true") == 0)                                                    \
            FAIL() << name << " (poppler-utils) is missing";                                       \
        GTEST_SKIP() << name << " (poppler-utils) is not installed";                               \
    }

QByteArray RunTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 100;
}

bool Light(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) > 200;
}

} // namespace

TEST(PdfOutput, APrintedPdfShowsTheHeaderAndTheWaveformBoxes) {
    REQUIRE_TOOL("pdftoppm", pdftoppm);
    REQUIRE_TOOL("pdftotext", pdftotext);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pdf = folder.path() + "/wave.pdf";
    constexpr int Dpi = 100;
    TScriptedPrint print(pdf, Dpi);
    TScriptedMessageBoxes boxes;

    // Four seconds, mono: the first two a full-scale square wave, then
    // silence. Three rows: loud, half loud, silent.
    NSWave::TFile doc(22050, 2, 2, 1);
    doc.SetSize(4 * 22050, 1);
    int32_t* s = doc.Channel(0).MutableSamples(0);
    for (uint32_t i = 0; i < 2 * 22050; ++i)
        s[i] = i % 20 < 10 ? INT32_MAX : INT32_MIN;
    NSPrint::TOptDlg dialog(nullptr, doc, TSampleRange(), "square wave.wav", print.Pdf);
    static_cast<QAbstractButton*>(dialog.Control(NSPrint::TOptDlg::IdLandscape))->click();
    static_cast<QAbstractButton*>(dialog.Control(NSPrint::TOptDlg::IdPrint))->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);

    // The header, as another program reads it.
    const QString text = QString::fromUtf8(RunTool(pdftotext, {pdf, "-"}));
    EXPECT_TRUE(text.contains("Brimvale - square wave.wav ")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(R"(\d{4}-\d\d-\d\d \d\d:\d\d,\s+Page 1 of 1)")))
        << text.toStdString();

    // The page at the printer's resolution, landscape.
    RunTool(pdftoppm,
            {"-r", QString::number(Dpi), "-png", "-singlefile", pdf, folder.path() + "/page"});
    QImage page(folder.path() + "/page.png");
    ASSERT_FALSE(page.isNull());
    const QRect paper = print.Pdf.pageLayout().fullRectPixels(Dpi);
    EXPECT_NEAR(page.width(), paper.width(), 1);
    EXPECT_NEAR(page.height(), paper.height(), 1);
    EXPECT_GT(page.width(), page.height());

    // Where the rows lie: the printable area, a tenth of an inch in.
    const QRect area = print.Pdf.pageLayout().paintRectPixels(Dpi);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(Dpi / 9);
    const int H = QFontMetrics(font, &print.Pdf).height();
    const int L = area.left() + Dpi / 10, R = area.left() + area.width() - Dpi / 10;
    const int T = area.top() + Dpi / 10, B = area.top() + area.height() - Dpi / 10;

    // Ink in the header's line from its left edge, none left of it.
    int headerInk = 0, marginInk = 0;
    for (int y = T; y < T + H; ++y) {
        for (int x = L; x < L + 3 * Dpi; ++x)
            headerInk += Dark(page, x, y);
        for (int x = 0; x < L - 2; ++x)
            marginInk += !Light(page, x, y);
    }
    EXPECT_GT(headerInk, 50);
    EXPECT_EQ(marginInk, 0);

    for (int k : {0, 2}) {
        const int top = T + H + (B - T - H) * k / 3;
        const int y1 = top + 2 * H, y2 = T + H + (B - T - H) * (k + 1) / 3;
        const int y0 = (y1 + y2) / 2;
        SCOPED_TRACE(k == 0 ? "loud row" : "silent row");
        int columns = 0, frame = 0, centre = 0, considered = 0, inside = 0;
        for (int x = L + 10; x < R - 10; x += 7) {
            ++columns;
            frame += Dark(page, x, y1) + Dark(page, x, y2 - 1);
            centre += Dark(page, x, y0);
            for (int y = y1 + 4; y < y2 - 5; ++y)
                if (y < y0 - 2 || y > y0 + 2) {
                    ++considered;
                    inside += k == 0 ? Dark(page, x, y) : !Light(page, x, y);
                }
        }
        EXPECT_EQ(frame, 2 * columns);
        EXPECT_EQ(centre, columns);
        // Loud: every column fills the box; silent: nothing but the line.
        EXPECT_EQ(inside, k == 0 ? considered : 0);
        int sides = 0;
        for (int y = y1 + 2; y < y2 - 2; ++y)
            sides += !Dark(page, L, y) + !Dark(page, R - 1, y);
        EXPECT_EQ(sides, 0);
    }
}
