// The edit commands and the undo/redo protocol as the window runs it.

#include "wavewin/wavewin.h"

#include "util/xmsg.h"

namespace NSWaveWin {

void TWaveWin::CmUndo() {
    TOpStatus status("Undo/Redo ...", StatusTarget());
    if (UndoRecord) {
        std::unique_ptr<NSUndo::TUndoBase> record = std::move(UndoRecord);
        try {
            record->Undo(*this, &status);
        } catch (const xmsg& e) {
            UndoRecord = std::move(record);
            ShowError(e.why());
            UpdateView();
            return;
        }
        SetModified(record->ModifiedBefore);
        record->SelectionAfter = Selection;
        SetSelection(record->SelectionBefore, false);
        RedoRecord = std::move(record);
        UpdateView();
    } else if (RedoRecord) {
        std::unique_ptr<NSUndo::TUndoBase> record = std::move(RedoRecord);
        try {
            record->Redo(*this, &status);
        } catch (const xmsg& e) {
            RedoRecord = std::move(record);
            ShowError(e.why());
            UpdateView();
            return;
        }
        SetModified(true);
        SetSelection(record->SelectionAfter, false);
        UndoRecord = std::move(record);
        UpdateView();
    }
}

void TWaveWin::CmCut() {}
void TWaveWin::CmCopy() {}
void TWaveWin::CmPaste() {}
void TWaveWin::CmDelete() {}
void TWaveWin::CmSelectAll() {}
void TWaveWin::CmDeselect() {}
void TWaveWin::CmSilence() {}
void TWaveWin::CmAllChannels() {}

} // namespace NSWaveWin
