#pragma once
// The main frame: the menu bar, the keys, the multiple-document area that
// holds the document windows, and the commands that belong to no document.

#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <string>

#include "shell/recentfiles.h"

class QAction;
class QMimeData;
class QMenu;
class TDrawnMenuStyle;

namespace NSWaveWin {
class TWaveWin;
}

// The area the document windows live in, on a leaf-green background.
class TBVMDIClient : public QMdiArea {
public:
    explicit TBVMDIClient(QWidget* parent);
    // Windows side by side (vertical) or one above the other.
    void TileVertically();
    void TileHorizontally();
    // Minimised windows in a row along the bottom.
    void ArrangeIcons();

private:
    void Tile(bool vertical);
};

enum class TMaximise { No, Yes, Decide };

class TAppFrame : public QMainWindow {
public:
    TAppFrame();
    ~TAppFrame() override;

    TBVMDIClient* Client() const { return MdiClient; }
    // The menu item of a command, and the action that carries its keys.
    QAction* Action(int id) const { return Actions.value(id); }
    QAction* KeyAction(int id) const { return KeyActions.value(id); }
    QMenu* Menu(int index) const;
    // The document window that commands go to; null when none.
    NSWaveWin::TWaveWin* ActiveWindow() const;

    // Opens a document (empty name: a new one), reusing the untouched
    // start-up document for a file. Decide maximises when no document
    // window is active.
    NSWaveWin::TWaveWin* OpenDocument(const std::string& name, TMaximise maximise);
    // Opens the document the program starts with when no file was named,
    // remembered until a file replaces it.
    NSWaveWin::TWaveWin* OpenUntouched();

    // Carries out a command of the menus and keys.
    void Command(int id);
    // Menus, keys and check marks follow the active window's state.
    void UpdateActions();
    // Follows the state of the window that became active.
    void FollowActive();

    TRecentFiles& Recent() { return RecentFiles; }
    void ShowAbout();
    // The user guide in the desktop's browser or help program.
    void ShowGuide();
    // The guide's first page as installed or in the sources; empty when
    // neither is there.
    static QString GuideFile();
    // A new document holding what the clipboard holds.
    void ShowClipboard();

    // The sound files among dropped data: local files of a type the
    // library reads (by their suffix).
    static QStringList DroppedSoundFiles(const QMimeData* data);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Sound files dropped from a file manager open as if chosen in File
    // Open, one window each; anything else is refused without a word.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    QAction* MakeAction(int id);
    void UpdateRecentMenu();
    // The Window menu's list of the open windows, the active one checked.
    void UpdateWindowMenu();

    TBVMDIClient* MdiClient;
    std::unique_ptr<TDrawnMenuStyle> MenuStyle;
    QHash<int, QAction*> Actions;
    QHash<int, QAction*> KeyActions;
    QList<QMenu*> Menus;
    QMenu* FileMenu = nullptr;
    QAction* ExitAction = nullptr;
    QList<QAction*> RecentActions;
    QMenu* WindowMenu = nullptr;
    QList<QAction*> WindowActions;
    // The title UpdateActions gave the frame.
    QString WantedTitle;
    TRecentFiles RecentFiles;
    QPointer<NSWaveWin::TWaveWin> Untouched;
    QPointer<NSWaveWin::TWaveWin> Followed;
    QMetaObject::Connection FollowedState;
    QMetaObject::Connection FollowedChild;
};
