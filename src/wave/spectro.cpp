#include "wave/spectro.h"

#include <fftw3.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <numbers>
#include <thread>

#include "wave/channel.h"

namespace NSWave {

namespace {

// --- transforms ---------------------------------------------------------------

// The library's planner is not safe to call from two threads at once; its
// plans are, when each call brings arrays of its own. One plan per window
// size, kept for the life of the program, with its Hann window.
struct TPlan {
    fftwf_plan Plan;
    std::vector<float> Window;
    ~TPlan() { fftwf_destroy_plan(Plan); }
};

struct TPlans {
    std::mutex Lock;
    std::map<int, std::unique_ptr<TPlan>> BySize;
    ~TPlans() {
        BySize.clear();
        fftwf_cleanup();
    }
};

// Made before the workers, so that it outlives them.
TPlans& Plans() {
    static TPlans plans;
    return plans;
}

const TPlan& PlanFor(int n) {
    TPlans& plans = Plans();
    std::lock_guard guard(plans.Lock);
    std::unique_ptr<TPlan>& plan = plans.BySize[n];
    if (!plan) {
        float* in = fftwf_alloc_real(size_t(n));
        fftwf_complex* out = fftwf_alloc_complex(size_t(n / 2 + 1));
        plan = std::make_unique<TPlan>();
        plan->Plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
        fftwf_free(in);
        fftwf_free(out);
        // The periodic window: its samples add up to exactly n / 2.
        plan->Window.resize(size_t(n));
        for (int k = 0; k < n; ++k)
            plan->Window[size_t(k)] =
                float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * k / double(n)));
    }
    return *plan;
}

// One frame's transform with arrays of its own.
class TFrameTransform {
public:
    explicit TFrameTransform(int n)
        : N(n), Plan(PlanFor(n)), In(fftwf_alloc_real(size_t(n))),
          Out(fftwf_alloc_complex(size_t(n / 2 + 1))), Power(size_t(n / 2 + 1)) {
        // A full-scale sine centred on a bin reads |X| = 2^31 * n / 4.
        const double full = 2147483648.0 * n / 4;
        Scale = float(1 / (full * full));
    }
    ~TFrameTransform() {
        fftwf_free(In);
        fftwf_free(Out);
    }
    TFrameTransform(const TFrameTransform&) = delete;
    TFrameTransform& operator=(const TFrameTransform&) = delete;

    // The bins' powers relative to a full-scale sine, of the frame whose
    // samples frame(k) gives.
    template <class TSample> const float* Run(TSample frame) {
        const float* w = Plan.Window.data();
        for (int k = 0; k < N; ++k)
            In[k] = float(frame(k)) * w[k];
        fftwf_execute_dft_r2c(Plan.Plan, In, Out);
        for (int k = 0; k <= N / 2; ++k)
            Power[size_t(k)] = (Out[k][0] * Out[k][0] + Out[k][1] * Out[k][1]) * Scale;
        return Power.data();
    }

private:
    int N;
    const TPlan& Plan;
    float* In;
    fftwf_complex* Out;
    std::vector<float> Power;
    float Scale;
};

uint8_t LevelOf(float power) {
    const double db = 10 * std::log10(std::max(power, 1e-30f));
    const double level = (db - SpectrumFloorDb) * 255 / -SpectrumFloorDb;
    return uint8_t(std::clamp(std::lround(level), 0L, 255L));
}

} // namespace

std::vector<float> FrameSpectrumDb(const int32_t* samples, uint32_t count, int64_t start, int n) {
    TFrameTransform transform(n);
    const float* power = transform.Run([&](int k) {
        const int64_t i = start + k;
        return i >= 0 && i < int64_t(count) ? samples[i] : 0;
    });
    std::vector<float> db(size_t(n / 2 + 1));
    for (size_t k = 0; k < db.size(); ++k)
        db[k] = float(10 * std::log10(std::max(double(power[k]), 1e-30)));
    return db;
}

// --- rows -----------------------------------------------------------------------

