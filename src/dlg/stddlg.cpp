#include "dlg/stddlg.h"

#include <QResizeEvent>
#include <QVariant>

#include "dlg/placement.h"
#include "util/settings.h"

namespace {
const char* const IdProperty = "bvControlId";
}

TAutoSizeItem::TAutoSizeItem(TStdDlg& dialog, QWidget* control, int percent)
    : Dialog(dialog), Window(control), Percent(percent), Setup(control->geometry()),
      Current(Setup) {
    Dialog.Items.Add(this);
}

TAutoSizeItem::~TAutoSizeItem() {
    if (!Dialog.Deleting)
        Dialog.Items.Detach(Dialog.Items.Find(this));
}

void TAutoSizeItem::Refresh() {
    Current = Window->geometry();
}

void TAutoSizeItem::Apply() {
    // Moving or sizing a child neither activates it nor raises it.
    Window->setGeometry(Current);
    Window->update();
}

void TVariableWidth::Adjust(int dx, int) {
    Current.setWidth(Setup.width() + dx * Percent / 100);
    Apply();
}

void TVariableHeight::Adjust(int, int dy) {
    Current.setHeight(Setup.height() + dy * Percent / 100);
    Apply();
}

void TRightAnchor::Adjust(int dx, int) {
    Current.moveLeft(Setup.left() + dx * Percent / 100);
    Apply();
}

void TBottomAnchor::Adjust(int, int dy) {
    Current.moveTop(Setup.top() + dy * Percent / 100);
    Apply();
}

TStdDlg::TStdDlg(QWidget* parent, int widthUnits, int heightUnits, const QString& title)
    : QDialog(parent), DlgUnits(DialogFont()) {
    setFont(DialogFont());
    if (!title.isEmpty())
        setWindowTitle(title);
    TemplateSize = QSize(DlgUnits.X(widthUnits), DlgUnits.Y(heightUnits));
    resize(TemplateSize);
}

TStdDlg::~TStdDlg() {
    if (Placement)
        Placement->Save(PlacementOf(this));
    Deleting = true;
    for (TAutoSizeItem* item : Items)
        delete item;
}

void TStdDlg::Place(QWidget* control, int id, int x, int y, int w, int h) {
    if (control->parentWidget() != this)
        control->setParent(this);
    control->setProperty(IdProperty, id);
    PlaceControl(control, DlgUnits, x, y, w, h);
}

QWidget* TStdDlg::Control(int id) const {
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->property(IdProperty).toInt() == id)
            return widget;
    }
    return nullptr;
}

void TStdDlg::AttachPlacement(const char* key) {
    Placement = std::make_unique<TWindowPlacementSetting>(key);
}

void TStdDlg::SetupWindow() {
    Deleting = true;
    for (TAutoSizeItem* item : Items)
        delete item;
    Deleting = false;
    TArry<TAutoSizeItem> none;
    Items.Swap(none);
    Base = size();
    Dx = Dy = 0;
    TWindowPlacement placement;
    if (Placement && Placement->Restore(&placement))
        ApplyPlacement(this, placement);
}

void TStdDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (Base.isValid())
        AdjustItems();
}

void TStdDlg::AdjustItems() {
    Dx = width() - Base.width();
    Dy = height() - Base.height();
    for (TAutoSizeItem* item : Items) {
        item->Refresh();
        item->Adjust(Dx, Dy);
    }
}
