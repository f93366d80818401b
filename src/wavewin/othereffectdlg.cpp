#include "wavewin/othereffectdlg.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <cstdio>

namespace NSWaveWin {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TStrSetting TOtherEffectDlg::LastSetting("Filters\\OtherEffect");

TStrSetting TOtherEffectDlg::ArgumentsSetting(const std::string& name) {
    return TStrSetting(("Filters\\Other\\" + name).c_str());
}

TOtherEffectDlg::TOtherEffectDlg(TWaveWin& window)
    : TEffectDlg(window, 260, 200, QCoreApplication::translate("OtherEffect", "Other Effect")),
      List(NSWave::InPlaceEffects()) {
    QLabel* caption =
        PlaceText(*this, QCoreApplication::translate("OtherEffect", "&Effect:"), 8, 6, 60, 8);
    Names = new QTreeWidget(this);
    Place(Names, 2561, 8, 16, 244, 88);
    caption->setBuddy(Names);
    Names->setColumnCount(2);
    Names->setHeaderLabels({QCoreApplication::translate("OtherEffect", "Effect"),
                            QCoreApplication::translate("OtherEffect", "Arguments")});
    Names->setRootIsDecorated(false);
    Names->setUniformRowHeights(true);
    Names->setAllColumnsShowFocus(true);
    for (const NSWave::TLibraryEffect& effect : List) {
        const std::string firstLine = effect.Usage.substr(0, effect.Usage.find('\n'));
        new QTreeWidgetItem(Names, {Text(effect.Name), Text(firstLine)});
    }
    Names->resizeColumnToContents(0);

    Usage = new QPlainTextEdit(this);
    Place(Usage, 2563, 8, 108, 244, 44);
    Usage->setReadOnly(true);
    Usage->setFocusPolicy(Qt::ClickFocus);
    Usage->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The library lays some of its texts out in columns.
    Usage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    QLabel* argsCaption =
        PlaceText(*this, QCoreApplication::translate("OtherEffect", "&Arguments:"), 8, 162, 44, 8);
    Arguments = new QLineEdit(this);
    Place(Arguments, 2562, 54, 160, 198, 12);
    argsCaption->setBuddy(Arguments);
    PlaceOkCancel(*this, 144, 180);
    PlacePreview(*this, 86, 180, [this] { Preview(); });
    setMinimumSize(size());

    connect(Names, &QTreeWidget::currentItemChanged, this, [this] { ShowChoice(); });
    // A double click runs the effect; Enter reaches the Ok button by itself.
    connect(Names, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });

    SetupWindow();
    new TVariableWidth(*this, Names);
    new TVariableHeight(*this, Names);
    new TVariableWidth(*this, Usage);
    new TBottomAnchor(*this, Usage);
    new TBottomAnchor(*this, argsCaption);
    new TVariableWidth(*this, Arguments);
    new TBottomAnchor(*this, Arguments);
    for (int id : {1, 2, 3}) {
        new TRightAnchor(*this, Control(id));
        new TBottomAnchor(*this, Control(id));
    }
}

void TOtherEffectDlg::LoadFields() {
    if (!Choose(LastSetting.Get()) && Names->topLevelItemCount() > 0)
        Names->setCurrentItem(Names->topLevelItem(0));
    ShowChoice();
    Names->setFocus();
}

std::string TOtherEffectDlg::EffectName() const {
    const int row = Names->indexOfTopLevelItem(Names->currentItem());
    return row >= 0 && size_t(row) < List.size() ? List[size_t(row)].Name : std::string();
}

bool TOtherEffectDlg::Choose(const std::string& name) {
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i].Name == name) {
            Names->setCurrentItem(Names->topLevelItem(int(i)));
            Names->scrollToItem(Names->currentItem());
            return true;
        }
    return false;
}

void TOtherEffectDlg::ShowChoice() {
    const std::string name = EffectName();
    if (name.empty()) {
        Usage->clear();
        Arguments->clear();
        return;
    }
    const int row = Names->indexOfTopLevelItem(Names->currentItem());
    Usage->setPlainText(Text(name + " " + List[size_t(row)].Usage));
    Arguments->setText(Text(ArgumentsSetting(name).Get()));
}

bool TOtherEffectDlg::CanClose() {
    if (EffectName().empty())
        return false;
    return TEffectDlg::CanClose();
}

TEffectChange TOtherEffectDlg::ReadEffect(bool keep, bool) {
    const std::string name = EffectName();
    if (name.empty())
        return nullptr;
    // Some effects read a file they are not given a name for from standard
    // input (fir, firfit): a program started from a terminal would wait
    // there with its window frozen. Nothing else here reads it.
    // Should even the null device fail to open, the stream is closed, and
    // reading it fails at once just the same.
    [[maybe_unused]] FILE* none = std::freopen("/dev/null", "r", stdin);
    std::string args = Arguments->text().toStdString();
    if (keep) {
        args = ArgumentsSetting(name).Set(args);
        LastSetting.Set(name);
    }
    return LibraryEffect(name, args);
}

} // namespace NSWaveWin
