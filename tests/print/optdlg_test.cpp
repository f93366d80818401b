// The print options dialog: its set-up from the selection and the settings,
// the range it hands the printout (against a model of its rules over random
// entries), printing, the settings and orientation it writes back, its
// messages, "Save as PDF…", the printer set-up and the preview.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <random>

#include "print/optdlg.h"
#include "print/printout.h"
#include "support/scriptedfiledialog.h"
#include "support/scriptedmsgbox.h"
#include "support/scriptedprint.h"
#include "util/settings.h"
#include "wave/file.h"

using NSPrint::TOptDlg;

namespace {

class OptDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.isValid());
        // Three channels of 9 s at 22050 samples a second.
        Doc.SetSize(9 * 22050, 3);
    }

    std::string Path(const char* name) const { return (Folder.path() + "/" + name).toStdString(); }

    std::unique_ptr<TOptDlg> Dialog(const TSampleRange& selection) {
        return std::make_unique<TOptDlg>(nullptr, Doc, selection, Path("take.wav"), Print.Pdf);
    }

    static std::string Text(TOptDlg& d, int id) { return d.Edit(id)->text().toStdString(); }

    static void Set(TOptDlg& d, int id, const std::string& text) {
        d.Edit(id)->setText(QString::fromStdString(text));
    }

    static void Click(TOptDlg& d, int id) { static_cast<QAbstractButton*>(d.Control(id))->click(); }

    QTemporaryDir Folder;
    NSWave::TFile Doc{22050, 2, 2, 3};
    TScriptedPrint Print{Folder.path() + "/printed.pdf"};
    TScriptedMessageBoxes Boxes;
    TScriptedFileDialogs Dialogs;
};

} // namespace

TEST_F(OptDlgTest, SetUpFollowsTheSelectionAndTheSettings) {
    struct TExpect {
        TSampleRange Selection;
        int Checked;
        bool SelectedChannelEnabled;
        const char* Fields[4];
    };
    TSampleRange cursor(22050, 22050, 1);
    const TExpect cases[] = {
        // No selection: all of it, and no "Selected Channel".
        {TSampleRange(), TOptDlg::IdAll, false, {"1", "3", "0", "9"}},
        // A cursor is a selection, but not a range.
        {cursor, TOptDlg::IdAll, true, {"1", "3", "0", "9"}},
        // A range on the second channel.
        {TSampleRange(22050, 44100, 1), TOptDlg::IdRange, true, {"2", "2", "1", "2"}},
        // A range on all channels, at times that are not round.
        {TSampleRange(11025, 12345), TOptDlg::IdRange, true, {"1", "3", "0.5", "0.559864"}},
    };
    for (const TExpect& e : cases) {
        auto d = Dialog(e.Selection);
        EXPECT_TRUE(d->Radio(e.Checked)->isChecked()) << e.Fields[2];
        EXPECT_EQ(d->Radio(TOptDlg::IdSelectedChannel)->isEnabled(), e.SelectedChannelEnabled);
        const int ids[] = {TOptDlg::IdChannelFrom, TOptDlg::IdChannelTo, TOptDlg::IdTimeFrom,
                           TOptDlg::IdTimeTo};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Text(*d, ids[i]), e.Fields[i]) << "field " << ids[i];
            // The range fields count only for "Range".
            EXPECT_EQ(d->Edit(ids[i])->isEnabled(), e.Checked == TOptDlg::IdRange);
        }
        // Defaults of the settings: landscape, 3 rows, 1 page.
        EXPECT_TRUE(d->Radio(TOptDlg::IdLandscape)->isChecked());
        EXPECT_EQ(Text(*d, TOptDlg::IdRowsPerPage), "3");
        EXPECT_EQ(Text(*d, TOptDlg::IdPages), "1");
        EXPECT_EQ(static_cast<QLabel*>(d->Control(TOptDlg::IdPrinterName))->toolTip(),
                  "PDF file " + Folder.path() + "/printed.pdf");
    }
    // The selection's own positions come back while the times are left as
    // shown, though the texts are rounded.
    auto d = Dialog(TSampleRange(11025, 12345));
    auto printout = d->MakePrintout();
    ASSERT_TRUE(printout);
    EXPECT_EQ(printout->Start(), 11025u);
    EXPECT_EQ(printout->End(), 12345u);
    EXPECT_EQ(printout->Title(), "Brimvale - " + Path("take.wav"));
}

