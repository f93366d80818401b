#include "util/tmpstream.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <sstream>

// Hooks.

namespace {
alignas(std::max_align_t) unsigned char HookBlock[100];
bool HookBlockUsed = false;
} // namespace

void TTmpStrHook::Put(const char*) {}

void* TTmpStrHook::operator new(size_t size) {
    if (!HookBlockUsed && size <= sizeof HookBlock) {
        HookBlockUsed = true;
        return HookBlock;
    }
    return ::operator new(size);
}

void TTmpStrHook::operator delete(void* p) {
    if (p == HookBlock)
        HookBlockUsed = false;
    else
        ::operator delete(p);
}

bool TTmpStrHook::BlockInUse() {
    return HookBlockUsed;
}

// Output streams.

struct TTmpOStream::TImp {
    std::ostringstream S;
    int RefCount = 1;
    std::string Text;
    bool Fixed = false;
    TTmpStrHook* Hook = nullptr;
    bool Shared = false;
    // The formatting state of the shared body's first hand-out, restored at
    // every later one.
    bool FormatRecorded = false;
    std::ios_base::fmtflags Flags{};
    std::streamsize Precision = 0, Width = 0;
    char Fill = ' ';
};

namespace {

// The shared bodies exist between the program's static start-up and exit;
// streams made outside that time always get bodies of their own. The flags
// are plain booleans so that they read false before construction and after
// destruction.
bool SharedOAlive = false, SharedOInUse = false;
bool SharedIAlive = false, SharedIInUse = false;

struct TSharedO {
    TTmpOStream::TImp Body;
    TSharedO() {
        Body.Shared = true;
        SharedOAlive = true;
    }
    ~TSharedO() { SharedOAlive = false; }
} SharedO;

} // namespace

TTmpOStream::TTmpOStream(TTmpStrHook* hook) {
    if (SharedOAlive && !SharedOInUse) {
        SharedOInUse = true;
        Imp = &SharedO.Body;
        std::ostringstream& s = Imp->S;
        if (!Imp->FormatRecorded) {
            Imp->FormatRecorded = true;
            Imp->Flags = s.flags();
            Imp->Precision = s.precision();
            Imp->Width = s.width();
            Imp->Fill = s.fill();
        }
        s.flags(Imp->Flags);
        s.precision(Imp->Precision);
        s.width(Imp->Width);
        s.fill(Imp->Fill);
        s.clear();
        s.str(std::string());
        Imp->Text.clear();
        Imp->Fixed = false;
        Imp->RefCount = 1;
    } else {
        Imp = new TImp;
    }
    Imp->Hook = hook;
}

TTmpOStream::TTmpOStream(const TTmpOStream& other) : Imp(other.Imp) {
    ++Imp->RefCount;
}

TTmpOStream& TTmpOStream::operator=(const TTmpOStream& other) {
    ++other.Imp->RefCount;
    Release();
    Imp = other.Imp;
    return *this;
}

TTmpOStream::~TTmpOStream() {
    Release();
}

void TTmpOStream::Release() {
    if (--Imp->RefCount > 0)
        return;
    const char* text = Text();
    if (Imp->Hook) {
        TTmpStrHook* hook = Imp->Hook;
        Imp->Hook = nullptr;
        hook->Put(text);
        delete hook;
    }
    if (Imp->Shared)
        SharedOInUse = false;
    else
        delete Imp;
}

std::ostream& TTmpOStream::Stream() {
    return Imp->S;
}

const char* TTmpOStream::Text() {
    if (!Imp->Fixed) {
        Imp->Text = Imp->S.str();
        Imp->Fixed = true;
    }
    return Imp->Text.c_str();
}

bool TTmpOStream::IsShared() const {
    return Imp->Shared;
}

// Input streams.

namespace {

// Reads a terminated text in a buffer; the extent is taken at the first read,
// so a buffer handed out for filling can be written after the stream exists.
class TCStrBuf : public std::streambuf {
public:
    void Reset(char* base) {
        Base = base;
        Started = false;
        setg(nullptr, nullptr, nullptr);
    }
    char* Base = nullptr;
    bool Started = false;

