#include "data/streamReader.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <string>

#include "analysis/spectralSums.h"
#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "data/recordingHooks.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "data/streamFormat.h"

namespace data {

StreamState streamState;

void StreamState::reset()
{
    *this = StreamState{};
}

namespace {

static_assert(std::endian::native == std::endian::little, "the section reader copies little-endian words as they are");

// Where the storing pass puts what it reads. With every pointer null the pass
// only checks the stream's form.
struct Target {
    Recording* rec = nullptr;          // header, texts, samples
    InstrumentSums sums;               // the sums sections, with `rec`
    bool primary = false;              // members that only a whole recording keeps
    bool samples = true;               // the samples and condition series, with `rec`
    PatientSet* patients = nullptr;    // patient fields
    StreamState* tags = nullptr;       // patient-only mode: tags and field offsets noted here
    const std::function<void(const SectionInfo&)>* sectionSeen = nullptr;
};

class SectionReader {
public:
    SectionReader(DataFile* file, const Target& target, bool showProgress)
        : file_(file), t_(target), progress_(showProgress)
    {
    }

    // Reads one section; false at the end of the stream.
    bool next();

private:
    std::uint32_t u8() { return getInt(1, file_); }
    // The common 16-bit read, taken straight from the file's buffer.
    std::uint32_t u16()
    {
        if (!file_)
            return getInt(2, nullptr);
        const int lo = file_->getByte();
        const int hi = file_->getByte();
        if (hi < 0)
            raiseFileError(filestatus::fileIoError);
        return static_cast<std::uint32_t>(lo | (hi << 8));
    }
    std::uint32_t u32() { return getInt(4, file_); }
    // Reads `n` 16-bit values and hands them to `use(first, values, count)` a
    // block at a time; from a file the blocks come straight from its buffer.
    template <class Use>
    void words(std::uint32_t n, Use use)
    {
        std::int16_t values[2048];
        std::uint32_t done = 0;
        while (done < n) {
            const std::uint32_t count = std::min<std::uint32_t>(n - done, 2048);
            if (file_) {
                // The file holds them least significant byte first, as this machine does.
                if (file_->getBytes(reinterpret_cast<std::uint8_t*>(values), 2ull * count) != 2ull * count)
                    raiseFileError(filestatus::fileIoError);
            } else {
                for (std::uint32_t i = 0; i < count; ++i)
                    values[i] = static_cast<std::int16_t>(u16());
            }
            use(done, values, count);
            done += count;
        }
    }
    // Notes a section's count for the section observer.
    std::uint32_t count(std::uint32_t n)
    {
        count_ = n;
        return n;
    }

    void stage(const std::string& text, std::uint64_t total)
    {
        if (progress_)
            setProgressSection(text, static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX)));
    }
    void stageNumbered(const char* format, unsigned number, std::uint64_t total)
    {
        char text[48];
        std::snprintf(text, sizeof text, format, number);
        stage(text, total);
    }

    // Passes over `count` bytes; a file that ends first raises fileIoError.
    void skip(std::uint64_t count)
    {
        if (file_ && !file_->skip(count))
            raiseFileError(filestatus::fileIoError);
        if (!file_)
            for (std::uint64_t i = 0; i < count; ++i)
                receiveByte();
    }
    // Reads `count` bytes of text; `dest`, when given, keeps the first `max`
    // of them up to the first zero byte.
    void text(std::uint32_t count, std::string* dest, std::size_t max);

    void header();
    void raw(int ch);
    void condition(int series);
    void sums(int set);
    void additional();
    void fft(int ch);
    void patientField(int field);
    void reportLine();
    void epochFlags();
    void parameterRecord();
    void noteTag(int tagByte, std::uint64_t offset);
    void dispatch(int t);
    bool storing() const { return t_.rec || t_.patients; }

    DataFile* file_;
    Target t_;
    bool progress_;
    std::uint32_t count_ = 0;
};