TEST_F(OptDlgTest, TheRangeFollowsTheRulesOverRandomEntries) {
    std::mt19937 random(16);
    const uint32_t length = Doc.GetLength();
    for (int round = 0; round < 300; ++round) {
        // A selection: none, a cursor, a range on one channel or all.
        TSampleRange selection;
        const uint32_t a = random() % length, b = random() % length;
        const int channel = random() % 2 ? AllChannels : int(random() % 3);
        switch (random() % 4) {
        case 0:
            break;
        case 1:
            selection = TSampleRange(a, a, channel);
            break;
        default:
            selection = TSampleRange(a, b, channel);
            break;
        }
        auto d = Dialog(selection);
        int choice = std::vector<int>{TOptDlg::IdAll, TOptDlg::IdSelectedChannel,
                                      TOptDlg::IdRange}[random() % 3];
        if (!d->Radio(choice)->isEnabled())
            choice = TOptDlg::IdRange;
        d->Radio(choice)->setChecked(true);
        // Channels 0 to 3 (0: first / last); times 0 (keep) or up to 12 s,
        // "to" sometimes below "from"; sometimes left as set up.
        const int from = int(random() % 4), to = int(random() % 4);
        const double t0 = random() % 3 ? (random() % 1200) / 100.0 : 0;
        const double t1 = random() % 3 ? (random() % 1200) / 100.0 : 0;
        const bool keepTimes = random() % 4 == 0;
        Set(*d, TOptDlg::IdChannelFrom, std::to_string(from));
        Set(*d, TOptDlg::IdChannelTo, std::to_string(to));
        if (!keepTimes) {
            Set(*d, TOptDlg::IdTimeFrom, QString::number(t0).toStdString());
            Set(*d, TOptDlg::IdTimeTo, QString::number(t1).toStdString());
        }

        // The model: the whole sound on all channels; "Selected Channel"
        // narrows to a named channel; "Range" reads the fields, 0 keeping
        // the first / last channel and the whole length, and puts a "to"
        // below its "from" in order.
        uint64_t start = 0, end = length;
        int first = 0, last = 2;
        if (choice == TOptDlg::IdSelectedChannel && selection.Channel != AllChannels) {
            first = last = selection.Channel;
        } else if (choice == TOptDlg::IdRange) {
            first = from < 1 ? 0 : from - 1;
            last = to < 1 ? 2 : to - 1;
            if (keepTimes) {
                const bool range = selection.Valid && selection.Start < selection.End;
                if (range) {
                    start = selection.Start;
                    end = selection.End;
                }
            } else {
                if (t0 != 0)
                    start = uint64_t(std::llround(t0 * 22050));
                if (t1 != 0)
                    end = uint64_t(std::llround(t1 * 22050));
            }
            if (last < first)
                std::swap(first, last);
            if (end < start)
                std::swap(start, end);
        }
        if (start == end) { // the printout's rule: an empty range is all
            start = 0;
            end = length;
        }
        auto printout = d->MakePrintout();
        ASSERT_TRUE(printout);
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(printout->Start(), start);
        EXPECT_EQ(printout->End(), end);
        EXPECT_EQ(printout->FirstChannel(), first);
        EXPECT_EQ(printout->LastChannel(), last);
        EXPECT_EQ(printout->Rows(), 3);
        EXPECT_EQ(printout->Pages(), 1);
    }
}

