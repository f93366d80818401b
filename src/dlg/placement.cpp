#include "dlg/placement.h"

#include <QWidget>

namespace {
constexpr int ShowNormal = 1;
constexpr int ShowMinimized = 2;
} // namespace

TWindowPlacement PlacementOf(const QWidget* window) {
    TWindowPlacement p;
    QRect normal = window->normalGeometry();
    if (!normal.isValid())
        normal = window->geometry();
    p.Left = normal.left();
    p.Top = normal.top();
    p.Right = normal.right() + 1;
    p.Bottom = normal.bottom() + 1;
    p.ShowCmd = window->isMaximized()   ? TWindowPlacementSetting::ShowMaximized
                : window->isMinimized() ? ShowMinimized
                                        : ShowNormal;
    return p;
}

bool PlacementMaximised(const TWindowPlacement& placement) {
    return placement.ShowCmd == TWindowPlacementSetting::ShowMaximized;
}

void ApplyPlacement(QWidget* window, const TWindowPlacement& p) {
    if (p.Right > p.Left && p.Bottom > p.Top)
        window->setGeometry(p.Left, p.Top, p.Right - p.Left, p.Bottom - p.Top);
    Qt::WindowStates state = window->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
    if (PlacementMaximised(p))
        state |= Qt::WindowMaximized;
    window->setWindowState(state);
}
