#include "wavewin/effectdlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTreeWidget>
#include <algorithm>
#include <sstream>

#include "dlg/dlgbar.h"
#include "undo/undo.h"
#include "util/opstatus.h"
#include "util/tmpfile.h"
#include "util/xmsg.h"
#include "wave/timefmt.h"
#include "wavewin/wavewin.h"

// --- the base ----------------------------------------------------------------------

TEffectDlg::TEffectDlg(NSWaveWin::TWaveWin& window, int widthUnits, int heightUnits,
                       const QString& title)
    : TStdDlg(&window, widthUnits, heightUnits, title), Window(window),
      EffectRange(window.EffectiveRange()), Previews(window) {}

void TEffectDlg::SetupWindow() {
    TStdDlg::SetupWindow();
    LoadFields();
    NSWaveWin::FollowFields(*this, [this] {
        if (Previews.Playing())
            Preview(true);
    });
}

void TEffectDlg::Preview(bool quiet) {
    const NSWaveWin::TEffectChange change = ReadEffect(false, quiet);
    if (change)
        Previews.Play(EffectRange, change, quiet);
    else
        Previews.Stop();
}

void TEffectDlg::accept() {
    // Once the change is sure to run, the dialog goes and what it covered
    // is painted before the work starts.
    bool hidden = false;
    Window.BeforeChange = [this, &hidden] {
        hidden = true;
        hide();
        if (Window.StatusBar)
            Window.StatusBar->PaintPending();
    };
    const bool close = CanClose();
    Window.BeforeChange = nullptr;
    if (close) {
        QDialog::accept();
    } else if (hidden) {
        // Hiding ended the modal run: Run starts another.
        Reopen = true;
        show();
    }
}

void TEffectDlg::done(int result) {
    Previews.Stop();
    Reopen = false;
    QDialog::done(result);
}

int TEffectDlg::Run() {
    int result;
    do
        result = exec();
    while (Reopen);
    return result;
}

bool TEffectDlg::CanClose() {
    Previews.Stop();
    FillsRange = false;
    const NSWaveWin::TEffectChange change = ReadEffect(true, false);
    if (!change)
        return false;
    return Window.ApplyInPlace(
        EffectRange, Caption,
        [&](const TSampleRange& range, TOpStatus& status) {
            change(Window.Document, range, status);
        },
        FillsRange ? NSUndo::TReplacement::TFill::ByChange : NSUndo::TReplacement::TFill::Copy);
}

NSWaveWin::TEffectChange TEffectDlg::ReadEffect(bool, bool) {
    return nullptr;
}

NSWaveWin::TEffectChange TEffectDlg::LibraryEffect(const std::string& name,
                                                   const std::string& args) {
    FillsRange = true;
    return [name, args](NSWave::TFile& doc, const TSampleRange& range, TOpStatus& status) {
        doc.ApplyEffect(range, name.c_str(), args.c_str(), &status);
    };
}

namespace NSWaveWin {

// --- shared parts --------------------------------------------------------------------

void PlaceOkCancel(TStdDlg& dialog, int x, int y) {
    auto* ok = new QPushButton(QCoreApplication::translate("Effect", "Ok"), &dialog);
    dialog.Place(ok, 1, x, y, 50, 14);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* cancel = new QPushButton(QCoreApplication::translate("Effect", "Cancel"), &dialog);
    dialog.Place(cancel, 2, x + 58, y, 50, 14);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

void PlacePreview(TStdDlg& dialog, int x, int y, std::function<void()> preview) {
    auto* button = new QPushButton(QCoreApplication::translate("Effect", "Preview"), &dialog);
    dialog.Place(button, 3, x, y, 50, 14);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, &dialog, std::move(preview));
}

void PlaceOkCancelPreview(TStdDlg& dialog, int x, int y, std::function<void()> preview) {
    PlaceOkCancel(dialog, x, y);
    PlacePreview(dialog, x + 116, y, std::move(preview));
}

void FollowFields(QWidget& dialog, const std::function<void()>& changed) {
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        QObject::connect(edit, &QLineEdit::textChanged, &dialog, changed);
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        if (button->isCheckable())
            QObject::connect(button, &QAbstractButton::toggled, &dialog, changed);
    for (QAbstractSlider* slider : dialog.findChildren<QAbstractSlider*>())
        if (!qobject_cast<QScrollBar*>(slider))
            QObject::connect(slider, &QAbstractSlider::valueChanged, &dialog, changed);
    for (QComboBox* box : dialog.findChildren<QComboBox*>())
        QObject::connect(box, &QComboBox::currentTextChanged, &dialog, changed);
    for (QTreeWidget* tree : dialog.findChildren<QTreeWidget*>())
        QObject::connect(tree, &QTreeWidget::currentItemChanged, &dialog, changed);
}

QLabel* PlaceText(TStdDlg& dialog, const QString& text, int x, int y, int w, int h) {
    auto* label = new QLabel(text, &dialog);
    dialog.Place(label, -1, x, y, w, h);
    return label;
}

int ReadInt(const QString& text) {
    std::istringstream in(text.toStdString());
    int value = 0;
    if (!(in >> value))
        return 0;
    return value;
}

float ReadFloat(const QString& text) {
    std::istringstream in(text.toStdString());
    float value = 0;
    if (!(in >> value))
        return 0;
    return value;
}

QLineEdit* PlaceEdit(TStdDlg& dialog, int id, const QString& caption, int x, int y, int captionW,
                     int w) {
    QLabel* label = PlaceText(dialog, caption, x, y + 2, captionW, 8);
    auto* edit = new QLineEdit(&dialog);
    dialog.Place(edit, id, x + captionW + 2, y, w, 12);
    label->setBuddy(edit);
    return edit;
}

std::string DefaultNumber(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

} // namespace NSWaveWin
