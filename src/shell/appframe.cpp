#include "shell/appframe.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QSet>
#include <QUrl>
#include <algorithm>

#include "dlg/artwork.h"
#include "dlg/menustyle.h"
#include "dlg/placement.h"
#include "platform/msgbox.h"
#include "shell/splash.h"
#include "util/settings.h"
#include "util/text.h"
#include "wave/formats.h"
#include "wave/reader.h"
#include "wavewin/commands.h"
#include "wavewin/filechoice.h"
#include "wavewin/wavewin.h"
#include "wavewin/wavewindlg.h"

using namespace NSWaveWin;

namespace {

TWindowPlacementSetting PlacementSetting("App\\Placement");

// The menus of the menu bar in their order, and whether their items are
// drawn with their glyphs.
const struct {
    TMenu Menu;
    const char* Title;
    bool Drawn;
} MenuBar[] = {
    {TMenu::File, QT_TRANSLATE_NOOP("Commands", "&File"), true},
    {TMenu::Edit, QT_TRANSLATE_NOOP("Commands", "&Edit"), true},
    {TMenu::Sound, QT_TRANSLATE_NOOP("Commands", "&Sound"), true},
    {TMenu::View, QT_TRANSLATE_NOOP("Commands", "&View"), true},
    {TMenu::Volume, QT_TRANSLATE_NOOP("Commands", "Vo&lume"), true},
    {TMenu::Effect, QT_TRANSLATE_NOOP("Commands", "&Effect"), true},
    {TMenu::Window, QT_TRANSLATE_NOOP("Commands", "&Window"), false},
    {TMenu::Help, QT_TRANSLATE_NOOP("Commands", "&Help"), false},
};

// The frame's own commands: the handlers by id.
QHash<int, void (*)(TAppFrame&)>& FrameHandlers() {
    static QHash<int, void (*)(TAppFrame&)> handlers;
    return handlers;
}

// A row of the frame's commands: the window never runs it.
struct TFrameRow {
    TFrameRow(TCommandInfo info, void (*run)(TAppFrame&)) {
        FrameHandlers().insert(info.Id, run);
        TCommandRow{std::move(info)};
    }
};

using K = QKeySequence;
using TF = TAppFrame;

const TFrameRow NewRow(TRow(CmdNew)
                           .Item(TMenu::File, 0, QT_TRANSLATE_NOOP("Commands", "&New\tCtrl+N"))
                           .Shortcuts({K(Qt::CTRL | Qt::Key_N)})
                           .Picture(NSArt::GlyphNew),
                       [](TF& f) { f.OpenDocument(std::string(), TMaximise::Decide); });
const TFrameRow OpenRow(TRow(CmdOpen)
                            .Item(TMenu::File, 10,
                                  QT_TRANSLATE_NOOP("Commands", "&Open...\tCtrl+O"))
                            .Shortcuts({K(Qt::CTRL | Qt::Key_O)})
                            .Picture(NSArt::GlyphOpen),
                        [](TF& f) {
                            std::string chosen = ChooseOpenFile();
                            if (!chosen.empty())
                                f.OpenDocument(chosen, TMaximise::Decide);
                        });
// Alt+F4 belongs to the window manager, which closes the frame with it.
const TFrameRow ExitRow(TRow(CmdExit)
                            .Item(TMenu::File, 200, QT_TRANSLATE_NOOP("Commands", "E&xit\tCtrl+Q"))
                            .Shortcuts({K(Qt::CTRL | Qt::Key_Q)})
                            .Picture(NSArt::GlyphExit),
                        [](TF& f) { f.close(); });
const TFrameRow ShowClipboardRow(
    TRow(CmdShowClipboard).Item(TMenu::Edit, 200, QT_TRANSLATE_NOOP("Commands", "&Show Clipboard")),
    [](TF& f) { f.ShowClipboard(); });
const TFrameRow HelpRow(TRow(CmdHelp)
                            .Item(TMenu::Help, 0, QT_TRANSLATE_NOOP("Commands", "&User Guide\tF1"))
                            .Shortcuts({K(Qt::Key_F1)}),
                        [](TF& f) { f.ShowGuide(); });
const TFrameRow AboutRow(TRow(CmdAbout).Item(TMenu::Help, 100,
                                             QT_TRANSLATE_NOOP("Commands", "&About")),
                         [](TF& f) { f.ShowAbout(); });
const TFrameRow
    CascadeRow(TRow(CmdCascade).Item(TMenu::Window, 0, QT_TRANSLATE_NOOP("Commands", "&Cascade")),
               [](TF& f) { f.Client()->cascadeSubWindows(); });
const TFrameRow VerticalRow(
    TRow(CmdTileVertical).Item(TMenu::Window, 10, QT_TRANSLATE_NOOP("Commands", "&Vertical")),
    [](TF& f) { f.Client()->TileVertically(); });
const TFrameRow HorizontalRow(
    TRow(CmdTileHorizontal).Item(TMenu::Window, 20, QT_TRANSLATE_NOOP("Commands", "&Horizontal")),
    [](TF& f) { f.Client()->TileHorizontally(); });
const TFrameRow ArrangeRow(
    TRow(CmdArrangeIcons).Item(TMenu::Window, 30, QT_TRANSLATE_NOOP("Commands", "Arrange &Icons")),
    [](TF& f) { f.Client()->ArrangeIcons(); });
const TFrameRow CloseAllRow(
    TRow(CmdCloseAll).Item(TMenu::Window, 40, QT_TRANSLATE_NOOP("Commands", "C&lose All")),
    [](TF& f) { f.Client()->closeAllSubWindows(); });

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
    // A document window that lies partly outside the area can be scrolled to.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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
    Tile(true);
}