void SectionReader::text(std::uint32_t count, std::string* dest, std::size_t max)
{
    if (!dest) {
        skip(count);
        return;
    }
    dest->clear();
    bool ended = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        char c = static_cast<char>(getInt(1, file_));
        if (c == '\0')
            ended = true;
        if (!ended && dest->size() < max)
            dest->push_back(c);
    }
}

void SectionReader::header()
{
    std::uint32_t n = count(u8());
    stage("Header...", 2ull * n);
    if (!t_.rec) {
        skip(2ull * n);
        return;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        std::uint16_t word = static_cast<std::uint16_t>(u16());
        if (i < kHeaderWords)
            t_.rec->header[i] = word;
    }
    decodeHeaderFloats(*t_.rec);
}

void SectionReader::raw(int ch)
{
    // A channel holds at most the ring's samples: a longer section is damaged,
    // and is refused before a byte of it is read.
    std::uint32_t n = count(u32());
    if (n > kRingSamples)
        raiseFormatError(file_);
    stageNumbered("RAW data of channel #%u", ch + 1, 2ull * n);
    if (!t_.rec || !t_.samples) {
        skip(2ull * n);
        return;
    }
    words(n, [&](std::uint32_t, const std::int16_t* values, std::uint32_t count) {
        channelAppend(*t_.rec, ch, values, count);
    });
}

void SectionReader::condition(int series)
{
    std::uint32_t n = count(u16());
    stageNumbered("Condition data #%u", series + 1, 2ull * n);
    bool keep = t_.rec && t_.samples && series < kConditionSeries && (t_.primary || series == 0);
    if (!keep) {
        skip(2ull * n);
        return;
    }
    auto& stored = t_.rec->conditionData[series];
    words(n, [&](std::uint32_t first, const std::int16_t* values, std::uint32_t count) {
        for (std::uint32_t i = 0; i < count && first + i < kMaxEpochs; ++i)
            stored[first + i] = values[i];
    });
}

void SectionReader::sums(int set)
{
    if (count(u8()) != kSumCount)
        raiseFormatError(file_);
    stageNumbered("Set of float numbers #%u", set, 512);
    if (!t_.rec) {
        skip(4ull * kSumCount);
        return;
    }
    analysis::SpectralKind& kind = set % 2 == 0 ? *t_.sums.total : *t_.sums.seizure;
    const int pair = set / 2;
    for (int row = 0; row < kSumRows; ++row) {
        kind.power[2 * pair][row] = getFloatBE(file_);
        kind.power[2 * pair + 1][row] = getFloatBE(file_);
        kind.crossRe[pair][row] = getFloatBE(file_);
        kind.crossIm[pair][row] = getFloatBE(file_);
    }
}

void SectionReader::additional()
{
    std::uint32_t n = count(u8());
    stage("Additional parameters", 4ull * n);
    if (!t_.primary) {
        skip(4ull * n);
        return;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        float value = getFloatBE(file_);
        if (i < kAdditionalParams)
            t_.rec->additionalParams[i] = value;
    }
}

void SectionReader::fft(int ch)
{
    std::uint32_t n = count(u32());
    if (n > kFftValues)
        raiseFormatError(file_);
    stageNumbered("FFT data of channel #%u", ch + 1, 2ull * n);
    if (!t_.primary) {
        skip(2ull * n);
        return;
    }
    auto& stored = t_.rec->fftData[ch];
    words(n, [&](std::uint32_t first, const std::int16_t* values, std::uint32_t count) {
        std::copy(values, values + count, stored.begin() + first);
    });
}

void SectionReader::patientField(int field)
{
    std::uint32_t n = count(u16());
    if (!t_.patients || n > kPatientFieldMax[field]) {
        skip(n);
        return;
    }
    text(n, &t_.patients->text[field], kPatientFieldMax[field]);
    if (field == patientAgeField)
        t_.patients->ageFromText();
    else if (field == patientSexField)
        t_.patients->sexFromText();
}

