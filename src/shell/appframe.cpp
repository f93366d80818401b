#include "shell/appframe.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QSet>
#include <QUrl>

#include "dlg/artwork.h"
#include "dlg/menustyle.h"
#include "dlg/placement.h"
#include "shell/splash.h"
#include "util/settings.h"
#include "wave/formats.h"
#include "wave/reader.h"
#include "wavewin/commands.h"
#include "wavewin/filechoice.h"
#include "wavewin/wavewin.h"
#include "wavewin/wavewindlg.h"

using namespace NSWaveWin;

namespace {

TWindowPlacementSetting PlacementSetting("App\\Placement");

// The menu bar: menus, their items (0 = separator), and whether the items are
// drawn with their glyphs.
struct TMenuSpec {
    const char* Title;
    bool Drawn;
    std::initializer_list<int> Items;
};

const TMenuSpec MenuBar[] = {
    {"&File",
     true,
     {CmdNew, CmdOpen, CmdClose, CmdSave, CmdSaveAs, CmdRevert, 0, CmdPrint, 0, CmdExit}},
    {"&Edit",
     true,
     {CmdUndo, CmdCut, CmdCopy, CmdPaste, CmdDelete, 0, CmdSelectAll, CmdDeselect, CmdAllChannels,
      0, CmdShowClipboard}},
    {"&Sound",
     true,
     {CmdPlay, CmdRecord, CmdPause, CmdStop, 0, CmdSoundFormat, 0, CmdAddTrack, CmdDeleteTrack,
      CmdMergeTracks}},
    {"&View", true, {CmdZoomIn, CmdZoomOut, CmdFit}},
    {"Vo&lume", true, {2054, 2055, 2056, 2057, 2058, 2059, 2060, 2061}},
    {"&Effect",
     true,
     {CmdEcho, CmdReverse, CmdPitch, CmdVibro, 0, CmdAmplitude, CmdFadeIn, CmdFadeOut, CmdSilence,
      0, CmdOtherEffect}},
    {"&Window",
     false,
     {CmdCascade, CmdTileVertical, CmdTileHorizontal, CmdArrangeIcons, CmdCloseAll}},
    {"&Help", false, {CmdAbout}},
};

QIcon GlyphIcon(int glyph) {
    QIcon icon;
    for (qreal dpr : {1.0, 2.0}) {
        icon.addPixmap(NSArt::GlyphPixmap(glyph, true, 32, dpr), QIcon::Normal);
        icon.addPixmap(NSArt::GlyphPixmap(glyph, false, 32, dpr), QIcon::Disabled);
    }
    return icon;
}

} // namespace

// --- the document area ----------------------------------------------------------

TBVMDIClient::TBVMDIClient(QWidget* parent) : QMdiArea(parent) {
    setBackground(QColor(170, 223, 0));
}

namespace {

QList<QMdiSubWindow*> Arrangeable(const QMdiArea* area) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area->subWindowList())
        if (w->isVisible() && !w->isMinimized())
            windows.append(w);
    return windows;
}

} // namespace

void TBVMDIClient::TileVertically() {
    QList<QMdiSubWindow*> windows = Arrangeable(this);
    if (windows.isEmpty())
        return;
    const QRect area = viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        int x0 = area.width() * i / n, x1 = area.width() * (i + 1) / n;
        windows[i]->setGeometry(x0, 0, x1 - x0, area.height());
    }
}

void TBVMDIClient::TileHorizontally() {
    QList<QMdiSubWindow*> windows = Arrangeable(this);
    if (windows.isEmpty())
        return;
    const QRect area = viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        int y0 = area.height() * i / n, y1 = area.height() * (i + 1) / n;
        windows[i]->setGeometry(0, y0, area.width(), y1 - y0);
    }
}

