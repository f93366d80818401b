#pragma once
// The base of the program's dialogs: controls that follow the dialog's size
// (auto-size items) and an optional remembered window placement.

#include <QDialog>
#include <QRect>
#include <memory>
#include <string>

#include "dlg/dlgunits.h"
#include "util/arry.h"

class TStdDlg;
class TWindowPlacementSetting;

// One control that follows the dialog's growth dx, dy (client size minus the
// size at set-up) by p percent.
class TAutoSizeItem {
public:
    TAutoSizeItem(TStdDlg& dialog, QWidget* control, int percent = 100);
    // Leaves its dialog's list.
    virtual ~TAutoSizeItem();
    TAutoSizeItem(const TAutoSizeItem&) = delete;
    TAutoSizeItem& operator=(const TAutoSizeItem&) = delete;

    // Refreshes the current rectangle, then moves or sizes the control.
    void Refresh();
    virtual void Adjust(int dx, int dy) = 0;

    QWidget* Control() const { return Window; }
    const QRect& SetupRect() const { return Setup; }

protected:
    void Apply();

    TStdDlg& Dialog;
    QWidget* Window;
    int Percent;
    QRect Setup;
    QRect Current;
};

class TVariableWidth : public TAutoSizeItem {
public:
    using TAutoSizeItem::TAutoSizeItem;
    void Adjust(int dx, int dy) override;
};

class TVariableHeight : public TAutoSizeItem {
public:
    using TAutoSizeItem::TAutoSizeItem;
    void Adjust(int dx, int dy) override;
};

class TRightAnchor : public TAutoSizeItem {
public:
    using TAutoSizeItem::TAutoSizeItem;
    void Adjust(int dx, int dy) override;
};

class TBottomAnchor : public TAutoSizeItem {
public:
    using TAutoSizeItem::TAutoSizeItem;
    void Adjust(int dx, int dy) override;
};

class TStdDlg : public QDialog {
public:
    // The dialog's client size in dialog units, as its template gives it.
    TStdDlg(QWidget* parent, int widthUnits, int heightUnits, const QString& title = QString());
    ~TStdDlg() override;

    const TDlgUnits& Units() const { return DlgUnits; }
    // Creates a control's place: its geometry from dialog units, its id kept
    // for Control().
    void Place(QWidget* control, int id, int x, int y, int w, int h);
    QWidget* Control(int id) const;

    // Remembers the window's placement under `key` ("App\Placement" style),
    // restored at set-up and written back when the dialog goes.
    void AttachPlacement(const char* key);

    // Takes the client size as the base of the auto-size items (dropping any
    // earlier items) and restores the placement. Derived dialogs call it once
    // their controls exist, then create their items.
    void SetupWindow();

    int GrowthX() const { return Dx; }
    int GrowthY() const { return Dy; }
    const QSize& BaseSize() const { return Base; }
    // The template's size: what a window hosting the dialog starts with.
    QSize sizeHint() const override { return TemplateSize; }
    QSize minimumSizeHint() const override { return QSize(0, 0); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TAutoSizeItem;
    void AdjustItems();

    TDlgUnits DlgUnits;
    TArry<TAutoSizeItem> Items{5, 50};
    QSize Base;
    QSize TemplateSize;
    int Dx = 0;
    int Dy = 0;
    bool Deleting = false;
    std::unique_ptr<TWindowPlacementSetting> Placement;
};
