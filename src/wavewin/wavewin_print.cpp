// The Print command.

#include "print/optdlg.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

void TWaveWin::CmPrint() {
    NSPrint::ShowPrintOptions(this, Document, Selection, Title());
}

} // namespace NSWaveWin
