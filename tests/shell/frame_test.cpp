// The main frame: start-up with files, the untouched document, menus and
// keys that follow the active window, the question on exit, recent files.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "dlg/menustyle.h"
#include "platform/audio_virtual.h"
#include "shell/app.h"
#include "shell/splash.h"
#include "support/scriptedfiledialog.h"
#include "support/scriptedmsgbox.h"
#include "wave/file.h"
#include "wavewin/commands.h"
#include "wavewin/prefsdlg.h"
#include "wavewin/transport.h"
#include "wavewin/wavewin.h"

using namespace NSWaveWin;

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSAudio::TVirtualCard::Instance().Clear();
        ASSERT_TRUE(Folder.isValid());
    }
    void TearDown() override {
        for (TWaveWin* w : TWaveWin::Windows())
            w->SetModified(false);
    }

    TApp& Start(const QStringList& files) {
        App = std::make_unique<TApp>(TAppOptions{0});
        App->Start(files);
        return *App;
    }
    TAppFrame* Frame() const { return App->Frame(); }
    QList<QMdiSubWindow*> Children() const { return Frame()->Client()->subWindowList(); }

    QString Sound(const QString& name, uint32_t length = 1000) {
        NSWave::TFile file(22050, 2, 2, 1);
        file.SetSize(length, 1);
        for (uint32_t i = 0; i < length; ++i)
            file.Channel(0).MutableSamples(0)[i] = int32_t(i) << 16;
        QString path = Folder.filePath(name);
        file.Save(path.toStdString());
        return path;
    }

    QTemporaryDir Folder;
    std::unique_ptr<TApp> App;
    TScriptedMessageBoxes Boxes;
    TScriptedFileDialogs Dialogs;
};

} // namespace