TSpectrumScale::TSpectrumScale(int rate, int windowSize)
    : SampleRate(std::max(1, rate)), Window(windowSize) {
    HighHz = SampleRate / 2.0;
    // Nothing below the first bin or the lowest audible tone is worth rows.
    LowHz = std::min(std::max(20.0, double(SampleRate) / Window), HighHz / 2);
    const double perHz = double(Window) / SampleRate;
    const int lastBin = Window / 2;
    Bins.resize(Rows);
    for (int r = 0; r < Rows; ++r) {
        const double lo = FrequencyAt(r) * perHz, hi = FrequencyAt(r + 1) * perHz;
        TRowBins& b = Bins[size_t(r)];
        b.First = std::min(int(std::ceil(lo)), lastBin + 1);
        b.Last = r == Rows - 1 ? lastBin : std::min(int(std::ceil(hi)) - 1, lastBin);
        const double middle = std::sqrt(lo * hi);
        b.Below = std::clamp(int(middle), 0, lastBin - 1);
        b.Fraction = float(std::clamp(middle - b.Below, 0.0, 1.0));
    }
}

double TSpectrumScale::FrequencyAt(double row) const {
    return LowHz * std::pow(HighHz / LowHz, row / Rows);
}

int TSpectrumScale::RowOf(double hz) const {
    if (hz <= LowHz)
        return 0;
    const double row = Rows * std::log(hz / LowHz) / std::log(HighHz / LowHz);
    return std::clamp(int(row), 0, Rows - 1);
}

void TSpectrumScale::Gather(const float* binPower, uint8_t* levels, ptrdiff_t stride) const {
    for (int r = 0; r < Rows; ++r) {
        const TRowBins& b = Bins[size_t(r)];
        float p;
        if (b.First <= b.Last) {
            p = binPower[b.First];
            for (int k = b.First + 1; k <= b.Last; ++k)
                p = std::max(p, binPower[k]);
        } else {
            p = binPower[b.Below] + (binPower[b.Below + 1] - binPower[b.Below]) * b.Fraction;
        }
        levels[r * stride] = LevelOf(p);
    }
}

// --- colours ----------------------------------------------------------------------

// D. A. Green's "cubehelix" scheme (Bulletin of the Astronomical Society of
// India, 2011): a helix through the colour cube from black to white whose
// brightness rises in step with the level. Start colour 0.5 (purple), one and
// a half turns back through red and yellow, hue 1.
const std::array<uint32_t, 256>& SpectrumPalette() {
    static const std::array<uint32_t, 256> palette = [] {
        std::array<uint32_t, 256> p{};
        constexpr double start = 0.5, rotations = -1.5, hue = 1.0;
        for (int i = 0; i < 256; ++i) {
            const double level = i / 255.0;
            const double angle = 2 * std::numbers::pi * (start / 3 + 1 + rotations * level);
            const double amp = hue * level * (1 - level) / 2;
            const double c = std::cos(angle), s = std::sin(angle);
            auto byte = [](double v) {
                return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255));
            };
            const uint32_t r = byte(level + amp * (-0.14861 * c + 1.78277 * s));
            const uint32_t g = byte(level + amp * (-0.29227 * c - 0.90649 * s));
            const uint32_t b = byte(level + amp * (1.97294 * c));
            p[size_t(i)] = 0xff000000u | r << 16 | g << 8 | b;
        }
        return p;
    }();
    return palette;
}

// --- workers -----------------------------------------------------------------------

struct TSpectrogram::TJob {
    double Zoom;
    int64_t Index;
    int Window;
    std::shared_ptr<const TSpectrumScale> RowScale;
    // The frames' samples; column i's frame starts at Samples[Offsets[i]].
    std::vector<float> Samples;
    std::vector<size_t> Offsets;
    std::vector<uint8_t> Levels;
    std::atomic<bool> Cancelled{false};
    std::shared_ptr<TMailbox> Mailbox;

    void Run() {
        TFrameTransform transform(Window);
        Levels.resize(size_t(TSpectrumScale::Rows) * TileColumns);
        for (int i = 0; i < TileColumns && !Cancelled; ++i) {
            const float* frame = Samples.data() + Offsets[size_t(i)];
            const float* power = transform.Run([frame](int k) { return frame[k]; });
            RowScale->Gather(power, Levels.data() + i, TileColumns);
        }
        // The copy is not needed any more; the tile may wait a while.
        Samples = {};
    }
};

