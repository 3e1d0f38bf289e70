#include "data/sampleRing.h"

#include <algorithm>

namespace data {

static void updateLength(Recording& rec, const SampleRing& ring)
{
    rec.lengthSeconds = secondsOf(ring.count);
    rec.playEndSecond = rec.lengthSeconds;
}

void channelClear(Recording& rec, int ch)
{
    SampleRing& ring = rec.rawChannels[ch];
    ring.count = 0;
    ring.newCount = 0;
    ring.start = 0;
    ring.write = 0;
    ring.playIndex = 0;
    ring.state = 0;
    rec.lengthSeconds = 0;
    rec.playEndSecond = 0;
}

namespace {

void append(Recording& rec, int ch, std::int16_t sample, RingSwitches* switches)
{
    SampleRing& ring = rec.rawChannels[ch];
    const bool ringMode = switches && switches->ringMode.load(std::memory_order_relaxed);
    const bool limitedMode = switches && switches->limitedMode.load(std::memory_order_relaxed);
    if (ring.count >= kRingSamples && !ringMode) {
        ring.state = -2;
        return;
    }
    if (limitedMode && ring.newCount >= kRingSamples) {
        switches->overflow.store(true);
        return;
    }
    std::uint32_t write = ring.start + ring.count;
    if (write >= kRingSamples) {
        write -= kRingSamples;
        ring.state = -2;
        if (ringMode)
            ring.start = (write + 1) % kRingSamples;
    }
    ring.samples[write] = sample;
    if (limitedMode && ring.newCount < kRingSamples)
        ++ring.newCount;
    ring.write = (write + 1) % kRingSamples;
    ++ring.count;
    if (ringMode && ring.count > kRingSamples)
        ring.count = kRingSamples;
    updateLength(rec, ring);
    if (ringMode)
        switches->newSamples.store(true, std::memory_order_relaxed);
}

}  // namespace

void channelAppend(Recording& rec, int ch, std::int16_t sample, RingSwitches& switches)
{
    append(rec, ch, sample, &switches);
}

void channelAppend(Recording& rec, int ch, std::int16_t sample)
{
    append(rec, ch, sample, nullptr);
}

void channelAppend(Recording& rec, int ch, const std::int16_t* samples, std::uint32_t count)
{
    SampleRing& ring = rec.rawChannels[ch];
    std::uint32_t i = 0;
    // The samples that fit before the ring's end go in with one copy.
    if (ring.start + ring.count < kRingSamples) {
        const std::uint32_t room = kRingSamples - (ring.start + ring.count);
        const std::uint32_t n = std::min(count, room);
        const std::uint32_t write = ring.start + ring.count;
        std::copy(samples, samples + n, ring.samples.begin() + write);
        ring.write = (write + n) % kRingSamples;
        ring.count += n;
        i = n;
        if (n > 0)
            updateLength(rec, ring);
    }
    for (; i < count; ++i)
        append(rec, ch, samples[i], nullptr);
}

std::int16_t channelSampleAt(const Recording& rec, int ch, std::uint32_t i)
{
    const SampleRing& ring = rec.rawChannels[ch];
    if (i >= ring.count)
        return kNoSample;
    return ring.samples[(ring.start + i) % kRingSamples];
}

std::int16_t channelNextPlayed(Recording& rec, int ch, const RingSwitches& switches)
{
    SampleRing& ring = rec.rawChannels[ch];
    const bool ringMode = switches.ringMode.load(std::memory_order_relaxed);
    if (ring.state != 0 && !ringMode)
        return kNoSample;
    if (ring.playCount >= ring.count && ring.playIndex == ring.write)
        return kNoSample;
    if (!ringMode && ring.playCount >= rec.playEndSecond * kSamplesPerSecond)
        return kNoSample;
    if (++ring.playSample >= kSamplesPerSecond) {
        ring.playSample = 0;
        ++ring.playSecond;
    }
    std::int16_t sample = ring.samples[ring.playIndex];
    ring.playIndex = (ring.playIndex + 1) % kRingSamples;
    ++ring.playCount;
    if (ringMode && ring.playCount > kRingSamples)
        ring.playCount = kRingSamples;
    return sample;
}

void channelAlignForPlayback(Recording& rec, int ch, std::uint32_t startSecond)
{
    SampleRing& ring = rec.rawChannels[ch];
    std::uint32_t misalignment = ring.start % kEpochSamples;
    if (misalignment != 0) {
        std::uint32_t shift = kEpochSamples - misalignment;
        if (shift > ring.count)
            shift = ring.count;
        ring.start = (ring.start + shift) % kRingSamples;
        ring.count -= shift;
        updateLength(rec, ring);
    }
    std::uint32_t offset = startSecond * kSamplesPerSecond / kEpochSamples * kEpochSamples;
    ring.playIndex = (ring.start + offset) % kRingSamples;
    ring.playCount = offset;
    ring.playSecond = static_cast<std::uint16_t>(startSecond);
    ring.playSample = 0;
}

}  // namespace data