TEST_F(FrameTest, TheCommandLineOpensExistingFilesAndOneIsMaximised) {
    const QString a = Sound("a.wav"), b = Sound("b.wav");
    Start({a, b});
    ASSERT_EQ(Children().size(), 2);
    for (QMdiSubWindow* child : Children())
        EXPECT_FALSE(child->isMaximized());
    EXPECT_EQ(Children()[0]->windowTitle(), "a.wav");
    EXPECT_EQ(Children()[1]->windowTitle(), "b.wav");
    // Tiling shares the area between them, side by side or one above another.
    const QRect area = Frame()->Client()->viewport()->rect();
    Frame()->Command(CmdTileVertical);
    EXPECT_EQ(Children()[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(Children()[1]->geometry(),
              QRect(area.width() / 2, 0, area.width() - area.width() / 2, area.height()));
    Frame()->Command(CmdTileHorizontal);
    EXPECT_EQ(Children()[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(Children()[1]->geometry(),
              QRect(0, area.height() / 2, area.width(), area.height() - area.height() / 2));

    Start({Folder.filePath("missing.wav"), a});
    ASSERT_EQ(Children().size(), 1);
    EXPECT_TRUE(Children()[0]->isMaximized());
    EXPECT_EQ(Children()[0]->windowTitle(), "a.wav");
    EXPECT_EQ(Frame()->windowTitle(), "Brimvale - [" + a + "]");
}

TEST_F(FrameTest, WithoutFilesAnUntitledDocumentOpensAndTheFirstOpenReusesIt) {
    const QString a = Sound("a.wav"), b = Sound("b.wav");
    Start({});
    ASSERT_EQ(Children().size(), 1);
    TWaveWin* first = Frame()->ActiveWindow();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->File().empty());
    Dialogs.Expect("Open Sound File", a.toStdString());
    Frame()->Command(CmdOpen);
    ASSERT_EQ(Children().size(), 1);
    EXPECT_EQ(Frame()->ActiveWindow(), first);
    EXPECT_EQ(first->File(), a.toStdString());
    EXPECT_TRUE(Dialogs.Shown[0].MustExist);
    // Once used, it is an ordinary window: the next file opens a new one.
    Dialogs.Expect("Open Sound File", b.toStdString());
    Frame()->Command(CmdOpen);
    EXPECT_EQ(Children().size(), 2);
    // New always opens a new window.
    Frame()->Command(CmdNew);
    EXPECT_EQ(Children().size(), 3);
}

TEST_F(FrameTest, MenusAndKeysFollowTheActiveWindow) {
    Start({Sound("a.wav", 50000)});
    TWaveWin* w = Frame()->ActiveWindow();
    ASSERT_TRUE(w);
    auto agree = [&](const char* state) {
        SCOPED_TRACE(state);
        for (const TCommandInfo& c : Commands()) {
            QAction* item = Frame()->Action(c.Id);
            // Commands of the tool buttons alone have no action here.
            if (!item) {
                EXPECT_TRUE(c.Keys.isEmpty()) << c.Id;
                continue;
            }
            const bool expected = !IsDocumentCommand(c.Id) || w->IsEnabled(c.Id);
            EXPECT_EQ(item->isEnabled(), expected) << c.Id;
            if (QAction* keys = Frame()->KeyAction(c.Id)) {
                EXPECT_EQ(keys->isEnabled(), expected) << c.Id;
            }
            if (item->isCheckable()) {
                EXPECT_EQ(item->isChecked(), w->IsChecked(c.Id)) << c.Id;
            }
        }
    };
    agree("loaded");
    w->SetSelection(TSampleRange(100, 200, AllChannels));
    agree("selected");
    w->Command(CmdLevel0 + 2);
    agree("level 2");
    w->Command(CmdPlay);
    agree("playing");
    w->Command(CmdStop);
    agree("stopped");

    // Undo reads "Redo" once the edit is undone.
    w->Document.Channel(0).MutableSamples(0)[0] = 7;
    ASSERT_TRUE(w->AddUndo(new NSUndo::TReplacement(*w, TSampleRange(0, 10, 0))));
    EXPECT_EQ(Frame()->Action(CmdUndo)->text(), "&Undo");
    EXPECT_EQ(TDrawnMenuStyle::KeyText(Frame()->Action(CmdUndo)), "Ctrl+Z");
    w->Command(CmdUndo);
    EXPECT_EQ(Frame()->Action(CmdUndo)->text(), "Redo");
    EXPECT_EQ(TDrawnMenuStyle::KeyText(Frame()->Action(CmdUndo)), "Ctrl+Z");

    // Keys reach the active window through the frame.
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    const double zoom = w->View().Zoom;
    QTest::keyClick(Frame(), Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(w->View().Zoom, zoom * 1.5);
    QTest::keyClick(Frame(), Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(w->View().Zoom, zoom);
    QTest::keyClick(Frame(), Qt::Key_Space);
    EXPECT_EQ(w->Engine.State(), NSWave::TDeviceState::Playing);
    QTest::keyClick(Frame(), Qt::Key_Period);
    EXPECT_EQ(w->Engine.State(), NSWave::TDeviceState::Idle);
    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Children().size(), 2);
    QTest::keyClick(Frame(), Qt::Key_F4, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Children().size(), 1);
}

TEST_F(FrameTest, ExitAsksForEveryModifiedDocumentAndCancelKeepsRunning) {
    const QString a = Sound("a.wav"), b = Sound("b.wav"), c = Sound("c.wav");
    Start({a, b, c});
    for (TWaveWin* w : TWaveWin::Windows())
        if (w->File() != c.toStdString())
            w->SetModified(true);
    Boxes.Expect("Save changes to '" + a.toStdString() + "'?", IdNo);
    Boxes.Expect("Save changes to '" + b.toStdString() + "'?", IdCancel);
    Frame()->Command(CmdExit);
    EXPECT_TRUE(Frame()->isVisible());
    ASSERT_EQ(Children().size(), 2);
    Boxes.Expect("Save changes to '" + b.toStdString() + "'?", IdYes);
    Frame()->Command(CmdExit);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_EQ(Boxes.Shown.size(), 3u);
}

TEST_F(FrameTest, RecentFilesAreListedKeptAndReadAtTheNextStart) {
    QStringList files;
    for (int i = 0; i < 8; ++i)
        files << Sound(QStringLiteral("r%1.wav").arg(i));
    Start({files[0]});
    for (int i = 1; i < 8; ++i)
        Frame()->OpenDocument(files[i].toStdString(), TMaximise::No);
    QStringList expected;
    for (int i = 7; i >= 2; --i)
        expected << files[i];
    EXPECT_EQ(Frame()->Recent().Files(), expected);
    QMenu* file = Frame()->Menu(0);
    QStringList listed;
    for (QAction* a : file->actions())
        if (a->text().startsWith('&') && a->text().size() > 2 && a->text()[1].isDigit())
            listed << a->text();
    ASSERT_EQ(listed.size(), 6);
    EXPECT_EQ(listed[0], "&1 " + files[7]);
    // A file that does not open is not listed.
    const QString broken = Folder.filePath("broken.wav");
    QFile text(broken);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a sound");
    text.close();
    Boxes.Expect("Error reading file '" + broken.toStdString() + "': ", IdOk);
    Frame()->OpenDocument(broken.toStdString(), TMaximise::No);
    EXPECT_EQ(Frame()->Recent().Files(), expected);
    Frame()->close();
    Start({});
    EXPECT_EQ(Frame()->Recent().Files(), expected);
}

TEST_F(FrameTest, TheWindowMenuCaptionsTipsAndTheAreaLeadToEveryWindow) {
    const QString a = Sound("a.wav"), b = Sound("b.wav");
    Start({a, b});
    QMdiSubWindow* first = Children()[0];
    QMdiSubWindow* second = Children()[1];
    Frame()->Client()->setActiveSubWindow(second);

    // The Window menu lists the windows by name, the active one checked.
    QMenu* menu = Frame()->Menu(6);
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QList<QAction*> listed;
    for (QAction* action : menu->actions())
        if (action->text().startsWith('&') && action->text().size() > 1 &&
            action->text()[1].isDigit())
            listed << action;
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0]->text(), "&1 a.wav");
    EXPECT_EQ(listed[0]->toolTip(), a);
    EXPECT_FALSE(listed[0]->isChecked());
    EXPECT_TRUE(listed[1]->isChecked());
    listed[0]->trigger();
    EXPECT_EQ(Frame()->Client()->activeSubWindow(), first);
    emit menu->aboutToShow();
    int entries = 0;
    for (QAction* action : menu->actions())
        entries += action->text().startsWith("&1 ") || action->text().startsWith("&2 ");
    EXPECT_EQ(entries, 2) << "the list is made afresh, not added to";

    // The caption's tip in the title bar is the full path; the waveform
    // has none.
    const int bar = first->widget()->geometry().top();
    ASSERT_GT(bar, 0);
    QHelpEvent tip(QEvent::ToolTip, QPoint(10, bar / 2), first->mapToGlobal(QPoint(10, bar / 2)));
    QApplication::sendEvent(first, &tip);
    EXPECT_EQ(QToolTip::text(), a);
    QToolTip::hideText();

    // A window partly outside the area can be scrolled to.
    QMdiArea* area = Frame()->Client();
    first->move(area->viewport()->width() - 50, 0);
    QCoreApplication::processEvents();
    EXPECT_GT(area->horizontalScrollBar()->maximum(), 0);

    // However narrow or low a window is made, its transport buttons stay
    // inside it.
    first->resize(10, 10);
    QCoreApplication::processEvents();
    auto* dialog = first->widget();
    TWaveWin* w = Frame()->ActiveWindow();
    ASSERT_TRUE(w);
    for (QWidget* button : dialog->findChildren<QWidget*>())
        if (auto* b = dynamic_cast<TBVButton*>(button);
            b && b->Command() >= CmdPlay && b->Command() <= CmdRecord) {
            const QRect at(b->mapTo(dialog, QPoint(0, 0)), b->size());
            EXPECT_TRUE(dialog->rect().contains(at)) << b->Command();
        }
}

TEST_F(FrameTest, AboutShowsTheSplashUntilClickedOrEscape) {
    Start({});
    Frame()->Command(CmdAbout);
    TMySplashWindow* splash = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = dynamic_cast<TMySplashWindow*>(w); s && s->isVisible())
            splash = s;
    ASSERT_TRUE(splash);
    EXPECT_EQ(splash->size(), QSize(474, 286));
    QPointer<TMySplashWindow> alive(splash);
    QTest::mouseClick(splash, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive);

    // A dialog that appears while it is up (a start-up error) is not hidden
    // under it.
    Frame()->Command(CmdAbout);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = dynamic_cast<TMySplashWindow*>(w); s && s->isVisible())
            alive = s;
    ASSERT_TRUE(alive);
    QDialog box(Frame());
    box.show();
    EXPECT_FALSE(alive && alive->isVisible());
    box.hide();

    // Escape closes it, whichever window has the keyboard.
    Frame()->Command(CmdAbout);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = dynamic_cast<TMySplashWindow*>(w); s && s->isVisible())
            alive = s;
    ASSERT_TRUE(alive);
    QTest::keyClick(Frame(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive);
}

