#include "wave/soxlib.h"

#include <sox.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "util/xmsg.h"

namespace NSWave {

namespace {
TSoxMessages* Collector = nullptr;
}

void SoxMessage(unsigned level, const char* fmt, void* args) {
    if (level != 1 || !Collector)
        return;
    char text[1024];
    std::vsnprintf(text, sizeof text, fmt, *static_cast<va_list*>(args));
    if (!Collector->Collected.empty())
        Collector->Collected += '\n';
    Collector->Collected += text;
}

namespace {

void OnSoxMessage(unsigned level, const char*, const char* fmt, va_list ap) {
    va_list copy;
    va_copy(copy, ap);
    SoxMessage(level, fmt, &copy);
    va_end(copy);
}

} // namespace

void SoxInit() {
    static std::once_flag once;
    std::call_once(once, [] {
        sox_globals.output_message_handler = OnSoxMessage;
        sox_globals.verbosity = 1;
        sox_init();
    });
}

TSoxMessages::TSoxMessages() : Outer(Collector) {
    SoxInit();
    Collector = this;
}

TSoxMessages::~TSoxMessages() {
    Collector = Outer;
}

void TSoxMessages::Throw(const std::string& fallback) const {
    throw xmsg(Collected.empty() ? fallback : Collected);
}

} // namespace NSWave