TEST_F(OptDlgTest, PrintPrintsWritesTheSettingsBackAndAppliesTheOrientation) {
    auto d = Dialog(TSampleRange());
    Set(*d, TOptDlg::IdRowsPerPage, "2");
    Set(*d, TOptDlg::IdPages, "2");
    Click(*d, TOptDlg::IdPortrait);
    Click(*d, TOptDlg::IdPrint);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_GT(QFileInfo(Folder.path() + "/printed.pdf").size(), 1000);
    EXPECT_EQ(Print.Pdf.pageLayout().orientation(), QPageLayout::Portrait);
    // Written at once: fresh settings objects read them back.
    EXPECT_EQ(TValueSetting("Print\\RowsPerPage", 3).Get(), 2);
    EXPECT_EQ(TValueSetting("Print\\Pages", 1).Get(), 2);
    EXPECT_EQ(TValueSetting("Print\\Orientation", 0).Get(), 1);

    // The next dialog starts from them; landscape goes back to 0.
    d = Dialog(TSampleRange());
    EXPECT_TRUE(d->Radio(TOptDlg::IdPortrait)->isChecked());
    EXPECT_EQ(Text(*d, TOptDlg::IdRowsPerPage), "2");
    EXPECT_EQ(Text(*d, TOptDlg::IdPages), "2");
    Set(*d, TOptDlg::IdRowsPerPage, "3");
    Set(*d, TOptDlg::IdPages, "1");
    Click(*d, TOptDlg::IdLandscape);
    Click(*d, TOptDlg::IdPrint);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(Print.Pdf.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(TValueSetting("Print\\Orientation", 0).Get(), 0);
}

TEST_F(OptDlgTest, WrongFieldsAndAMissingPrinterKeepTheDialogOpen) {
    const std::string pdf = Path("printed.pdf");
    struct TWrong {
        int Range; // radio to check
        int Field;
        const char* Text;
        const char* Message;
    };
    const TWrong cases[] = {
        {TOptDlg::IdAll, TOptDlg::IdRowsPerPage, "0", "rows per page from 1 to 100"},
        {TOptDlg::IdAll, TOptDlg::IdPages, "", "pages from 1 to 1000"},
        {TOptDlg::IdRange, TOptDlg::IdChannelTo, "4", "channel number from 0 to 3"},
        {TOptDlg::IdRange, TOptDlg::IdTimeFrom, "-1", "time from 0 to"},
        {TOptDlg::IdRange, TOptDlg::IdTimeTo, "1e9", "time from 0 to"},
    };
    for (const TWrong& w : cases) {
        auto d = Dialog(TSampleRange());
        d->show();
        Click(*d, w.Range);
        Set(*d, w.Field, w.Text);
        Boxes.Expect(w.Message, IdOk);
        Click(*d, TOptDlg::IdPrint);
        EXPECT_TRUE(d->isVisible()) << w.Message;
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(d->focusWidget(), d->Edit(w.Field)) << w.Message;
    }
    // With "All" the channel and time fields are not read.
    auto d = Dialog(TSampleRange());
    Set(*d, TOptDlg::IdChannelFrom, "");
    Click(*d, TOptDlg::IdPrint);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    QFile::remove(QString::fromStdString(pdf));
    // Settings were not written by the failed attempts.
    EXPECT_EQ(TValueSetting("Print\\RowsPerPage", 3).Get(), 3);

    // A printer with nowhere to print: say so, stay open.
    Print.Pdf.setOutputFileName(QString());
    d = Dialog(TSampleRange());
    d->show();
    EXPECT_EQ(static_cast<QLabel*>(d->Control(TOptDlg::IdPrinterName))->toolTip(),
              "No printer is set up");
    Boxes.Expect("No printer is set up", IdOk);
    Click(*d, TOptDlg::IdPrint);
    EXPECT_TRUE(d->isVisible());
    // A PDF file that cannot be made: the printer fails, the dialog says
    // which, and stays open.
    Print.Pdf.setOutputFileName(Folder.path() + "/no/such/folder/x.pdf");
    Boxes.Expect("could not be printed on PDF file " + Path("no/such/folder/x.pdf"), IdOk);
    Click(*d, TOptDlg::IdPrint);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(pdf)));
}

