#pragma once
// Bars that take a placeholder's place in a dialog: a tool bar of gadgets
// (buttons, texts) and a status bar with a message text, a progress gauge and
// an indicator. Gadgets are child widgets laid out in a row (or a column when
// the bar is taller than wide).

#include <QFont>
#include <QWidget>

#include "dlg/cancelwatch.h"
#include "util/opstatus.h"

class QBoxLayout;
class QPushButton;

// Installs what tells assistive technology of the bars and gadgets (once).
void InstallBarAccessibility();

class TDlgControlBar : public QWidget {
public:
    explicit TDlgControlBar(QWidget* parent);
    // Appends a gadget; a stretching gadget shares the room left over.
    void Insert(QWidget* gadget, bool stretch = false);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QBoxLayout* Layout;
    bool Trailing = true;
};

// A text in a gadget: a caption, a read-out, the status message. Assistive
// technology reads it as a static text named by its label (or by itself) and
// hears of every change.
class TTextGadget : public QWidget, public TTextTarget {
public:
    explicit TTextGadget(QWidget* parent, bool recessed = false);
    void SetText(const std::string& text) override;
    const QString& Text() const { return Content; }
    // The text's colour on a light palette; on a dark one, and without a
    // colour, the palette's own text colour, so the text stays readable.
    void SetColor(const QColor& color);
    QColor TextColor() const;
    // The caption gadget that labels this one; null for none.
    void SetLabel(TTextGadget* label);
    TTextGadget* Label() const { return LabelGadget; }
    TTextGadget* Labelled() const { return LabelledGadget; }
    // The width a text needs in this gadget's font, border included.
    int WidthFor(const QString& text) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString Content;
    QColor Color;
    bool Recessed;
    TTextGadget* LabelGadget = nullptr;
    TTextGadget* LabelledGadget = nullptr;
};

// The percentage gauge of a long operation; blank when no operation runs.
class TGaugeGadget : public QWidget, public TGaugeTarget {
public:
    explicit TGaugeGadget(QWidget* parent);
    int Value() const override { return Percent; }
    void SetValue(int percent) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int Percent = -1;
};

// The status bar: message text, gauge, and the "Modified" indicator.
class TDlgStatusBar : public TDlgControlBar, public TRepaintTarget {
public:
    explicit TDlgStatusBar(QWidget* parent);
    void RepaintNow() override;

    TTextGadget* MessageGadget() const { return Message; }
    TGaugeGadget* GaugeGadget() const { return Gauge; }
    // Beside the gauge while an operation that can stop runs.
    QPushButton* CancelButton() const { return CancelBtn; }
    // Paints what waits to be painted, input held back.
    void PaintPending() { Cancel->Look(); }
    // The watch over the running operation's Escape and Cancel.
    TCancelWatch* CancelWatch() const { return Cancel; }
    TTextGadget* ModifiedGadget() const { return Modified; }
    // What a progress reporter needs from this bar.
    TStatusTarget Target();

private:
    TTextGadget* Message;
    TGaugeGadget* Gauge;
    QPushButton* CancelBtn;
    TTextGadget* Modified;
    TCancelWatch* Cancel;
};