void SectionReader::reportLine()
{
    std::uint32_t n = count(u16());
    stage("Report Text...", 2ull * n);
    if (!t_.rec) {
        skip(n);
        return;
    }
    std::string& report = t_.rec->reportText;
    for (std::uint32_t i = 0; i < n; ++i) {
        char c = static_cast<char>(u8());
        if (c != '\0' && report.size() < kReportTextMax - 1)
            report.push_back(c);
    }
    if (report.size() < kReportTextMax)
        report.push_back('\r');
}

void SectionReader::epochFlags()
{
    std::uint32_t n = count(u16());
    if (!t_.primary) {
        skip(2ull * n);
        return;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        bool selected = u16() != 0;
        if (i < kMaxEpochs)
            t_.rec->epochMarks[i] = selected;
    }
}

void SectionReader::parameterRecord()
{
    std::uint32_t n = count(u16());
    if (!t_.primary || n != 2) {
        skip(2ull * n);
        return;
    }
    std::uint32_t which = u16();
    std::int16_t value = static_cast<std::int16_t>(u16());
    if (which == 56)
        t_.rec->marker56 = value;
    else if (which == 57)
        t_.rec->marker57 = value;
}

void SectionReader::noteTag(int tagByte, std::uint64_t offset)
{
    StreamState& s = *t_.tags;
    s.lastTags[s.lastTagNext] = tagByte;
    s.lastTagOffsets[s.lastTagNext] = static_cast<std::int64_t>(offset);
    s.lastTagNext = (s.lastTagNext + 1) % 5;
    if (isPatientTag(tagByte))
        s.patientFieldOffset[tagByte - tag::patientFirst] = static_cast<std::int64_t>(offset);
}

bool SectionReader::next()
{
    const std::uint64_t offset = file_ ? file_->offset() : 0;
    const int t = getByte(file_);
    if (t < 0)
        return false;
    if (t_.tags)
        noteTag(t, offset);
    count_ = 0;
    dispatch(t);
    if (t == tag::endOfStream)
        return false;
    if (storing() && t_.sectionSeen && *t_.sectionSeen)
        (*t_.sectionSeen)(SectionInfo{t, offset, (file_ ? file_->offset() : 0) - offset, count_});
    return true;
}

void SectionReader::dispatch(int t)
{
    switch (t) {
    case tag::header: header(); break;
    case 8: case 9: case 10: case 11: raw(t - tag::rawFirst); break;
    case 12: case 13: case 14: case 15: condition(t - tag::conditionFirst); break;
    case 16: case 17: case 18: case 19: sums(t - tag::sumsFirst); break;
    case tag::additionalParams: additional(); break;
    case 24: case 25: case 26: case 27: fft(t - tag::fftFirst); break;
    case tag::empty:
    case tag::filler: break;
    case tag::deviceNameSent:
    case tag::deviceName: {
        std::uint32_t n = count(u8());
        stage("Name of device...", n);
        text(n, t_.rec ? &t_.rec->deviceName : nullptr, kDeviceNameMax);
        break;
    }
    case 40: case 41: case 42: case 43: case 44: patientField(t - tag::patientFirst); break;
    case tag::reportTitle: {
        std::uint32_t n = count(u16());
        stage("Report Text...", 2ull * n);
        text(n, t_.rec ? &t_.rec->reportTitle : nullptr, kReportTitleMax);
        break;
    }
    case tag::reportLine: reportLine(); break;
    case 45: case 46: case 47: case 50: case 51: skip(count(u16())); break;
    case tag::epochFlags: epochFlags(); break;
    case tag::parameterRecord: parameterRecord(); break;
    case 53: case 54: case 55: case 57: case 58: case 59: skip(2ull * count(u16())); break;
    case tag::doubleWordRecord: skip(4ull * count(u16())); break;
    case tag::endOfStream:
        if (file_)
            raiseFormatError(file_);
        break;
    default: raiseFormatError(file_);
    }
}

void readAll(DataFile* file, const Target& target, bool showProgress)
{
    SectionReader reader(file, target, showProgress);
    while (reader.next()) {
    }
    // A failed read looks like the end of the file to the sections; it is an error.
    if (file && file->readFailed())
        raiseFileError(filestatus::fileIoError);
}

