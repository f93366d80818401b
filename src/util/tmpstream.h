#pragma once
// Short-lived text streams that format and parse texts for controls and
// settings.
//
// A TTmpOStream collects text written with the usual insertion operators;
// when its last copy goes, the finished text goes to its hook (a control, a
// settings value). A TTmpIStream reads its own copy of a text with the usual
// extraction operators. Both are handles to shared bodies. One output body,
// one input body and one hook's worth of memory are kept for the common case
// of one stream at a time, so that case allocates nothing; nested or long
// streams get bodies of their own.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

// Receives the finished text of an output stream.
class TTmpStrHook {
public:
    virtual ~TTmpStrHook() = default;
    virtual void Put(const char* text);

    // Hooks of up to 100 bytes live in one static block while it is free.
    static void* operator new(size_t size);
    static void operator delete(void* p);
    static bool BlockInUse();
};

class TTmpOStream {
public:
    // The stream owns the hook (null: a plain formatter).
    explicit TTmpOStream(TTmpStrHook* hook = nullptr);
    TTmpOStream(const TTmpOStream& other);
    TTmpOStream& operator=(const TTmpOStream& other);
    ~TTmpOStream();

    template <class T> TTmpOStream& operator<<(const T& value) {
        Stream() << value;
        return *this;
    }
    TTmpOStream& operator<<(std::ostream& (*manip)(std::ostream&)) {
        Stream() << manip;
        return *this;
    }
    TTmpOStream& operator<<(std::ios_base& (*manip)(std::ios_base&)) {
        Stream() << manip;
        return *this;
    }

    std::ostream& Stream();
    // The finished text; the first call fixes it (write nothing after).
    const char* Text();
    // Whether this stream uses the program's shared body.
    bool IsShared() const;

    struct TImp;

private:
    void Release();
    TImp* Imp;
};

class TTmpIStream {
public:
    // A stream over a copy of `text` (null reads as "").
    explicit TTmpIStream(const char* text = nullptr);
    explicit TTmpIStream(const std::string& text) : TTmpIStream(text.c_str()) {}
    // A stream over a buffer of n + 1 characters that the caller fills (text
    // and terminator) before reading.
    static TTmpIStream ForFilling(size_t n, char** buffer);
    TTmpIStream(const TTmpIStream& other);
    TTmpIStream& operator=(const TTmpIStream& other);
    ~TTmpIStream();

    template <class T> TTmpIStream& operator>>(T& value) {
        Stream() >> value;
        return *this;
    }
    TTmpIStream& operator>>(std::istream& (*manip)(std::istream&)) {
        Stream() >> manip;
        return *this;
    }
    TTmpIStream& operator>>(std::ios_base& (*manip)(std::ios_base&)) {
        Stream() >> manip;
        return *this;
    }
    explicit operator bool() const;

    std::istream& Stream();
    // Reads a number; 0 when nothing can be read.
    int32_t GetLong();
    float GetFloat();
    // Skips leading white space and cuts trailing white space off the text.
    TTmpIStream& TrimBlanks();
    // The text still to be read as it stands in the buffer.
    const char* Buffer() const;
    bool IsShared() const;

    struct TImp;

private:
    struct TFill {};
    TTmpIStream(TFill, size_t n);
    void Release();
    TImp* Imp;
};
