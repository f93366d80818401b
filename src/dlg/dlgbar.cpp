#include "dlg/dlgbar.h"

#include <QBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include "dlg/dlgunits.h"

TDlgControlBar::TDlgControlBar(QWidget* parent) : QWidget(parent) {
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
}

void TTextGadget::SetText(const std::string& text) {
    QString t = QString::fromStdString(text);
    if (t == Content)
        return;
    Content = t;
    update();
}

void TTextGadget::SetColor(const QColor& color) {
    Color = color;
    update();
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
    painter.setPen(Color);
    painter.setFont(font());
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Content);
}

TGaugeGadget::TGaugeGadget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void TGaugeGadget::SetValue(int percent) {
    Percent = percent;
    repaint();
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
    Gauge = new TGaugeGadget(this);
    Modified = new TTextGadget(this, true);
    Cancel = new TCancelWatch(this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
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
    Modified->setFixedWidth(Modified->WidthFor(QStringLiteral("Modified")));
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