void alignCursors(Recording& rec)
{
    for (int ch = 0; ch < kChannels; ++ch)
        channelAlignForPlayback(rec, ch, rec.playStartSecond);
}

InstrumentSums programSums(int firstKind)
{
    return InstrumentSums{&analysis::spectralSums.kind(firstKind), &analysis::spectralSums.kind(firstKind + 1)};
}

Target primaryTarget(const StreamState& s)
{
    Target t;
    t.rec = &recordings.primary;
    t.sums = programSums(0);
    t.primary = true;
    t.patients = &recordings.primary.patient;
    t.sectionSeen = &s.sectionSeen;
    return t;
}

// Clears what the storing pass is about to fill in the program's recordings
// and says where it goes.
Target prepareProgramTarget(StreamState& s)
{
    if (!s.readSecondary && !s.patientOnly) {
        clearPatientSets(7);
        resetPrimary();
        alignCursors(recordings.primary);
        return primaryTarget(s);
    }
    Target t;
    t.sectionSeen = &s.sectionSeen;
    if (s.patientOnly) {
        clearPatientSets(4);
        t.patients = &recordings.secondary.patient;
        t.tags = &s;
        return t;
    }
    clearPatientSets(4);
    resetSecondary();
    alignCursors(recordings.secondary);
    t.rec = &recordings.secondary;
    t.sums = programSums(4);
    t.patients = &recordings.secondary.patient;
    return t;
}

// The checking pass over the whole file, then back to its start.
void checkFile(DataFile& file)
{
    readAll(&file, Target{}, false);
    if (!file.rewind())
        raiseFileError(filestatus::fileIoError);
}

void readProgramFile(DataFile* file)
{
    StreamState& s = streamState;
    const bool plainPrimary = !s.readSecondary && !s.patientOnly;
    if (s.patientOnly) {
        s.lastTags.fill(-1);
        s.lastTagOffsets.fill(-1);
        s.lastTagNext = 0;
        s.patientFieldOffset.fill(-1);
    }
    checkFile(*file);
    readAll(file, prepareProgramTarget(s), false);
    if (plainPrimary)
        recordingHooks.primaryRead(recordings.primary);
}

}  // namespace

void readDataFile(DataFile& file, Recording& rec, InstrumentSums sums, ReadScope scope,
                  const std::function<void(const SectionInfo&)>* sectionSeen)
{
    checkFile(file);
    emptyRecording(rec);
    sums.total->clear();
    sums.seizure->clear();
    alignCursors(rec);
    Target t;
    t.rec = &rec;
    t.sums = sums;
    t.primary = scope == ReadScope::whole;
    t.samples = scope != ReadScope::summary;
    t.patients = &rec.patient;
    t.sectionSeen = sectionSeen;
    readAll(&file, t, false);
    selectStoredEpochs(rec, 0);
}

void readPatientFields(DataFile& file, PatientSet& fields, StreamState& tags)
{
    tags.lastTags.fill(-1);
    tags.lastTagOffsets.fill(-1);
    tags.lastTagNext = 0;
    tags.patientFieldOffset.fill(-1);
    checkFile(file);
    fields.clear();
    Target t;
    t.patients = &fields;
    t.tags = &tags;
    readAll(&file, t, false);
}

void readReceivedStream(Recording& rec, InstrumentSums sums, ProgressSink* progress)
{
    linkState.progress = progress;
    Target t;
    t.rec = &rec;
    t.sums = sums;
    t.primary = true;
    t.patients = &rec.patient;
    readAll(nullptr, t, progress != nullptr);
    checkReceivedStream();
}

void checkReceivedForm()
{
    readAll(nullptr, Target{}, false);
    checkReceivedStream();
}

void readStream(ProgressSink* progress, DataFile* file)
{
    if (file) {
        readProgramFile(file);
        return;
    }
    linkState.progress = progress;
    readAll(nullptr, primaryTarget(streamState), progress != nullptr);
    checkReceivedStream();
    recordingHooks.primaryRead(recordings.primary);
}

}  // namespace data
