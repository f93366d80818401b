#include "util/xmsg.h"
#include "wave/file.h"

namespace NSWave {

void TChannel::ApplyEffect(const TFile&, const char*, const char*, const TSampleRange&, TOpStatus*,
                           int, int) {
    throw xmsg("Effects are not available yet");
}

void TFile::ApplyEffect(const TSampleRange&, const char*, const char*, TOpStatus*, int) {
    throw xmsg("Effects are not available yet");
}

void TFile::SetRate(int newRate, TOpStatus*) {
    if (newRate == Rate || newRate == 0)
        return;
    throw xmsg("Converting the sample rate is not available yet");
}

} // namespace NSWave
