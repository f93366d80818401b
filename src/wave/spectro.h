#pragma once
// The spectrogram of a channel: columns of levels, time across and frequency
// up on a logarithmic scale, as the channel views draw them.
//
// A column is the spectrum of one Hann-windowed frame centred on the
// column's middle sample, its bins gathered onto a fixed number of rows
// spaced evenly in log frequency and its levels in decibels below full scale
// mapped onto 0..255. Columns are kept in tiles of TileColumns, per zoom,
// and computed by worker threads from a copy of the samples they need, so
// the samples may change (or move) while a tile is being computed: a tile
// the change reaches is dropped on arrival, as the channel's change marks
// tell (TChannel::Changed), and computed again when next asked for.

#include <QObject>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace NSWave {

class TChannel;

constexpr int DefaultSpectrumWindow = 2048;

// Levels of the rows: 0 is at or below the floor, 255 at full scale.
constexpr double SpectrumFloorDb = -120.0;

// The power of every bin 0..n/2 of the Hann-windowed frame of n samples
// starting at `start` (samples outside the channel count as silence), in
// decibels relative to a full-scale sine in one bin (that sine reads 0 dB).
std::vector<float> FrameSpectrumDb(const int32_t* samples, uint32_t count, int64_t start, int n);

// The log-frequency rows of a spectrogram at a rate and window size: row 0
// is the lowest frequency shown, Rows - 1 the highest (half the rate).
class TSpectrumScale {
public:
    static constexpr int Rows = 256;

    TSpectrumScale(int rate, int windowSize);

    // The frequency at a fractional row (0: the bottom edge, Rows: the top).
    double FrequencyAt(double row) const;
    // The row a frequency falls in, clamped to the rows.
    int RowOf(double hz) const;
    double Low() const { return LowHz; }
    double High() const { return HighHz; }
    int Rate() const { return SampleRate; }
    int WindowSize() const { return Window; }

    // Fills levels[0..Rows) (bottom row first) from a frame's bin powers in
    // decibels: the loudest bin inside a row, or between the two bins
    // around its middle where a row is narrower than a bin.
    void Gather(const float* binDb, uint8_t* levels, ptrdiff_t stride) const;

private:
    struct TRowBins {
        int First, Last; // bins inside the row; First > Last: interpolate
        int Below;       // the bin under the row's middle
        float Fraction;  // how far the middle lies towards Below + 1
    };
    int SampleRate, Window;
    double LowHz, HighHz;
    std::vector<TRowBins> Bins;
};

// The perceptual colour map of the levels: dark to bright, the brightness
// rising steadily with the level, as 0xffRRGGBB.
const std::array<uint32_t, 256>& SpectrumPalette();

// One channel's spectrogram tiles. Lives on one thread (the user
// interface's); its workers hand tiles back through that thread's event
// loop, or through Finish.
class TSpectrogram {
public:
    static constexpr int TileColumns = 256;
    // Tiles kept before the least recently drawn go (64 KB each).
    static constexpr size_t MaxTiles = 384;

    explicit TSpectrogram(int windowSize = DefaultSpectrumWindow);
    ~TSpectrogram();
    TSpectrogram(const TSpectrogram&) = delete;
    TSpectrogram& operator=(const TSpectrogram&) = delete;

    // Called on this object's thread for the columns [first, end) at `zoom`
    // once their tile has arrived.
    std::function<void(double zoom, int64_t first, int64_t end)> Ready;

    // Follows the channel's change marks, its length and the rate: tiles a
    // change reaches are dropped. Call before drawing.
    void Follow(TChannel& channel, int rate);

    // Levels of the tile holding the columns [index * TileColumns, ...) at
    // `zoom`, row-major (TSpectrumScale::Rows rows of TileColumns, bottom row
    // first), or null when it is not computed yet: it is then asked for,
    // from the channel last followed.
    const uint8_t* Tile(double zoom, int64_t index);
    // The same for a tile computed already, without asking for one.
    const uint8_t* Computed(double zoom, int64_t index) const;

    // Forgets tiles asked for at other zooms that are not computed yet.
    void CancelOtherZooms(double zoom);
    // Waits for the tiles asked for and takes them in (tests, benchmarks).
    void Finish();
    // Takes in the tiles that have arrived, calling Ready for each.
    void TakeArrived();
    // Drops every tile.
    void Clear();

    int WindowSize() const { return Window; }
    const TSpectrumScale& Scale() const { return *RowScale; }
    size_t TileCount() const { return Tiles.size(); }
    // Tiles asked for and not yet arrived.
    size_t Pending() const;

    struct TJob;
    struct TMailbox;

private:
    struct TKey {
        double Zoom;
        int64_t Index;
        auto operator<=>(const TKey&) const = default;
    };
    struct TEntry {
        std::vector<uint8_t> Levels; // empty while pending
        std::shared_ptr<TJob> Job;   // while pending
        std::list<TKey>::iterator Use;
    };
    void Drop(std::map<TKey, TEntry>::iterator it);
    void DropFrom(uint32_t sample);
    // The last sample a tile's frames reach.
    int64_t LastSampleOf(const TKey& key) const;

    int Window;
    std::unique_ptr<TSpectrumScale> RowScale;
    const TChannel* Source = nullptr;
    uint32_t SourceCount = 0;
    std::map<TKey, TEntry> Tiles;
    std::list<TKey> Uses; // most recently drawn first
    std::shared_ptr<TMailbox> Mailbox;
    QObject Receiver;
};

} // namespace NSWave
