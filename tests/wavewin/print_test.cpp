// File > Print from a document window: the options dialog opens for the
// window's sound, selection and caption, and prints.

#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

#include "support/scriptedprint.h"
#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using NSWaveWinTest::WaveWinTest;

TEST_F(WaveWinTest, PrintOpensTheOptionsForTheWindowsSoundAndSelection) {
    const std::string name = MakeSound("print.wav", 2, 44100, 22050);
    TWaveWin* w = Open(name);
    w->SetSelection(TSampleRange(11025, 22050, 1));
    TScriptedPrint print(Folder.path() + "/print.pdf");
    print.OnOptions = [&](NSPrint::TOptDlg& dialog) {
        EXPECT_TRUE(dialog.Radio(NSPrint::TOptDlg::IdRange)->isChecked());
        EXPECT_EQ(dialog.Edit(NSPrint::TOptDlg::IdChannelFrom)->text(), "2");
        EXPECT_EQ(dialog.Edit(NSPrint::TOptDlg::IdTimeFrom)->text(), "0.5");
        EXPECT_EQ(dialog.Edit(NSPrint::TOptDlg::IdTimeTo)->text(), "1");
        auto printout = dialog.MakePrintout();
        ASSERT_TRUE(printout);
        EXPECT_EQ(printout->Title(), "Brimvale - " + name);
        EXPECT_EQ(printout->FirstChannel(), 1);
        EXPECT_EQ(printout->LastChannel(), 1);
        dialog.CmPrint();
    };
    ASSERT_TRUE(w->IsEnabled(CmdPrint));
    w->Command(CmdPrint);
    EXPECT_EQ(print.OptionsShown, 1);
    EXPECT_GT(QFileInfo(Folder.path() + "/print.pdf").size(), 1000);

    // An untitled sound prints under its caption, "Sound N".
    TWaveWin* untitled = Open();
    print.OnOptions = [&](NSPrint::TOptDlg& dialog) {
        EXPECT_TRUE(dialog.Radio(NSPrint::TOptDlg::IdAll)->isChecked());
        EXPECT_FALSE(dialog.Radio(NSPrint::TOptDlg::IdSelectedChannel)->isEnabled());
        auto printout = dialog.MakePrintout();
        ASSERT_TRUE(printout);
        EXPECT_EQ(printout->Title(), "Brimvale - " + untitled->Title());
        dialog.reject();
    };
    untitled->Command(CmdPrint);
    EXPECT_EQ(print.OptionsShown, 2);
    EXPECT_FALSE(untitled->IsModified());
}
