#include "wavewin/echodlg.h"

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

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TDoubleSetting TEchoDlg::DelaySetting("Filters\\Echo\\Delay", 1.0);
TValueSetting TEchoDlg::VolSetting("Filters\\Echo\\Vol", 50);

TEchoDlg::TEchoDlg(TWaveWin& window)
    : TEffectDlg(window, 200, 68, QCoreApplication::translate("Echo", "Echo Options")) {
    Delay = PlaceEdit(*this, 2526, QCoreApplication::translate("Echo", "&Delay:"), 8, 8, 34, 44);
    Delay->setText(QStringLiteral("1.000"));
    PlaceText(*this, QCoreApplication::translate("Echo", "Seconds"), 92, 10, 50, 8);
    Volume = PlaceEdit(*this, 2527, QCoreApplication::translate("Echo", "&Volume:"), 8, 26, 34, 44);
    Volume->setText(QStringLiteral("50"));
    PlaceText(*this, QStringLiteral("%"), 92, 28, 20, 8);
    PlaceOkCancelPreview(*this, 17, 48, [this] { Preview(); });
    setFixedSize(size());
    SetupWindow();
}

void TEchoDlg::LoadFields() {
    Delay->setText(Text(DefaultNumber(DelaySetting.Get())));
    Volume->setText(QString::number(VolSetting.Get()));
}

TEffectChange TEchoDlg::ReadEffect(bool keep, bool) {
    double delay = ReadFloat(Delay->text());
    int percent = ReadInt(Volume->text());
    if (keep) {
        delay = DelaySetting.Set(delay);
        percent = VolSetting.Set(percent);
    }
    return LibraryEffect("echo", DefaultNumber(delay) + " " + DefaultNumber(percent * 0.01));
}

} // namespace NSWaveWin
