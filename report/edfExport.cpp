#include "report/edfExport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "data/safeFile.h"
#include "data/sampleRing.h"
#include "platform/civilDate.h"
#include "state/programVersion.h"

namespace report {

namespace {

constexpr int kRecordSamples = data::kSamplesPerSecond;  // one-second data records
constexpr double kEpochSeconds = static_cast<double>(data::kEpochSamples) / data::kSamplesPerSecond;
constexpr std::int16_t kDigitalMin = -32768, kDigitalMax = 32767;

// Windows-1252 0xC0 to 0xFF without their accents ("" where nothing fits).
const char* const kLatin[64] = {"A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
                                "D", "N", "O", "O", "O", "O", "O", "x", "O", "U", "U", "U", "U", "Y", "TH", "ss",
                                "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
                                "d", "n", "o", "o", "o", "o", "o", "/", "o", "u", "u", "u", "u", "y", "th", "y"};

// A header field: ASCII, cut or padded with spaces to its width.
void field(std::vector<std::uint8_t>& out, const std::string& text, std::size_t width)
{
    std::string t = edfAscii(text).substr(0, width);
    t.resize(width, ' ');
    out.insert(out.end(), t.begin(), t.end());
}

// A number in at most `width` characters, with as many decimals as fit.
std::string number(double value, std::size_t width)
{
    for (int decimals = 6; decimals >= 0; --decimals) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        std::string t = text;
        if (t.find('.') != std::string::npos) {
            while (t.back() == '0')
                t.pop_back();
            if (t.back() == '.')
                t.pop_back();
        }
        if (t.size() <= width)
            return t;
    }
    return std::to_string(static_cast<long long>(value)).substr(0, width);
}

// A subfield of the patient or recording field: spaces become underscores, nothing becomes X.
std::string subfield(const std::string& text)
{
    std::string t = edfAscii(text);
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    t.erase(0, t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
    std::replace(t.begin(), t.end(), ' ', '_');
    return t.empty() ? "X" : t;
}

std::string patientField(const data::Recording& rec, bool anonymise)
{
    if (anonymise)
        return "X X X X";
    const data::PatientSet& p = rec.patient;
    const bool sexKnown = subfield(p.text[data::patientSexField]) != "X";  // a blank field reads X
    const std::string sex = sexKnown ? (p.patientSex == data::kSexFemale ? "F" : "M") : "X";
    return subfield(p.text[data::patientId]) + " " + sex + " X " + subfield(p.text[data::patientName]);
}

struct Start {
    bool known = false;
    int day = 1, month = 1, year = 1985, hour = 0, minute = 0, second = 0;
};

Start startOf(const data::Recording& rec, long dayShift)
{
    Start s;
    const auto& h = rec.header;
    const int month = h[data::hw::month], day = h[data::hw::day];
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return s;
    s.known = true;
    s.month = month;
    s.day = day;
    const int y = h[data::hw::year];
    s.year = y >= 100 ? y : (y >= 85 ? 1900 + y : 2000 + y);
    s.hour = std::min<int>(h[data::hw::hour], 23);
    s.minute = std::min<int>(h[data::hw::minute], 59);
    s.second = std::min<int>(h[data::hw::second], 59);
    if (dayShift != 0) {
        const platform::CivilDate moved = platform::civilFromDays(platform::daysFromCivil({s.year, s.month, s.day}) + dayShift);
        s.year = moved.year;
        s.month = moved.month;
        s.day = moved.day;
    }
    return s;
}

std::string recordingField(const Start& s)
{
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    char date[32] = "X";
    if (s.known)
        std::snprintf(date, sizeof date, "%02d-%s-%04d", s.day, months[s.month - 1], s.year);
    return std::string("Startdate ") + date + " X X Ozmar_" + state::kProgramVersion;
}

std::string seconds(double value)
{
    return number(value, 20);
}

// Time-stamped annotation list entry: "+onset\x15duration\x14text\x14\0".
std::string tal(const EdfAnnotation& a)
{
    std::string t = "+" + seconds(a.onset);
    if (a.duration > 0)
        t += "\x15" + seconds(a.duration);
    return t + "\x14" + a.text + "\x14" + std::string(1, '\0');
}

std::vector<EdfAnnotation> annotations(const data::Recording& rec, const std::vector<int>& channels, std::uint32_t samples,
                                    std::uint32_t records)
{
    std::vector<EdfAnnotation> list;
    const std::uint32_t epochs = samples / data::kEpochSamples;
    for (std::uint32_t e = 0; e < epochs; ++e) {
        const std::uint32_t slot = data::epochIndex(rec, e);
        if (!rec.epochMarks[slot])
            list.push_back({e * kEpochSeconds, kEpochSeconds, "Rejected epoch"});
        if (rec.conditionData[0][slot] != 0)
            list.push_back({e * kEpochSeconds, kEpochSeconds, "Marked epoch"});
    }
    if ((rec.contentFlags() & data::content::report) && rec.marker57 >= 0 &&
        static_cast<std::uint32_t>(rec.marker57) * data::kEpochSamples < samples)
        list.push_back({rec.marker57 * kEpochSeconds, 0.0, "Treatment start"});
    // Runs without a sample in some channel, the padding of the last record among them.
    const std::uint32_t padded = records * kRecordSamples;
    std::uint32_t runStart = padded;
    for (std::uint32_t i = 0; i <= padded; ++i) {
        bool missing = false;
        for (int ch : channels)
            missing = missing || (i < padded && data::channelSampleAt(rec, ch, i) == data::kNoSample);
        if (missing && runStart == padded)
            runStart = i;
        if (!missing && runStart != padded) {
            list.push_back({static_cast<double>(runStart) / kRecordSamples, static_cast<double>(i - runStart) / kRecordSamples,
                            "No sample"});
            runStart = padded;
        }
    }
    std::stable_sort(list.begin(), list.end(), [](const EdfAnnotation& a, const EdfAnnotation& b) { return a.onset < b.onset; });
    return list;
}

// Each record's annotation bytes: its time stamp, then the annotations that begin in it.
std::vector<std::string> annotationRecords(const std::vector<EdfAnnotation>& list, std::uint32_t records)
{
    std::vector<std::string> out(records);
    std::size_t next = 0;
    for (std::uint32_t r = 0; r < records; ++r) {
        out[r] = "+" + seconds(r) + "\x14\x14" + std::string(1, '\0');
        while (next < list.size() && (list[next].onset < r + 1 || r + 1 == records))
            out[r] += tal(list[next++]);
    }
    return out;
}

void put16(std::vector<std::uint8_t>& out, std::int16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

}  // namespace

std::string edfAscii(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127)
            out.push_back(static_cast<char>(c));
        else if (c >= 0xC0)
            out += kLatin[c - 0xC0];
        else if (c == 0x8A || c == 0x9A)
            out.push_back(c == 0x8A ? 'S' : 's');
        else if (c == 0x8E || c == 0x9E)
            out.push_back(c == 0x8E ? 'Z' : 'z');
        else if (c == 0x8C || c == 0x9C)
            out += c == 0x8C ? "OE" : "oe";
        else if (c == 0xB5)
            out.push_back('u');
        else
            out.push_back(c < 32 ? ' ' : '?');
    }
    return out;
}