// Where the workers leave finished tiles for their spectrogram.
struct TSpectrogram::TMailbox {
    std::mutex Lock;
    std::condition_variable Done;
    // Null once the spectrogram is gone.
    TSpectrogram* Owner = nullptr;
    QObject* Receiver = nullptr;
    std::vector<std::shared_ptr<TJob>> Arrived;
    size_t Outstanding = 0;
    bool Posted = false;

    void Deliver(const std::shared_ptr<TJob>& job) {
        std::lock_guard guard(Lock);
        --Outstanding;
        if (!job->Cancelled)
            Arrived.push_back(job);
        if (Owner && !Posted && !Arrived.empty()) {
            // One event takes in whatever has arrived by the time it runs.
            Posted = true;
            TSpectrogram* owner = Owner;
            QMetaObject::invokeMethod(
                Receiver, [owner] { owner->TakeArrived(); }, Qt::QueuedConnection);
        }
        Done.notify_all();
    }
};

namespace {

// The workers, shared by every spectrogram. The newest request goes first:
// it is what the view shows now, while older ones may have scrolled away.
class TWorkers {
public:
    using TJobPtr = std::shared_ptr<TSpectrogram::TJob>;

    static TWorkers& Get() {
        static TWorkers workers;
        return workers;
    }

    void Post(TJobPtr job) {
        {
            std::lock_guard guard(Lock);
            Queue.push_back(std::move(job));
        }
        Wake.notify_one();
    }

private:
    TWorkers() {
        Plans();
        const unsigned n = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
        for (unsigned i = 0; i < n; ++i)
            Threads.emplace_back([this] { Work(); });
    }
    ~TWorkers() {
        {
            std::lock_guard guard(Lock);
            Stopping = true;
        }
        Wake.notify_all();
        for (std::thread& t : Threads)
            t.join();
    }

    void Work() {
        for (;;) {
            TJobPtr job;
            {
                std::unique_lock lock(Lock);
                Wake.wait(lock, [this] { return Stopping || !Queue.empty(); });
                if (Stopping)
                    return;
                job = std::move(Queue.back());
                Queue.pop_back();
            }
            if (!job->Cancelled)
                job->Run();
            job->Mailbox->Deliver(job);
        }
    }

    std::mutex Lock;
    std::condition_variable Wake;
    std::deque<TJobPtr> Queue;
    bool Stopping = false;
    std::vector<std::thread> Threads;
};

} // namespace

// --- the tiles -------------------------------------------------------------------

TSpectrogram::TSpectrogram(int windowSize)
    : Window(windowSize), RowScale(std::make_unique<TSpectrumScale>(44100, windowSize)),
      Mailbox(std::make_shared<TMailbox>()) {
    Mailbox->Owner = this;
    Mailbox->Receiver = &Receiver;
}

TSpectrogram::~TSpectrogram() {
    std::lock_guard guard(Mailbox->Lock);
    Mailbox->Owner = nullptr;
    Mailbox->Receiver = nullptr;
    for (auto& [key, entry] : Tiles)
        if (entry.Job)
            entry.Job->Cancelled = true;
}

size_t TSpectrogram::Pending() const {
    return size_t(std::count_if(Tiles.begin(), Tiles.end(),
                                [](const auto& tile) { return bool(tile.second.Job); }));
}

void TSpectrogram::Drop(std::map<TKey, TEntry>::iterator it) {
    if (it->second.Job)
        it->second.Job->Cancelled = true;
    Uses.erase(it->second.Use);
    Tiles.erase(it);
}

void TSpectrogram::Clear() {
    while (!Tiles.empty())
        Drop(Tiles.begin());
}

int64_t TSpectrogram::LastSampleOf(const TKey& key) const {
    const int64_t column = (key.Index + 1) * TileColumns - 1;
    return int64_t((double(column) + 0.5) / key.Zoom) - Window / 2 + Window - 1;
}

void TSpectrogram::DropFrom(uint32_t sample) {
    for (auto it = Tiles.begin(); it != Tiles.end();) {
        const auto next = std::next(it);
        if (LastSampleOf(it->first) >= int64_t(sample))
            Drop(it);
        it = next;
    }
}