    // After the text was cut at `end`.
    void CutAt(char* end) {
        if (Started)
            setg(eback(), std::min(gptr(), end), end);
    }
    const char* Position() const { return Started ? gptr() : Base; }

protected:
    int_type underflow() override {
        if (!Started && Base) {
            Started = true;
            setg(Base, Base, Base + std::strlen(Base));
        }
        return gptr() && gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
    }
};

constexpr size_t SharedChars = 100;

} // namespace

struct TTmpIStream::TImp {
    TImp() : S(&Buf) {}
    TCStrBuf Buf;
    std::istream S;
    int RefCount = 1;
    char* Buffer = nullptr;
    bool Shared = false;
};

namespace {

struct TSharedI {
    TTmpIStream::TImp Body;
    char Buffer[SharedChars + 1];
    TSharedI() {
        Body.Shared = true;
        SharedIAlive = true;
    }
    ~TSharedI() { SharedIAlive = false; }
} SharedI;

// A body whose buffer holds at least `chars` characters, zero-filled.
TTmpIStream::TImp* TakeInputBody(size_t chars) {
    TTmpIStream::TImp* imp;
    if (SharedIAlive && !SharedIInUse && chars <= SharedChars) {
        SharedIInUse = true;
        imp = &SharedI.Body;
        std::memset(SharedI.Buffer, 0, sizeof SharedI.Buffer);
        imp->Buffer = SharedI.Buffer;
        imp->RefCount = 1;
        imp->S.clear();
        imp->S.flags(std::ios_base::skipws | std::ios_base::dec);
    } else {
        imp = new TTmpIStream::TImp;
        imp->Buffer = new char[chars + 1]();
    }
    imp->Buf.Reset(imp->Buffer);
    return imp;
}

} // namespace

TTmpIStream::TTmpIStream(const char* text) {
    if (!text)
        text = "";
    size_t n = std::strlen(text);
    Imp = TakeInputBody(n + 1);
    std::memcpy(Imp->Buffer, text, n);
}

TTmpIStream::TTmpIStream(TFill, size_t n) : Imp(TakeInputBody(n + 1)) {}

TTmpIStream TTmpIStream::ForFilling(size_t n, char** buffer) {
    TTmpIStream stream(TFill{}, n);
    *buffer = stream.Imp->Buffer;
    return stream;
}

TTmpIStream::TTmpIStream(const TTmpIStream& other) : Imp(other.Imp) {
    ++Imp->RefCount;
}

TTmpIStream& TTmpIStream::operator=(const TTmpIStream& other) {
    ++other.Imp->RefCount;
    Release();
    Imp = other.Imp;
    return *this;
}

TTmpIStream::~TTmpIStream() {
    Release();
}

void TTmpIStream::Release() {
    if (--Imp->RefCount > 0)
        return;
    if (Imp->Shared) {
        Imp->Buf.Reset(nullptr);
        SharedIInUse = false;
    } else {
        delete[] Imp->Buffer;
        delete Imp;
    }
}

TTmpIStream::operator bool() const {
    return !Imp->S.fail();
}

std::istream& TTmpIStream::Stream() {
    return Imp->S;
}

int32_t TTmpIStream::GetLong() {
    int32_t value = 0;
    return Imp->S >> value ? value : 0;
}

float TTmpIStream::GetFloat() {
    float value = 0;
    return Imp->S >> value ? value : 0;
}

TTmpIStream& TTmpIStream::TrimBlanks() {
    char* text = Imp->Buffer;
    char* end = text + std::strlen(text);
    while (end > text && std::isspace(static_cast<unsigned char>(end[-1])))
        --end;
    *end = '\0';
    Imp->Buf.CutAt(end);
    Imp->S.setf(std::ios_base::skipws);
    Imp->S >> std::ws;
    // Reaching the end of an empty text is not a failure of the trim.
    Imp->S.clear(Imp->S.rdstate() & ~std::ios_base::eofbit & ~std::ios_base::failbit);
    return *this;
}

const char* TTmpIStream::Buffer() const {
    return Imp->Buf.Position();
}

bool TTmpIStream::IsShared() const {
    return Imp->Shared;
}
