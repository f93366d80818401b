#include "wavewin/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

const char* const WavTypes[] = {"audio/x-wav", "audio/wav", "audio/vnd.wave"};

// Asking another program what it offers takes a round trip: ask once per
// change of the clipboard, not at every change of a window's state.
bool Known = false;
bool HasSound = false;

void WatchClipboard() {
    static const bool watching = [] {
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [] {
            Known = false;
            TWaveWin::BroadcastState();
        });
        return true;
    }();
    (void)watching;
}

bool LookAtClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    for (const char* type : WavTypes)
        if (data->hasFormat(QLatin1String(type)))
            return true;
    return false;
}

} // namespace

bool ClipboardHasSound() {
    WatchClipboard();
    if (!Known) {
        HasSound = LookAtClipboard();
        Known = true;
    }
    return HasSound;
}

} // namespace NSWaveWin