std::string edfLabel(const data::Recording& rec, int channel)
{
    if (channel >= 2 && rec.header[data::hw::channelMode] != 1)
        return channel == 2 ? "EMG" : "ECG";
    return "EEG EEG" + std::to_string(channel + 1);
}

EdfSignals edfSignals(const data::Recording& rec)
{
    EdfSignals s;
    for (int ch = 0; ch < data::kChannels; ++ch)
        if (rec.rawChannels[static_cast<std::size_t>(ch)].count > 0) {
            s.channels.push_back(ch);
            s.samples = std::max(s.samples, rec.rawChannels[static_cast<std::size_t>(ch)].count);
        }
    s.records = (s.samples + kRecordSamples - 1) / kRecordSamples;
    return s;
}

std::vector<EdfAnnotation> edfAnnotations(const data::Recording& rec)
{
    const EdfSignals s = edfSignals(rec);
    return s.channels.empty() ? std::vector<EdfAnnotation>() : annotations(rec, s.channels, s.samples, s.records);
}

std::vector<std::uint8_t> edfBytes(const data::Recording& rec, const EdfOptions& options)
{
    const EdfSignals signals = edfSignals(rec);
    const std::vector<int>& channels = signals.channels;
    if (channels.empty())
        return {};
    const std::uint32_t records = signals.records;
    const std::vector<std::string> notes = annotationRecords(annotations(rec, channels, signals.samples, records), records);
    std::size_t noteBytes = 0;
    for (const std::string& n : notes)
        noteBytes = std::max(noteBytes, n.size());
    const int noteSamples = static_cast<int>((noteBytes + 1) / 2);
    const int signalCount = static_cast<int>(channels.size()) + 1;
    const Start start = startOf(rec, options.dayShift);

    std::vector<std::uint8_t> out;
    char text[64];
    field(out, "0", 8);
    field(out, patientField(rec, options.anonymise), 80);
    field(out, recordingField(start), 80);
    std::snprintf(text, sizeof text, "%02d.%02d.%02d", start.day, start.month, start.year % 100);
    field(out, text, 8);
    std::snprintf(text, sizeof text, "%02d.%02d.%02d", start.hour, start.minute, start.second);
    field(out, text, 8);
    field(out, std::to_string(256 * (signalCount + 1)), 8);
    field(out, "EDF+C", 44);
    field(out, std::to_string(records), 8);
    field(out, "1", 8);
    field(out, std::to_string(signalCount), 4);
    const auto each = [&](auto value, std::size_t width) {
        for (int ch : channels)
            field(out, value(ch), width);
    };
    const auto factor = [&](int ch) { return 0.125 * static_cast<double>(rec.calibrationFactors[static_cast<std::size_t>(ch)]); };
    each([&](int ch) { return edfLabel(rec, ch); }, 16);
    field(out, "EDF Annotations", 16);
    each([](int) { return std::string(); }, 80);
    field(out, "", 80);
    each([](int) { return std::string("uV"); }, 8);
    field(out, "", 8);
    each([&](int ch) { return number(kDigitalMin * factor(ch), 8); }, 8);
    field(out, "-1", 8);
    each([&](int ch) { return number(kDigitalMax * factor(ch), 8); }, 8);
    field(out, "1", 8);
    each([](int) { return std::to_string(kDigitalMin); }, 8);
    field(out, std::to_string(kDigitalMin), 8);
    each([](int) { return std::to_string(kDigitalMax); }, 8);
    field(out, std::to_string(kDigitalMax), 8);
    each([](int) { return std::string(); }, 80);
    field(out, "", 80);
    each([](int) { return std::to_string(kRecordSamples); }, 8);
    field(out, std::to_string(noteSamples), 8);
    each([](int) { return std::string(); }, 32);
    field(out, "", 32);

    out.reserve(out.size() + records * (channels.size() * kRecordSamples + static_cast<std::size_t>(noteSamples)) * 2);
    for (std::uint32_t r = 0; r < records; ++r) {
        for (int ch : channels)
            for (std::uint32_t i = r * kRecordSamples; i < (r + 1) * kRecordSamples; ++i)
                put16(out, data::channelSampleAt(rec, ch, i));  // -32768 past the end: the digital minimum
        std::string n = notes[r];
        n.resize(static_cast<std::size_t>(noteSamples) * 2, '\0');
        out.insert(out.end(), n.begin(), n.end());
    }
    return out;
}

std::string exportEdf(const data::Recording& rec, const std::string& path, const EdfOptions& options)
{
    return writeEdfFile(edfBytes(rec, options), path);
}

std::string writeEdfFile(const std::vector<std::uint8_t>& bytes, const std::string& path)
{
    if (bytes.empty())
        return "the recording holds no raw EEG";
    if (!data::writeWholeFile(path, bytes.data(), bytes.size()))
        return std::strerror(errno != 0 ? errno : EIO);
    return std::string();
}

}  // namespace report
