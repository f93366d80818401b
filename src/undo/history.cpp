#include "undo/history.h"

#include <algorithm>
#include <cstddef>

#include "wave/samplemem.h"

namespace NSUndo {

TValueSetting UndoLevelsSetting("Undo\\Levels", 1);

int UndoLevels() {
    return std::clamp<int>(UndoLevelsSetting.Get(), 1, MaxUndoLevels);
}

void TUndoHistory::Add(std::unique_ptr<TUndoBase> record, std::string name, int levels) {
    Redos.clear();
    Undos.push_back({std::move(record), std::move(name)});
    Trim(levels);
}

TUndoHistory::TEntry TUndoHistory::TakeUndo() {
    if (Undos.empty())
        return {};
    TEntry entry = std::move(Undos.back());
    Undos.pop_back();
    return entry;
}

TUndoHistory::TEntry TUndoHistory::TakeRedo() {
    if (Redos.empty())
        return {};
    TEntry entry = std::move(Redos.back());
    Redos.pop_back();
    return entry;
}

void TUndoHistory::PutRedo(TEntry entry) {
    Redos.push_back(std::move(entry));
}

void TUndoHistory::PutUndo(TEntry entry) {
    Undos.push_back(std::move(entry));
}

void TUndoHistory::Clear() {
    Undos.clear();
    Redos.clear();
}

void TUndoHistory::Saved() {
    for (TEntry& entry : Undos)
        entry.Record->ModifiedBefore = true;
    for (TEntry& entry : Redos)
        entry.Record->ModifiedBefore = true;
    if (!Redos.empty())
        Redos.back().Record->ModifiedBefore = false;
}

void TUndoHistory::Beneath(TUndoHistory&& older, int levels) {
    std::vector<TEntry> undos = std::move(older.Undos);
    for (TEntry& entry : Undos)
        undos.push_back(std::move(entry));
    Undos = std::move(undos);
    older.Clear();
    Trim(levels);
}

void TUndoHistory::DropPushedOut(int levels) {
    const size_t keep = size_t(std::max(levels, 1) - 1);
    const size_t drop = Undos.size() > keep ? Undos.size() - keep : 0;
    // Records that hold less than a mapped array stay until the new one is
    // in, as their memory would serve it little: a change that fails then
    // still gives them back.
    uint64_t bytes = 0;
    for (size_t i = 0; i < drop; ++i)
        bytes += Undos[i].Record->Bytes;
    for (const TEntry& entry : Redos)
        bytes += entry.Record->Bytes;
    if (bytes < NSWave::LargeSampleArray * sizeof(int32_t))
        return;
    Redos.clear();
    Undos.erase(Undos.begin(), Undos.begin() + ptrdiff_t(drop));
}

uint64_t TUndoHistory::HeldBytes() const {
    uint64_t bytes = 0;
    for (const TEntry& entry : Undos)
        bytes += entry.Record->Bytes;
    for (const TEntry& entry : Redos)
        bytes += entry.Record->Bytes;
    return bytes;
}

uint64_t TUndoHistory::NewestBytes(int count) const {
    uint64_t bytes = 0;
    for (int i = int(Undos.size()) - 1; i >= 0 && count > 0; --i, --count)
        bytes += Undos[size_t(i)].Record->Bytes;
    return bytes;
}

void TUndoHistory::Trim(int levels) {
    // Undo and Redo only move records between the sides, so the two sides
    // together never hold more than the levels allow.
    const size_t keep = size_t(std::max(levels, 1));
    while (Undos.size() + Redos.size() > keep && !Undos.empty())
        Undos.erase(Undos.begin());
    while (Redos.size() > keep)
        Redos.erase(Redos.begin());
}

} // namespace NSUndo