void TBVMDIClient::TileHorizontally() {
    Tile(false);
}

void TBVMDIClient::Tile(bool vertical) {
    QList<QMdiSubWindow*> windows = Arrangeable(this);
    if (windows.isEmpty())
        return;
    const QRect area = viewport()->rect();
    const int n = int(windows.size());
    const int length = vertical ? area.width() : area.height();
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        const int from = length * i / n, to = length * (i + 1) / n;
        windows[i]->setGeometry(vertical ? QRect(from, 0, to - from, area.height())
                                         : QRect(0, from, area.width(), to - from));
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
        TDrawnMenuStyle::SetItemText(action, CommandText(info->MenuText));
    if (info && info->Glyph >= 0)
        action->setIcon(GlyphIcon(info->Glyph));
    if (info && info->Checked)
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
    for (const auto& spec : MenuBar) {
        QMenu* menu = menuBar()->addMenu(CommandText(spec.Title));
        if (spec.Drawn)
            menu->setStyle(MenuStyle.get());
        Menus.append(menu);
        for (const TCommandInfo* item : MenuItems(spec.Menu)) {
            if (!item) {
                menu->addSeparator();
                continue;
            }
            QAction* action = MakeAction(item->Id);
            if (item->Id == CmdExit) {
                ExitAction = action;
                FileMenu = menu;
            }
            menu->addAction(action);
        }
        if (spec.Menu == TMenu::Window) {
            WindowMenu = menu;
            connect(menu, &QMenu::aboutToShow, this, [this] { UpdateWindowMenu(); });
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

void TAppFrame::UpdateWindowMenu() {
    for (QAction* action : WindowActions) {
        WindowMenu->removeAction(action);
        delete action;
    }
    WindowActions.clear();
    const QList<QMdiSubWindow*> children = MdiClient->subWindowList();
    if (children.isEmpty())
        return;
    WindowActions.append(WindowMenu->addSeparator());
    for (int i = 0; i < children.size(); ++i) {
        QMdiSubWindow* child = children[i];
        auto* dialog = dynamic_cast<TWaveWinDlg*>(child->widget());
        QString caption = child->windowTitle();
        QString full = caption;
        if (dialog) {
            caption = QString::fromStdString(dialog->Window()->Caption());
            full = QString::fromStdString(dialog->Window()->Title());
        }
        // The first nine have their number as their key letter.
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(caption)
                                   : QStringLiteral("%1 %2").arg(i + 1).arg(caption);
        QAction* action = WindowMenu->addAction(text);
        action->setToolTip(full);
        action->setCheckable(true);
        action->setChecked(child == MdiClient->currentSubWindow());
        QPointer<QMdiSubWindow> target(child);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                MdiClient->setActiveSubWindow(target);
        });
        WindowActions.append(action);
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
        disconnect(FollowedChild);
        Followed = window;
        if (window)
            FollowedState =
                connect(window, &TWaveWin::StateChanged, this, [this] { UpdateActions(); });
        // The frame's title follows the window's being maximised or restored.
        if (QMdiSubWindow* child = MdiClient->currentSubWindow())
            FollowedChild = connect(child, &QMdiSubWindow::windowStateChanged, this,
                                    [this] { UpdateActions(); });
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
        if (const TCommandInfo* info = FindCommand(id); info && info->Shown) {
            // Without a window the settings alone decide (the undo levels).
            TCommandState shown = state;
            if (!window)
                shown.UndoLevels = NSUndo::UndoLevels();
            const bool visible = CommandShown(id, shown);
            if (action->isVisible() != visible)
                action->setVisible(visible);
        }
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
    WantedTitle = title;
    if (windowTitle() != title)
        setWindowTitle(title);
    // Items whose text follows the state (Undo becomes Redo).
    for (const TCommandInfo& info : Commands())
        if (info.TextFor)
            if (QAction* action = Actions.value(info.Id))
                TDrawnMenuStyle::SetItemText(action, ItemText(info, state));
}

TWaveWin* TAppFrame::OpenDocument(const std::string& name, TMaximise maximise) {
    std::string path = name;
    if (!path.empty())
        path = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    // Only a file that opened joins the recent files.
    auto remember = [&](TWaveWin* window) {
        if (!path.empty() && window->File() == path) {
            RecentFiles.Add(QString::fromStdString(path));
            UpdateRecentMenu();
        }
        return window;
    };
    // The first file opened goes into the untouched start-up document.
    if (!path.empty() && Untouched && Untouched->ReplaceIfUntouched(path)) {
        TWaveWin* window = Untouched;
        Untouched = nullptr;
        FollowActive();
        return remember(window);
    }
    bool max = maximise == TMaximise::Yes;
    if (maximise == TMaximise::Decide)
        max = MdiClient->currentSubWindow() == nullptr;
    TWaveWin* window = TWaveWin::Open(MdiClient, path, max);
    FollowActive();
    return remember(window);
}

TWaveWin* TAppFrame::OpenUntouched() {
    TWaveWin* window = OpenDocument(std::string(), TMaximise::Decide);
    Untouched = window;
    return window;
}

void TAppFrame::Command(int id) {
    if (auto run = FrameHandlers().value(id)) {
        // While a file loads, of the frame's own commands only Exit works
        // (it stops the load); the rest wait for the sound.
        if (id != CmdExit && std::any_of(TWaveWin::Windows().begin(), TWaveWin::Windows().end(),
                                         [](const TWaveWin* w) { return w->Loading(); }))
            return;
        run(*this);
        return;
    }
    if (TWaveWin* window = ActiveWindow())
        window->Command(id);
    UpdateActions();
}

void TAppFrame::ShowAbout() {
    auto* splash = new TMySplashWindow(this);
    splash->ShowCentred(this);
}

QString TAppFrame::GuideFile() {
    // Installed beside the program's prefix (wherever the install was moved
    // to), where the build configured it, or in the sources of this build.
    const QStringList places = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/brimvale/guide"),
        QStringLiteral(BRIMVALE_GUIDE_INSTALLED), QStringLiteral(BRIMVALE_GUIDE_SOURCE)};
    for (const QString& place : places) {
        const QFileInfo index(QDir(place).filePath(QStringLiteral("index.html")));
        if (index.isFile())
            return index.canonicalFilePath();
    }
    return QString();
}

void TAppFrame::ShowGuide() {
    const QString guide = GuideFile();
    if (guide.isEmpty()) {
        ShowMessageBox(NSText::Tr("Frame", "The user guide is not installed."), "Brimvale",
                       TMsgButtons::Ok, TMsgIcon::Warning);
        return;
    }
    // The desktop's help or web browser shows it, as it shows any page.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        ShowMessageBox(NSText::Fill(NSText::Tr("Frame", "The user guide could not be opened: no "
                                                        "web browser or help program answers.\n\n"
                                                        "It is the file %1"),
                                    {guide.toStdString()}),
                       "Brimvale", TMsgButtons::Ok, TMsgIcon::Warning);
}

void TAppFrame::ShowClipboard() {
    TWaveWin* window = OpenDocument(std::string(), TMaximise::Decide);
    window->Command(CmdPaste);
    window->Command(CmdDeselect);
    window->Command(CmdFit);
}

void TAppFrame::changeEvent(QEvent* event) {
    // The document area titles the frame by itself after a maximised
    // window's caption, which holds only the file's name; the frame's title
    // holds its full path.
    if (event->type() == QEvent::WindowTitleChange && !WantedTitle.isEmpty() &&
        windowTitle() != WantedTitle)
        setWindowTitle(WantedTitle);
    QMainWindow::changeEvent(event);
}

void TAppFrame::closeEvent(QCloseEvent* event) {
    // A file being loaded stops first; the program ends once it has.
    for (TWaveWin* window : TWaveWin::Windows())
        if (window->Loading()) {
            window->CancelLoad();
            connect(
                window, &TWaveWin::LoadEnded, this, [this] { close(); },
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
            event->ignore();
            return;
        }
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
