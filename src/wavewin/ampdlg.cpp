#include "wavewin/ampdlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <algorithm>

#include "undo/undo.h"
#include "util/opstatus.h"
#include "util/tmpfile.h"
#include "util/xmsg.h"
#include "wave/timefmt.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

// A group box whose key letter reaches a control placed over it: the
// dialog's controls are its siblings, as in the templates.
class TBuddyGroup : public QGroupBox {
public:
    TBuddyGroup(const QString& title, QWidget* buddy, QWidget* parent)
        : QGroupBox(title, parent), Buddy(buddy) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Shortcut && Buddy) {
            Buddy->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return QGroupBox::event(event);
    }

private:
    QWidget* Buddy;
};

} // namespace

TValueSetting TAmpDlg::VolSetting("Filters\\Amp\\Vol", 50);

TAmpDlg::TAmpDlg(TWaveWin& window)
    : TEffectDlg(window, 180, 66, QCoreApplication::translate("Amplitude", "Amplitude")) {
    Volume = new QLineEdit(QStringLiteral("100"), this);
    auto* group =
        new TBuddyGroup(QCoreApplication::translate("Amplitude", "&Adjust Volume"), Volume, this);
    Place(group, -1, 8, 4, 164, 34);
    // Over the group, as in the template.
    Place(Volume, 2529, 34, 18, 40, 12);
    Volume->raise();
    QLabel* percent = PlaceText(*this, QStringLiteral("%"), 78, 20, 12, 8);
    percent->raise();
    PlaceOkCancelPreview(*this, 7, 46, [this] { Preview(); });
    setFixedSize(size());
    SetupWindow();
}

void TAmpDlg::LoadFields() {
    Volume->setText(QString::number(VolSetting.Get()));
}

TEffectChange TAmpDlg::ReadEffect(bool keep, bool) {
    const int percent = ReadInt(Volume->text());
    if (keep)
        VolSetting.Set(percent);
    return [percent](NSWave::TFile& doc, const TSampleRange& range, TOpStatus& status) {
        AmplifyBy(doc, range, percent, status);
    };
}

bool TAmpDlg::CanClose() {
    Previewer().Stop();
    const int percent = ReadInt(Volume->text());
    if (!Window.ApplyAmplitude(percent))
        return false;
    VolSetting.Set(percent);
    return true;
}

} // namespace NSWaveWin
