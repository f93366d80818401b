#pragma once
// The Other Effect dialog: any effect of the installed sound library that
// works in place, run over the range with the arguments the user types, which
// are remembered per effect.

#include <string>
#include <vector>

#include "util/settings.h"
#include "wave/effectlist.h"
#include "wavewin/effectdlg.h"

class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace NSWaveWin {

class TOtherEffectDlg : public TEffectDlg {
public:
    explicit TOtherEffectDlg(TWaveWin& window);
    void LoadFields() override;
    TEffectChange ReadEffect(bool keep, bool quiet) override;
    // No effect chosen: the dialog stays open.
    bool CanClose() override;

    // The chosen effect; empty for none.
    std::string EffectName() const;
    // Chooses an effect of the list; false when it is not listed.
    bool Choose(const std::string& name);
    const std::vector<NSWave::TLibraryEffect>& Effects() const { return List; }

    // The arguments last run with effect `name`: "Filters\Other\<name>".
    static TStrSetting ArgumentsSetting(const std::string& name);
    // The effect last run, chosen when the dialog opens.
    static TStrSetting LastSetting;

private:
    // Shows the chosen effect's usage and its remembered arguments.
    void ShowChoice();

    std::vector<NSWave::TLibraryEffect> List;
    QTreeWidget* Names;
    QPlainTextEdit* Usage;
    QLineEdit* Arguments;
};

} // namespace NSWaveWin
