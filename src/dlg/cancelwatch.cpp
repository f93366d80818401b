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
    const bool allowed = Allowed && watched == Allowed;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            Requested = true;
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return !allowed;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return true;
    default:
        return false;
    }
}
