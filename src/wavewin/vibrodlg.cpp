#include "wavewin/vibrodlg.h"

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

const char* const TVibroDlg::Presets[4] = {"29 1.0", "25 0.8", "20 0.75", "15 0.65"};
TValueSetting TVibroDlg::RadioSetting("Filters\\Vibro\\Radio", 2);

TVibroDlg::TVibroDlg(TWaveWin& window)
    : TEffectDlg(window, 180, 110, QCoreApplication::translate("Vibro", "Vibro Effect")) {
    QLabel* text = PlaceText(*this,
                             QCoreApplication::translate(
                                 "Vibro", "The 'Vibro' effect will modulate the amplitude of your "
                                          "sound with a low frequency sine wave."),
                             10, 8, 160, 24);
    text->setWordWrap(true);
    const char* const names[4] = {
        QT_TRANSLATE_NOOP("Vibro", "Maximum"), QT_TRANSLATE_NOOP("Vibro", "Strong"),
        QT_TRANSLATE_NOOP("Vibro", "Medium"), QT_TRANSLATE_NOOP("Vibro", "Light")};
    for (int i = 0; i < 4; ++i) {
        Buttons[i] = new QRadioButton(QCoreApplication::translate("Vibro", names[i]), this);
        Place(Buttons[i], 2537 + i, 24, 36 + 12 * i, 80, 10);
    }
    PlaceOkCancelPreview(*this, 7, 90, [this] { Preview(); });
    setFixedSize(size());
    SetupWindow();
}

void TVibroDlg::LoadFields() {
    int index = RadioSetting.Get();
    // A stored index no button stands for opens at the default strength, so
    // a button is always checked.
    if (index < 0 || index > 3)
        index = 2;
    Buttons[index]->setChecked(true);
}

TEffectChange TVibroDlg::ReadEffect(bool keep, bool) {
    int index = 2;
    for (int i = 0; i < 4; ++i)
        if (Buttons[i]->isChecked())
            index = i;
    if (keep)
        RadioSetting.Set(index);
    return LibraryEffect("vibro", Presets[index]);
}

} // namespace NSWaveWin
