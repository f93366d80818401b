#include "wave/opuswriter.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "util/xmsg.h"

#ifdef BRIMVALE_OPUS_SAVE
#include <opusenc.h>
#endif

namespace NSWave {

#ifdef BRIMVALE_OPUS_SAVE

bool CanSaveOpus() {
    return true;
}

namespace {

// The document's channel (in the order of WAV files: front left, right,
// centre, low frequency, back, side) that each channel of the stream takes,
// in the order the surround mapping of Opus files has (that of Vorbis).
const int* SurroundOrder(int channels) {
    static const int orders[9][8] = {{},
                                     {0},
                                     {0, 1},
                                     {0, 2, 1},
                                     {0, 1, 2, 3},
                                     {0, 2, 1, 3, 4},
                                     {0, 2, 1, 4, 5, 3},
                                     {0, 2, 1, 5, 6, 4, 3},
                                     {0, 2, 1, 6, 7, 4, 5, 3}};
    return channels >= 1 && channels <= 8 ? orders[channels] : nullptr;
}

[[noreturn]] void Fail(const std::string& why) {
    throw xmsg("Could not write file: " + why);
}

} // namespace

struct TOpusWriter::TState {
    FILE* File = nullptr;
    int Channels = 0;
    bool Narrow = false;
    int WriteError = 0; // errno of the first write that failed
    bool WriteFailed = false;
    OggOpusComments* Comments = nullptr;
    OggOpusEnc* Encoder = nullptr;
    std::vector<int> Order; // document channel of each channel of the stream
    std::vector<float> Floats;
    std::vector<opus_int16> Shorts;

    ~TState() {
        if (Encoder)
            ope_encoder_destroy(Encoder);
        if (Comments)
            ope_comments_destroy(Comments);
    }

    static int WritePage(void* user, const unsigned char* data, opus_int32 len) {
        auto* state = static_cast<TState*>(user);
        if (state->WriteFailed)
            return 1;
        if (std::fwrite(data, 1, size_t(len), state->File) != size_t(len)) {
            state->WriteFailed = true;
            state->WriteError = errno;
            return 1;
        }
        return 0;
    }
    // The file is the caller's to close.
    static int Close(void*) { return 0; }

    // Throws for a failed write first (its cause is the more telling), then
    // for an encoder error.
    void Check(int rc) const {
        if (WriteFailed)
            Fail(WriteError ? std::strerror(WriteError) : ope_strerror(OPE_WRITE_FAIL));
        if (rc != OPE_OK)
            Fail(ope_strerror(rc));
    }
};

TOpusWriter::TOpusWriter(FILE* file, int rate, int channels, int bitrate, bool narrow,
                         const std::string& comment)
    : State(std::make_unique<TState>()) {
    if (channels < 1 || channels > 255)
        throw xmsg("Opus files hold at most 255 channels");
    // The encoder's resampler stops the program on rates below about 100 Hz
    // and needs ever more memory far above the usual ones.
    if (rate < MinOpusRate || rate > MaxOpusRate)
        throw xmsg("This file type cannot hold a sample rate of " + std::to_string(rate) +
                   " Hz (Opus takes " + std::to_string(MinOpusRate) + " to " +
                   std::to_string(MaxOpusRate) + " Hz). Change the rate with Sound Format first.");
    TState& s = *State;
    s.File = file;
    s.Channels = channels;
    s.Narrow = narrow;
    s.Order.resize(size_t(channels));
    const int* order = SurroundOrder(channels);
    for (int c = 0; c < channels; ++c)
        s.Order[size_t(c)] = order ? order[c] : c;

    s.Comments = ope_comments_create();
    if (!s.Comments)
        Fail(ope_strerror(OPE_ALLOC_FAIL));
    if (!comment.empty()) {
        const int rc = ope_comments_add(s.Comments, "COMMENT", comment.c_str());
        if (rc != OPE_OK)
            Fail(ope_strerror(rc));
    }
    // Mono and stereo need no mapping; up to 8 channels are surround, more
    // are independent channels.
    const int family = channels <= 2 ? 0 : channels <= 8 ? 1 : 255;
    const OpusEncCallbacks callbacks = {&TState::WritePage, &TState::Close};
    int error = OPE_OK;
    s.Encoder =
        ope_encoder_create_callbacks(&callbacks, &s, s.Comments, rate, channels, family, &error);
    if (!s.Encoder)
        Fail(ope_strerror(error == OPE_OK ? OPE_INTERNAL_ERROR : error));
    const int pairs = (channels + 1) / 2;
    s.Check(ope_encoder_ctl(s.Encoder, OPUS_SET_BITRATE(opus_int32(bitrate) * 1000 * pairs)));
}

TOpusWriter::~TOpusWriter() = default;

void TOpusWriter::Write(const int32_t* samples, size_t frames) {
    TState& s = *State;
    const size_t channels = size_t(s.Channels);
    const size_t n = frames * channels;
    int rc;
    if (s.Narrow) {
        s.Shorts.resize(n);
        for (size_t f = 0; f < frames; ++f)
            for (size_t c = 0; c < channels; ++c)
                s.Shorts[f * channels + c] =
                    opus_int16(samples[f * channels + size_t(s.Order[c])] >> 16);
        rc = ope_encoder_write(s.Encoder, s.Shorts.data(), int(frames));
    } else {
        // Full scale is 2^31.
        constexpr float scale = 1.0f / 2147483648.0f;
        s.Floats.resize(n);
        for (size_t f = 0; f < frames; ++f)
            for (size_t c = 0; c < channels; ++c)
                s.Floats[f * channels + c] =
                    float(samples[f * channels + size_t(s.Order[c])]) * scale;
        rc = ope_encoder_write_float(s.Encoder, s.Floats.data(), int(frames));
    }
    s.Check(rc);
}

void TOpusWriter::Finish() {
    State->Check(ope_encoder_drain(State->Encoder));
}

#else

bool CanSaveOpus() {
    return false;
}

struct TOpusWriter::TState {};

TOpusWriter::TOpusWriter(FILE*, int, int, int, bool, const std::string&) {
    throw xmsg("Unknown file type");
}

TOpusWriter::~TOpusWriter() = default;

void TOpusWriter::Write(const int32_t*, size_t) {}

void TOpusWriter::Finish() {}

#endif

} // namespace NSWave
