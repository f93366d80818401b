#pragma once
// Ogg Opus files, written through the Opus encoder library where the
// program is built with it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace NSWave {

// Whether this build can save Opus files.
bool CanSaveOpus();

// The sample rates an Opus file can be saved at.
constexpr int MinOpusRate = 100;
constexpr int MaxOpusRate = 768000;

// One Opus stream written to an open file. The encoder takes any rate (it
// resamples to 48 kHz and records the original rate in the header) and up to
// 255 channels. Every failure throws xmsg "Could not write file: <why>".
class TOpusWriter {
public:
    // `bitrate` in kbit/s for one or two channels; more channels get that
    // much per pair. `narrow` documents (8 or 16 bits) go to the encoder as
    // 16-bit samples, the others as floats, so nothing of them is lost on
    // the way in.
    TOpusWriter(FILE* file, int rate, int channels, int bitrate, bool narrow,
                const std::string& comment);
    ~TOpusWriter();
    TOpusWriter(const TOpusWriter&) = delete;
    TOpusWriter& operator=(const TOpusWriter&) = delete;

    // `frames` interleaved frames of full-scale 32-bit samples, in the
    // document's channel order.
    void Write(const int32_t* samples, size_t frames);
    // Encodes what the encoder still holds and writes the last page.
    void Finish();

private:
    struct TState;
    std::unique_ptr<TState> State;
};

} // namespace NSWave
