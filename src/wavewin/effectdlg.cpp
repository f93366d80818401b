#include "wavewin/effectdlg.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSlider>
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
      EffectRange(window.EffectiveRange()) {}

void TEffectDlg::SetupWindow() {
    TStdDlg::SetupWindow();
    LoadFields();
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
    return Window.ApplyInPlace(
        EffectRange, "Filtering...",
        [this](const TSampleRange& range, TOpStatus& status) { Apply(range, status); });
}

void TEffectDlg::Apply(const TSampleRange&, TOpStatus&) {}

void TEffectDlg::ApplyEffect(const TSampleRange& range, const std::string& name,
                             const std::string& args, TOpStatus& status) {
    Window.Document.ApplyEffect(range, name.c_str(), args.c_str(), &status);
}

namespace NSWaveWin {

// --- shared parts --------------------------------------------------------------------

void PlaceOkCancel(TStdDlg& dialog, int x, int y) {
    auto* ok = new QPushButton(QStringLiteral("Ok"), &dialog);
    dialog.Place(ok, 1, x, y, 50, 14);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    dialog.Place(cancel, 2, x + 58, y, 50, 14);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
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
