#pragma once
// Loudness as EBU R128 defines it, measured by libebur128: the integrated
// loudness and loudness range of a range of the sound, its true peak
// (4× oversampled), its sample peak and its RMS level, per channel and for
// the channels of the range together.

#include <cstdint>
#include <vector>

#include "wave/samplerange.h"

class TOpStatus;

namespace NSWave {

class TFile;

// One set of figures. Levels of silence are -infinity (HUGE_VAL negated);
// the integrated loudness of a range shorter than one 400 ms block is too.
struct TLoudnessFigures {
    double Integrated = 0; // LUFS
    double Range = 0;      // LU
    double TruePeak = 0;   // dBTP
    double SamplePeak = 0; // dBFS
    double Rms = 0;        // dBFS, a full-scale square wave reading 0
};

struct TLoudness {
    // The channels measured, in order, and each one's figures.
    std::vector<int> Channels;
    std::vector<TLoudnessFigures> PerChannel;
    // All the range's channels as one programme, each weighted 1 (the
    // program knows no surround layout). Its peaks are the loudest
    // channel's.
    TLoudnessFigures Together;
};

// What to measure: the integrated loudness and the true peak alone (what
// Loudness needs), or every figure.
enum class TLoudnessDetail { Gain, All };

// Measures `range` (clipped to the sound; past a channel's end it reads
// silence) of `doc` at its rate. `status` shows the progress from its
// current percentage on; a cancelled measurement throws xcancelled.
TLoudness MeasureLoudness(const TFile& doc, const TSampleRange& range, TLoudnessDetail detail,
                          TOpStatus* status = nullptr);

// The gain in dB that takes a programme of `integrated` LUFS with a true
// peak of `truePeak` dBTP to `target` LUFS without its true peak passing
// `ceiling` dBTP; 0 for silence.
double LoudnessGain(double integrated, double truePeak, double target, double ceiling);

} // namespace NSWave
