#include "data/streamWriter.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/spectralSums.h"
#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "data/recordingStore.h"
#include "data/reportText.h"
#include "data/sampleRing.h"
#include "data/streamFormat.h"
#include "data/streamReader.h"

namespace data {

namespace {

class SectionWriter {
public:
    SectionWriter(DataFile* file, Recording& rec, InstrumentSums sums, bool showProgress)
        : file_(file), rec_(&rec), sums_(sums), progress_(showProgress)
    {
    }
    // A writer of the patient fields alone, with no recording.
    explicit SectionWriter(DataFile* file) : file_(file), rec_(nullptr), progress_(false) {}

    void write(bool withPatient);
    // The five fields: each from `ids`, or from `import` where `fromImport` says so.
    void patientFields(const PatientSet& ids, const PatientSet* import, const std::array<bool, kPatientFields>* fromImport);

private:
    void u8(std::uint32_t v) { putInt(1, v, file_); }
    // The common 16-bit write, straight into the file's buffer.
    void u16(std::uint32_t v)
    {
        if (!file_)
            putInt(2, v, nullptr);
        else if (!file_->putByte(static_cast<std::uint8_t>(v)) || !file_->putByte(static_cast<std::uint8_t>(v >> 8)))
            raiseFileError(filestatus::fileIoError);
    }
    void u32(std::uint32_t v) { putInt(4, v, file_); }
    void bytes(const std::string& s) { putBytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), file_); }
    bool has(std::uint16_t bits) const { return (rec_->contentFlags() & bits) != 0; }
    bool fourChannels() const { return rec_->header[hw::channelMode] == 1; }

    // Shows a stage and arms the start-up pacing with the stream's first one.
    void stage(const std::string& text, std::uint64_t total)
    {
        if (!progress_)
            return;
        armPacing();
        setProgressSection(text, static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX)));
    }
    void stageNumbered(const char* format, unsigned number, std::uint64_t total)
    {
        char text[48];
        std::snprintf(text, sizeof text, format, number);
        stage(text, total);
    }

    void deviceName();
    void header();
    void reportTitle();
    void reportLines();
    void sums();
    void additional();
    std::uint32_t raw();
    std::uint32_t condition();
    std::uint32_t fft();
    void epochFlags(std::uint32_t epochs);
    void markers();

    DataFile* file_;
    Recording* rec_;
    InstrumentSums sums_;
    bool progress_;
};

void SectionWriter::deviceName()
{
    if (!has(content::summary) || rec_->deviceName.empty())
        return;
    u8(tag::deviceName);
    u8(static_cast<std::uint32_t>(rec_->deviceName.size()));
    bytes(rec_->deviceName);
}

void SectionWriter::header()
{
    if (!has(content::summary))
        return;
    stage("Header...", 322);
    u8(tag::header);
    u8(kHeaderWords);
    for (std::uint16_t word : rec_->header)
        u16(word);
}

void SectionWriter::reportTitle()
{
    if (!has(content::summary) || rec_->reportTitle.empty())
        return;
    stage("Report Text...", rec_->reportTitle.size() + 2);
    u8(tag::reportTitle);
    u16(static_cast<std::uint32_t>(rec_->reportTitle.size()));
    bytes(rec_->reportTitle);
}

void SectionWriter::reportLines()
{
    if (!has(content::summary) || rec_->reportText.empty() || !has(content::reportText))
        return;
    // The text's own lines as the file stores them, one record each; empty ones are left out.
    std::vector<std::string> lines;
    std::uint64_t total = 0;
    for (std::string& line : data::reportTextLines(rec_->reportText)) {
        if (line.empty())
            continue;
        total += line.size() + 2;
        lines.push_back(std::move(line));
    }
    stage("Report Text...", total);
    for (const std::string& line : lines) {
        u8(tag::reportLine);
        u16(static_cast<std::uint32_t>(std::min<std::size_t>(line.size(), 0xFFFF)));
        bytes(line.substr(0, 0xFFFF));
    }
}

void SectionWriter::sums()
{
    if (!has(content::summary))
        return;
    const int sets = fourChannels() ? 4 : 2;
    stage("Sets of float numbers...", 514ull * sets);
    for (int set = 0; set < sets; ++set) {
        const analysis::SpectralKind& kind = set % 2 == 0 ? *sums_.total : *sums_.seizure;
        const int pair = set / 2;
        u8(tag::sumsFirst + set);
        u8(kSumCount);
        for (int row = 0; row < kSumRows; ++row) {
            putFloatBE(kind.power[2 * pair][row], file_);
            putFloatBE(kind.power[2 * pair + 1][row], file_);
            putFloatBE(kind.crossRe[pair][row], file_);
            putFloatBE(kind.crossIm[pair][row], file_);
        }
    }
}

void SectionWriter::additional()
{
    if (!has(content::summary))
        return;
    stage("Additional parameters", 26);
    u8(tag::additionalParams);
    u8(kAdditionalParams);
    for (float value : rec_->additionalParams)
        putFloatBE(value, file_);
}

// Returns the number of epochs the written channels cover.
std::uint32_t SectionWriter::raw()
{
    if (!has(content::rawEeg))
        return 0;
    std::uint32_t epochs = 0;
    for (int ch = 0; ch < kChannels; ++ch) {
        const std::uint32_t n = rec_->rawChannels[ch].count;
        stageNumbered("RAW data of channel #%u", ch + 1, 2ull * n + 5);
        u8(tag::rawFirst + ch);
        u32(n);
        for (std::uint32_t i = 0; i < n; ++i)
            u16(static_cast<std::uint16_t>(channelSampleAt(*rec_, ch, i)));
        epochs = std::max(epochs, (n + kEpochSamples - 1) / kEpochSamples);
    }
    return epochs;
}