namespace {
QStringList Warnings;

// Takes the pages the program hands to the desktop's browser.
class TOpenedUrls : public QObject {
    Q_OBJECT
public:
    TOpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~TOpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> Urls;
public slots:
    void Open(const QUrl& url) { Urls.append(url); }
};

// Every key of the table before the desktop's standard keys came, with its
// command: none of them may change meaning.
const std::pair<const char*, int> EarlierKeys[] = {
    {"Ctrl+N", CmdNew},
    {"Ctrl+O", CmdOpen},
    {"Ctrl+S", CmdSave},
    {"Ctrl+F4", CmdClose},
    {"Ctrl+Z", CmdUndo},
    {"Ctrl+X", CmdCut},
    {"Shift+Del", CmdCut},
    {"Ctrl+C", CmdCopy},
    {"Ctrl+Ins", CmdCopy},
    {"Ctrl+V", CmdPaste},
    {"Shift+Ins", CmdPaste},
    {"Del", CmdDelete},
    {"Ctrl+A", CmdSelectAll},
    {"Esc", CmdDeselect},
    {"+", CmdZoomIn},
    {"Shift++", CmdZoomIn},
    {"Num++", CmdZoomIn},
    {"-", CmdZoomOut},
    {"Num+-", CmdZoomOut},
    {"=", CmdFit},
    {"Left", CmdScrollLeft},
    {"Right", CmdScrollRight},
    {"Shift+Left", CmdScrollStart},
    {"Shift+Right", CmdScrollEnd},
    {"Up", CmdScrollUp},
    {"Down", CmdScrollDown},
    {"Shift+Up", CmdScrollTop},
    {"Shift+Down", CmdScrollBottom},
    {"Ctrl+P", CmdPlay},
    {"Space", CmdPlay},
    {".", CmdStop},
    {"Ctrl+R", CmdRecord},
};
const std::pair<const char*, int> DesktopKeys[] = {
    {"Ctrl+Shift+S", CmdSaveAs}, {"Ctrl+W", CmdClose},  {"Ctrl+Q", CmdExit},    {"F1", CmdHelp},
    {"Ctrl++", CmdZoomIn},       {"Ctrl+=", CmdZoomIn}, {"Ctrl+-", CmdZoomOut},
};

// The rows that claim a key.
QList<int> Claimants(const QKeySequence& key) {
    QList<int> ids;
    for (const TCommandInfo& c : Commands())
        if (c.Keys.contains(key))
            ids.append(c.Id);
    return ids;
}
void KeepWarning(QtMsgType, const QMessageLogContext&, const QString& text) {
    Warnings << text;
}
} // namespace

