#include "util/xmsg.h"
#include "wave/file.h"

namespace NSWave {

void TFile::Save(const std::string&, TOpStatus*, const char*, const TSampleRange&) const {
    throw xmsg("Saving sound files is not available yet");
}

} // namespace NSWave
