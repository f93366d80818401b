#include "print/optdlg.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDoubleValidator>
#include <QFileInfo>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "platform/filedlg.h"
#include "platform/msgbox.h"
#include "print/printout.h"
#include "print/printservice.h"
#include "util/opstatus.h"
#include "util/settings.h"
#include "util/text.h"
#include "wave/file.h"

namespace NSPrint {

namespace {

TValueSetting OrientationSetting("Print\\Orientation", 0);
TValueSetting RowsSetting("Print\\RowsPerPage", 3);
TValueSetting PagesSetting("Print\\Pages", 1);

constexpr int MaxRows = 100;
constexpr int MaxPages = 1000;

// Seconds as the time fields show them: up to six decimals, no trailing
// zeros ("0", "1.5", "0.559864").
QString SecondsText(double seconds) {
    QString text = QString::number(seconds, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

bool ParseInt(const QString& text, int low, int high, int* value) {
    bool ok = false;
    const int v = QLocale::c().toInt(text.trimmed(), &ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool ParseSeconds(const QString& text, double high, double* value) {
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > high)
        return false;
    *value = v;
    return true;
}

QString PrintText(const char* text) {
    return QCoreApplication::translate("Print", text);
}

// Titles and labels come as QT_TRANSLATE_NOOP("Print", ...) and are
// translated here.
QGroupBox* Group(TStdDlg* dialog, const char* title, int x, int y, int w, int h) {
    auto* group = new QGroupBox(PrintText(title), dialog);
    dialog->Place(group, -1, x, y, w, h);
    return group;
}

QLabel* Text(TStdDlg* dialog, const char* text, int x, int y, int w, int h) {
    auto* label = new QLabel(PrintText(text), dialog);
    dialog->Place(label, -1, x, y, w, h);
    return label;
}

} // namespace

TOptDlg::TOptDlg(QWidget* parent, const NSWave::TFile& document, const TSampleRange& selection,
                 const std::string& title, QPrinter& printer)
    : TStdDlg(parent, 280, 184, QCoreApplication::translate("Print", "Print")), Document(document),
      Selection(selection), DocTitle(title), PrinterRef(printer) {
    SetupControls();
    SetupWindow();
    setFixedSize(size());
}

TOptDlg::~TOptDlg() = default;

void TOptDlg::SetupControls() {
    // Created in reading order, which is also the order of the Tab key.
    Group(this, QT_TRANSLATE_NOOP("Print", "Printer"), 7, 4, 266, 32);
    auto* name = new QLabel(this);
    name->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    name->setTextFormat(Qt::PlainText);
    Place(name, IdPrinterName, 14, 17, 186, 12);
    auto* setup = new QPushButton(QCoreApplication::translate("Print", "Select / Setup"), this);
    Place(setup, IdSetup, 206, 16, 60, 14);

    Group(this, QT_TRANSLATE_NOOP("Print", "Print Range"), 7, 40, 266, 76);
    auto* all = new QRadioButton(QCoreApplication::translate("Print", "&All"), this);
    Place(all, IdAll, 14, 53, 90, 10);
    auto* selected =
        new QRadioButton(QCoreApplication::translate("Print", "Selected Channel"), this);
    Place(selected, IdSelectedChannel, 14, 67, 90, 10);
    auto* range = new QRadioButton(QCoreApplication::translate("Print", "&Range"), this);
    Place(range, IdRange, 14, 81, 50, 10);
    Text(this, QT_TRANSLATE_NOOP("Print", "Channel #"), 70, 82, 48, 8);
    Place(new QLineEdit(this), IdChannelFrom, 122, 80, 30, 12);
    Text(this, QT_TRANSLATE_NOOP("Print", "to"), 158, 82, 12, 8);
    Place(new QLineEdit(this), IdChannelTo, 172, 80, 30, 12);
    Text(this, QT_TRANSLATE_NOOP("Print", "By Time From"), 70, 98, 48, 8);
    Place(new QLineEdit(this), IdTimeFrom, 122, 96, 44, 12);
    Text(this, QT_TRANSLATE_NOOP("Print", "to"), 172, 98, 12, 8);
    Place(new QLineEdit(this), IdTimeTo, 186, 96, 44, 12);
    Text(this, QT_TRANSLATE_NOOP("Print", "seconds"), 234, 98, 34, 8);

    Group(this, QT_TRANSLATE_NOOP("Print", "Orientation"), 7, 120, 110, 40);
    auto* landscape = new QRadioButton(QCoreApplication::translate("Print", "&Landscape"), this);
    Place(landscape, IdLandscape, 14, 132, 90, 10);
    auto* portrait = new QRadioButton(QCoreApplication::translate("Print", "&Portrait"), this);
    Place(portrait, IdPortrait, 14, 145, 90, 10);

    Group(this, QT_TRANSLATE_NOOP("Print", "Layout"), 123, 120, 150, 40);
    Text(this, QT_TRANSLATE_NOOP("Print", "Rows per Page"), 130, 133, 70, 8);
    Place(new QLineEdit(this), IdRowsPerPage, 206, 131, 30, 12);
    Text(this, QT_TRANSLATE_NOOP("Print", "# of Pages"), 130, 146, 70, 8);
    Place(new QLineEdit(this), IdPages, 206, 144, 30, 12);

    auto* preview = new QPushButton(QCoreApplication::translate("Print", "Preview…"), this);
    Place(preview, IdPreview, 7, 166, 54, 14);
    auto* pdf = new QPushButton(QCoreApplication::translate("Print", "Save as PDF…"), this);
    Place(pdf, IdSavePdf, 65, 166, 62, 14);
    auto* print = new QPushButton(QCoreApplication::translate("Print", "Print"), this);
    Place(print, IdPrint, 161, 166, 54, 14);
    auto* cancel = new QPushButton(QCoreApplication::translate("Print", "Cancel"), this);
    Place(cancel, IdCancel, 219, 166, 54, 14);
    print->setDefault(true);

    RangeGroup = new QButtonGroup(this);
    RangeGroup->addButton(all, IdAll);
    RangeGroup->addButton(selected, IdSelectedChannel);
    RangeGroup->addButton(range, IdRange);
    OrientationGroup = new QButtonGroup(this);
    OrientationGroup->addButton(landscape, IdLandscape);
    OrientationGroup->addButton(portrait, IdPortrait);

    FillFields();

    connect(RangeGroup, &QButtonGroup::idToggled, this, [this] { UpdateRangeFields(); });
    connect(setup, &QPushButton::clicked, this, [this] { CmSetup(); });
    connect(preview, &QPushButton::clicked, this, [this] { CmPreview(); });
    connect(pdf, &QPushButton::clicked, this, [this] { CmSavePdf(); });
    connect(print, &QPushButton::clicked, this, [this] { CmPrint(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TOptDlg::FillFields() {
    // Typing is kept to what the fields can hold; OK checks them again.
    const int channels = Document.ChannelCount();
    Edit(IdChannelFrom)->setValidator(new QIntValidator(0, channels, this));
    Edit(IdChannelTo)->setValidator(new QIntValidator(0, channels, this));
    for (int id : {IdTimeFrom, IdTimeTo}) {
        auto* validator = new QDoubleValidator(0, 1e9, 6, this);
        validator->setNotation(QDoubleValidator::StandardNotation);
        validator->setLocale(QLocale::c());
        Edit(id)->setValidator(validator);
    }
    Edit(IdRowsPerPage)->setValidator(new QIntValidator(0, MaxRows, this));
    Edit(IdPages)->setValidator(new QIntValidator(0, MaxPages, this));

    // The fields as the document and its selection set them.
    Edit(IdChannelFrom)->setText(QStringLiteral("1"));
    Edit(IdChannelTo)->setText(QString::number(channels));
    const double rate = Document.Rate > 0 ? Document.Rate : 1;
    if (Selection.Valid && Selection.Start < Selection.End) {
        RangeGroup->button(IdRange)->setChecked(true);
        if (Selection.Channel != AllChannels && Document.HasChannel(Selection.Channel)) {
            Edit(IdChannelFrom)->setText(QString::number(Selection.Channel + 1));
            Edit(IdChannelTo)->setText(QString::number(Selection.Channel + 1));
        }
        TimeSamples[0] = Selection.Start;
        TimeSamples[1] = Selection.End;
    } else {
        RangeGroup->button(IdAll)->setChecked(true);
        TimeSamples[0] = 0;
        TimeSamples[1] = Document.GetLength();
    }
    for (int i = 0; i < 2; ++i) {
        TimeText[i] = SecondsText(double(TimeSamples[i]) / rate);
        Edit(i == 0 ? IdTimeFrom : IdTimeTo)->setText(TimeText[i]);
    }
    RangeGroup->button(IdSelectedChannel)->setEnabled(Selection.Valid);
    OrientationGroup->button(OrientationSetting.Get() ? IdPortrait : IdLandscape)->setChecked(true);
    Edit(IdRowsPerPage)->setText(QString::number(RowsSetting.Get()));
    Edit(IdPages)->setText(QString::number(PagesSetting.Get()));
    UpdatePrinterName();
    UpdateRangeFields();
}

QLineEdit* TOptDlg::Edit(int id) const {
    return qobject_cast<QLineEdit*>(Control(id));
}

QRadioButton* TOptDlg::Radio(int id) const {
    return qobject_cast<QRadioButton*>(Control(id));
}

void TOptDlg::UpdateRangeFields() {
    // The channel and time fields matter only for "Range".
    const bool range = Radio(IdRange)->isChecked();
    for (int id : {IdChannelFrom, IdChannelTo, IdTimeFrom, IdTimeTo})
        Edit(id)->setEnabled(range);
}

QString TOptDlg::PrinterText(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printer.outputFileName().isEmpty()
                   ? QCoreApplication::translate("Print", "No printer is set up")
                   : QCoreApplication::translate("Print", "PDF file %1")
                         .arg(printer.outputFileName());
    return printer.printerName();
}

void TOptDlg::UpdatePrinterName() {
    auto* label = qobject_cast<QLabel*>(Control(IdPrinterName));
    const QString text = PrinterText(PrinterRef);
    label->setToolTip(text);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle,
                                                   std::max(label->contentsRect().width() - 4, 8)));
}

void TOptDlg::ShowError(const std::string& text) {
    ShowMessageBox(text, "Brimvale", TMsgButtons::Ok, TMsgIcon::Warning);
}

bool TOptDlg::Validate() {
    int value = 0;
    auto fail = [this](int id, const std::string& text) {
        ShowError(text);
        Edit(id)->setFocus();
        Edit(id)->selectAll();
        return false;
    };
    if (Radio(IdRange)->isChecked()) {
        const int channels = Document.ChannelCount();
        for (int id : {IdChannelFrom, IdChannelTo})
            if (!ParseInt(Edit(id)->text(), 0, channels, &value))
                return fail(
                    id, NSText::Fill(NSText::Tr("Print", "Enter a channel number from 0 to %1 (0: "
                                                         "from the first or to the last channel)."),
                                     {std::to_string(channels)}));
        const double rate = Document.Rate > 0 ? Document.Rate : 1;
        const double longest = std::floor(double(UINT32_MAX) / rate);
        double seconds = 0;
        for (int id : {IdTimeFrom, IdTimeTo})
            if (!ParseSeconds(Edit(id)->text(), longest, &seconds))
                return fail(id,
                            NSText::Fill(NSText::Tr("Print", "Enter a time from 0 to %1 seconds "
                                                             "(0 \"to\": the end of the sound)."),
                                         {SecondsText(longest).toStdString()}));
    }
    if (!ParseInt(Edit(IdRowsPerPage)->text(), 1, MaxRows, &value))
        return fail(
            IdRowsPerPage,
            NSText::Fill(NSText::Tr("Print", "Enter a number of rows per page from 1 to %1."),
                         {std::to_string(MaxRows)}));
    if (!ParseInt(Edit(IdPages)->text(), 1, MaxPages, &value))
        return fail(IdPages,
                    NSText::Fill(NSText::Tr("Print", "Enter a number of pages from 1 to %1."),
                                 {std::to_string(MaxPages)}));
    return true;
}

uint64_t TOptDlg::FieldSamples(int id) const {
    const int index = id == IdTimeFrom ? 0 : 1;
    const QString text = Edit(id)->text().trimmed();
    if (text == TimeText[index])
        return TimeSamples[index];
    const double rate = Document.Rate > 0 ? Document.Rate : 1;
    const double samples = std::round(QLocale::c().toDouble(text) * rate);
    return uint64_t(std::clamp(samples, 0.0, double(UINT32_MAX)));
}

std::unique_ptr<TWavePrintout> TOptDlg::MakePrintout() {
    if (!Validate())
        return nullptr;
    // The whole sound, all channels, unless the range says otherwise.
    uint32_t start = 0;
    uint32_t end = Document.GetLength();
    int first = 0;
    int last = Document.ChannelCount() - 1;
    if (Radio(IdSelectedChannel)->isChecked()) {
        if (Selection.Channel != AllChannels && Document.HasChannel(Selection.Channel))
            first = last = Selection.Channel;
    } else if (Radio(IdRange)->isChecked()) {
        const int from = QLocale::c().toInt(Edit(IdChannelFrom)->text().trimmed());
        const int to = QLocale::c().toInt(Edit(IdChannelTo)->text().trimmed());
        first = from < 1 ? 0 : from - 1;
        last = to < 1 ? Document.ChannelCount() - 1 : to - 1;
        if (QLocale::c().toDouble(Edit(IdTimeFrom)->text().trimmed()) != 0)
            start = uint32_t(FieldSamples(IdTimeFrom));
        if (QLocale::c().toDouble(Edit(IdTimeTo)->text().trimmed()) != 0)
            end = uint32_t(FieldSamples(IdTimeTo));
        // A "to" below its "from" means the same stretch the other way round.
        if (last < first)
            std::swap(first, last);
        if (end < start)
            std::swap(start, end);
    }
    return std::make_unique<TWavePrintout>(Document, start, end, first, last,
                                           Edit(IdRowsPerPage)->text().trimmed().toInt(),
                                           Edit(IdPages)->text().trimmed().toInt(), DocTitle);
}

void TOptDlg::ApplyOrientation(QPrinter& printer) {
    printer.setPageOrientation(Radio(IdPortrait)->isChecked() ? QPageLayout::Portrait
                                                              : QPageLayout::Landscape);
}

void TOptDlg::StoreSettings() {
    RowsSetting.Set(Edit(IdRowsPerPage)->text().trimmed().toInt());
    PagesSetting.Set(Edit(IdPages)->text().trimmed().toInt());
    OrientationSetting.Set(Radio(IdPortrait)->isChecked() ? 1 : 0);
}

void TOptDlg::CmPrint() {
    std::unique_ptr<TWavePrintout> printout = MakePrintout();
    if (!printout)
        return;
    StoreSettings();
    ApplyOrientation(PrinterRef);
    if (PrinterRef.outputFormat() == QPrinter::PdfFormat && PrinterRef.outputFileName().isEmpty()) {
        ShowError(NSText::Tr("Print", "No printer is set up. Choose one with \"Select / Setup\", "
                                      "or save the printout with \"Save as PDF…\"."));
        return;
    }
    bool printed;
    {
        TTempCursor wait;
        printed = printout->Print(PrinterRef);
    }
    if (!printed) {
        ShowError(NSText::Fill(NSText::Tr("Print", "The printout could not be printed on %1."),
                               {PrinterText(PrinterRef).toStdString()}));
        return;
    }
    accept();
}

void TOptDlg::CmSetup() {
    TPrintService* service = TPrintService::Current();
    if (!service)
        return;
    int pages = 1;
    ParseInt(Edit(IdPages)->text(), 1, MaxPages, &pages);
    // The set-up starts from the orientation chosen here and may change it.
    ApplyOrientation(PrinterRef);
    if (!service->SetupPrinter(PrinterRef, pages, this))
        return;
    UpdatePrinterName();
    Radio(PrinterRef.pageLayout().orientation() == QPageLayout::Portrait ? IdPortrait : IdLandscape)
        ->setChecked(true);
}

void TOptDlg::CmSavePdf() {
    std::unique_ptr<TWavePrintout> printout = MakePrintout();
    if (!printout)
        return;
    TFileDialogRequest request;
    request.Save = true;
    request.Title = NSText::Tr("Print", "Save as PDF");
    request.Filters = {NSText::Tr("Print", "PDF Files (*.pdf)")};
    request.DefaultSuffix = "pdf";
    request.PromptOverwrite = true;
    // The sound's own name with the suffix of a PDF, beside the sound.
    const QFileInfo sound(QString::fromStdString(DocTitle));
    request.FileName =
        (sound.path() == QStringLiteral(".") ? sound.completeBaseName()
                                             : sound.path() + "/" + sound.completeBaseName())
            .toStdString() +
        ".pdf";
    const std::string name = RunFileDialog(request);
    if (name.empty())
        return;
    StoreSettings();
    ApplyOrientation(PrinterRef);
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(QString::fromStdString(name));
    // 600 dots per inch: the pens of a good office printer.
    pdf.setResolution(600);
    pdf.setPageLayout(PrinterRef.pageLayout());
    pdf.setDocName(QString::fromStdString(printout->Title()));
    pdf.setCreator(QStringLiteral("Brimvale"));
    bool written;
    {
        TTempCursor wait;
        written = printout->Print(pdf);
    }
    if (!written) {
        ShowError(
            NSText::Fill(NSText::Tr("Print", "The PDF file '%1' could not be written."), {name}));
        return;
    }
    accept();
}

void TOptDlg::CmPreview() {
    std::unique_ptr<TWavePrintout> printout = MakePrintout();
    if (!printout)
        return;
    TPrintService* service = TPrintService::Current();
    if (!service)
        return;
    ApplyOrientation(PrinterRef);
    service->Preview(PrinterRef, *printout, this);
    // The preview may have turned the page.
    Radio(PrinterRef.pageLayout().orientation() == QPageLayout::Portrait ? IdPortrait : IdLandscape)
        ->setChecked(true);
}

int ShowPrintOptions(QWidget* parent, const NSWave::TFile& document, const TSampleRange& selection,
                     const std::string& title) {
    TPrintService* service = TPrintService::Current();
    if (!service)
        return QDialog::Rejected;
    TOptDlg dialog(parent, document, selection, title, service->Printer());
    return service->RunOptions(dialog);
}

} // namespace NSPrint