void TSpectrogram::Follow(TChannel& channel, int rate) {
    if (&channel != Source || rate != RowScale->Rate()) {
        Clear();
        if (rate != RowScale->Rate())
            RowScale = std::make_unique<TSpectrumScale>(rate, Window);
        Source = &channel;
        SourceCount = channel.Count;
        channel.TakeSpectrumChangedFrom();
        return;
    }
    uint32_t from = channel.TakeSpectrumChangedFrom();
    if (channel.Count != SourceCount)
        from = std::min(from, std::min(channel.Count, SourceCount));
    SourceCount = channel.Count;
    if (from != TChannel::NoChange)
        DropFrom(from);
}

const uint8_t* TSpectrogram::Tile(double zoom, int64_t index) {
    if (index < 0 || !Source)
        return nullptr;
    const TKey key{zoom, index};
    if (auto it = Tiles.find(key); it != Tiles.end()) {
        Uses.splice(Uses.begin(), Uses, it->second.Use);
        return it->second.Job ? nullptr : it->second.Levels.data();
    }

    // The frames are copied now, on this thread, so that the workers never
    // read the channel: where the frames overlap the stretch they span is
    // copied once, else each frame on its own.
    auto job = std::make_shared<TJob>();
    job->Zoom = zoom;
    job->Index = index;
    job->Window = Window;
    job->RowScale = std::make_shared<const TSpectrumScale>(*RowScale);
    job->Mailbox = Mailbox;
    std::vector<int64_t> starts(TileColumns);
    for (int i = 0; i < TileColumns; ++i)
        starts[size_t(i)] = int64_t((double(index * TileColumns + i) + 0.5) / zoom) - Window / 2;
    const int64_t span = starts.back() - starts.front() + Window;
    const TChannel& channel = *Source;
    auto copy = [&](int64_t from, int64_t n, float* to) {
        for (int64_t k = 0; k < n; ++k) {
            const int64_t s = from + k;
            to[k] = s >= 0 && s < int64_t(channel.Count) ? float(channel.Samples[s]) : 0.0f;
        }
    };
    job->Offsets.resize(TileColumns);
    if (span <= int64_t(TileColumns) * Window) {
        job->Samples.resize(size_t(span));
        copy(starts.front(), span, job->Samples.data());
        for (int i = 0; i < TileColumns; ++i)
            job->Offsets[size_t(i)] = size_t(starts[size_t(i)] - starts.front());
    } else {
        job->Samples.resize(size_t(TileColumns) * size_t(Window));
        for (int i = 0; i < TileColumns; ++i) {
            job->Offsets[size_t(i)] = size_t(i) * size_t(Window);
            copy(starts[size_t(i)], Window, job->Samples.data() + job->Offsets[size_t(i)]);
        }
    }

    Uses.push_front(key);
    Tiles.emplace(key, TEntry{{}, job, Uses.begin()});
    {
        std::lock_guard guard(Mailbox->Lock);
        ++Mailbox->Outstanding;
    }
    TWorkers::Get().Post(job);
    while (Tiles.size() > MaxTiles)
        Drop(Tiles.find(Uses.back()));
    return nullptr;
}

const uint8_t* TSpectrogram::Computed(double zoom, int64_t index) const {
    const auto it = Tiles.find(TKey{zoom, index});
    return it == Tiles.end() || it->second.Job ? nullptr : it->second.Levels.data();
}

void TSpectrogram::CancelOtherZooms(double zoom) {
    for (auto it = Tiles.begin(); it != Tiles.end();) {
        const auto next = std::next(it);
        if (it->second.Job && it->first.Zoom != zoom)
            Drop(it);
        it = next;
    }
}

void TSpectrogram::TakeArrived() {
    std::vector<std::shared_ptr<TJob>> arrived;
    {
        std::lock_guard guard(Mailbox->Lock);
        arrived.swap(Mailbox->Arrived);
        Mailbox->Posted = false;
    }
    for (const std::shared_ptr<TJob>& job : arrived) {
        const auto it = Tiles.find(TKey{job->Zoom, job->Index});
        if (it == Tiles.end() || it->second.Job != job)
            continue; // dropped since it was asked for
        it->second.Levels = std::move(job->Levels);
        it->second.Job.reset();
        if (Ready)
            Ready(job->Zoom, job->Index * TileColumns, (job->Index + 1) * TileColumns);
    }
}

void TSpectrogram::Finish() {
    {
        std::unique_lock lock(Mailbox->Lock);
        Mailbox->Done.wait(lock, [this] { return Mailbox->Outstanding == 0; });
    }
    TakeArrived();
}

} // namespace NSWave