void TBVMDIClient::ArrangeIcons() {
    int x = 0;
    const int bottom = viewport()->height();
    for (QMdiSubWindow* w : subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}

// --- the frame --------------------------------------------------------------------

TAppFrame::TAppFrame() : MenuStyle(std::make_unique<TDrawnMenuStyle>()) {
    setWindowTitle(QStringLiteral("Brimvale"));
    setWindowIcon(NSArt::AppIcon());
    setAcceptDrops(true);
    MdiClient = new TBVMDIClient(this);
    setCentralWidget(MdiClient);
    BuildMenus();
    connect(MdiClient, &QMdiArea::subWindowActivated, this, [this] { FollowActive(); });
    resize(900, 640);
    TWindowPlacement placement;
    if (PlacementSetting.Restore(&placement))
        ApplyPlacement(this, placement);
    else
        setWindowState(Qt::WindowMaximized);
    UpdateActions();
}

TAppFrame::~TAppFrame() {
    // The document windows go after the frame's own part: none may reach it
    // then.
    MdiClient->disconnect(this);
    disconnect(FollowedState);
    disconnect(FollowedChild);
}

QAction* TAppFrame::MakeAction(int id) {
    const TCommandInfo* info = FindCommand(id);
    auto* action = new QAction(this);
    if (info && info->MenuText)
        TDrawnMenuStyle::SetItemText(action, QString::fromLatin1(info->MenuText));
    if (info && info->Glyph >= 0)
        action->setIcon(GlyphIcon(info->Glyph));
    if (id >= CmdLevel0 && id <= CmdLevel7)
        action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    Actions.insert(id, action);
    // The keys live on an action of their own in the frame, so the menu item
    // keeps its drawn size and the keys work in every document window.
    if (info && !info->Keys.isEmpty()) {
        auto* keys = new QAction(this);
        keys->setShortcuts(info->Keys);
        keys->setShortcutContext(Qt::WindowShortcut);
        connect(keys, &QAction::triggered, this, [this, id] { Command(id); });
        addAction(keys);
        KeyActions.insert(id, keys);
    }
    return action;
}

void TAppFrame::BuildMenus() {
    for (const TMenuSpec& spec : MenuBar) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(spec.Title));
        if (spec.Drawn)
            menu->setStyle(MenuStyle.get());
        Menus.append(menu);
        for (int id : spec.Items) {
            if (id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = MakeAction(id);
            if (id == CmdExit) {
                ExitAction = action;
                FileMenu = menu;
            }
            menu->addAction(action);
        }
    }
    // Commands reached by keys alone.
    for (const TCommandInfo& info : Commands())
        if (!Actions.contains(info.Id) && !info.Keys.isEmpty())
            MakeAction(info.Id);
    UpdateRecentMenu();
}

QMenu* TAppFrame::Menu(int index) const {
    return index >= 0 && index < Menus.size() ? Menus[index] : nullptr;
}

void TAppFrame::UpdateRecentMenu() {
    for (QAction* action : RecentActions) {
        FileMenu->removeAction(action);
        delete action;
    }
    RecentActions.clear();
    const QStringList& files = RecentFiles.Files();
    for (int i = 0; i < files.size(); ++i) {
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), this);
        const QString file = files[i];
        connect(action, &QAction::triggered, this,
                [this, file] { OpenDocument(file.toStdString(), TMaximise::Decide); });
        FileMenu->insertAction(ExitAction, action);
        RecentActions.append(action);
    }
    if (!files.isEmpty()) {
        QAction* separator = new QAction(this);
        separator->setSeparator(true);
        FileMenu->insertAction(ExitAction, separator);
        RecentActions.append(separator);
    }
}

TWaveWin* TAppFrame::ActiveWindow() const {
    QMdiSubWindow* child = MdiClient->currentSubWindow();
    if (!child)
        return nullptr;
    auto* dialog = dynamic_cast<TWaveWinDlg*>(child->widget());
    return dialog ? dialog->Window() : nullptr;
}

void TAppFrame::FollowActive() {
    TWaveWin* window = ActiveWindow();
    if (window != Followed) {
        disconnect(FollowedState);
        Followed = window;
        if (window)
            FollowedState =
                connect(window, &TWaveWin::StateChanged, this, [this] { UpdateActions(); });
    }
    UpdateActions();
}

void TAppFrame::UpdateActions() {
    TWaveWin* window = ActiveWindow();
    const TCommandState state = window ? window->CommandState() : TCommandState();
    for (auto it = Actions.begin(); it != Actions.end(); ++it) {
        const int id = it.key();
        QAction* action = it.value();
        const bool enabled = !IsDocumentCommand(id) || (window && CommandEnabled(id, state));
        if (action->isEnabled() != enabled)
            action->setEnabled(enabled);
        if (QAction* keys = KeyActions.value(id); keys && keys->isEnabled() != enabled)
            keys->setEnabled(enabled);
        if (action->isCheckable()) {
            const bool checked = window && window->IsChecked(id);
            if (action->isChecked() != checked)
                action->setChecked(checked);
        }
    }
    // A maximised document shows its name in the frame's title, as it has
    // no title bar of its own then.
    QMdiSubWindow* child = MdiClient->currentSubWindow();
    QString title = QStringLiteral("Brimvale");
    if (window && child && child->isMaximized())
        title +=
            QStringLiteral(" - [") + QString::fromStdString(window->Title()) + QLatin1Char(']');
    if (windowTitle() != title)
        setWindowTitle(title);
    if (QAction* undo = Actions.value(CmdUndo)) {
        const bool redo = window && !window->HasUndo() && window->HasRedo();
        TDrawnMenuStyle::SetItemText(undo, redo ? QStringLiteral("Redo\tCtrl+Z")
                                                : QStringLiteral("&Undo\tCtrl+Z"));
    }
}

