// The edit commands and the undo/redo protocol as the window runs it.

#include "wavewin/wavewin.h"

#include <QCoreApplication>
#include <memory>

#include "dlg/artwork.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wavewin/clipboard.h"

namespace NSWaveWin {

namespace {

bool HasRange(const TSampleRange& r) {
    return r.Valid && r.Start < r.End;
}

// A WAV image holds at most 4 GB; a longer selection is refused before
// anything happens rather than written as a broken file.
bool FitsOnClipboard(TWaveWin& window, const TSampleRange& range) {
    if (WavImageBytes(window.Document, range) <= MaxWavImage)
        return true;
    window.MessageBox(TooLargeForClipboardText(), "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
    return false;
}

using K = QKeySequence;

const TCommandRow UndoRow(TRow(CmdUndo)
                              .Item(TMenu::Edit, 0, QT_TRANSLATE_NOOP("Commands", "&Undo\tCtrl+Z"))
                              .Shortcuts({K(Qt::CTRL | Qt::Key_Z)})
                              .Picture(NSArt::GlyphUndo)
                              .Popup(0)
                              .When([](const TCommandState& s) {
                                  return s.HasUndo || (s.HasRedo && s.UndoLevels == 1);
                              })
                              .Idle()
                              // With one level and only a redo record the same item takes the
                              // change again; with more, the item names the command it takes back.
                              .TextWhen([](const TCommandState& s) {
                                  if (s.UndoLevels == 1)
                                      return s.HasRedo && !s.HasUndo
                                                 ? QCoreApplication::translate("Commands",
                                                                               "Redo\tCtrl+Z")
                                                 : QString();
                                  if (!s.HasUndo)
                                      return QString();
                                  return QCoreApplication::translate("Commands", "&Undo %1\tCtrl+Z")
                                      .arg(QString::fromStdString(s.UndoName));
                              })
                              .Does([](TWaveWin& w) { w.CmUndo(); }));
// Redo of its own once more than one level is kept.
const TCommandRow
    RedoRow(TRow(CmdRedo)
                .Item(TMenu::Edit, 1, QT_TRANSLATE_NOOP("Commands", "&Redo\tCtrl+Shift+Z"))
                .Shortcuts({K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)})
                .ShownWhen([](const TCommandState& s) { return s.UndoLevels > 1; })
                .When([](const TCommandState& s) { return s.UndoLevels > 1 && s.HasRedo; })
                .Idle()
                .TextWhen([](const TCommandState& s) {
                    if (!s.HasRedo)
                        return QString();
                    return QCoreApplication::translate("Commands", "&Redo %1\tCtrl+Shift+Z")
                        .arg(QString::fromStdString(s.RedoName));
                })
                .Does([](TWaveWin& w) { w.CmRedo(); }));
const TCommandRow CutRow(TRow(CmdCut)
                             .Item(TMenu::Edit, 10, QT_TRANSLATE_NOOP("Commands", "Cu&t\tCtrl+X"))
                             .Shortcuts({K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)})
                             .Picture(NSArt::GlyphCut)
                             .Popup(10)
                             .When(RangeSelected)
                             .Idle()
                             .Does([](TWaveWin& w) { w.CmCut(); }));
const TCommandRow CopyRow(TRow(CmdCopy)
                              .Item(TMenu::Edit, 20, QT_TRANSLATE_NOOP("Commands", "&Copy\tCtrl+C"))
                              .Shortcuts({K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)})
                              .Picture(NSArt::GlyphCopy)
                              .Popup(20)
                              .When(RangeSelected)
                              .Idle()
                              .Does([](TWaveWin& w) { w.CmCopy(); }));
const TCommandRow PasteRow(TRow(CmdPaste)
                               .Item(TMenu::Edit, 30,
                                     QT_TRANSLATE_NOOP("Commands", "&Paste\tCtrl+V"))
                               .Shortcuts({K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)})
                               .Picture(NSArt::GlyphPaste)
                               .Popup(30)
                               .When([](const TCommandState& s) { return s.ClipboardHasSound; })
                               .Idle()
                               .Does([](TWaveWin& w) { w.CmPaste(); }));
