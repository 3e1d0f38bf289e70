// The EDF+ export checked against the format's own rules: field widths and
// ASCII, the header and record sizes, the signals, the annotation signal's
// time-stamped lists, and --anonymise leaving no trace of the patient.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "report/edfExport.h"
#include "support/sampleRecording.h"

using namespace report;

namespace {

class EdfReader {
public:
    explicit EdfReader(const std::vector<std::uint8_t>& bytes) : b_(bytes) {}
    std::string text(std::size_t at, std::size_t width) const { return std::string(b_.begin() + at, b_.begin() + at + width); }
    long number(std::size_t at, std::size_t width) const { return std::stol(text(at, width)); }
    int signals() const { return static_cast<int>(number(252, 4)); }
    // Field `offset` (in the order of the signal header) of signal s, each field `width` wide.
    std::string signalField(int fieldStart, std::size_t width, int s) const
    {
        return text(256 + static_cast<std::size_t>(fieldStart) * signals() + s * width, width);
    }

private:
    const std::vector<std::uint8_t>& b_;
};

// Field starts in units of "per signal": label 16, transducer 80, dimension 8, pmin 8, pmax 8, dmin 8, dmax 8, prefilter 80, samples 8.
constexpr int kLabel = 0, kDimension = 96, kPhysMin = 104, kDigMin = 120, kSamples = 216;

class EdfExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        testing_support::SampleOptions o;
        o.samples = 5050;  // 25.25 s: the last record is a padded one
        o.epochs = 19;
        testing_support::fillPrimary(o);
        data::Recording& rec = data::recordings.primary;
        rec.patient.text[data::patientId] = "ID-7731";
        rec.patient.text[data::patientName] = "J\xF6rg M\xFCller";  // Windows-1252
        rec.header[data::hw::month] = 3;
        rec.header[data::hw::day] = 9;
        rec.header[data::hw::year] = 26;
        rec.epochMarks.fill(true);
        rec.epochMarks[data::epochIndex(rec, 4)] = false;
        std::fill(rec.conditionData[0].begin(), rec.conditionData[0].end(), std::int16_t{0});
        rec.conditionData[0][data::epochIndex(rec, 7)] = 1;
        rec.header[data::hw::contentFlags] |= data::content::report;
        rec.marker57 = 3;
    }
    void TearDown() override { testing_support::resetCore(); }
};

}  // namespace

TEST_F(EdfExport, HeaderFollowsTheRules)
{
    const data::Recording& rec = data::recordings.primary;
    const std::vector<std::uint8_t> bytes = edfBytes(rec, {});
    ASSERT_FALSE(bytes.empty());
    const EdfReader r(bytes);
    // Every header byte is printable ASCII.
    const long headerBytes = r.number(184, 8);
    ASSERT_TRUE(std::all_of(bytes.begin(), bytes.begin() + headerBytes, [](std::uint8_t c) { return c >= 32 && c < 127; }));
    EXPECT_EQ(r.text(0, 8), "0       ");
    EXPECT_EQ(r.text(8, 80).substr(0, 30), "ID-7731 X X Jorg_Muller       ");  // no sex entered: X
    EXPECT_EQ(r.text(88, 40), "Startdate 09-MAR-2026 X X Ozmar_6.81    ");
    EXPECT_EQ(r.text(168, 8), "09.03.26");
    EXPECT_EQ(r.text(192, 5), "EDF+C");
    const int ns = r.signals();
    ASSERT_EQ(ns, 5);  // four channels and the annotations
    EXPECT_EQ(headerBytes, 256 * (ns + 1));
    EXPECT_EQ(r.signalField(kLabel, 16, 0), "EEG EEG1        ");
    EXPECT_EQ(r.signalField(kLabel, 16, 2), "EMG             ");
    EXPECT_EQ(r.signalField(kLabel, 16, 3), "ECG             ");
    EXPECT_EQ(r.signalField(kLabel, 16, 4), "EDF Annotations ");
    EXPECT_EQ(r.signalField(kDimension, 8, 1), "uV      ");
    EXPECT_EQ(r.signalField(kDigMin, 8, 0), "-32768  ");
    EXPECT_NEAR(std::stod(r.signalField(kPhysMin, 8, 1)), -32768 * 0.125 * rec.calibrationFactors[1], 0.01);
    // Records: 26 of one second, each 4 x 200 samples and the annotation samples.
    const long records = r.number(236, 8);
    EXPECT_EQ(records, 26);
    EXPECT_EQ(r.number(244, 8), 1);
    const long notes = std::stol(r.signalField(kSamples, 8, 4));
    EXPECT_EQ(std::stol(r.signalField(kSamples, 8, 0)), 200);
    EXPECT_EQ(static_cast<long>(bytes.size()), headerBytes + records * (4 * 200 + notes) * 2);
}

