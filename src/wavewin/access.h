#pragma once
// What the document window's own controls tell assistive technology (a
// screen reader): the channel views their channel, the selection and the
// play position, the time line the span it shows, the recording meter its
// level. Qt asks for these through a factory installed with the first
// control.

#include <QString>

namespace NSWaveWin {

class TChannelWin;

// Installs the factory once; every control of the window calls it.
void InstallAccessibility();
// A channel view's accessible name ("Channel 1 of 2") and text: where the
// selection or the play position is, in seconds.
QString ChannelName(const TChannelWin& view);
QString ChannelText(const TChannelWin& view);
// The position the view's value gives: the play position while the sound
// plays, else the selection's start (0 without one), in seconds.
double ChannelValue(const TChannelWin& view);
// Tells assistive technology that the view's text and value changed, when
// they did since the last call.
void AnnounceChannel(TChannelWin& view);

} // namespace NSWaveWin
