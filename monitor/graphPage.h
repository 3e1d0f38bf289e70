#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace data {
struct Recording;
}

namespace monitor {

constexpr int kPageColumns = 512;     // samples on a Graph page (2.56 s, two epochs)
constexpr int kPlotHeight = 400;      // logical height of the plot area
constexpr int kGraphChannels = 4;
constexpr std::int16_t kNoSample = -32768;

// The logical page of the Graph and FFT views, from the label font's metrics
// (measured once by the frame). One logical unit across is one sample.
struct PageGeometry {
    int avgChar = 7;
    int capsChar = 7;
    int lineHeight = 14;

    int graphLeft() const { return 7 * avgChar; }
    int graphTop() const { return lineHeight; }
    int graphWidth() const { return graphLeft() + capsChar + kPageColumns; }
    int graphHeight() const { return graphTop() + lineHeight + kPlotHeight; }
};

// One channel's strip of the Graph page and its samples.
struct TraceStrip {
    std::string name;
    std::int32_t baseline = 0;
    std::int32_t halfHeight = 0;
    std::int32_t fftBottom = 0;
    std::int32_t fftHeight = 0;
    std::array<std::int16_t, kPageColumns> samples;

    TraceStrip() { samples.fill(kNoSample); }
};

// The epoch numbers a page shows (1-based, 0 = none).
struct SegmentNumbers {
    int current = 0;
    int firstHalf = 0;
    int secondHalf = 0;
    bool operator==(const SegmentNumbers&) const = default;
};

// A rectangle of the plot area in logical units, right and bottom exclusive.
struct PlotRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PlotRect&) const = default;
};

// How a channel's samples become heights, from the channel settings, the
// calibration factor and the strip layout.
struct StripScale {
    bool on = false;
    int scale = 200;       // µV per scale unit, 10 to 2000
    int scaleLabel = 200;  // the number shown beside the strip (x10 for EMG and ECG)
    double factor = 0.0;   // 0.125 x calibration factor
    int limit = 400;       // artifact limit in logical units
    bool artifactLines = true;  // false for the EMG and ECG strips of a two-channel recording
};

// Everything one Graph page shows: the painters draw exactly this.
struct GraphSnapshot {
    PageGeometry geometry;
    std::array<TraceStrip, kGraphChannels> strips;
    std::array<StripScale, kGraphChannels> scales;
    int stripHeight = 0;  // 0: no channel is switched on
    int scaleUnit = 0;
    std::array<bool, kPageColumns> epochMarkLine{};
    SegmentNumbers segments;
    std::vector<PlotRect> rejectedRegion;

    // The y of a raw sample in channel `ch`'s strip.
    int sampleY(int ch, std::int16_t sample) const;
    // Empties the page: no samples, marks, numbers or rejected columns.
    void clearPage();
};

// Lays the strips out for the channels switched on in the channel settings and
// names them for the recording's channel configuration.
void layOutStrips(GraphSnapshot& page, const data::Recording& rec);

// The page of samples first .. first + 511 of `rec`, with the epoch numbers,
// marks and rejected columns the rules give (epochs before the monitor's
// current epoch by their selection, the current one by the monitor's reject
// state while it is being filled, later ones by the file's epoch flags). The
// live page is not touched.
GraphSnapshot renderPage(const data::Recording& rec, std::uint32_t first, const PageGeometry& geometry);

// The number of 512-sample pages of a recording's first channel.
std::uint32_t pageCount(const data::Recording& rec);

// The live Graph page, written by the monitor and playback threads and drawn
// by the user-interface thread. Every access takes the page's own short-held
// lock; painters draw from a snapshot copied under it, so a writer never waits
// for a paint and a paint sees each column either before or after a change.
// One instance.
class GraphPage {
public:
    void setGeometry(const PageGeometry& geometry);
    PageGeometry geometry() const;
    // New layout (channel switched on or off, another recording).
    void layOut(const data::Recording& rec);
    void clear();
    // Column `column` (0 to 511) of channel `ch`: a sample, or kNoSample.
    void setSample(int ch, int column, std::int16_t sample);
    void setMark(int column, bool marked);
    void setSegments(const SegmentNumbers& numbers);
    SegmentNumbers segments() const;
    void addRejected(const PlotRect& rect);
    void clearRejected();
    // Columns `first` .. `first` + `count` - 1 (wrapping at 511) emptied: no
    // samples, marks or rejected area.
    void clearColumns(int first, int count);
    // Columns `first` .. `last` drawn as rejected (`last` may have wrapped below `first`).
    void rejectColumns(int first, int last);
    // Columns `first` .. `last` no longer drawn as rejected.
    void acceptColumns(int first, int last);
    // The strip scales and the scale unit of the present layout.
    std::pair<std::array<StripScale, kGraphChannels>, int> scales() const;
    // True when no column of any strip holds a sample.
    bool empty() const;
    // Counts the changes other than a column's samples and mark (layout,
    // geometry, epoch numbers, rejected columns, a clear): a view repaints the
    // whole page when it moved on, else only the columns drawn since.
    std::uint64_t outlineVersion() const;
    GraphSnapshot snapshot() const;
    void reset();

private:
    mutable std::mutex mutex_;
    GraphSnapshot page_;
    std::uint64_t outline_ = 0;
};

extern GraphPage graphPage;

}  // namespace monitor
