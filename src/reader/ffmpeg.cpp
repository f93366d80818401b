// brimvale-reader-ffmpeg: FFmpeg's demuxers and decoders for the sound files
// the sound library has no reader for (Opus, M4A/AAC, WMA, the sound of video
// files), started by brimvale-reader in its own place when the library
// refuses a file whose type it does not know:
//
//   brimvale-reader-ffmpeg load|header FILE REFUSAL
//
// REFUSAL is the library's message, sent when FFmpeg cannot read the file
// either. The first
// audio stream is decoded and converted to signed 32-bit samples by FFmpeg's
// own converter, as the ffmpeg command converts them, so what loads is what
// that command decodes, sample for sample.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <sox.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "reader/records.h"

using namespace NSReaderMain;

namespace {

struct TInput {
    AVFormatContext* Format = nullptr;
    AVCodecContext* Codec = nullptr;
    SwrContext* Convert = nullptr;
    AVPacket* Packet = av_packet_alloc();
    AVFrame* Frame = av_frame_alloc();
    ~TInput() {
        av_frame_free(&Frame);
        av_packet_free(&Packet);
        swr_free(&Convert);
        avcodec_free_context(&Codec);
        avformat_close_input(&Format);
    }
};

// The document's sample size for what the decoder gives: integers keep
// their width; a lossy codec's floats are saved as 16-bit by default.
uint32_t BitsOf(const AVCodecContext* codec) {
    switch (av_get_packed_sample_fmt(codec->sample_fmt)) {
    case AV_SAMPLE_FMT_U8:
        return 8;
    case AV_SAMPLE_FMT_S16:
        return 16;
    case AV_SAMPLE_FMT_S32:
        return codec->bits_per_raw_sample > 0 && codec->bits_per_raw_sample <= 32
                   ? uint32_t(codec->bits_per_raw_sample)
                   : 32;
    default:
        return 16;
    }
}

std::string Comment(const AVFormatContext* format) {
    std::string comment;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(format->metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        if (!comment.empty())
            comment += '\n';
        comment += std::string(entry->key) + "=" + entry->value;
    }
    return comment;
}

class TSender {
public:
    TSender(uint32_t channels) : Channels(channels), Ring(channels) {}

    // Converted frames of `planes` (one per channel), `count` of them.
    void Add(uint8_t* const* planes, uint32_t count, uint64_t offset) {
        for (uint32_t done = 0; done < count;) {
            const uint32_t take = std::min(count - done, Capacity - Held);
            for (uint32_t c = 0; c < Channels; ++c)
                std::memcpy(Ring.Block() + size_t(c) * Capacity + Held,
                            reinterpret_cast<const int32_t*>(planes[c]) + done,
                            take * sizeof(int32_t));
            Held += take;
            done += take;
            if (Held == Capacity)
                Flush(offset);
        }
    }

    void Flush(uint64_t offset) {
        if (!Held)
            return;
        // The record holds its channels one after another, each Held long.
        if (Held < Capacity)
            for (uint32_t c = 1; c < Channels; ++c)
                std::memmove(Ring.Block() + size_t(c) * Held, Ring.Block() + size_t(c) * Capacity,
                             Held * sizeof(int32_t));
        Ring.Send(Held, Channels, offset);
        Held = 0;
    }

private:
    static constexpr uint32_t Capacity = NSWave::NSReader::FramesPerRecord;
    uint32_t Channels;
    uint32_t Held = 0;
    TFrameRing Ring;
};

// False when FFmpeg cannot read the file; nothing has been sent then.
bool FfmpegRead(const char* file, bool load) {
    av_log_set_level(AV_LOG_QUIET);
    TInput in;
    if (!in.Packet || !in.Frame || avformat_open_input(&in.Format, file, nullptr, nullptr) < 0 ||
        avformat_find_stream_info(in.Format, nullptr) < 0)
        return false;
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(in.Format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        return false;
    in.Codec = avcodec_alloc_context3(decoder);
    if (!in.Codec ||
        avcodec_parameters_to_context(in.Codec, in.Format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(in.Codec, decoder, nullptr) < 0)
        return false;
    const uint32_t channels = uint32_t(in.Codec->ch_layout.nb_channels);
    if (channels == 0 || in.Codec->sample_rate <= 0)
        return false;
    if (swr_alloc_set_opts2(&in.Convert, &in.Codec->ch_layout, AV_SAMPLE_FMT_S32P,
                            in.Codec->sample_rate, &in.Codec->ch_layout, in.Codec->sample_fmt,
                            in.Codec->sample_rate, 0, nullptr) < 0 ||
        swr_init(in.Convert) < 0)
        return false;

    NSWave::NSReader::TReaderFormat format;
    format.Rate = in.Codec->sample_rate;
    format.Channels = channels;
    format.Bits = BitsOf(in.Codec);
    format.Precision = format.Bits;
    format.Encoding = format.Bits == 8 ? SOX_ENCODING_UNSIGNED : SOX_ENCODING_SIGN2;
    // The data's bytes do not bound its frames, and a container's duration
    // is no promise of them.
    format.Flags = NSWave::NSReader::FlagCompressed;
    // "mov,mp4,m4a,…": the family's first name.
    const std::string family = in.Format->iformat->name;
    Format(format, family.substr(0, family.find(',')), Comment(in.Format));
    if (!load) {
        End(false, std::string());
        return true;
    }

    TSender sender(channels);
    std::vector<uint8_t*> planes(channels);
    std::vector<std::vector<int32_t>> converted(channels);
    bool failed = false;
    auto drain = [&]() {
        while (avcodec_receive_frame(in.Codec, in.Frame) == 0) {
            const int room = swr_get_out_samples(in.Convert, in.Frame->nb_samples);
            for (uint32_t c = 0; c < channels; ++c) {
                converted[c].resize(size_t(std::max(room, 1)));
                planes[c] = reinterpret_cast<uint8_t*>(converted[c].data());
            }
            const int got = swr_convert(in.Convert, planes.data(), room,
                                        const_cast<const uint8_t**>(in.Frame->extended_data),
                                        in.Frame->nb_samples);
            if (got < 0) {
                failed = true;
                return;
            }
            sender.Add(planes.data(), uint32_t(got),
                       uint64_t(std::max<int64_t>(0, in.Packet->pos)));
            av_frame_unref(in.Frame);
        }
    };
    while (av_read_frame(in.Format, in.Packet) >= 0) {
        if (in.Packet->stream_index == stream && avcodec_send_packet(in.Codec, in.Packet) >= 0)
            drain();
        av_packet_unref(in.Packet);
    }
    avcodec_send_packet(in.Codec, nullptr);
    drain();
    sender.Flush(uint64_t(std::max<int64_t>(0, avio_size(in.Format->pb))));
    End(failed, failed ? "The sound could not be decoded" : std::string());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    if (!FfmpegRead(argv[2], std::strcmp(argv[1], "load") == 0))
        Text(NSWave::NSReader::TKind::Refused, argv[3]);
    return 0;
}
