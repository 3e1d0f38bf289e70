#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/spectralSums.h"
#include "data/loadedRecording.h"
#include "data/sampleRing.h"
#include "data/streamReader.h"
#include "platform/jsonWriter.h"
#include "toolCommon.h"

namespace tool {

namespace {

using data::Recording;
using platform::JsonWriter;

const char* sectionName(int t)
{
    switch (t) {
    case 4: return "Header";
    case 8: case 9: case 10: case 11: return "Raw EEG";
    case 12: case 13: case 14: case 15: return "Condition data";
    case 16: case 17: case 18: case 19: return "Spectral sums";
    case 20: return "Additional parameters";
    case 24: case 25: case 26: case 27: return "FFT data";
    case 28: return "Empty section";
    case 32: case 36: return "Device name";
    case 40: return "Patient ID";
    case 41: return "Patient name";
    case 42: return "Patient age";
    case 43: return "Patient sex";
    case 44: return "Patient comments";
    case 48: return "Report title";
    case 49: return "Report line";
    case 45: case 46: case 47: case 50: case 51: return "Text record";
    case 52: return "Epoch flags";
    case 56: return "Parameter record";
    case 53: case 54: case 55: case 57: case 58: case 59: return "Word records";
    case 60: return "Double-word records";
    case 0xF4: return "Filler";
    default: return "?";
    }
}

// FNV-1a over the values' little-endian bytes: a short fingerprint of an array.
std::uint32_t checksum(const std::int16_t* values, std::size_t count)
{
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < count; ++i) {
        const auto v = static_cast<std::uint16_t>(values[i]);
        for (std::uint8_t b : {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)})
            h = (h ^ b) * 16777619u;
    }
    return h;
}

std::vector<std::int16_t> rawSamples(const Recording& rec, int ch)
{
    std::vector<std::int16_t> samples(rec.rawChannels[ch].count);
    for (std::uint32_t i = 0; i < samples.size(); ++i)
        samples[i] = data::channelSampleAt(rec, ch, i);
    return samples;
}

std::size_t conditionCount(const Recording& rec, int s) { return std::min<std::size_t>(rec.epochCount(s), data::kMaxEpochs); }
std::size_t fftCount(const Recording& rec, int c) { return conditionCount(rec, c) * data::kFftValuesPerEpoch; }

int rejectedEpochs(const Recording& rec)
{
    int n = 0;
    for (bool mark : rec.epochMarks)
        n += !mark;
    return n;
}

float powerTotal(const analysis::SpectralKind& kind)
{
    float total = 0;
    for (const auto& channel : kind.power)
        for (float v : channel)
            total += v;
    return total;
}

void printText(const std::vector<data::SectionInfo>& sections, const std::string& path, const data::LoadedRecording& read)
{
    const Recording& rec = read.rec;
    std::printf("File %s\n\nSections:\n  %-10s %-4s %-24s %10s %10s\n", path.c_str(), "offset", "tag", "section",
                "count", "bytes");
    for (const auto& s : sections)
        std::printf("  %-10llu %-4d %-24s %10u %10llu\n", static_cast<unsigned long long>(s.offset), s.tag,
                    sectionName(s.tag), s.count, static_cast<unsigned long long>(s.length));
    std::printf("\nHeader words:");
    for (int w = 0; w < data::kHeaderWords; ++w)
        std::printf("%s%5u", w % 10 == 0 ? "\n  " : " ", rec.header[w]);
    std::printf("\n\nResult values:");
    for (float v : rec.resultValue)
        std::printf(" %g", static_cast<double>(v));
    std::printf("\nCalibration factors:");
    for (float v : rec.calibrationFactors)
        std::printf(" %g", static_cast<double>(v));
    std::printf("\nAdditional parameters:");
    for (float v : rec.additionalParams)
        std::printf(" %g", static_cast<double>(v));
    std::printf("\n\nDevice name: \"%s\"\nReport title: \"%s\"\nReport text:\n", rec.deviceName.c_str(),
                rec.reportTitle.c_str());
    std::string text = rec.reportText;
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    std::printf("%s", text.c_str());
    std::printf("\nSpectral sums: total power %g (kind 0), %g (kind 1)\n", static_cast<double>(powerTotal(read.total)),
                static_cast<double>(powerTotal(read.seizure)));
    for (int ch = 0; ch < data::kChannels; ++ch) {
        auto samples = rawSamples(rec, ch);
        std::printf("Raw channel %d: %zu samples, checksum %08x\n", ch + 1, samples.size(),
                    checksum(samples.data(), samples.size()));
    }
    for (int s = 0; s < data::kConditionSeries; ++s)
        std::printf("Condition series %d: %zu values, checksum %08x\n", s + 1, conditionCount(rec, s),
                    checksum(rec.conditionData[s].data(), conditionCount(rec, s)));
    for (int c = 0; c < data::kChannels; ++c)
        std::printf("FFT channel %d: %zu values, checksum %08x\n", c + 1, fftCount(rec, c),
                    checksum(rec.fftData[c].data(), fftCount(rec, c)));
    std::printf("Epoch flags: %d rejected\nMarkers: 56=%d 57=%d\n\nPatient:\n", rejectedEpochs(rec), rec.marker56,
                rec.marker57);
    for (int f = 0; f < data::kPatientFields; ++f)
        std::printf("  %s: \"%s\"\n", data::kPatientFieldLabel[f], rec.patient.text[f].c_str());
}

