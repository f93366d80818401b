// Library effects over channel data, and sample-rate conversion.
//
// Each channel runs through the effect as a one-channel signal. The output
// goes to a temporary file block by block, so memory stays bounded whatever
// the effect produces, and is read back over the range in one read.

#include <sox.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/tmpfile.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/effectmap.h"
#include "wave/file.h"
#include "wave/samplemem.h"
#include "wave/soxlib.h"

namespace NSWave {

namespace {

// Input handed to one flow call, and the output block.
constexpr size_t BlockSamples = 65536;

struct TEffectDeleter {
    // Deleting also stops every flow the effect has started.
    void operator()(sox_effect_t* effect) const { sox_delete_effect(effect); }
};
using TEffectPtr = std::unique_ptr<sox_effect_t, TEffectDeleter>;

struct TFileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using TFilePtr = std::unique_ptr<FILE, TFileCloser>;

unsigned Precision(int sizeCode) {
    switch (sizeCode) {
    case 1:
        return 8;
    case 2:
        return 16;
    default:
        return 32;
    }
}

int NothingToStop(sox_effect_t*) {
    return SOX_SUCCESS;
}

// Throws the library's failure text when the last call reported one.
void ThrowOnFailure(bool failed, const TSoxMessages& messages, const std::string& fallback) {
    if (failed || !messages.Empty())
        messages.Throw(fallback);
}

// A library effect set up for one mono signal of `length` samples.
TEffectPtr CreateEffect(const TEffectCall& call, const TFile& document, int outRate,
                        uint64_t length, const sox_encodinginfo_t& encoding,
                        const TSoxMessages& messages, sox_effect_handler_stop& stop) {
    const sox_effect_handler_t* handler = sox_find_effect(call.Name.c_str());
    if (!handler)
        throw xmsg(NSText::Tr("Effect", "Effect name not found"));
    TEffectPtr effect(sox_create_effect(handler));
    if (!effect)
        throw xmsg(NSText::Tr("Effect", "Effect name not found"));
    // Deleting frees the private data of each flow and stops each flow; the
    // one flow has nothing to stop until it has started.
    effect->flows = 1;
    stop = effect->handler.stop;
    effect->handler.stop = NothingToStop;

    sox_signalinfo_t in{};
    in.rate = document.Rate;
    in.channels = 1;
    in.precision = Precision(document.Size);
    // Some effects (tremolo) stop producing once they have seen this many.
    in.length = length;
    sox_signalinfo_t out = in;
    out.rate = outRate;
    out.length = SOX_UNKNOWN_LEN;
    effect->in_signal = in;
    effect->out_signal = out;
    effect->in_encoding = &encoding;
    effect->out_encoding = &encoding;

    std::vector<char*> argv;
    for (const std::string& word : call.Words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    int rc = sox_effect_options(effect.get(), int(call.Words.size()), argv.data());
    ThrowOnFailure(
        rc != SOX_SUCCESS, messages,
        NSText::Fill(NSText::Tr("Effect", "Wrong arguments for the effect %1"), {call.Name}));
    return effect;
}

// The staging file of one effect run: output appended block by block, at
// most `Room` samples kept, since output beyond the range is cut anyway.
class TStaging {
public:
    explicit TStaging(uint32_t room)
        : Room(room), File(std::fopen(Tmp.GetFileName().c_str(), "wb")) {
        if (!File)
            throw xmsg(NSText::Tr("Effect", "Tmpfile write error"));
    }

    bool Full() const { return Kept == Room; }

    void Append(const sox_sample_t* samples, size_t n) {
        n = std::min<size_t>(n, Room - Kept);
        if (n && std::fwrite(samples, sizeof *samples, n, File.get()) != n)
            throw xmsg(NSText::Tr("Effect", "Tmpfile write error"));
        Kept += uint32_t(n);
    }

    // Closes the file and reads what it kept into `to`; returns the count.
    uint32_t ReadBack(int32_t* to) {
        if (std::fclose(File.release()) != 0)
            throw xmsg(NSText::Tr("Effect", "Tmpfile write error"));
        TFilePtr in(std::fopen(Tmp.GetFileName().c_str(), "rb"));
        if (!in)
            throw xmsg(NSText::Tr("Effect", "Tmpfile read error"));
        // A conversion to a higher rate writes fresh memory here.
        FirstWrite(to, Kept, [&] {
            if (std::fread(to, sizeof *to, Kept, in.get()) != Kept)
                throw xmsg(NSText::Tr("Effect", "Tmpfile read error"));
        });
        return Kept;
    }

private:
    TTmpFile Tmp{"tmp", true};
    uint32_t Room;
    uint32_t Kept = 0;
    TFilePtr File;
};

// Effects hand out their tails over several drain calls.
void DrainTail(sox_effect_t* effect, TStaging& staging, std::vector<sox_sample_t>& block,
               TSoxMessages& messages, const std::string& name) {
    while (!staging.Full()) {
        size_t osamp = BlockSamples;
        const int rc = effect->handler.drain(effect, block.data(), &osamp);
        if (!messages.Empty())
            messages.Throw(NSText::Fill(NSText::Tr("Effect", "The effect %1 failed"), {name}));
        staging.Append(block.data(), osamp);
        if (rc != SOX_SUCCESS || osamp == 0)
            break;
    }
}

} // namespace

void TChannel::ApplyEffect(const TFile& document, const char* name, const char* args,
                           const TSampleRange& range, TOpStatus* status, int span, int outRate) {
    if (outRate == 0)
        outRate = document.Rate;
    if (!range.Valid || range.Start > Count)
        return;
    const uint32_t start = range.Start;
    const uint32_t end = std::min(range.End, Count);
    if (start >= end)
        return;
    // The library's effects divide by the rates.
    if (document.Rate <= 0 || outRate <= 0)
        throw xmsg(NSText::Tr("Effect", "The sample rate of the sound is not known"));
    const uint32_t len = end - start;
    const int base = StatusBase(status);
    const bool sameRate = outRate == document.Rate;

    TSoxMessages messages;
    TEffectCall call = TranslateEffect(name ? name : "", SplitEffectWords(args), outRate);
    sox_encodinginfo_t encoding;
    sox_init_encodinginfo(&encoding);
    encoding.encoding = SOX_ENCODING_SIGN2;
    encoding.bits_per_sample = Precision(document.Size);
    sox_effect_handler_stop stop = nullptr;
    TEffectPtr effect = CreateEffect(call, document, outRate, len, encoding, messages, stop);

    TStaging staging(len);
    std::vector<sox_sample_t> block(BlockSamples);
    // A start that fails may have set up part of its state.
    effect->handler.stop = stop;
    int rc = effect->handler.start(effect.get());
    if (rc == SOX_EFF_NULL && messages.Empty()) {
        // The effect would pass its input through unchanged; it has set up
        // nothing to stop.
        effect->handler.stop = NothingToStop;
        // A new array left for the effect to fill gets the range as it was.
        if (Prior && start < PriorCount)
            std::copy(Prior + start, Prior + std::min(end, PriorCount),
                      MutableSamples(start, std::min(end, PriorCount)));
        if (status)
            status->SetPercent(base + span);
        return;
    }
    ThrowOnFailure(
        rc != SOX_SUCCESS, messages,
        NSText::Fill(NSText::Tr("Effect", "The effect %1 could not start"), {call.Name}));
    if (effect->out_signal.channels != 1)
        throw xmsg(NSText::Fill(NSText::Tr("Effect", "The effect %1 does not give one channel"),
                                {call.Name}));

    uint32_t pos = start;
    while (pos < end) {
        // Below PriorCount the input is the prior array's; past it (room the
        // change made) the channel's own.
        const bool prior = Prior && pos < PriorCount;
        size_t isamp =
            std::min<size_t>((prior ? std::min(end, PriorCount) : end) - pos, BlockSamples);
        size_t osamp = isamp;
        rc = effect->handler.flow(effect.get(), (prior ? Prior : Samples) + pos, block.data(),
                                  &isamp, &osamp);
        if (!messages.Empty()) {
            // A converter that fails midway keeps the output it gave so far.
            if (sameRate)
                messages.Throw(
                    NSText::Fill(NSText::Tr("Effect", "The effect %1 failed"), {call.Name}));
            messages.Clear();
            break;
        }
        staging.Append(block.data(), osamp);
        pos += uint32_t(std::min<size_t>(isamp, end - pos));
        if (status)
            status->SetPercent(base + int(int64_t(span) * (pos - start) / len));
        // Nothing of this channel is written back yet; the undo record
        // takes back the channels done before it.
        ThrowIfCancelled(status);
        // Stop when the effect says it is done, or when neither side moves.
        if (rc != SOX_SUCCESS || (isamp == 0 && osamp == 0))
            break;
    }

    DrainTail(effect.get(), staging, block, messages, call.Name);
    effect.reset();
    ThrowOnFailure(false, messages, "");

    // At most the range comes back; a shorter output closes up behind it.
    const uint32_t total = staging.ReadBack(MutableSamples(start, end));
    if (total < len)
        DeleteRange(TSampleRange(start + total, end), true);
}

void TFile::ApplyEffect(const TSampleRange& range, const char* name, const char* args,
                        TOpStatus* status, int outRate) {
    const TSampleRange r = ClipOrWhole(range);
    if (!r.Valid)
        return;
    if (r.Channel != AllChannels) {
        if (HasChannel(r.Channel))
            Channel(r.Channel).ApplyEffect(*this, name, args, r, status, 100, outRate);
        return;
    }
    if (Channels.IsEmpty())
        return;
    const int span = 100 / ChannelCount();
    for (TChannel* channel : Channels)
        channel->ApplyEffect(*this, name, args, r, status, span, outRate);
}

void TFile::SetRate(int newRate, TOpStatus* status) {
    if (newRate <= 0 || Rate <= 0 || newRate == Rate)
        return;
    auto wanted = [&](const TChannel& channel) {
        return uint64_t((long double)channel.Count * newRate / Rate);
    };
    // Room for the converter's delay: the output never makes a channel
    // longer than the range it replaces.
    auto room = [&](const TChannel& channel) {
        return std::max<uint64_t>(channel.Count, wanted(channel)) + 1000;
    };
    // Refuse a conversion that cannot fit before any channel changes.
    for (TChannel* channel : Channels)
        if (room(*channel) > MaxChannelLength)
            ThrowTooLong();

    // Every channel is converted into a copy of its own first and the copies
    // go in place only when all are done: a failure or a Cancel midway
    // leaves the sound as it was, never channels at two rates.
    const int span = Channels.IsEmpty() ? 100 : 100 / ChannelCount();
    std::vector<std::unique_ptr<TChannel>> staged;
    staged.reserve(size_t(ChannelCount()));
    for (const TChannel* channel : Channels) {
        const uint64_t length = wanted(*channel);
        auto& copy = staged.emplace_back(std::make_unique<TChannel>());
        copy->SetSize(uint32_t(room(*channel)));
        if (channel->Count)
            std::copy_n(channel->Samples, channel->Count, copy->MutableSamples(0));
        copy->ApplyEffect(*this, "resample", "", TSampleRange(0, copy->Count), status, span,
                          newRate);
        if (length < copy->Count)
            copy->SetSize(uint32_t(length));
    }
    for (int c = 0; c < ChannelCount(); ++c)
        Channel(c).SwapSamples(*staged[size_t(c)]);
    Rate = newRate;
}

} // namespace NSWave