TEST_F(OptDlgTest, SaveAsPdfAsksForAFileAndPrintsTheSamePagesThere) {
    auto d = Dialog(TSampleRange(0, 22050, 2));
    d->show();
    // Cancelled: nothing written, still open.
    Dialogs.Expect("Save as PDF", "");
    Click(*d, TOptDlg::IdSavePdf);
    EXPECT_TRUE(d->isVisible());
    ASSERT_EQ(Dialogs.Shown.size(), 1u);
    EXPECT_TRUE(Dialogs.Shown[0].Save);
    EXPECT_TRUE(Dialogs.Shown[0].PromptOverwrite);
    EXPECT_EQ(Dialogs.Shown[0].DefaultSuffix, "pdf");
    EXPECT_EQ(Dialogs.Shown[0].FileName, Path("take.pdf"));

    Click(*d, TOptDlg::IdPortrait);
    Dialogs.Expect("Save as PDF", Path("saved.pdf"));
    Click(*d, TOptDlg::IdSavePdf);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_GT(QFileInfo(Folder.path() + "/saved.pdf").size(), 1000);
    EXPECT_FALSE(QFileInfo::exists(Folder.path() + "/printed.pdf"));
    EXPECT_EQ(TValueSetting("Print\\Orientation", 0).Get(), 1);

    // A folder that does not exist: the message, and the dialog stays.
    d = Dialog(TSampleRange());
    d->show();
    Dialogs.Expect("Save as PDF", Path("none/saved.pdf"));
    Boxes.Expect("The PDF file '" + Path("none/saved.pdf") + "' could not be written.", IdOk);
    Click(*d, TOptDlg::IdSavePdf);
    EXPECT_TRUE(d->isVisible());
}

TEST_F(OptDlgTest, SetupAndPreviewGoThroughThePrintingService) {
    auto d = Dialog(TSampleRange(22050, 44100));
    Set(*d, TOptDlg::IdPages, "4");
    // Set-up cancelled: nothing changes.
    Click(*d, TOptDlg::IdSetup);
    EXPECT_EQ(Print.SetupShown, 1);
    EXPECT_EQ(Print.SetupPages, 4);
    // Set-up confirmed with another file and portrait pages: the name and
    // the orientation follow.
    Print.OnSetup = [this](QPrinter& printer) {
        printer.setOutputFileName(Folder.path() + "/other.pdf");
        printer.setPageOrientation(QPageLayout::Portrait);
        return true;
    };
    Click(*d, TOptDlg::IdSetup);
    EXPECT_EQ(static_cast<QLabel*>(d->Control(TOptDlg::IdPrinterName))->toolTip(),
              "PDF file " + Folder.path() + "/other.pdf");
    EXPECT_TRUE(d->Radio(TOptDlg::IdPortrait)->isChecked());

    // The preview shows the printout the fields describe, on the
    // orientation chosen.
    Click(*d, TOptDlg::IdLandscape);
    Set(*d, TOptDlg::IdTimeTo, "3");
    Click(*d, TOptDlg::IdPreview);
    EXPECT_EQ(Print.PreviewShown, 1);
    EXPECT_EQ(Print.PreviewStart, 22050u);
    EXPECT_EQ(Print.PreviewEnd, 3u * 22050);
    EXPECT_EQ(Print.PreviewPages, 4);
    EXPECT_EQ(Print.PreviewOrientation, QPageLayout::Landscape);
    // A preview prints nothing and keeps the dialog open, its settings
    // unwritten.
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(TValueSetting("Print\\Pages", 1).Get(), 1);
}
