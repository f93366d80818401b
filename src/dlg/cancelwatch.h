#pragma once
// Escape during a long operation: while the operation asks whether to stop,
// the window's pending events are handled (so it repaints and shows the
// progress), but user input is held back, so no command starts in the middle
// of another; only Escape is taken, as the request to cancel.

#include <QElapsedTimer>
#include <QObject>

#include "util/opstatus.h"

class TCancelWatch : public QObject, public TCancelTarget {
public:
    explicit TCancelWatch(QObject* parent = nullptr) : QObject(parent) {}
    // A new operation starts with no request.
    void Reset() { Requested = false; }
    bool CancelRequested() override;
    // The user asks to cancel (the Escape key, a Cancel button).
    void Request() { Requested = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Requested = false;
    QElapsedTimer SinceLook;
};
