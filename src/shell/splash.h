#pragma once
// The splash picture: shown at start-up and by Help > About; a click closes
// it, so does Escape, and so does any dialog that appears while it is up.

#include <QWidget>

class TMySplashWindow : public QWidget {
public:
    explicit TMySplashWindow(QWidget* parent = nullptr);
    // Centres it on the screen of `near` (or the primary screen) and shows it.
    void ShowCentred(QWidget* near = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