TWaveWin* TAppFrame::OpenDocument(const std::string& name, TMaximise maximise) {
    std::string path = name;
    if (!path.empty())
        path = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    if (!path.empty()) {
        RecentFiles.Add(QString::fromStdString(path));
        UpdateRecentMenu();
    }
    // The first file opened goes into the untouched start-up document.
    if (!path.empty() && Untouched && Untouched->ReplaceIfUntouched(path)) {
        TWaveWin* window = Untouched;
        Untouched = nullptr;
        FollowActive();
        return window;
    }
    bool max = maximise == TMaximise::Yes;
    if (maximise == TMaximise::Decide)
        max = MdiClient->currentSubWindow() == nullptr;
    TWaveWin* window = TWaveWin::Open(MdiClient, path, max);
    FollowActive();
    return window;
}

TWaveWin* TAppFrame::OpenUntouched() {
    TWaveWin* window = OpenDocument(std::string(), TMaximise::Decide);
    Untouched = window;
    return window;
}

void TAppFrame::Command(int id) {
    switch (id) {
    case CmdNew:
        OpenDocument(std::string(), TMaximise::Decide);
        return;
    case CmdOpen: {
        std::string chosen = ChooseOpenFile();
        if (!chosen.empty())
            OpenDocument(chosen, TMaximise::Decide);
        return;
    }
    case CmdAbout:
        ShowAbout();
        return;
    case CmdShowClipboard:
        ShowClipboard();
        return;
    case CmdExit:
        close();
        return;
    case CmdCascade:
        MdiClient->cascadeSubWindows();
        return;
    case CmdTileVertical:
        MdiClient->TileVertically();
        return;
    case CmdTileHorizontal:
        MdiClient->TileHorizontally();
        return;
    case CmdArrangeIcons:
        MdiClient->ArrangeIcons();
        return;
    case CmdCloseAll:
        MdiClient->closeAllSubWindows();
        return;
    default:
        if (TWaveWin* window = ActiveWindow())
            window->Command(id);
        UpdateActions();
    }
}

void TAppFrame::ShowAbout() {
    auto* splash = new TMySplashWindow(this);
    splash->ShowCentred(this);
}

void TAppFrame::ShowClipboard() {
    TWaveWin* window = OpenDocument(std::string(), TMaximise::Decide);
    window->Command(CmdPaste);
    window->Command(CmdDeselect);
    window->Command(CmdFit);
}

void TAppFrame::closeEvent(QCloseEvent* event) {
    // Each document that holds changes asks first; a Cancel keeps the
    // program running.
    for (QMdiSubWindow* child : MdiClient->subWindowList()) {
        if (!child->close()) {
            event->ignore();
            return;
        }
    }
    PlacementSetting.Save(PlacementOf(this));
    RecentFiles.Save();
    event->accept();
}

// --- dropped files --------------------------------------------------------------

QStringList TAppFrame::DroppedSoundFiles(const QMimeData* data) {
    static const QSet<QString> readable = [] {
        QSet<QString> types;
        for (const std::string& type : NSWave::LibraryTypes(false))
            types.insert(QString::fromStdString(type));
        return types;
    }();
    // A file manager drags files as a list of URLs (text/uri-list).
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return QStringList();
    // Entering, moving over and dropping ask about the same list: the files
    // are looked at once per list.
    static QList<QUrl> lastUrls;
    static QStringList lastFiles;
    const QList<QUrl> urls = data->urls();
    if (urls == lastUrls)
        return lastFiles;
    QStringList files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo file(url.toLocalFile());
        if (!file.isFile())
            continue;
        // A type the library knows by its suffix, else whatever the content
        // says, as File Open decides (asked of a reader of its own).
        NSWave::TSoundHeader header;
        if (readable.contains(file.suffix().toLower()) ||
            NSWave::ReadSoundHeader(file.absoluteFilePath().toStdString(), header))
            files.append(file.absoluteFilePath());
    }
    lastUrls = urls;
    lastFiles = files;
    return files;
}

void TAppFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedSoundFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TAppFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedSoundFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TAppFrame::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedSoundFiles(event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Opened once the drop is over, so the file manager is not held while
    // the sounds load.
    QMetaObject::invokeMethod(
        this,
        [this, files] {
            for (const QString& file : files)
                OpenDocument(file.toStdString(), TMaximise::Decide);
        },
        Qt::QueuedConnection);
}
