#include "dlg/menustyle.h"

#include <algorithm>

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {
const char* const KeyTextProperty = "bvKeyText";
// Room between a label and its key text, and after the key text.
constexpr int Gap = 8;

// The widest label and the widest key text among a menu's items.
struct TWidest {
    int Label = 0;
    int Keys = 0;
};

TWidest Widest(const QMenu* menu, const QFontMetrics& metrics) {
    TWidest widest;
    if (!menu)
        return widest;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        QString label = action->text();
        label.remove(QLatin1Char('&'));
        widest.Label = std::max(widest.Label, metrics.horizontalAdvance(label));
        widest.Keys =
            std::max(widest.Keys, metrics.horizontalAdvance(TDrawnMenuStyle::KeyText(action)));
    }
    return widest;
}

// Where the key texts start, counted from the item's right edge: 60 pixels,
// or more where a key text is longer.
int KeyColumn(const TWidest& widest) {
    return std::max(TDrawnMenuStyle::KeyTextFromRight, widest.Keys + Gap);
}
} // namespace

TDrawnMenuStyle::TDrawnMenuStyle() : QProxyStyle() {}

void TDrawnMenuStyle::SetItemText(QAction* action, const QString& text) {
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    action->setText(tab < 0 ? text : text.left(tab));
    action->setProperty(KeyTextProperty, tab < 0 ? QString() : text.mid(tab + 1));
}

QString TDrawnMenuStyle::KeyText(const QAction* action) {
    return action ? action->property(KeyTextProperty).toString() : QString();
}

QSize TDrawnMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                        const QSize& size, const QWidget* widget) const {
    if (type == CT_MenuItem) {
        auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (item && item->menuItemType != QStyleOptionMenuItem::Separator) {
            // Wider only where a label would run into its menu's key texts.
            const TWidest widest =
                Widest(qobject_cast<const QMenu*>(widget), QFontMetrics(item->font));
            const int needed = ImageSize + 2 + widest.Label + Gap + KeyColumn(widest);
            return QSize(std::max(ItemWidth, needed), ItemHeight);
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void TDrawnMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item || item->menuItemType == QStyleOptionMenuItem::Separator) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const bool selected = item->state & State_Selected;
    const bool enabled = item->state & State_Enabled;
    const QPalette& pal = item->palette;
    painter->save();
    painter->fillRect(item->rect,
                      selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Window));
    QColor text = !enabled   ? pal.color(QPalette::Disabled, QPalette::WindowText)
                  : selected ? pal.color(QPalette::HighlightedText)
                             : pal.color(QPalette::WindowText);

    const QRect image(item->rect.left(), item->rect.top() + (item->rect.height() - ImageSize) / 2,
                      ImageSize, ImageSize);
    if (!item->icon.isNull()) {
        bool lit = item->checkType != QStyleOptionMenuItem::NotCheckable ? item->checked : enabled;
        QPixmap pixmap =
            item->icon.pixmap(QSize(ImageSize, ImageSize), painter->device()->devicePixelRatioF(),
                              lit ? QIcon::Normal : QIcon::Disabled);
        painter->drawPixmap(image, pixmap);
    }

    QString label = item->text;
    QString keys;
    const qsizetype tab = label.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        keys = label.mid(tab + 1);
        label = label.left(tab);
    }
    if (auto* menu = qobject_cast<const QMenu*>(widget))
        if (QString own = KeyText(menu->actionAt(item->rect.center())); !own.isEmpty())
            keys = own;
    painter->setPen(text);
    painter->setFont(item->font);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    QRect textRect = item->rect.adjusted(ImageSize + 2, 0, 0, 0);
    painter->drawText(textRect, flags | Qt::AlignLeft, label);
    if (!keys.isEmpty()) {
        QRect keyRect = item->rect;
        const TWidest widest = Widest(qobject_cast<const QMenu*>(widget), QFontMetrics(item->font));
        keyRect.setLeft(item->rect.right() + 1 - KeyColumn(widest));
        painter->drawText(keyRect, flags | Qt::AlignLeft, keys);
    }
    painter->restore();
}
