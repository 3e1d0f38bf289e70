#include "support/sampleRecording.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "data/recordingHooks.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "data/streamReader.h"
#include "data/streamWriter.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "platform/fileOps.h"

namespace testing_support {

using namespace data;

void resetCore()
{
    recordings.reset();
    recordingHooks.reset();
    linkState.reset();
    streamState.reset();
    analysis::spectralSums.clearAll();
    analysis::spectralTables.reset();
    monitor::epochData.reset();
    monitor::monitorState.reset();
    monitor::monitorHooks.reset();
    platform::fileOps.reset();
}

namespace {

void fillHeader(Recording& rec, const SampleOptions& o, std::mt19937& random)
{
    for (int w = 0; w < kHeaderWords; ++w)
        rec.header[w] = static_cast<std::uint16_t>(random());
    rec.header[hw::contentFlags] = content::report | content::rawEeg | content::fftData | content::summary |
                                   content::markers | (o.reportText ? 0x0100 : 0);
    if (o.samples == 0)
        rec.header[hw::contentFlags] &= static_cast<std::uint16_t>(~content::rawEeg);
    rec.header[hw::channelMode] = static_cast<std::uint16_t>(o.channelMode);
    rec.header[hw::channelModeCopy] = static_cast<std::uint16_t>(o.channelMode);
    for (int c = 0; c < 4; ++c)
        rec.header[hw::epochCount + c] = static_cast<std::uint16_t>(o.epochs);
    for (int k = 0; k < kResultValues; ++k)
        rec.resultValue[k] = static_cast<float>(random() % 100000) / 7.0f;
    for (int k = 0; k < kCalibrationFactors; ++k)
        rec.calibrationFactors[k] = 0.8f + static_cast<float>(random() % 400) / 1000.0f;
    encodeHeaderFloats(rec);
}

void fillArrays(Recording& rec, const SampleOptions& o, std::mt19937& random)
{
    std::uniform_int_distribution<int> sample(-4000, 4000);
    for (int ch = 0; ch < kChannels; ++ch)
        for (std::uint32_t i = 0; i < o.samples; ++i)
            channelAppend(rec, ch, static_cast<std::int16_t>(sample(random)));
    for (auto& series : rec.conditionData)
        for (std::uint32_t e = 0; e < o.epochs; ++e)
            series[e] = static_cast<std::int16_t>(random() % 3);
    for (auto& channel : rec.fftData)
        for (std::uint32_t i = 0; i < o.epochs * kFftValuesPerEpoch; ++i)
            channel[i] = static_cast<std::int16_t>(sample(random));
    for (int k = 0; k < 2; ++k) {
        auto& kind = analysis::spectralSums.kind(k);
        for (int j = 0; j < analysis::kBins; ++j) {
            for (int c = 0; c < 4; ++c)
                kind.power[c][j] = static_cast<float>(random() % 1000000) / 3.0f;
            for (int p = 0; p < 2; ++p) {
                kind.crossRe[p][j] = static_cast<float>(static_cast<int>(random() % 20000) - 10000);
                kind.crossIm[p][j] = static_cast<float>(static_cast<int>(random() % 20000) - 10000);
            }
        }
    }
    for (int i = 0; i < kAdditionalParams; ++i)
        rec.additionalParams[i] = static_cast<float>(i) * 1.5f - 3.0f;
    for (std::uint32_t e = 0; e < kMaxEpochs; ++e)
        rec.epochSelected[e] = (e % 7) != 3;
}

void fillTexts(Recording& rec, const SampleOptions& o)
{
    rec.deviceName = "Corvane 4000";
    rec.reportTitle = "USER PROGRAM";
    if (o.reportText)
        rec.reportText = "\"% Energy Set\",50,\" %\"\r\"Charge Delivered\",252.0,\" mC\"\r\"EEG Endpoint\",33,\" Sec\"\r";
    rec.patient.text = {"ID-0042", "Jane Doe", "", "", "First treatment, \"right\" unilateral"};
    rec.patient.patientAge = 57;
    rec.patient.patientSex = kSexFemale;
    rec.marker56 = 3;
    rec.marker57 = 7;
}

}  // namespace

void fillPrimary(const SampleOptions& options)
{
    std::mt19937 random(options.seed);
    Recording& rec = recordings.primary;
    fillHeader(rec, options, random);
    fillArrays(rec, options, random);
    fillTexts(rec, options);
}

void fillPrimaryMaximum()
{
    SampleOptions o;
    o.channelMode = 1;
    o.samples = kRingSamples;
    o.epochs = kMaxEpochs;
    fillPrimary(o);
}

void writePrimary(const std::string& path)
{
    auto file = DataFile::open(path, DataFile::Mode::write);
    if (!file)
        throw std::runtime_error("cannot create " + path);
    writeStream(nullptr, file.get(), true);
    if (!file->close())
        throw std::runtime_error("cannot close " + path);
}

void readPrimary(const std::string& path)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    readStream(nullptr, file.get());
}

std::string fileText(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = fileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "ozmar-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace testing_support
