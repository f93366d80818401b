#pragma once
// The printing service: the printer the program prints on, the printer
// set-up, the preview and the running of the print options dialog. The
// program installs the Qt one (print dialogs, preview window, the system's
// printers); tests install scripted ones, so nothing ever waits for a
// person or a printer.

#include <memory>

#include "platform/installed.h"

class QPrinter;
class QWidget;

namespace NSPrint {

class TOptDlg;
class TWavePrintout;

class TPrintService : public TInstalled<TPrintService> {
public:
    virtual ~TPrintService() = default;

    // The printer kept between prints, so a chosen printer stays chosen.
    virtual QPrinter& Printer() = 0;
    // Runs the options dialog; its result (QDialog::Accepted or Rejected).
    virtual int RunOptions(TOptDlg& dialog) = 0;
    // Lets the user choose and set up the printer; false when cancelled.
    // `pages` is the printout's page count, for the page range.
    virtual bool SetupPrinter(QPrinter& printer, int pages, QWidget* parent) = 0;
    // Shows the printout's pages as they will print on `printer`.
    virtual void Preview(QPrinter& printer, const TWavePrintout& printout, QWidget* parent) = 0;
};

// The program's service: lives in main, installed for its lifetime.
class TQtPrintService : public TPrintService {
public:
    TQtPrintService();
    ~TQtPrintService() override;

    QPrinter& Printer() override;
    int RunOptions(TOptDlg& dialog) override;
    bool SetupPrinter(QPrinter& printer, int pages, QWidget* parent) override;
    void Preview(QPrinter& printer, const TWavePrintout& printout, QWidget* parent) override;

private:
    std::unique_ptr<QPrinter> SharedPrinter;
    TPrintService* Before;
};

} // namespace NSPrint
