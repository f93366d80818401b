#pragma once
// Progress of a long operation: a caption and a percentage gauge in the
// document window's status bar, and the wait cursor while it runs.
//
// The reporter lives on the stack of the command for exactly the duration of
// the operation; operations receive a pointer to it (or null) and report
// percentages 0..100. The status bar itself belongs to the GUI, which reaches
// this layer only through the small interfaces below.

#include <string>

// The status bar's text gadget.
class TTextTarget {
public:
    virtual ~TTextTarget() = default;
    virtual void SetText(const std::string& text) = 0;
};

// The percentage gauge gadget.
class TGaugeTarget {
public:
    virtual ~TGaugeTarget() = default;
    virtual int Value() const = 0;
    // Stores the value, invalidates the gadget and repaints it at once.
    virtual void SetValue(int percent) = 0;
};

// The window that holds the gadgets.
class TRepaintTarget {
public:
    virtual ~TRepaintTarget() = default;
    virtual void RepaintNow() = 0;
};

// Whether the user asked to cancel the operation (Escape, the progress
// bar's Cancel). Asked now and then by operations that can be cancelled.
class TCancelTarget {
public:
    virtual ~TCancelTarget() = default;
    virtual bool CancelRequested() = 0;
    // A reporter that can be cancelled begins and ends (they nest).
    virtual void Begin() {}
    virtual void End() {}
};

// What a document window hands to a reporter; any pointer may be null.
struct TStatusTarget {
    TTextTarget* TextGadget = nullptr;
    TGaugeTarget* Gauge = nullptr;
    TRepaintTarget* StatusWindow = nullptr;
    TCancelTarget* Cancel = nullptr;
};

// The cursor service: the GUI installs one; without it nothing is shown.
class TCursorService {
public:
    virtual ~TCursorService() = default;
    // Makes the wait cursor current and returns a token for the cursor that
    // was current before.
    virtual int ShowWait() = 0;
    virtual void Restore(int savedCursor) = 0;

    static void Install(TCursorService* service);
    static TCursorService* Current();
};

// Makes the wait cursor current for its lifetime.
class TTempCursor {
public:
    TTempCursor();
    ~TTempCursor();
    TTempCursor(const TTempCursor&) = delete;
    TTempCursor& operator=(const TTempCursor&) = delete;

private:
    int SavedCursor = 0;
    TCursorService* Service;
};

class TOpStatus {
public:
    explicit TOpStatus(const std::string& text = std::string(),
                       const TStatusTarget& target = TStatusTarget());
    // Not virtual, as reporters are never deleted through a base pointer; it
    // runs on every way out of a command, unwinding included.
    ~TOpStatus();
    TOpStatus(const TOpStatus&) = delete;
    TOpStatus& operator=(const TOpStatus&) = delete;

    virtual void SetText(const std::string& text, int percent = -1);
    virtual void SetPercent(int percent);

    // True once the user has asked to cancel; an operation that can stop
    // leaves its work as it was before it began.
    bool Cancelled() const { return Cancel && Cancel->CancelRequested(); }

    const std::string& GetText() const { return Text; }
    int GetPercent() const { return Percent; }

    std::string Text;
    int Percent = -1;

private:
    TTextTarget* TextGadget;
    TGaugeTarget* Gauge;
    TRepaintTarget* StatusWindow;
    TCancelTarget* Cancel;
    TTempCursor WaitCursor;
};

// The base position of an operation that reports through an optional
// reporter: its current percentage, or 0 without one.
inline int StatusBase(const TOpStatus* status) {
    return status ? status->Percent : 0;
}
