#include "shell/splash.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "dlg/artwork.h"

TMySplashWindow::TMySplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(474, 286);
    qApp->installEventFilter(this);
}

// A message box or dialog that appears while the picture is up (a file
// that could not be read at start-up) would open underneath it: the
// picture gives way.
// Escape closes it too, wherever the keyboard is: the picture itself never
// has the focus.
bool TMySplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched != this && qobject_cast<QDialog*>(watched))
        close();
    if (event->type() == QEvent::KeyPress && isVisible() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMySplashWindow::ShowCentred(QWidget* near) {
    QScreen* screen = near && near->screen() ? near->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    show();
    raise();
}

void TMySplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), NSArt::SplashImage(devicePixelRatioF()));
}

void TMySplashWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        close();
}
