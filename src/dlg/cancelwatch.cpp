#include "dlg/cancelwatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

bool TCancelWatch::CancelRequested() {
    // Looking costs a pass over the event queue: a few times a second is
    // enough for a key press.
    if (Requested || (SinceLook.isValid() && SinceLook.elapsed() < 40))
        return Requested;
    SinceLook.start();
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return Requested;
    app->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    app->removeEventFilter(this);
    return Requested;
}

bool TCancelWatch::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            Requested = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
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
