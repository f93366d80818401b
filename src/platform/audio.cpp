#include "platform/audio.h"

#include <cstdlib>
#include <cstring>

#include "platform/audio_virtual.h"

namespace NSAudio {

namespace {
TAudioBackend* Installed = nullptr;
}

TAudioBackend* TAudioBackend::Install(TAudioBackend* backend) {
    TAudioBackend* before = Installed;
    Installed = backend;
    return before;
}

TAudioBackend& TAudioBackend::Current() {
    if (Installed)
        return *Installed;
    const char* choice = std::getenv("BRIMVALE_AUDIO");
    if (choice && std::strcmp(choice, "virtual") == 0)
        return TVirtualCard::Instance();
    return PortAudioBackend();
}

} // namespace NSAudio
