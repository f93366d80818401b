#pragma once
// The sound library's process-wide set-up and its failure messages.
//
// The library reports failures through a message callback and then returns
// an error code. The callback only collects the text (an exception must
// never cross the library's C frames); after the call returns, the caller
// throws it as an xmsg. Warnings and reports are dropped.

#include <string>

namespace NSWave {

// Initialises the library once and installs the message callback.
void SoxInit();

// Collects the failure messages of the library calls made during its
// lifetime; nests.
class TSoxMessages {
public:
    TSoxMessages();
    ~TSoxMessages();
    TSoxMessages(const TSoxMessages&) = delete;
    TSoxMessages& operator=(const TSoxMessages&) = delete;

    // The failure texts so far, joined by "\n"; empty when there were none.
    const std::string& Text() const { return Collected; }
    bool Empty() const { return Collected.empty(); }
    void Clear() { Collected.clear(); }
    // Throws an xmsg with the collected text, or with `fallback` when the
    // library said nothing.
    [[noreturn]] void Throw(const std::string& fallback) const;

private:
    friend void SoxMessage(unsigned level, const char* fmt, void* args);
    std::string Collected;
    TSoxMessages* Outer;
};

} // namespace NSWave