std::uint32_t SectionWriter::condition()
{
    if (!has(content::rawEeg | content::fftData))
        return 0;
    const int series = rec_->header[hw::channelMode] != 0 ? 1 : 3;
    std::uint32_t epochs = 0;
    for (int s = 0; s < series; ++s) {
        const std::uint32_t n = rec_->epochCount(s);
        stageNumbered("Condition data #%u", s + 1, 2ull * n + 3);
        u8(tag::conditionFirst + s);
        u16(n);
        for (std::uint32_t i = 0; i < n; ++i)
            u16(static_cast<std::uint16_t>(rec_->conditionData[s][epochIndex(*rec_, i)]));
        epochs = std::max(epochs, n);
    }
    return epochs;
}

// The count comes from the header; a channel never holds more than 670 epochs,
// so at most that many are written and the count says what follows.
std::uint32_t SectionWriter::fft()
{
    if (!has(content::fftData))
        return 0;
    const int channels = fourChannels() ? 4 : 2;
    std::uint32_t epochs = 0;
    for (int c = 0; c < channels; ++c) {
        const std::uint32_t channelEpochs = std::min<std::uint32_t>(rec_->epochCount(c), kMaxEpochs);
        const std::uint32_t n = channelEpochs * kFftValuesPerEpoch;
        stageNumbered("FFT data of channel #%u", c + 1, 2ull * n + 5);
        u8(tag::fftFirst + c);
        u32(n);
        const auto& values = rec_->fftData[c];
        for (std::uint32_t i = 0; i < n; ++i)
            u16(static_cast<std::uint16_t>(values[i]));
        epochs = std::max(epochs, channelEpochs);
    }
    return epochs;
}

void SectionWriter::epochFlags(std::uint32_t epochs)
{
    if (!file_ || epochs == 0)
        return;
    u8(tag::epochFlags);
    u16(epochs);
    for (std::uint32_t i = 0; i < epochs; ++i)
        u16(rec_->epochSelected[epochIndex(*rec_, i)] ? 1 : 0);
}

void SectionWriter::markers()
{
    const bool wanted = has(content::markers) || (has(content::report) && has(content::monitoring));
    if (!file_ || !wanted)
        return;
    const std::pair<std::uint16_t, std::int16_t> records[] = {{56, rec_->marker56}, {57, rec_->marker57}};
    for (const auto& [which, value] : records) {
        if (value < 0)
            continue;
        u8(tag::parameterRecord);
        u16(2);
        u16(which);
        u16(static_cast<std::uint16_t>(value));
    }
}

// Writes the five fields: each from `ids`, or from the import set where
// `fromImport` says so; Age and Sex texts are regenerated first.
void SectionWriter::patientFields(const PatientSet& ids, const PatientSet* import,
                                  const std::array<bool, kPatientFields>* fromImport)
{
    std::array<std::string, kPatientFields> texts = ids.text;
    auto source = [&](int field) -> const PatientSet& {
        return (import && fromImport && (*fromImport)[field]) ? *import : ids;
    };
    texts[patientAgeField] = ageText(source(patientAgeField).patientAge);
    texts[patientSexField] = std::to_string(source(patientSexField).patientSex);
    for (int f = 0; f < kPatientFields; ++f)
        if (f != patientAgeField && f != patientSexField)
            texts[f] = source(f).text[f];
    // Every writer keeps to the limits; this last guard keeps the stored length
    // equal to the bytes and within what the reader takes back.
    for (int f = 0; f < kPatientFields; ++f)
        if (texts[f].size() > kPatientFieldMax[f])
            texts[f].resize(kPatientFieldMax[f]);
    std::uint64_t total = 0;
    for (const auto& t : texts)
        total += t.size() + 3;
    stage("Patient Info...", total);
    for (int f = 0; f < kPatientFields; ++f) {
        u8(tag::patientFirst + f);
        u16(static_cast<std::uint32_t>(texts[f].size()));
        bytes(texts[f]);
    }
}

void SectionWriter::write(bool withPatient)
{
    deviceName();
    header();
    reportTitle();
    reportLines();
    sums();
    additional();
    std::uint32_t epochs = raw();
    epochs = std::max(epochs, condition());
    epochs = std::max(epochs, fft());
    epochFlags(epochs);
    markers();
    if (withPatient) {
        rec_->patient.textsFromNumbers();
        patientFields(rec_->patient, nullptr, nullptr);
    }
}

}  // namespace

void writeDataStream(DataFile* file, Recording& rec, InstrumentSums sums, bool withPatient, ProgressSink* progress)
{
    if (!file)
        linkState.progress = progress;
    SectionWriter writer(file, rec, sums, progress != nullptr);
    writer.write(withPatient);
    if (file && !file->flushBuffer())
        raiseFileError(filestatus::fileIoError);
}

void writePatientFields(DataFile& file, const PatientSet& ids, const PatientSet* import,
                        const std::array<bool, kPatientFields>* fromImport)
{
    SectionWriter writer(&file);
    writer.patientFields(ids, import, fromImport);
    if (!file.flushBuffer())
        raiseFileError(filestatus::fileIoError);
}

void writeStream(ProgressSink* progress, DataFile* file, bool withPatient)
{
    linkState.progress = progress;
    const StreamState& s = streamState;
    const InstrumentSums sums{&analysis::spectralSums.kind(0), &analysis::spectralSums.kind(1)};
    if (!s.patientOnly) {
        writeDataStream(file, recordings.primary, sums, withPatient, progress);
        return;
    }
    if (file)
        writePatientFields(*file, recordings.secondary.patient, &recordings.importPatients, &recordings.useImportField);
}

}  // namespace data
