#include "wave/file.h"

#include <algorithm>

#include "util/opstatus.h"
#include "util/pointer.h"
#include "util/xmsg.h"

namespace NSWave {

TFile::TFile(int rate, int style, int size, int channels) : Rate(rate), Style(style), Size(size) {
    SetChannelCount(channels);
}

TFile::TFile(const TFile& source, const TSampleRange& range)
    : Comment(source.Comment), LoadedType(source.LoadedType), Rate(source.Rate),
      Style(source.Style), Size(source.Size) {
    if (range.Channel == AllChannels) {
        for (TChannel* channel : source.Channels)
            Channels.Add(new TChannel(*channel, range));
    } else if (source.HasChannel(range.Channel)) {
        Channels.Add(new TChannel(source.Channel(range.Channel), range));
    }
}

TFile::~TFile() = default;

TSampleRange TFile::ClipToDocument(const TSampleRange& range) const {
    TSampleRange r = range;
    if (!r.Valid)
        return r;
    r.End = std::min(r.End, GetLength());
    r.Valid = r.Start <= r.End;
    return r;
}

TSampleRange TFile::ClipOrWhole(const TSampleRange& range) const {
    if (!range.Valid)
        return ClipToDocument(TSampleRange(0, GetLength(), AllChannels));
    if (range.Start >= range.End)
        return TSampleRange();
    TSampleRange r = ClipToDocument(range);
    return r.Valid && r.Start < r.End ? r : TSampleRange();
}

uint32_t TFile::GetLength() const {
    uint32_t length = 0;
    for (TChannel* channel : Channels)
        length = std::max(length, channel->Count);
    return length;
}

uint64_t TFile::CountSamples(const TSampleRange& range) const {
    if (!range.Valid || range.Start >= range.End)
        return 0;
    if (range.Channel == AllChannels) {
        uint64_t n = 0;
        for (TChannel* channel : Channels)
            n += channel->CountInRange(range);
        return n;
    }
    return HasChannel(range.Channel) ? Channel(range.Channel).CountInRange(range) : 0;
}

int32_t* TFile::CopyOut(const TSampleRange& range, int32_t* buffer) const {
    if (range.Channel == AllChannels) {
        for (TChannel* channel : Channels)
            buffer = channel->CopyOut(range, buffer);
        return buffer;
    }
    return HasChannel(range.Channel) ? Channel(range.Channel).CopyOut(range, buffer) : buffer;
}

const int32_t* TFile::CopyIn(const TSampleRange& range, const int32_t* buffer) {
    if (range.Channel == AllChannels) {
        for (TChannel* channel : Channels)
            buffer = channel->CopyIn(range, buffer);
        return buffer;
    }
    return HasChannel(range.Channel) ? Channel(range.Channel).CopyIn(range, buffer) : buffer;
}

int32_t* TFile::SwapRange(const TSampleRange& range, int32_t* buffer) {
    if (range.Channel == AllChannels) {
        for (TChannel* channel : Channels)
            buffer = channel->SwapRange(range, buffer);
        return buffer;
    }
    return HasChannel(range.Channel) ? Channel(range.Channel).SwapRange(range, buffer) : buffer;
}

void TFile::SetSize(uint32_t n, int channels) {
    SetChannelCount(channels);
    for (TChannel* channel : Channels)
        channel->SetSize(n);
}

void TFile::SetChannelCount(int n) {
    while (Channels.Count() < n)
        Channels.Add(new TChannel);
    while (Channels.Count() > std::max(n, 0))
        Channels.Destroy(Channels.Count() - 1);
}

void TFile::InsertChannel(int index) {
    Channels.Insert(new TChannel, index);
}

void TFile::DeleteChannel(int index) {
    Channels.Destroy(index);
}

void TFile::Extend(const TSampleRange& range) {
    if (!range.Valid)
        return;
    if (range.Channel == AllChannels) {
        for (TChannel* channel : Channels)
            if (channel->Count < range.End)
                channel->SetSize(range.End);
        return;
    }
    if (range.Channel < 0)
        return;
    SetChannelCount(std::max(ChannelCount(), range.Channel + 1));
    TChannel& channel = Channel(range.Channel);
    if (channel.Count < range.End)
        channel.SetSize(range.End);
}

void TFile::Silence(const TSampleRange& range) {
    TSampleRange r = ClipToDocument(range);
    if (!r.Valid || r.Start >= r.End)
        return;
    if (r.Channel == AllChannels) {
        for (TChannel* channel : Channels)
            channel->ZeroRange(r);
    } else if (HasChannel(r.Channel)) {
        Channel(r.Channel).ZeroRange(r);
    }
}

void TFile::InsertSilence(const TSampleRange& range) {
    if (!range.Valid || range.Start >= range.End)
        return;
    if (range.Channel == AllChannels) {
        // Check every channel first so that a refused edit changes none.
        for (TChannel* channel : Channels)
            if (channel->LengthAfterGap(range) > MaxChannelLength)
                ThrowTooLong();
        for (TChannel* channel : Channels)
            channel->InsertGap(range);
    } else if (HasChannel(range.Channel)) {
        Channel(range.Channel).InsertGap(range);
    }
}

void TFile::DeleteRange(const TSampleRange& range, bool shrink) {
    TSampleRange r = ClipToDocument(range);
    if (!r.Valid || r.Start >= r.End)
        return;
    if (r.Channel == AllChannels) {
        for (TChannel* channel : Channels)
            channel->DeleteRange(r, shrink);
    } else if (HasChannel(r.Channel)) {
        Channel(r.Channel).DeleteRange(r, shrink);
    }
}

void TFile::Amplify(const TSampleRange& range, double from, double to, TOpStatus* status) {
    const TSampleRange r = ClipOrWhole(range);
    if (!r.Valid)
        return;
    if (r.Channel == AllChannels) {
        if (Channels.IsEmpty())
            return;
        const int span = 100 / ChannelCount();
        const int base = StatusBase(status);
        for (int i = 0; i < ChannelCount(); ++i) {
            if (status)
                status->SetPercent(base + span * i);
            Channel(i).Amplify(r, from, to, status, span);
        }
    } else if (HasChannel(r.Channel)) {
        Channel(r.Channel).Amplify(r, from, to, status, 100);
    }
}

namespace {

// Length of a channel once DeleteRange(r, shrink) has run on it, where r is
// already clipped against the document.
uint32_t LengthAfterDelete(const TChannel& channel, const TSampleRange& r) {
    if (!r.Valid || r.Start > channel.Count)
        return channel.Count;
    uint32_t end = std::min(r.End, channel.Count);
    return r.Start < end ? channel.Count - (end - r.Start) : channel.Count;
}

int32_t MixDown(const TFile& source, uint32_t k) {
    int64_t m = 0;
    for (TChannel* channel : source.Channels)
        if (k < channel->Count)
            m += channel->Samples[k] >> 8;
    if (m >= 0x7FFFFF)
        return INT32_MAX;
    if (m < -0x800000)
        return INT32_MIN;
    return int32_t(uint32_t(m) << 8);
}

// Copies n samples of `from` into `to` at `start`, silence beyond its end.
void FillFrom(TChannel& to, uint32_t start, const TChannel& from, uint32_t n) {
    uint32_t have = std::min(n, from.Count);
    int32_t* dest = to.MutableSamples(start, start + n);
    std::copy(from.Samples, from.Samples + have, dest);
    std::fill(dest + have, dest + n, 0);
}

} // namespace

TSampleRange TFile::Paste(TFile& source, const TSampleRange& range) {
    TSampleRange r = range;
    if (!r.Valid) {
        uint32_t length = GetLength();
        r = TSampleRange(length, length, AllChannels);
    }
    if (source.Channels.IsEmpty())
        return TSampleRange();
    if (r.Channel == AllChannels && ChannelCount() == 1)
        r.Channel = 0;
    if (source.Rate != Rate)
        source.SetRate(Rate, nullptr);
    const uint32_t n = source.GetLength();

    // Refuse an edit that would overflow a channel before changing anything.
    TSampleRange clipped = ClipToDocument(r);
    auto fits = [&](const TChannel& channel) {
        uint64_t after = std::max<uint64_t>(LengthAfterDelete(channel, clipped), r.Start);
        return after + n <= MaxChannelLength;
    };
    if (uint64_t(r.Start) + n > MaxChannelLength)
        ThrowTooLong();
    if (r.Channel == AllChannels) {
        for (TChannel* channel : Channels)
            if (!fits(*channel))
                ThrowTooLong();
    } else if (HasChannel(r.Channel) && !fits(Channel(r.Channel))) {
        ThrowTooLong();
    }

    TSampleRange result(r.Start, r.Start + n, r.Channel);
    DeleteRange(r, true);
    Extend(TSampleRange(r.Start, r.Start, r.Channel));
    InsertSilence(result);

    int targets;
    if (r.Channel == AllChannels)
        targets = ChannelCount();
    else if (HasChannel(r.Channel))
        targets = 1;
    else
        return TSampleRange();
    if (targets == 0)
        return TSampleRange();

    const int first = r.Channel == AllChannels ? 0 : r.Channel;
    if (source.ChannelCount() == targets) {
        for (int i = 0; i < targets; ++i)
            FillFrom(Channel(first + i), r.Start, source.Channel(i), n);
    } else if (source.ChannelCount() == 1) {
        for (int i = 0; i < targets; ++i)
            FillFrom(Channel(first + i), r.Start, source.Channel(0), n);
    } else {
        for (int i = 0; i < targets; ++i) {
            int32_t* to = Channel(first + i).MutableSamples(r.Start, r.Start + n);
            if (i > 0) {
                std::copy(Channel(first).Samples + r.Start, Channel(first).Samples + r.Start + n,
                          to);
                continue;
            }
            for (uint32_t k = 0; k < n; ++k)
                to[k] = MixDown(source, k);
        }
    }
    return result;
}

} // namespace NSWave
