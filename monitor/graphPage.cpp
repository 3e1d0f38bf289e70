#include "monitor/graphPage.h"

#include <algorithm>
#include <cmath>

#include "data/recording.h"
#include "data/sampleRing.h"
#include "monitor/monitorState.h"
#include "state/settings.h"

namespace monitor {

GraphPage graphPage;

namespace {

using data::hw::channelMode;
using data::hw::channelModeCopy;

std::string stripName(int ch, const data::Recording& rec)
{
    if (ch == 2 && rec.header[channelMode] == 0)
        return "EMG";
    if (ch == 3 && rec.header[channelModeCopy] == 0)
        return "ECG";
    return "EEG" + std::to_string(ch + 1);
}

// Whether the column of sample `sample` (epoch number e) is rejected.
bool columnRejected(const data::Recording& rec, std::uint32_t e)
{
    const monitor::MonitorState& m = monitor::monitorState;
    const std::uint32_t slot = data::epochIndex(rec, e);
    const auto current = static_cast<std::uint32_t>(std::max(0, m.currentEpoch.load()));
    if (e < current)
        return !rec.epochSelected[slot];
    if (e == current && m.playThreadRunning && m.epochSample < 255)
        return m.epochRejected;
    return !rec.epochMarks[slot];
}

// Removes logical columns from..to-1 from the rejected areas.
void trimRejected(std::vector<PlotRect>& region, int from, int to)
{
    std::vector<PlotRect> kept;
    for (const PlotRect& r : region) {
        if (r.right <= from || r.left >= to) {
            kept.push_back(r);
            continue;
        }
        if (r.left < from)
            kept.push_back({r.left, r.top, from, r.bottom});
        if (r.right > to)
            kept.push_back({to, r.top, r.right, r.bottom});
    }
    region = std::move(kept);
}

}  // namespace

int GraphSnapshot::sampleY(int ch, std::int16_t sample) const
{
    const StripScale& s = scales[static_cast<std::size_t>(ch)];
    return strips[static_cast<std::size_t>(ch)].baseline -
           static_cast<int>(std::trunc(sample * s.factor * scaleUnit / s.scale));
}

void GraphSnapshot::clearPage()
{
    for (TraceStrip& strip : strips)
        strip.samples.fill(kNoSample);
    epochMarkLine.fill(false);
    segments = SegmentNumbers{};
    rejectedRegion.clear();
}

void layOutStrips(GraphSnapshot& page, const data::Recording& rec)
{
    const auto& settings = state::settings.channelSettings;
    const int n = static_cast<int>(std::count_if(settings.begin(), settings.end(), [](const auto& c) { return c.on; }));
    page.stripHeight = n > 0 ? kPlotHeight / n : 0;
    page.scaleUnit = n > 0 ? ((page.stripHeight + 1) / 2 + 1) / 2 : 0;
    const bool fourChannels = rec.header[channelMode] == 1;
    int top = page.geometry.graphTop();
    for (int ch = 0; ch < kGraphChannels; ++ch) {
        TraceStrip& strip = page.strips[static_cast<std::size_t>(ch)];
        StripScale& s = page.scales[static_cast<std::size_t>(ch)];
        const state::ChannelSetting& c = settings[static_cast<std::size_t>(ch)];
        strip.name = stripName(ch, rec);
        s.on = c.on && n > 0;
        // The settings keep the scale in 10 to 2000; a damaged value never divides by zero.
        s.scale = std::clamp(c.scale, 10, 2000);
        const bool emgOrEcg = ch >= 2 && !fourChannels;
        s.scaleLabel = s.scale * (emgOrEcg ? 10 : 1);
        s.factor = 0.125 * static_cast<double>(rec.calibrationFactors[static_cast<std::size_t>(ch)]);
        s.limit = emgOrEcg ? kPlotHeight : std::max(0, c.artifact) * page.scaleUnit / s.scale;
        s.artifactLines = !emgOrEcg;
        if (!s.on)
            continue;
        strip.baseline = top + page.stripHeight / 2;
        strip.halfHeight = page.stripHeight / 2 - 1;
        top += page.stripHeight;
    }
}

GraphSnapshot renderPage(const data::Recording& rec, std::uint32_t first, const PageGeometry& geometry)
{
    GraphSnapshot page;
    page.geometry = geometry;
    layOutStrips(page, rec);
    const int left = geometry.graphLeft(), top = geometry.graphTop();
    const std::uint32_t count = rec.rawChannels[0].count;
    for (int x = 0; x < kPageColumns && first + static_cast<std::uint32_t>(x) < count; ++x) {
        const std::uint32_t sample = first + static_cast<std::uint32_t>(x);
        const std::uint32_t e = sample / 256;
        if (columnRejected(rec, e)) {
            // From the first column of the sample's epoch on this page (for a page
            // that starts on an epoch boundary: column 0 or 256) to this column.
            const std::uint32_t epochStart = e * 256;
            const int from = left + static_cast<int>(epochStart > first ? epochStart - first : 0);
            if (!page.rejectedRegion.empty() && page.rejectedRegion.back().left == from)
                page.rejectedRegion.back().right = left + x + 1;
            else
                page.rejectedRegion.push_back({from, top, left + x + 1, top + kPlotHeight});
        }
        page.epochMarkLine[static_cast<std::size_t>(x)] = rec.conditionData[0][data::epochIndex(rec, e)] != 0;
        const int number = static_cast<int>(e) + 1;
        if (x >= 1 && x < 256)
            page.segments.firstHalf = page.segments.current = number;
        else if (x >= 256)
            page.segments.secondHalf = page.segments.current = number;
        for (int ch = 0; ch < kGraphChannels; ++ch) {
            if (sample >= rec.rawChannels[static_cast<std::size_t>(ch)].count)
                break;
            page.strips[static_cast<std::size_t>(ch)].samples[static_cast<std::size_t>(x)] =
                data::channelSampleAt(rec, ch, sample);
        }
    }
    return page;
}

std::uint32_t pageCount(const data::Recording& rec)
{
    return (rec.rawChannels[0].count + kPageColumns - 1) / kPageColumns;
}

void GraphPage::setGeometry(const PageGeometry& geometry)
{
    std::lock_guard lock(mutex_);
    ++outline_;
    page_.geometry = geometry;
}

PageGeometry GraphPage::geometry() const
{
    std::lock_guard lock(mutex_);
    return page_.geometry;
}

void GraphPage::layOut(const data::Recording& rec)
{
    std::lock_guard lock(mutex_);
    ++outline_;
    layOutStrips(page_, rec);
}

void GraphPage::clear()
{
    std::lock_guard lock(mutex_);
    ++outline_;
    page_.clearPage();
}

void GraphPage::setSample(int ch, int column, std::int16_t sample)
{
    if (ch < 0 || ch >= kGraphChannels || column < 0 || column >= kPageColumns)
        return;
    std::lock_guard lock(mutex_);
    page_.strips[static_cast<std::size_t>(ch)].samples[static_cast<std::size_t>(column)] = sample;
}

void GraphPage::setMark(int column, bool marked)
{
    if (column < 0 || column >= kPageColumns)
        return;
    std::lock_guard lock(mutex_);
    page_.epochMarkLine[static_cast<std::size_t>(column)] = marked;
}

void GraphPage::setSegments(const SegmentNumbers& numbers)
{
    std::lock_guard lock(mutex_);
    if (page_.segments != numbers)
        ++outline_;
    page_.segments = numbers;
}

SegmentNumbers GraphPage::segments() const
{
    std::lock_guard lock(mutex_);
    return page_.segments;
}

void GraphPage::addRejected(const PlotRect& rect)
{
    std::lock_guard lock(mutex_);
    ++outline_;
    page_.rejectedRegion.push_back(rect);
}

void GraphPage::clearRejected()
{
    std::lock_guard lock(mutex_);
    ++outline_;
    page_.rejectedRegion.clear();
}

void GraphPage::clearColumns(int first, int count)
{
    std::lock_guard lock(mutex_);
    const int left = page_.geometry.graphLeft();
    for (int k = 0; k < count; ++k) {
        const auto x = static_cast<std::size_t>((first + k) % kPageColumns);
        for (TraceStrip& strip : page_.strips)
            strip.samples[x] = kNoSample;
        page_.epochMarkLine[x] = false;
    }
    // A rejected area loses the cleared columns (they lie at its left end: the
    // display moves right and overwrites what it drew a page ago).
    const int start = first % kPageColumns, firstPart = std::min(count, kPageColumns - start);
    trimRejected(page_.rejectedRegion, left + start, left + start + firstPart);
    if (firstPart < count)
        trimRejected(page_.rejectedRegion, left, left + count - firstPart);
}

void GraphPage::rejectColumns(int first, int last)
{
    std::lock_guard lock(mutex_);
    ++outline_;
    const int left = page_.geometry.graphLeft(), top = page_.geometry.graphTop();
    const auto add = [&](int a, int b) { page_.rejectedRegion.push_back({left + a, top, left + b + 1, top + kPlotHeight}); };
    if (last >= first) {
        add(first, last);
    } else {
        add(first, kPageColumns - 1);
        add(0, last);
    }
}

void GraphPage::acceptColumns(int first, int last)
{
    std::lock_guard lock(mutex_);
    ++outline_;
    const int left = page_.geometry.graphLeft();
    if (last >= first) {
        trimRejected(page_.rejectedRegion, left + first, left + last + 1);
    } else {
        trimRejected(page_.rejectedRegion, left + first, left + kPageColumns);
        trimRejected(page_.rejectedRegion, left, left + last + 1);
    }
}

std::pair<std::array<StripScale, kGraphChannels>, int> GraphPage::scales() const
{
    std::lock_guard lock(mutex_);
    return {page_.scales, page_.scaleUnit};
}

bool GraphPage::empty() const
{
    std::lock_guard lock(mutex_);
    for (const TraceStrip& strip : page_.strips)
        if (std::any_of(strip.samples.begin(), strip.samples.end(), [](std::int16_t s) { return s != kNoSample; }))
            return false;
    return true;
}

GraphSnapshot GraphPage::snapshot() const
{
    std::lock_guard lock(mutex_);
    return page_;
}

void GraphPage::reset()
{
    std::lock_guard lock(mutex_);
    ++outline_;
    const PageGeometry geometry = page_.geometry;
    page_ = GraphSnapshot{};
    page_.geometry = geometry;
}

std::uint64_t GraphPage::outlineVersion() const
{
    std::lock_guard lock(mutex_);
    return outline_;
}

}  // namespace monitor