void jsonArrays(JsonWriter& j, const Recording& rec)
{
    j.key("raw").beginArray();
    for (int ch = 0; ch < data::kChannels; ++ch) {
        auto samples = rawSamples(rec, ch);
        j.beginObject().key("count").value(static_cast<std::int64_t>(samples.size()));
        j.key("checksum").value(static_cast<std::int64_t>(checksum(samples.data(), samples.size()))).endObject();
    }
    j.endArray().key("condition").beginArray();
    for (int s = 0; s < data::kConditionSeries; ++s) {
        j.beginObject().key("count").value(static_cast<std::int64_t>(conditionCount(rec, s)));
        j.key("checksum").value(static_cast<std::int64_t>(checksum(rec.conditionData[s].data(), conditionCount(rec, s))));
        j.endObject();
    }
    j.endArray().key("fft").beginArray();
    for (int c = 0; c < data::kChannels; ++c) {
        j.beginObject().key("count").value(static_cast<std::int64_t>(fftCount(rec, c)));
        j.key("checksum").value(static_cast<std::int64_t>(checksum(rec.fftData[c].data(), fftCount(rec, c))));
        j.endObject();
    }
    j.endArray();
}

void printJson(const std::vector<data::SectionInfo>& sections, const data::LoadedRecording& read)
{
    const Recording& rec = read.rec;
    JsonWriter j;
    j.beginObject().key("sections").beginArray();
    for (const auto& s : sections) {
        j.beginObject().key("offset").value(static_cast<std::int64_t>(s.offset)).key("tag").value(std::int64_t{s.tag});
        j.key("name").value(sectionName(s.tag)).key("count").value(std::int64_t{s.count});
        j.key("bytes").value(static_cast<std::int64_t>(s.length)).endObject();
    }
    j.endArray().key("header").beginArray();
    for (std::uint16_t w : rec.header)
        j.value(std::int64_t{w});
    j.endArray().key("resultValue").beginArray();
    for (float v : rec.resultValue)
        j.value(static_cast<double>(v));
    j.endArray().key("calibrationFactors").beginArray();
    for (float v : rec.calibrationFactors)
        j.value(static_cast<double>(v));
    j.endArray().key("additionalParams").beginArray();
    for (float v : rec.additionalParams)
        j.value(static_cast<double>(v));
    j.endArray();
    j.key("deviceName").value(rec.deviceName).key("reportTitle").value(rec.reportTitle);
    j.key("reportText").value(rec.reportText);
    j.key("spectralPowerTotal").beginArray().value(static_cast<double>(powerTotal(read.total)));
    j.value(static_cast<double>(powerTotal(read.seizure))).endArray();
    jsonArrays(j, rec);
    j.key("rejectedEpochs").value(std::int64_t{rejectedEpochs(rec)});
    j.key("marker56").value(std::int64_t{rec.marker56}).key("marker57").value(std::int64_t{rec.marker57});
    j.key("patient").beginObject();
    for (int f = 0; f < data::kPatientFields; ++f)
        j.key(data::kPatientFieldLabel[f]).value(rec.patient.text[f]);
    j.endObject().endObject();
    std::printf("%s\n", j.text().c_str());
}

}  // namespace

int dumpCommand(const Args& args)
{
    bool json = false;
    std::string path;
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else if (path.empty())
            path = a;
        else
            return fail(kUsage, "dump takes one file");
    }
    if (path.empty())
        return fail(kUsage, "usage: ozmar-tool dump [--json] FILE");
    std::vector<data::SectionInfo> sections;
    const std::function<void(const data::SectionInfo&)> seen = [&](const data::SectionInfo& s) { sections.push_back(s); };
    auto read = std::make_unique<data::LoadedRecording>();
    if (const int status = loadOwnFile(path, *read, false, &seen); status != kSuccess)
        return status;
    if (json)
        printJson(sections, *read);
    else
        printText(sections, path, *read);
    return kSuccess;
}

}  // namespace tool