TEST_F(FrameTest, EveryKeyOfTheTableReachesItsCommandAndNoOtherClaimsIt) {
    TOpenedUrls opened;
    Start({Sound("a.wav", 50000)});
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    Warnings.clear();
    QtMessageHandler before = qInstallMessageHandler(KeepWarning);
    for (const TCommandInfo& c : Commands()) {
        QAction* keys = Frame()->KeyAction(c.Id);
        if (!keys)
            continue;
        if (c.Id == CmdOpen || c.Id == CmdSave || c.Id == CmdSaveAs) {
            Dialogs.Expect(c.Id == CmdOpen ? "Open Sound File" : "Save Sound File", "");
        }
        // Preferences opens its dialog, which is closed once it runs.
        if (c.Id == NSWaveWin::CmdPreferences)
            QTimer::singleShot(0, [] {
                if (QWidget* modal = QApplication::activeModalWidget())
                    modal->close();
            });
        for (const QKeySequence& key : c.Keys) {
            if (!keys->isEnabled())
                continue;
            // A dialog a key opened and the test closed leaves no window
            // active here; the user's frame would be active again.
            if (!Frame()->isActiveWindow()) {
                Frame()->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
            }
            int triggered = 0;
            auto connection = QObject::connect(keys, &QAction::triggered, [&] { ++triggered; });
            QTest::keySequence(Frame(), key);
            QObject::disconnect(connection);
            EXPECT_EQ(triggered, 1) << key.toString().toStdString();
            // Each key once is enough for the dialogs.
            if (c.Id == CmdOpen || c.Id == CmdSave || c.Id == CmdSaveAs)
                break;
        }
    }
    qInstallMessageHandler(before);
    for (const QString& w : Warnings)
        EXPECT_FALSE(w.contains("Ambiguous")) << w.toStdString();
}

