#pragma once
// The undo history of a document window: the records that Undo takes back
// newest first and the ones Redo applies again, each with the name of its
// command, at most as many as the "Undo\Levels" setting allows (1 to 1000;
// 1 is the one undo slot and one redo slot the window always had).

#include <memory>
#include <string>
#include <vector>

#include "undo/undo.h"
#include "util/settings.h"

namespace NSUndo {

// The setting and its value clamped to 1 to 1000.
extern TValueSetting UndoLevelsSetting;
int UndoLevels();
constexpr int MaxUndoLevels = 1000;

class TUndoHistory {
public:
    struct TEntry {
        std::unique_ptr<TUndoBase> Record;
        std::string Name;
    };

    bool CanUndo() const { return !Undos.empty(); }
    bool CanRedo() const { return !Redos.empty(); }
    int UndoCount() const { return int(Undos.size()); }
    int RedoCount() const { return int(Redos.size()); }
    // The next record Undo or Redo would take, and its command's name.
    TUndoBase* NextUndo() const { return Undos.empty() ? nullptr : Undos.back().Record.get(); }
    TUndoBase* NextRedo() const { return Redos.empty() ? nullptr : Redos.back().Record.get(); }
    std::string UndoName() const { return Undos.empty() ? std::string() : Undos.back().Name; }
    std::string RedoName() const { return Redos.empty() ? std::string() : Redos.back().Name; }

    // A new change: the redo records go, and the oldest undo records beyond
    // `levels`.
    void Add(std::unique_ptr<TUndoBase> record, std::string name, int levels);
    // The newest undo (redo) record, taken out; empty when there is none.
    TEntry TakeUndo();
    TEntry TakeRedo();
    // A record that Undo took back goes on the redo side, one Redo applied
    // goes back on the undo side; the other side stays.
    void PutRedo(TEntry entry);
    void PutUndo(TEntry entry);
    void Clear();
    // The sound was saved as it is now: only Undo of the next redo record
    // comes back to what the file holds; every other step leaves it.
    void Saved();
    // Puts the undo records of `older` beneath this history's (which came
    // after them), drops its redo records, and keeps at most `levels`.
    void Beneath(TUndoHistory&& older, int levels);
    // Drops what Add of one more record would (every redo record, and the
    // oldest undo records beyond `levels` - 1), when they hold at least a
    // mapped array's worth of undo data.
    void DropPushedOut(int levels);
    // The bytes of undo data held by every record, on both sides.
    uint64_t HeldBytes() const;
    // The bytes of undo data held by the newest `count` undo records: what a
    // new record would keep beside it.
    uint64_t NewestBytes(int count) const;

private:
    void Trim(int levels);
    // Oldest first.
    std::vector<TEntry> Undos, Redos;
};

} // namespace NSUndo
