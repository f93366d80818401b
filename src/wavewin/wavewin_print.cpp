// The Print command.

#include "dlg/artwork.h"
#include "print/optdlg.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {
const TCommandRow PrintRow(TRow(CmdPrint)
                               .Item(TMenu::File, 100, QT_TRANSLATE_NOOP("Commands", "&Print..."))
                               .Picture(NSArt::GlyphPrint)
                               .Does([](TWaveWin& w) { w.CmPrint(); }));
} // namespace

void TWaveWin::CmPrint() {
    NSPrint::ShowPrintOptions(this, Document, Selection, Title());
}

} // namespace NSWaveWin
