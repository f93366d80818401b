#include "dlg/cancelwatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

bool TCancelWatch::CancelRequested() {
    if (!Asked && Running > 0) {
        Asked = true;
        if (Cancellable)
            Cancellable(true);
    }
    // Looking costs a pass over the event queue: a few times a second is
    // enough for a key press.
    if (Requested || (SinceLook.isValid() && SinceLook.elapsed() < 40))
        return Requested;
    SinceLook.start();
    Look();
    return Requested;
}

void TCancelWatch::Look() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    app->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    app->removeEventFilter(this);
}

void TCancelWatch::End() {
    if (Running > 0 && --Running == 0 && Asked) {
        Asked = false;
        if (Cancellable)
            Cancellable(false);
    }
}

bool TCancelWatch::eventFilter(QObject* watched, QEvent* event) {
    const bool allowed = (Allowed && watched == Allowed) || (Admits && Admits(watched, event));
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            Requested = true;
            return true;
        }
        return !allowed && !watched->isWindowType();
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        // A window of the desktop hands its input on to the widget it is
        // for, which is judged then.
        return !allowed && !watched->isWindowType();
    case QEvent::Close:
        if (allowed || watched->isWindowType())
            return false;
        // A close event held back must also say no, or the widget closes
        // all the same (its event starts out accepted).
        event->ignore();
        return true;
    case QEvent::Shortcut:
        return !allowed;
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return true;
    default:
        return false;
    }
}