const TCommandRow DeleteRow(TRow(CmdDelete)
                                .Item(TMenu::Edit, 40,
                                      QT_TRANSLATE_NOOP("Commands", "&Delete\tDelete"))
                                .Shortcuts({K(Qt::Key_Delete)})
                                .Picture(NSArt::GlyphDelete)
                                .WindowKey(Qt::Key_Delete)
                                .When(RangeSelected)
                                .Idle()
                                .Does([](TWaveWin& w) { w.CmDelete(); }));
const TCommandRow SelectAllRow(TRow(CmdSelectAll)
                                   .Item(TMenu::Edit, 100,
                                         QT_TRANSLATE_NOOP("Commands", "Select &All\tCtrl+A"))
                                   .Shortcuts({K(Qt::CTRL | Qt::Key_A)})
                                   .Picture(NSArt::GlyphSelectAll)
                                   .Popup(50)
                                   .Idle()
                                   .Does([](TWaveWin& w) { w.CmSelectAll(); }));
const TCommandRow DeselectRow(TRow(CmdDeselect)
                                  .Item(TMenu::Edit, 110,
                                        QT_TRANSLATE_NOOP("Commands", "D&e-Select\tEscape"))
                                  .Shortcuts({K(Qt::Key_Escape)})
                                  .Popup(60)
                                  .When([](const TCommandState& s) { return s.Selection.Valid; })
                                  .Idle()
                                  .Does([](TWaveWin& w) { w.CmDeselect(); }));
const TCommandRow SilenceRow(TRow(CmdSilence)
                                 .Item(TMenu::Effect, 130,
                                       QT_TRANSLATE_NOOP("Commands", "&Silence"))
                                 .Picture(NSArt::GlyphSilence)
                                 .Popup(40, QT_TRANSLATE_NOOP("Commands", "Clear"))
                                 .Button(TToolBar::Effects, 30, NSArt::GlyphSilence,
                                         QT_TRANSLATE_NOOP("Commands", "Silence"))
                                 .When(RangeSelected)
                                 .Idle()
                                 .Does([](TWaveWin& w) { w.CmSilence(); }));

bool OnOneChannel(const TCommandState& s) {
    return s.Selection.Valid && s.Selection.Channel != AllChannels;
}

const TCommandRow AllChannelsRow(
    TRow(CmdAllChannels)
        .Item(TMenu::Edit, 120, QT_TRANSLATE_NOOP("Commands", "A&ll Channels\tShift+Click"))
        .Popup(70)
        .When(OnOneChannel)
        .Idle()
        .Does([](TWaveWin& w) { w.CmAllChannels(); }));

} // namespace

bool TWaveWin::ApplyEdit(NSUndo::TUndoBase* record, const std::string& caption,
                         const std::function<void(TOpStatus&)>& change) {
    // The history is held here until the change has succeeded, so a failed
    // change can give it back; the new record then goes on top of it.
    NSUndo::TUndoHistory before;
    std::swap(before, History);
    const bool modified = Modified;
    if (!AddUndo(record)) {
        std::swap(before, History);
        return false;
    }
    const bool accepted = History.NextUndo() == record;
    // Only a change its record can take back may be cancelled.
    TStatusTarget target = StatusTarget();
    if (!accepted)
        target.Cancel = nullptr;
    // A closed dialog leaves the screen before the work begins (an Escape
    // meanwhile counts for the work).
    if (BeforeChange) {
        BeforeChange();
        BeforeChange = nullptr;
    }
    bool done = true;
    try {
        TOpStatus status(caption, target);
        change(status);
    } catch (const xmsg& e) {
        done = false;
        const bool cancelled = dynamic_cast<const NSWave::xcancelled*>(&e) != nullptr;
        if (accepted) {
            try {
                History.NextUndo()->Undo(*this, nullptr);
                History = std::move(before);
                SetModified(modified);
            } catch (const xmsg&) {
                // The record could not take the change back either: the
                // document stays as the change left it, with no history.
                History.Clear();
            }
        }
        // The user stopped it: there is nothing to tell.
        if (!cancelled)
            ShowError(e.why());
    }
    if (done && accepted)
        History.Beneath(std::move(before), NSUndo::UndoLevels());
    AnnounceChanges();
    return done;
}

