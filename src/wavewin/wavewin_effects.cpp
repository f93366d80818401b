// The effects, tracks, format and print commands.

#include "wavewin/wavewin.h"

namespace NSWaveWin {

void TWaveWin::CmReverse() {}
void TWaveWin::CmFadeIn() {}
void TWaveWin::CmFadeOut() {}
void TWaveWin::CmAmplitude() {}
void TWaveWin::CmEcho() {}
void TWaveWin::CmVibro() {}
void TWaveWin::CmPitch() {}
void TWaveWin::CmOtherEffect() {}
void TWaveWin::CmSoundFormat() {}
void TWaveWin::CmAddTrack() {}
void TWaveWin::CmDeleteTrack() {}
void TWaveWin::CmMergeTracks() {}

} // namespace NSWaveWin
