#pragma once
// A printing service for tests: its printer writes a PDF file the test
// names, and the options dialog, the printer set-up and the preview run
// what the test scripts instead of waiting for a person.

#include <gtest/gtest.h>

#include <QDialog>
#include <QPrinter>
#include <functional>
#include <string>

#include "print/optdlg.h"
#include "print/printout.h"
#include "print/printservice.h"

class TScriptedPrint : public NSPrint::TPrintService {
public:
    // The printer prints into `pdfFile` at `dpi` dots per inch.
    explicit TScriptedPrint(const QString& pdfFile, int dpi = 100) {
        Pdf.setOutputFormat(QPrinter::PdfFormat);
        Pdf.setOutputFileName(pdfFile);
        Pdf.setResolution(dpi);
        Before = Install(this);
    }
    ~TScriptedPrint() override { Install(Before); }

    QPrinter& Printer() override { return Pdf; }

    int RunOptions(NSPrint::TOptDlg& dialog) override {
        ++OptionsShown;
        if (!OnOptions) {
            ADD_FAILURE() << "unexpected print options dialog";
            return QDialog::Rejected;
        }
        OnOptions(dialog);
        return dialog.result();
    }

    bool SetupPrinter(QPrinter& printer, int pages, QWidget*) override {
        ++SetupShown;
        SetupPages = pages;
        return OnSetup ? OnSetup(printer) : false;
    }

    void Preview(QPrinter& printer, const NSPrint::TWavePrintout& printout, QWidget*) override {
        ++PreviewShown;
        PreviewOrientation = printer.pageLayout().orientation();
        PreviewStart = printout.Start();
        PreviewEnd = printout.End();
        PreviewPages = printout.Pages();
    }

    QPrinter Pdf{QPrinter::HighResolution};
    // What the options dialog does (press buttons, fill fields); its result
    // is the dialog's.
    std::function<void(NSPrint::TOptDlg&)> OnOptions;
    // The set-up: changes the printer and answers OK (true) or Cancel.
    std::function<bool(QPrinter&)> OnSetup;

    int OptionsShown = 0;
    int SetupShown = 0;
    int SetupPages = 0;
    int PreviewShown = 0;
    QPageLayout::Orientation PreviewOrientation = QPageLayout::Portrait;
    uint32_t PreviewStart = 0;
    uint32_t PreviewEnd = 0;
    int PreviewPages = 0;

private:
    NSPrint::TPrintService* Before = nullptr;
};