TSampleRange TWaveWin::InPlaceRange(const TSampleRange& range) const {
    // A range on one channel ends where that channel does: what lies past
    // its end holds no samples to change, and lengthening the channel there
    // would leave nothing for the undo record to take back.
    TSampleRange r = range;
    if (r.Valid)
        r.End = std::min(r.End, r.Channel == AllChannels         ? Document.GetLength()
                                : Document.HasChannel(r.Channel) ? Document.Channel(r.Channel).Count
                                                                 : 0);
    return r;
}

bool TWaveWin::ApplyInPlace(const TSampleRange& range, const std::string& caption,
                            const std::function<void(const TSampleRange&, TOpStatus&)>& change,
                            NSUndo::TReplacement::TFill fill) {
    const TSampleRange r = InPlaceRange(range);
    if (!HasRange(r))
        return true;
    auto* record = new NSUndo::TReplacement(*this, r, fill);
    // AddUndo owns the record; only a ready one is still there to be told
    // that the change wrote its range.
    const bool ready = record->Outcome == NSUndo::TUndoBase::Ready;
    return ApplyEdit(record, caption, [&](TOpStatus& status) {
        Document.Extend(r);
        change(r, status);
        if (ready)
            record->Written(*this);
    });
}

void TWaveWin::CmUndo() {
    if (History.CanUndo())
        TakeStep(true);
    else if (NSUndo::UndoLevels() == 1 && History.CanRedo())
        TakeStep(false);
}

void TWaveWin::CmRedo() {
    if (History.CanRedo())
        TakeStep(false);
}

void TWaveWin::TakeStep(bool undo) {
    NSUndo::TUndoHistory::TEntry entry = undo ? History.TakeUndo() : History.TakeRedo();
    NSUndo::TUndoBase& record = *entry.Record;
    // Only a record that can give a half-taken step back may stop midway.
    TStatusTarget target = StatusTarget();
    if (!record.CanCancel())
        target.Cancel = nullptr;
    try {
        TOpStatus status(NSText::Tr("Window", "Undo/Redo ..."), target);
        if (undo)
            record.Undo(*this, &status);
        else
            record.Redo(*this, &status);
    } catch (const xmsg& e) {
        if (undo)
            History.PutUndo(std::move(entry));
        else
            History.PutRedo(std::move(entry));
        // A step the user cancelled left everything as it was: no message.
        if (!dynamic_cast<const NSWave::xcancelled*>(&e))
            ShowError(e.why());
        AnnounceChanges();
        return;
    }
    if (undo) {
        SetModified(record.ModifiedBefore);
        record.SelectionAfter = Selection;
        SetSelection(record.SelectionBefore, false);
        History.PutRedo(std::move(entry));
    } else {
        SetModified(true);
        SetSelection(record.SelectionAfter, false);
        History.PutUndo(std::move(entry));
    }
    AnnounceChanges();
    // The channel the selection is on comes into sight (a track brought
    // back by Undo of Delete Track).
    if (Selection.Valid && Selection.Channel != AllChannels)
        ShowChannel(Selection.Channel);
}

