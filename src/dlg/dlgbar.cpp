#include "dlg/dlgbar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include "dlg/dlgunits.h"
#include "dlg/percentaccess.h"

#include <algorithm>

namespace {

// A bar of gadgets: a tool bar, or the status bar.
class TBarAccessible : public QAccessibleWidget {
public:
    explicit TBarAccessible(TDlgControlBar* bar)
        : QAccessibleWidget(bar, dynamic_cast<TDlgStatusBar*>(bar) ? QAccessible::StatusBar
                                                                   : QAccessible::ToolBar) {}
};

// A text gadget: a static text whose value is its text, named by its label.
class TTextAccessible : public QAccessibleWidget {
public:
    explicit TTextAccessible(TTextGadget* gadget)
        : QAccessibleWidget(gadget, QAccessible::StaticText), Gadget(gadget) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return Gadget->Text();
        if (t == QAccessible::Name) {
            const QString name = QAccessibleWidget::text(t);
            return name.isEmpty() ? Gadget->Text() : name;
        }
        return QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto list = QAccessibleWidget::relations(match);
        if (TTextGadget* label = Gadget->Label(); label && (match & QAccessible::Label))
            list.append({QAccessible::queryAccessibleInterface(label), QAccessible::Label});
        if (TTextGadget* labelled = Gadget->Labelled(); labelled && (match & QAccessible::Labelled))
            list.append({QAccessible::queryAccessibleInterface(labelled), QAccessible::Labelled});
        return list;
    }

private:
    TTextGadget* Gadget;
};

QAccessibleInterface* BarFactory(const QString&, QObject* object) {
    if (auto* bar = dynamic_cast<TDlgControlBar*>(object))
        return new TBarAccessible(bar);
    if (auto* text = dynamic_cast<TTextGadget*>(object))
        return new TTextAccessible(text);
    if (auto* gauge = dynamic_cast<TGaugeGadget*>(object))
        return new TPercentAccessible(gauge, QCoreApplication::translate("Access", "Progress"),
                                      [gauge] { return gauge->Value(); });
    return nullptr;
}

} // namespace

void InstallBarAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(BarFactory);
        return true;
    }();
}

TDlgControlBar::TDlgControlBar(QWidget* parent) : QWidget(parent) {
    InstallBarAccessibility();
    Layout = new QBoxLayout(QBoxLayout::LeftToRight, this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    // Gadgets sit at the start of the bar; the room left over stays empty
    // unless a gadget stretches into it.
    Layout->addStretch(1);
    setFont(DialogFont());
}

void TDlgControlBar::Insert(QWidget* gadget, bool stretch) {
    gadget->setParent(this);
    if (stretch && Trailing) {
        delete Layout->takeAt(Layout->count() - 1);
        Trailing = false;
    }
    Layout->insertWidget(Trailing ? Layout->count() - 1 : Layout->count(), gadget, stretch ? 1 : 0);
}

void TDlgControlBar::resizeEvent(QResizeEvent* event) {
    // A bar taller than wide stacks its gadgets.
    Layout->setDirection(height() > width() ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    QWidget::resizeEvent(event);
}

TTextGadget::TTextGadget(QWidget* parent, bool recessed) : QWidget(parent), Recessed(recessed) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    InstallBarAccessibility();
}

void TTextGadget::SetText(const std::string& text) {
    QString t = QString::fromStdString(text);
    if (t == Content)
        return;
    Content = t;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, Content);
        QAccessible::updateAccessibility(&changed);
    }
}

void TTextGadget::SetColor(const QColor& color) {
    Color = color;
    update();
}

QColor TTextGadget::TextColor() const {
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const bool light = palette().color(QPalette::Window).lightness() >= 128;
    return Color.isValid() && light ? Color : palette().color(group, QPalette::WindowText);
}

void TTextGadget::SetLabel(TTextGadget* label) {
    LabelGadget = label;
    if (label)
        label->LabelledGadget = this;
}

int TTextGadget::WidthFor(const QString& text) const {
    return fontMetrics().horizontalAdvance(text) + 8;
}

void TTextGadget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect inner = rect();
    if (Recessed) {
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = rect();
        frame.lineWidth = 1;
        frame.midLineWidth = 0;
        frame.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        inner.adjust(2, 1, -2, -1);
    }
    painter.setPen(TextColor());
    painter.setFont(font());
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Content);
}

TGaugeGadget::TGaugeGadget(QWidget* parent) : QWidget(parent) {
    InstallBarAccessibility();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void TGaugeGadget::SetValue(int percent) {
    Percent = percent;
    repaint();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, std::max(0, percent));
        QAccessible::updateAccessibility(&changed);
    }
}

void TGaugeGadget::paintEvent(QPaintEvent*) {
    if (Percent < 0)
        return;
    QPainter painter(this);
    QRect frame = rect().adjusted(1, 1, -2, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    QRect bar = frame.adjusted(1, 1, 0, 0);
    bar.setWidth(bar.width() * qBound(0, Percent, 100) / 100);
    painter.fillRect(bar, palette().color(QPalette::Highlight));
}

TDlgStatusBar::TDlgStatusBar(QWidget* parent) : TDlgControlBar(parent) {
    Message = new TTextGadget(this, true);
    Message->setAccessibleName(QCoreApplication::translate("Access", "Message"));
    Gauge = new TGaugeGadget(this);
    Modified = new TTextGadget(this, true);
    Modified->setAccessibleName(QCoreApplication::translate("Access", "Modified state"));
    Cancel = new TCancelWatch(this);
    CancelBtn = new QPushButton(QCoreApplication::translate("Window", "Cancel"), this);
    CancelBtn->setFocusPolicy(Qt::NoFocus);
    CancelBtn->setAutoDefault(false);
    CancelBtn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    CancelBtn->setFixedWidth(CancelBtn->fontMetrics().horizontalAdvance(CancelBtn->text()) + 16);
    CancelBtn->hide();
    connect(CancelBtn, &QPushButton::clicked, this, [this] { Cancel->Request(); });
    Cancel->Allow(CancelBtn);
    Cancel->Cancellable = [this](bool running) {
        CancelBtn->setVisible(running);
        repaint();
    };
    Gauge->setFixedWidth(60);
    Modified->setFixedWidth(Modified->WidthFor(QCoreApplication::translate("Window", "Modified")));
    Modified->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    Insert(Message, true);
    Insert(Gauge);
    Insert(CancelBtn);
    Insert(Modified);
}

void TDlgStatusBar::RepaintNow() {
    repaint();
}

TStatusTarget TDlgStatusBar::Target() {
    TStatusTarget target;
    target.TextGadget = Message;
    target.Gauge = Gauge;
    target.StatusWindow = this;
    Cancel->Reset();
    target.Cancel = Cancel;
    return target;
}
