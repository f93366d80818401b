#pragma once
// The print options dialog: which channels and which stretch of the sound
// to print, the orientation, rows per page and number of pages; the printer
// and its set-up; printing, saving the printout as a PDF file, and a
// preview.

#include <QString>
#include <memory>
#include <string>

#include "dlg/stddlg.h"
#include "wave/samplerange.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPrinter;
class QRadioButton;

namespace NSWave {
class TFile;
}

namespace NSPrint {

class TWavePrintout;

class TOptDlg : public TStdDlg {
public:
    // Control ids of the dialog (template 2700).
    enum {
        IdTemplate = 2700,
        IdPrinterName = 2701,
        IdSetup = 2702,
        IdAll = 2703,
        IdSelectedChannel = 2705,
        IdRange = 2706,
        IdChannelFrom = 2707,
        IdChannelTo = 2708,
        IdTimeFrom = 2709,
        IdTimeTo = 2710,
        IdLandscape = 2711,
        IdPortrait = 2712,
        IdRowsPerPage = 2713,
        IdPages = 2714,
        IdSavePdf = 2715,
        IdPreview = 2716,
        IdPrint = 1,
        IdCancel = 2,
    };

    // `selection` as the document window holds it; `title` its caption.
    TOptDlg(QWidget* parent, const NSWave::TFile& document, const TSampleRange& selection,
            const std::string& title, QPrinter& printer);
    ~TOptDlg() override;

    // "Print": prints on the printer and closes; stays open when a field is
    // wrong or the printer fails (with a message).
    void CmPrint();
    // "Select / Setup": the printer set-up, then the printer's name.
    void CmSetup();
    // "Save as PDF…": a file name, then the same printout into that file.
    void CmSavePdf();
    // "Preview…": the pages as they will print.
    void CmPreview();

    // The printout the fields describe (settings untouched), or null after
    // telling the user which field is wrong.
    std::unique_ptr<TWavePrintout> MakePrintout();

    // The text the printer's name shows.
    static QString PrinterText(const QPrinter& printer);

    QLineEdit* Edit(int id) const;
    QRadioButton* Radio(int id) const;
    QPrinter& Printer() const { return PrinterRef; }

private:
    void SetupControls();
    // The fields' limits and their values from the document, its selection
    // and the settings.
    void FillFields();
    void UpdateRangeFields();
    void UpdatePrinterName();
    // Validates the fields; false after the message.
    bool Validate();
    // The orientation chosen, applied to `printer`; stored with `store`.
    void ApplyOrientation(QPrinter& printer);
    void StoreSettings();
    void ShowError(const std::string& text);
    // Seconds in a time field as a sample position: the selection's own
    // position while the field still shows it.
    uint64_t FieldSamples(int id) const;

    const NSWave::TFile& Document;
    TSampleRange Selection;
    std::string DocTitle;
    QPrinter& PrinterRef;
    QButtonGroup* RangeGroup = nullptr;
    QButtonGroup* OrientationGroup = nullptr;
    // What set-up wrote into the time fields, and the exact positions
    // behind them.
    QString TimeText[2];
    uint64_t TimeSamples[2] = {0, 0};
};

// File > Print: the options dialog for a document, its selection and its
// title, run by the installed printing service (nothing without one). The
// dialog's result.
int ShowPrintOptions(QWidget* parent, const NSWave::TFile& document, const TSampleRange& selection,
                     const std::string& title);

} // namespace NSPrint
