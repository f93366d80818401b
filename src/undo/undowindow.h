#pragma once
// What an undo record needs from the document window it works for: the
// document, and an owner for the question it may ask. The progress reporter
// is handed to Undo and Redo with each call. The document window implements
// this; the undo layer knows nothing more of the GUI.

#include <cstdint>
#include <string>

#include "platform/msgbox.h"

namespace NSWave {
class TFile;
}

namespace NSUndo {

class TUndoWindow {
public:
    virtual ~TUndoWindow() = default;

    virtual NSWave::TFile& GetDocument() = 0;

    // Shows a message box owned by the window and returns the answer code.
    // Without an owner of its own the box goes through the message-box
    // service as it is.
    virtual int MessageBox(const std::string& text, const std::string& caption, TMsgButtons buttons,
                           TMsgIcon icon) {
        return ShowMessageBox(text, caption, buttons, icon);
    }
    // The bytes of undo data the window's history would keep beside a new
    // record; the undo-size question counts them with the record's own.
    virtual uint64_t KeptUndoBytes() { return 0; }
    // Lets go of the records a new one will push out of the history (the
    // redo records, and the oldest undo records at the level limit) before
    // the new one allocates its samples, so their memory serves it.
    virtual void DropPushedOut() {}
};

// A window that is nothing but its document: for editing a document with
// undo where no window is shown.
class TBareWindow : public TUndoWindow {
public:
    explicit TBareWindow(NSWave::TFile& document) : Document(document) {}
    NSWave::TFile& GetDocument() override { return Document; }

private:
    NSWave::TFile& Document;
};

} // namespace NSUndo