TEST_F(EdfExport, SamplesAndAnnotationsInEveryRecord)
{
    const data::Recording& rec = data::recordings.primary;
    const std::vector<std::uint8_t> bytes = edfBytes(rec, {});
    const EdfReader r(bytes);
    const long header = r.number(184, 8), notes = std::stol(r.signalField(kSamples, 8, 4));
    const long recordBytes = (4 * 200 + notes) * 2;
    std::string events;
    for (long rec_ = 0; rec_ < 26; ++rec_) {
        const std::size_t at = static_cast<std::size_t>(header + rec_ * recordBytes);
        // Samples as stored, little-endian; past the end the digital minimum.
        for (int ch = 0; ch < 4; ++ch)
            for (int i = 0; i < 200; i += 37) {
                const std::size_t p = at + static_cast<std::size_t>((ch * 200 + i) * 2);
                const auto v = static_cast<std::int16_t>(bytes[p] | (bytes[p + 1] << 8));
                const std::uint32_t n = static_cast<std::uint32_t>(rec_ * 200 + i);
                ASSERT_EQ(v, n < 5050 ? data::channelSampleAt(rec, ch, n) : std::int16_t{-32768});
            }
        // The annotation bytes: the record's time stamp first, then complete TALs, then zeros.
        std::string tals(bytes.begin() + static_cast<long>(at) + 800 * 2, bytes.begin() + static_cast<long>(at + recordBytes));
        const std::string stamp = "+" + std::to_string(rec_) + "\x14\x14" + std::string(1, '\0');
        ASSERT_EQ(tals.substr(0, stamp.size()), stamp) << rec_;
        std::string rest = tals.substr(stamp.size());
        rest.erase(rest.find_last_not_of('\0') + 1);
        ASSERT_TRUE(rest.empty() || (rest[0] == '+' && rest.back() == '\x14')) << rec_;
        events += rest;
    }
    EXPECT_NE(events.find(std::string("+5.12\x15") + "1.28\x14Rejected epoch\x14"), std::string::npos);
    EXPECT_NE(events.find(std::string("+8.96\x15") + "1.28\x14Marked epoch\x14"), std::string::npos);
    EXPECT_NE(events.find("+3.84\x14Treatment start\x14"), std::string::npos);
    // The padding after sample 5050 is marked.
    EXPECT_NE(events.find("No sample"), std::string::npos);
}

TEST_F(EdfExport, AnonymisedLeavesNoTraceOfThePatient)
{
    const std::vector<std::uint8_t> bytes = edfBytes(data::recordings.primary, {true});
    const std::string all(bytes.begin(), bytes.end());
    EXPECT_EQ(all.substr(8, 8), "X X X X ");
    for (const std::string secret : {"ID-7731", "J\xF6rg", "M\xFCller", "Jorg", "Muller", "7731"})
        EXPECT_EQ(all.find(secret), std::string::npos) << secret;
}

TEST_F(EdfExport, AsciiTransliterationAndNothingToExport)
{
    EXPECT_EQ(edfAscii("\xC6sop \xDF \xE9t\xE9 \x80 \x01"), "AEsop ss ete ?  ");
    testing_support::resetCore();
    EXPECT_TRUE(edfBytes(data::recordings.primary, {}).empty());
    EXPECT_FALSE(exportEdf(data::recordings.primary, "/tmp/never.edf", {}).empty());
}

TEST_F(EdfExport, DatesKnownInBothCenturiesAndUnknown)
{
    data::Recording& rec = data::recordings.primary;
    struct Case {
        int month, day, year;
        const char* recording;  // the start of the recording field's date
        const char* startDate;  // the start date field
    };
    for (const Case& c : {Case{12, 31, 99, "Startdate 31-DEC-1999 X", "31.12.99"}, Case{1, 2, 85, "Startdate 02-JAN-1985 X", "02.01.85"},
                          Case{7, 4, 84, "Startdate 04-JUL-2084 X", "04.07.84"}, Case{2, 28, 0, "Startdate 28-FEB-2000 X", "28.02.00"},
                          Case{5, 6, 2026, "Startdate 06-MAY-2026 X", "06.05.26"},
                          Case{0, 9, 26, "Startdate X X X Ozmar_", "01.01.85"}, Case{13, 9, 26, "Startdate X X X Ozmar_", "01.01.85"},
                          Case{3, 0, 26, "Startdate X X X Ozmar_", "01.01.85"}, Case{3, 32, 26, "Startdate X X X Ozmar_", "01.01.85"}}) {
        rec.header[data::hw::month] = static_cast<std::uint16_t>(c.month);
        rec.header[data::hw::day] = static_cast<std::uint16_t>(c.day);
        rec.header[data::hw::year] = static_cast<std::uint16_t>(c.year);
        const std::vector<std::uint8_t> bytes = edfBytes(rec, {});
        ASSERT_FALSE(bytes.empty());
        const EdfReader r(bytes);
        const std::string recording = c.recording;
        EXPECT_EQ(r.text(88, recording.size()), recording) << c.month << "/" << c.day << "/" << c.year;
        EXPECT_EQ(r.text(168, 8), c.startDate) << c.month << "/" << c.day << "/" << c.year;
    }
}

TEST_F(EdfExport, FourChannelRecordingsLabelEveryChannelEeg)
{
    data::Recording& rec = data::recordings.primary;
    rec.header[data::hw::channelMode] = 1;
    const std::vector<std::uint8_t> bytes = edfBytes(rec, {});
    ASSERT_FALSE(bytes.empty());
    const EdfReader r(bytes);
    ASSERT_EQ(r.signals(), 5);
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(r.signalField(kLabel, 16, s), "EEG EEG" + std::to_string(s + 1) + "        ") << s;
}