TEST_F(FrameTest, TheDesktopsStandardKeysDoTheirCommandsBesideTodaysKeys) {
    for (const auto& [key, id] : EarlierKeys)
        EXPECT_EQ(Claimants(QKeySequence(QString::fromLatin1(key))), QList<int>{id}) << key;
    for (const auto& [key, id] : DesktopKeys)
        EXPECT_EQ(Claimants(QKeySequence(QString::fromLatin1(key))), QList<int>{id}) << key;

    TOpenedUrls opened;
    const QString a = Sound("a.wav", 50000);
    Start({a});
    TWaveWin* w = Frame()->ActiveWindow();
    ASSERT_TRUE(w);
    // The menus show the new keys.
    for (int id : {CmdSaveAs, CmdClose, CmdExit, CmdHelp, CmdZoomIn, CmdZoomOut}) {
        QStringList keys;
        for (const auto& [key, command] : DesktopKeys)
            if (command == id)
                keys << QString::fromLatin1(key);
        EXPECT_TRUE(keys.contains(TDrawnMenuStyle::KeyText(Frame()->Action(id))))
            << id << " shows " << TDrawnMenuStyle::KeyText(Frame()->Action(id)).toStdString();
    }
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));

    const double zoom = w->View().Zoom;
    QTest::keyClick(Frame(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(w->View().Zoom, zoom * 1.5);
    QTest::keyClick(Frame(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(w->View().Zoom, zoom * 1.5 * 1.5);
    QTest::keyClick(Frame(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(Frame(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(w->View().Zoom, zoom, zoom * 1e-12);

    // F1: the guide's first page, whose pictures are all there.
    QTest::keyClick(Frame(), Qt::Key_F1);
    ASSERT_EQ(opened.Urls.size(), 1);
    const QFileInfo guide(opened.Urls[0].toLocalFile());
    QFile page(guide.filePath());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << guide.filePath().toStdString();
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(html.contains("Brimvale user guide"));
    int pictures = 0;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html)) {
        ++pictures;
        EXPECT_TRUE(QFileInfo(guide.dir().filePath(m.captured(1))).isFile())
            << m.captured(1).toStdString();
    }
    EXPECT_GE(pictures, 2);

    // Save As asks for a name even for a sound that has one.
    Dialogs.Expect("Save Sound File", "");
    QTest::keyClick(Frame(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Dialogs.Shown.size(), 1u);

    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Children().size(), 2);
    QTest::keyClick(Frame(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Children().size(), 1);
    QTest::keyClick(Frame(), Qt::Key_Q, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_TRUE(Children().isEmpty());
}

#include "frame_test.moc"

TEST_F(FrameTest, ExitDuringALoadStopsItAndThenEndsTheProgramWithoutQuestions) {
    const uint32_t length = 22050 * 60;
    const QString longer = Sound("longer.wav", length);
    Start({});
    ASSERT_EQ(Children().size(), 1);
    TWaveWin* w = TWaveWin::Windows().front();
    bool asked = false;
    w->OnLoadArrived = [&](uint64_t frames) {
        if (asked || frames < length / 4)
            return;
        asked = true;
        // The frame's other commands wait for the sound: no file dialog.
        Frame()->Command(CmdOpen);
        EXPECT_TRUE(Dialogs.Shown.empty());
        Frame()->Command(CmdExit);
        EXPECT_TRUE(Frame()->isVisible());
    };
    Frame()->OpenDocument(longer.toStdString(), TMaximise::Decide);
    EXPECT_TRUE(asked);
    EXPECT_EQ(w->Document.GetLength(), 0u);
    EXPECT_FALSE(w->Loading());
    QCoreApplication::processEvents();
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_TRUE(Boxes.Shown.empty());
}
