#include "util/xmsg.h"
#include "wave/file.h"

namespace NSWave {

void TFile::Load(const std::string&, TOpStatus*, const char*, int) {
    throw xmsg("Loading sound files is not available yet");
}

} // namespace NSWave
