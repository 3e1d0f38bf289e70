#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "monitor/graphPage.h"

namespace data {
struct Recording;
}

namespace views {

constexpr int kFftBins = 32;

// One EEG channel's strip of the FFT page: its place and the tops of its 32
// bars (bar k fills from base = bottom - 1 up to barTop[k - 1]; no bar when
// the top is not above the base).
struct FftStrip {
    bool on = false;
    std::string name;
    int bottom = 0;  // fftBottom
    int height = 0;  // fftHeight
    int scale = 200;
    std::array<int, kFftBins> barTop{};
};

// Everything one FFT page shows.
struct FftSnapshot {
    enum class Shade { black, rejectedCurrent, rejectedAccumulated };
    monitor::PageGeometry geometry;
    int stripHeight = 0;  // 0: no EEG channel is switched on
    int unit = 0;         // fftUnit: 2 units stand for the channel's scale
    std::array<FftStrip, monitor::kGraphChannels> strips;
    bool currentMode = false;
    bool hasData = false;  // bars are drawn only then
    Shade shade = Shade::black;
    std::string segmentLabel;  // "Segment: %d %s" or "Segment:"
    bool marked = false;       // the last processed epoch is marked
};

// The FFT page of the present analysis state: the current epoch's spectrum or
// the average over the accumulated epochs, by `spectrumCurrentSegment`.
FftSnapshot fftPage(const data::Recording& rec, const monitor::PageGeometry& geometry);

// The FFT page as it looks with the spectrum computed up to epoch e (current
// mode: epoch e alone; accumulated: epochs 0 to e); the analysis state is
// restored afterwards. Not while the epoch thread runs.
FftSnapshot renderFftPage(data::Recording& rec, std::uint32_t e, const monitor::PageGeometry& geometry);

// The epochs an FFT image series or print covers: those with FFT data (raw
// EEG, or the recorded FFT vectors), never more than a recording holds.
std::uint32_t fftPageCount(const data::Recording& rec);

// The amplitude of a bin from a power value: the power limited to the 32-bit
// unsigned range (an average divided in floating point first, so loud EEG
// summed over 670 epochs cannot overflow), then the rounded square root.
std::uint32_t binAmplitude(double power);

}  // namespace views
