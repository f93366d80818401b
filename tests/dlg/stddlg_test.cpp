// Dialog units, controls that follow the dialog's size, and the drawn menus.

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPushButton>

#include "dlg/menustyle.h"
#include "dlg/stddlg.h"

TEST(StdDlg, ItemsFollowGrowthAndShrinkingInTheirOrder) {
    TStdDlg dialog(nullptr, 200, 100);
    const TDlgUnits& u = dialog.Units();
    EXPECT_EQ(dialog.size(), QSize(u.X(200), u.Y(100)));
    auto* wide = new QWidget(&dialog);
    auto* tall = new QWidget(&dialog);
    auto* right = new QWidget(&dialog);
    auto* bottomWide = new QWidget(&dialog);
    auto* fixed = new QWidget(&dialog);
    dialog.Place(wide, 10, 5, 5, 100, 20);
    dialog.Place(tall, 11, 5, 30, 20, 40);
    dialog.Place(right, 12, 150, 5, 30, 20);
    dialog.Place(bottomWide, 13, 5, 80, 100, 12);
    dialog.Place(fixed, 14, 50, 50, 10, 10);
    EXPECT_EQ(dialog.Control(13), bottomWide);
    EXPECT_EQ(wide->geometry(), u.ToPixels(5, 5, 100, 20));
    dialog.show();
    dialog.SetupWindow();
    new TVariableWidth(dialog, wide);
    new TVariableHeight(dialog, tall);
    new TRightAnchor(dialog, right);
    // Two items on one control act one after the other.
    new TBottomAnchor(dialog, bottomWide);
    new TVariableWidth(dialog, bottomWide);
    const QRect w0 = wide->geometry(), t0 = tall->geometry(), r0 = right->geometry(),
                b0 = bottomWide->geometry(), f0 = fixed->geometry();
    for (QSize delta : {QSize(40, 25), QSize(-30, -20), QSize(0, 0), QSize(7, -3)}) {
        dialog.resize(dialog.BaseSize() + delta);
        const int dx = delta.width(), dy = delta.height();
        EXPECT_EQ(dialog.GrowthX(), dx);
        EXPECT_EQ(dialog.GrowthY(), dy);
        EXPECT_EQ(wide->geometry(), QRect(w0.topLeft(), QSize(w0.width() + dx, w0.height())));
        EXPECT_EQ(tall->geometry(), QRect(t0.topLeft(), QSize(t0.width(), t0.height() + dy)));
        EXPECT_EQ(right->geometry(), r0.translated(dx, 0));
        EXPECT_EQ(bottomWide->geometry(),
                  QRect(b0.left(), b0.top() + dy, b0.width() + dx, b0.height()));
        EXPECT_EQ(fixed->geometry(), f0);
    }
}

TEST(StdDlg, DialogUnitsComeFromTheFont) {
    TDlgUnits u(DialogFont());
    // Four horizontal units are one average character, eight vertical ones
    // a character's height, rounded like the template system.
    EXPECT_EQ(u.X(4), u.BaseX());
    EXPECT_EQ(u.Y(8), u.BaseY());
    EXPECT_EQ(u.X(400), u.BaseX() * 100);
    EXPECT_EQ(u.X(-1), -u.X(1));
    EXPECT_GT(u.BaseX(), 2);
    EXPECT_GT(u.BaseY(), 6);
}

TEST(DrawnMenu, ItemsAreDrawnWithTheirGlyphTextAndKeys) {
    TDrawnMenuStyle style;
    QMenu menu;
    menu.setStyle(&style);
    QPixmap red(32, 32);
    red.fill(Qt::red);
    QPixmap grey(32, 32);
    grey.fill(Qt::gray);
    QIcon icon;
    icon.addPixmap(red, QIcon::Normal);
    icon.addPixmap(grey, QIcon::Disabled);
    QAction* save = menu.addAction(icon, QString());
    TDrawnMenuStyle::SetItemText(save, QStringLiteral("&Save\tCtrl+S"));
    EXPECT_EQ(save->text(), QStringLiteral("&Save"));
    menu.addSeparator();
    QAction* off = menu.addAction(icon, QStringLiteral("Revert"));
    off->setEnabled(false);
    QAction* level = menu.addAction(icon, QStringLiteral("Level &3"));
    level->setCheckable(true);
    level->setChecked(false);
    menu.ensurePolished();
    menu.adjustSize();
    for (QAction* a : {save, off, level})
        EXPECT_EQ(menu.actionGeometry(a).size(), QSize(150, 32)) << a->text().toStdString();

    QImage image = menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto count = [&](QRect area, auto predicate) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += predicate(QColor(image.pixel(x, y)));
        return n;
    };
    auto isRed = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto isGrey = [](QColor c) { return c == QColor(Qt::gray); };
    auto inked = [&](QColor c) { return c.lightness() < 110; };
    const QRect s = menu.actionGeometry(save), o = menu.actionGeometry(off),
                l = menu.actionGeometry(level);
    // The image fills the left 32 × 32; enabled, disabled, unchecked level.
    EXPECT_EQ(count(QRect(s.left(), s.top(), 32, 32), isRed), 32 * 32);
    EXPECT_EQ(count(QRect(o.left(), o.top(), 32, 32), isGrey), 32 * 32);
    EXPECT_EQ(count(QRect(l.left(), l.top(), 32, 32), isGrey), 32 * 32);
    // The text after the image, the key text in the last 60 pixels.
    EXPECT_GT(count(QRect(s.left() + 33, s.top(), 50, 32), inked), 10);
    EXPECT_GT(count(QRect(s.right() - 59, s.top(), 60, 32), inked), 10);
    EXPECT_EQ(count(QRect(s.right() - 75, s.top(), 14, 32), inked), 0);
    // A disabled item's text is grey, not black.
    EXPECT_EQ(count(QRect(o.left() + 33, o.top(), 100, 32), inked), 0);
    level->setChecked(true);
    image = menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(count(QRect(l.left(), l.top(), 32, 32), isRed), 32 * 32);

    // Long labels and keys widen the menu so that no label runs into the
    // key texts: between each label's ink and the key column stays a gap.
    QAction* all = menu.addAction(icon, QString());
    TDrawnMenuStyle::SetItemText(all, QStringLiteral("A&ll Channels Together\tShift+Click"));
    menu.adjustSize();
    const QRect a = menu.actionGeometry(all);
    EXPECT_GT(a.width(), 150);
    EXPECT_EQ(menu.actionGeometry(save).width(), a.width());
    image = menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int labelEnd = 0, keyStart = a.right();
    for (int x = a.left() + 33; x <= a.right(); ++x)
        if (count(QRect(x, a.top(), 1, 32), inked) > 0) {
            keyStart = labelEnd && x > labelEnd + 6 ? std::min(keyStart, x) : keyStart;
            if (keyStart == a.right())
                labelEnd = x;
        }
    EXPECT_GT(keyStart - labelEnd, 6) << labelEnd << " " << keyStart;
    EXPECT_LT(keyStart, a.right());
}
