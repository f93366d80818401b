#include "print/printservice.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>

#include "print/optdlg.h"
#include "print/printout.h"

namespace NSPrint {

TQtPrintService::TQtPrintService() : Before(Install(this)) {}

TQtPrintService::~TQtPrintService() {
    if (Current() == this)
        Install(Before);
}

QPrinter& TQtPrintService::Printer() {
    if (!SharedPrinter) {
        SharedPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Without a printer the output is a PDF file: at 600 dots per inch,
        // like "Save as PDF…", its pens are those of a good office printer.
        if (SharedPrinter->outputFormat() == QPrinter::PdfFormat)
            SharedPrinter->setResolution(600);
    }
    return *SharedPrinter;
}

int TQtPrintService::RunOptions(TOptDlg& dialog) {
    return dialog.exec();
}

bool TQtPrintService::SetupPrinter(QPrinter& printer, int pages, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("Print", "Select / Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(pages, 1));
    // The dialog only chooses here; the options dialog prints.
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok))
            ok->setText(QCoreApplication::translate("Print", "OK"));
    return dialog.exec() == QDialog::Accepted;
}

void TQtPrintService::Preview(QPrinter& printer, const TWavePrintout& printout, QWidget* parent) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QString::fromStdString(printout.Title()));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&printout](QPrinter* target) { printout.Print(*target); });
    preview.resize(1000, 750);
    preview.exec();
}

} // namespace NSPrint