void TWaveWin::CmCut() {
    if (!HasRange(Selection) || !FitsOnClipboard(*this, Selection))
        return;
    const TSampleRange range = Selection;
    // The undo record first (its question may cancel the cut, which then
    // leaves the clipboard alone), then the sound on the clipboard, and only
    // then the range goes: a cut that cannot keep the sound changes nothing.
    auto record = std::make_unique<NSUndo::TDeletion>(*this, range);
    if (record->Outcome == NSUndo::TUndoBase::Cancelled)
        return;
    try {
        TOpStatus status(NSText::Tr("Window", "Cutting to Clipboard..."), StatusTarget());
        PutOnClipboard(Document, range, &status);
    } catch (const xmsg& e) {
        ShowError(e.why());
        return;
    }
    ApplyEdit(record.release(), NSText::Tr("Window", "Cutting to Clipboard..."), [&](TOpStatus&) {
        Document.DeleteRange(range, true);
        TSampleRange cursor = Selection;
        cursor.End = cursor.Start;
        SetSelection(cursor, false);
    });
}

void TWaveWin::CmCopy() {
    if (!HasRange(Selection) || !FitsOnClipboard(*this, Selection))
        return;
    try {
        TOpStatus status(NSText::Tr("Window", "Copying to Clipboard..."), StatusTarget());
        PutOnClipboard(Document, Selection, &status);
    } catch (const xmsg& e) {
        ShowError(e.why());
    }
}

void TWaveWin::CmPaste() {
    TTmpFile file;
    {
        TOpStatus status(NSText::Tr("Window", "Pasting from Clipboard..."), StatusTarget());
        file = ReadClipboard();
    }
    if (file.IsEmpty())
        return;

    // A new document that holds nothing yet takes the pasted sound's own
    // rate, sample size and channels instead of converting it to the
    // defaults it was made with: Show Clipboard then shows exactly what the
    // clipboard holds.
    TSampleRange target = Selection;
    const NSWave::TFile& doc = Document;
    const TSoundHeader before{doc.Rate, doc.ChannelCount(), doc.Size, doc.Style};
    TSoundHeader clip;
    const bool adopt = FileName.empty() && !Modified && doc.GetLength() == 0 &&
                       ReadSoundHeader(file.GetFileName(), clip);
    auto take = [&](const TSoundHeader& format) {
        Document.Rate = format.Rate;
        Document.Size = format.Size;
        Document.Style = format.Style;
        Document.SetChannelCount(format.Channels);
    };
    if (adopt) {
        take(clip);
        target = TSampleRange();
    }

    auto* record = new NSUndo::TInsertion(*this, target, file, 0, -1);
    const bool pasted = ApplyEdit(record, NSText::Tr("Window", "Pasting from Clipboard..."),
                                  [&](TOpStatus& status) {
                                      record->Redo(*this, &status);
                                      SetSelection(record->Inserted, false);
                                  });
    if (adopt && !pasted) {
        take(before);
        AnnounceChanges();
    }
}

void TWaveWin::CmDelete() {
    if (!HasRange(Selection))
        return;
    const TSampleRange range = Selection;
    ApplyEdit(new NSUndo::TDeletion(*this, range), std::string(), [&](TOpStatus&) {
        Document.DeleteRange(range, true);
        TSampleRange cursor = Selection;
        cursor.End = cursor.Start;
        SetSelection(cursor, false);
    });
}

void TWaveWin::CmSelectAll() {
    CmStop();
    SetSelection(TSampleRange(0, Document.GetLength(), Selection.Channel), false);
}

void TWaveWin::CmDeselect() {
    CmStop();
    SetSelection(TSampleRange(), false);
}

void TWaveWin::CmSilence() {
    if (!HasRange(Selection))
        return;
    ApplyInPlace(
        Selection, std::string(),
        [&](const TSampleRange& range, TOpStatus&) { Document.Silence(range); },
        NSUndo::TReplacement::TFill::ByChange);
}

void TWaveWin::CmAllChannels() {
    TSampleRange all = Selection;
    all.Channel = AllChannels;
    SetSelection(all, false);
}

} // namespace NSWaveWin
