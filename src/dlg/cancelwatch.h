#pragma once
// Escape during a long operation: while the operation asks whether to stop,
// the window's pending events are handled (so it repaints and shows the
// progress), but user input is held back, so no command starts in the middle
// of another; only Escape is taken, as the request to cancel.

#include <QElapsedTimer>
#include <QObject>
#include <functional>

#include "util/opstatus.h"

class TCancelWatch : public QObject, public TCancelTarget {
public:
    explicit TCancelWatch(QObject* parent = nullptr) : QObject(parent) {}
    // A new operation starts with no request.
    void Reset() {
        Requested = false;
        SinceLook.invalidate();
    }
    bool CancelRequested() override;
    // The user asks to cancel (the Escape key, a Cancel button).
    void Request() { Requested = true; }
    // Handles the pending events now (paints, the progress), input held
    // back as while an operation runs.
    void Look();
    // The mouse still reaches this control while input is held back (the
    // Cancel button).
    void Allow(QObject* control) { Allowed = control; }
    // Told true when an operation first asks whether to stop (it can be
    // cancelled), false when the last running reporter ends.
    std::function<void(bool)> Cancellable;
    // Input this says yes to goes through while input is held back (the
    // view of a window that shows a sound as it loads); Escape still
    // cancels. Null: none.
    std::function<bool(QObject*, QEvent*)> Admits;

    void Begin() override { ++Running; }
    void End() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Requested = false;
    bool Asked = false;
    int Running = 0;
    QObject* Allowed = nullptr;
    QElapsedTimer SinceLook;
};
