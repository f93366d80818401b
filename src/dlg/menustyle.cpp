#include "dlg/menustyle.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {
const char* const KeyTextProperty = "bvKeyText";
}

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
        if (item && item->menuItemType != QStyleOptionMenuItem::Separator)
            return QSize(ItemWidth, ItemHeight);
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
        keyRect.setLeft(item->rect.right() + 1 - KeyTextFromRight);
        painter->drawText(keyRect, flags | Qt::AlignLeft, keys);
    }
    painter->restore();
}
