#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

#include "analysis/integerMath.h"
#include "analysis/spectralSums.h"
#include "data/recording.h"
#include "platform/localTime.h"
#include "report/reportLines.h"
#include "report/textOutput.h"

namespace report {

using data::Recording;
namespace hw = data::hw;

namespace {

const char* const kProgramNames[] = {"KWB", "LOWEST CHARGE RATE", "LOW 0.5 CHARGE RATE", "INTERMITTEN", "2X DOSE",
                                     "USER SET"};
const char kNotAvailable[] = "\"N/A,\"\r";

// A line asked of a report: what it is built from, and its form.
struct Req {
    const ReportSource& s;
    ReportRequest form;
};

ReportRequest modeOf(const Req& r) { return report::modeOf(r.form); }

// A fixed-size line buffer: every print is bounded and the text stays terminated.
class Line {
public:
    explicit Line(std::size_t size) : size_(size) {}

    void print(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        text_.clear();
        va_list args;
        va_start(args, format);
        vappend(format, args);
        va_end(args);
    }
    void append(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        vappend(format, args);
        va_end(args);
    }
    const std::string& text() const { return text_; }

private:
    void vappend(const char* format, va_list args)
    {
        char buffer[512];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        text_.append(buffer, 0, size_ - 1 - std::min(text_.size(), size_ - 1));
    }
    std::size_t size_;
    std::string text_;
};

const Recording& rec(const Req& r) { return r.s.rec; }
unsigned word(const Req& r, int w) { return rec(r).header[w]; }
bool flag(const Req& r, std::uint16_t bits) { return (rec(r).contentFlags() & bits) != 0; }
bool withReport(const Req& r) { return flag(r, data::content::report); }
bool treatment(const Req& r) { return withReport(r) && !flag(r, data::content::monitoring); }
float gain(const Req& r) { return rec(r).calibrationFactors[0]; }
float result(const Req& r, int k) { return rec(r).resultValue[k]; }

// Epochs to whole seconds, halves rounded up.
unsigned epochSeconds(unsigned epochs) { return (epochs * 128u + 50u) / 100u; }

// Finishes a built CSV line: takes its first CR-terminated line in the wanted form.
std::string finish(const Line& line, const Req& r) { return lineFromText(line.text(), 0, r.form); }

// A labelled value, or N/A when `available` is false.
std::string labelled(const Req& r, const char* label, bool available, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
std::string labelled(const Req& r, const char* label, bool available, const char* format, ...)
{
    Line line(80);
    line.print("\"%s\",", label);
    if (available) {
        char value[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(value, sizeof value, format, args);
        va_end(args);
        line.append("%s", value);
    } else {
        line.append("%s", kNotAvailable);
    }
    return finish(line, r);
}

std::string whole(const Req& r, const char* csv)
{
    Line line(80);
    line.print("%s", csv);
    return finish(line, r);
}

// A line of free text: plain, or quoted in the CSV form (a quote inside the
// text doubled, so that the line stays one CSV field).
std::string closing(const Req& r, std::size_t size, const std::string& text)
{
    Line line(size);
    line.print("%s", modeOf(r) == ReportMode::Csv ? csvQuoted(text).c_str() : text.c_str());
    return line.text();
}

// The device name unchanged (up to its 80 characters), quoted in CSV.
std::string title(const Req& r)
{
    const std::string& name = rec(r).deviceName;
    if (modeOf(r) == ReportMode::Csv && !name.empty())
        return csvQuoted(name);
    return name;
}

std::string dateLine(const Req& r)
{
    if (rec(r).contentFlags() == 0)
        return std::string();
    platform::DateTime when;
    const unsigned y = word(r, hw::year) % 100;
    when.year = static_cast<int>(y < 96 ? y + 2000 : y + 1900);
    const unsigned storedMonth = word(r, hw::month);
    when.month = static_cast<int>(std::clamp(storedMonth, 1u, 12u));
    when.day = static_cast<int>(word(r, hw::day));
    when.dayOfWeek = platform::dayOfWeek(when.year, when.month, std::max(when.day, 1));
    when.hour = static_cast<int>(word(r, hw::hour));
    when.minute = static_cast<int>(word(r, hw::minute));
    when.second = static_cast<int>(word(r, hw::second));
    std::string date, time;
    if (!platform::formatShortDate(when, date)) {
        char text[32];
        std::snprintf(text, sizeof text, "%02u/%02u/%04u", storedMonth, word(r, hw::day), static_cast<unsigned>(when.year));
        date.assign(text, 0, 15);
    }
    if (!platform::formatTimeOfDay(when, time)) {
        char text[32];
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", word(r, hw::hour), word(r, hw::minute), word(r, hw::second));
        time = text;
    }
    const char* kind = treatment(r) ? "Treatment"
                       : flag(r, 0x0002) ? "Session"
                       : flag(r, data::content::monitoring) ? "Monitoring"
                                                            : "";
    Line line(80);
    if (modeOf(r) == ReportMode::Csv)
        line.print("\"%s at  %s   %s\"", kind, date.c_str(), time.c_str());
    else
        line.print("%s at  %s   %s", kind, date.c_str(), time.c_str());
    return line.text();
}

std::string energySet(const Req& r)
{
    if (!withReport(r))
        return {};
    Line line(80);
    line.print("\"%% Energy Set\",");
    line.append("%u,\" %%\"\r", word(r, hw::energySet));
    return finish(line, r);
}

std::string energyDelivered(const Req& r)
{
    if (!withReport(r) || word(r, hw::treatmentInterrupted) == 0)
        return {};
    const unsigned e = word(r, hw::energyDelivered);
    Line line(80);
    line.print("\"%% Energy Delivered\",");
    line.append("%u.%u,\" %%\"\r", e / 10, e % 10);
    return finish(line, r);
}

std::string chargeDelivered(const Req& r)
{
    if (!withReport(r))
        return {};
    return labelled(r, "Charge Delivered", true, "%.1f,\" mC\"\r", word(r, hw::chargeDelivered) / 10.0);
}

std::string current(const Req& r)
{
    if (!withReport(r))
        return {};
    return labelled(r, "Current", true, "%.2f,\" A\"\r", word(r, hw::current) / 100.0);
}

std::string stimulusDuration(const Req& r)
{
    if (!withReport(r))
        return {};
    return labelled(r, "Stimulus Duration", true, "%.1f,\" Sec\"\r", word(r, hw::stimulusDuration) / 10.0);
}

std::string frequency(const Req& r)
{
    if (!withReport(r))
        return {};
    return labelled(r, "Frequency", true, "%d,\" Hz\"\r", (static_cast<int>(word(r, hw::frequencyCode)) + 1) * 10);
}

std::string pulseWidth(const Req& r)
{
    if (!withReport(r))
        return {};
    return labelled(r, "Pulse Width", true, "%.2f,\" mSec\"\r", (word(r, hw::pulseWidthCode) + 1) * 0.25);
}

std::string staticImpedance(const Req& r)
{
    if (!withReport(r))
        return {};
    const unsigned ohm = word(r, hw::staticImpedance);
    return labelled(r, "Static Impedance", true, "%s%u,\" Ohm\"\r", ohm >= 3000 ? ">" : "", std::min(ohm, 3000u));
}

std::string dynamicImpedance(const Req& r)
{
    if (!withReport(r))
        return {};
    const unsigned ohm = word(r, hw::dynamicImpedance);
    return labelled(r, "Dynamic Impedance", ohm != 0, "%u,\" Ohm\"\r", ohm);
}

std::string eegEndpoint(const Req& r)
{
    if (!withReport(r))
        return {};
    const bool baseline = word(r, hw::baselineAvailable) != 0;
    const bool seizure = word(r, hw::eegSeizureDetected) != 0;
    const unsigned endpoint = word(r, hw::eegEndpoint);
    if (baseline && seizure && endpoint != 0) {
        Line line(80);
        line.print("\"EEG Endpoint\",%u,\" Sec\"", epochSeconds(endpoint));
        line.append("\r");
        return finish(line, r);
    }
    if (!baseline)
        return whole(r, "\"Baseline is not available\"\r");
    return whole(r, seizure ? "\"EEG Endpoint is not detected\"\r" : "\"EEG Seizure is not detected\"\r");
}

std::string emgEndpoint(const Req& r)
{
    if (!treatment(r) || word(r, hw::channelMode) != 0)
        return {};
    if (word(r, hw::emgActivityDetected) == 0)
        return whole(r, "\"EMG Activity is not detected\"\r");
    const unsigned endpoint = word(r, hw::emgEndpoint);
    return labelled(r, "EMG Endpoint", endpoint != 0, "%u,\" Sec\"\r", epochSeconds(endpoint));
}

bool ecgLines(const Req& r) { return treatment(r) && word(r, hw::channelModeCopy) == 0; }

std::string ecgEndpoint(const Req& r)
{
    if (!ecgLines(r))
        return {};
    const unsigned endpoint = word(r, hw::ecgEndpoint);
    return labelled(r, "ECG Endpoint", endpoint != 0, "%u,\" Sec\"\r", epochSeconds(endpoint));
}

std::string baseHeartRate(const Req& r)
{
    if (!ecgLines(r))
        return {};
    const unsigned rate = word(r, hw::baseHeartRate);
    return labelled(r, "Base Heart Rate", rate >= 11 && rate <= 199, "%u,\" b/m\"\r", rate);
}

std::string peakHeartRate(const Req& r)
{
    if (!ecgLines(r))
        return {};
    const unsigned rate = word(r, hw::peakHeartRate);
    return labelled(r, "Peak Heart Rate", rate != 0, "%u,\" b/m\"\r", rate);
}

bool baselineLines(const Req& r) { return treatment(r) && word(r, hw::baselineAvailable) != 0; }

std::string seizureEnergyIndex(const Req& r)
{
    if (!baselineLines(r))
        return {};
    const float c = gain(r);
    const bool seizure = word(r, hw::eegSeizureDetected) != 0;
    if (!reportTextFlag(rec(r))) {
        const double value = result(r, 0) / 2.0 * 128.0 / 100.0 * c * c * 62500.0 * 2.5e-7 / 1.5 / 1000000.0;
        return labelled(r, "Seizure Energy Index", seizure, "%.3f,\" mV\xB2\"\r", value);
    }
    const unsigned epochs = word(r, hw::seizureEpochs);
    if (!seizure || epochs == 0)
        return labelled(r, "Average Seizure Energy Index", false, "%s", "");
    const float* power = r.s.seizureSums.power[0];
    float s = 0.0f;
    for (int j = 0; j < analysis::kBins; ++j)
        s += power[j] / static_cast<float>(epochs);
    const double value = s / 2.0 * c * c * 62500.0 * 2.5e-7 / 1.5;
    return labelled(r, "Average Seizure Energy Index", true, "%.1f,\" \xB5V\xB2\"\r", value);
}

// (1 - sqrt(x) / sqrt(y)) x 100; a negative x or y is no value.
std::string suppression(const Req& r, bool available, double x, double y)
{
    available = available && x >= 0.0 && y > 0.0;
    const double value = available ? (1.0 - std::sqrt(x) / std::sqrt(y)) * 100.0 : 0.0;
    return labelled(r, "Postictal Suppression Index", available, "%.1f,\" %%\"\r", value);
}

std::string postictalSuppressionIndex(const Req& r)
{
    if (!baselineLines(r))
        return {};
    if (!reportTextFlag(rec(r))) {
        const float x = result(r, 3), y = result(r, 1);
        const bool wanted = word(r, hw::eegEndpoint) != 0 && word(r, hw::eegSeizureDetected) != 0 && x < y;
        return suppression(r, wanted, x, y);
    }
    const float y = result(r, 6), x = result(r, 7);
    return suppression(r, y > 0 && x >= 0, x, y);
}

std::string seizureGeneralizationIndex(const Req& r)
{
    if (!baselineLines(r) || word(r, hw::channelMode) == 1)
        return {};
    const unsigned e[3] = {word(r, hw::eegEndpoint), word(r, hw::ecgEndpoint), word(r, hw::emgEndpoint)};
    int n = 0;
    for (unsigned v : e)
        n += v != 0;
    if (n <= 1)
        return labelled(r, "Seizure Generalization Index", false, "%s", "");
    const float m = static_cast<float>(e[0] + e[1] + e[2]) / static_cast<float>(n);
    float d = 0.0f;
    for (unsigned v : e)
        if (v != 0)
            d += std::fabs(static_cast<float>(v) - m);
    d /= static_cast<float>(n);
    return labelled(r, "Seizure Generalization Index", true, "%.0f,\" %%\"\r", (1.0 - d / m) * 100.0);
}

std::string maximumSustainedPower(const Req& r)
{
    if (!treatment(r))
        return {};
    const float p = result(r, 1), c = gain(r);
    const double value = p / 2.0 * c * c * 62500.0 * 2.5e-7 / 1.5;
    return labelled(r, "Maximum Sustained Power", !(p < 0), "%.1f,\" \xB5V\xB2\"\r", value);
}

std::string timeToPeakPower(const Req& r)
{
    if (!treatment(r))
        return {};
    return labelled(r, "Time to Peak Power", !(result(r, 1) < 0), "%u,\" Sec\"\r",
                    epochSeconds(word(r, hw::timeToPeakPower)));
}

std::string maximumSustainedCoherence(const Req& r)
{
    if (!treatment(r))
        return {};
    const float q = result(r, 2);
    return labelled(r, "Maximum Sustained Coherence", !(q < 0), "%.1f,\" %%\"\r", q * 100.0);
}

std::string timeToPeakCoherence(const Req& r)
{
    if (!treatment(r))
        return {};
    return labelled(r, "Time to Peak Coherence", !(result(r, 2) < 0), "%u,\" Sec\"\r",
                    epochSeconds(word(r, hw::timeToPeakCoherence)));
}

// The amplitude of a power value: its rounded integer square root, scaled.
std::string amplitude(const Req& r, const char* label, int k)
{
    if (!treatment(r))
        return {};
    const float a = result(r, k);
    if (!(a > 0))
        return labelled(r, label, false, "%s", "");
    const float max = static_cast<float>(std::numeric_limits<std::uint32_t>::max());
    const std::uint32_t n = a >= max ? std::numeric_limits<std::uint32_t>::max() : static_cast<std::uint32_t>(a);
    const float root = analysis::roundedSqrt(n);
    const float value = root * gain(r) * 250.0f * 0.0005f / 1.2247449f;
    return labelled(r, label, true, "%.1f,\" \xB5V\"\r", static_cast<double>(value));
}

std::string earlyIctalAmplitude(const Req& r) { return amplitude(r, "Early Ictal Amplitude", 4); }
std::string midictalAmplitude(const Req& r) { return amplitude(r, "Midictal Amplitude", 1); }
std::string postIctalAmplitude(const Req& r) { return amplitude(r, "Post-Ictal Amplitude", 5); }

std::string programSelected(const Req& r)
{
    Recording& target = r.s.rec;
    if (target.header[hw::programIndex] > 5)
        target.header[hw::programIndex] = 5;
    const bool present = withReport(r) || (flag(r, data::content::monitoring) && !target.reportTitle.empty());
    if (!present)
        return {};
    const std::string name =
        target.reportTitle.empty() ? kProgramNames[target.header[hw::programIndex]] : target.reportTitle;
    return closing(r, 200, "Program Selected:   " + name);
}

std::string treatmentInterrupted(const Req& r)
{
    if (word(r, hw::treatmentInterrupted) == 0)
        return {};
    return closing(r, 100, "(Treatment Interrupted)");
}

std::string alarm(const Req& r)
{
    if (word(r, hw::alarmTest) != 0)
        return closing(r, 100, word(r, hw::alarmResult) != 0 ? "(Alarm Test Passed)" : "(Alarm Test Failed)");
    if (word(r, hw::alarmResult) != 0)
        return closing(r, 100, "(Alarm Signal)");
    return {};
}

// The table's entries: each builder given its source and form.
template <std::string (*Build)(const Req&)>
std::string entry(const ReportSource& source, ReportRequest form)
{
    return Build(Req{source, form});
}

}  // namespace

const std::array<LineBuilder, kBuiltInLines> reportLineBuilders = {
    entry<title>, entry<dateLine>, entry<energySet>, entry<energyDelivered>, entry<chargeDelivered>, entry<current>,
    entry<stimulusDuration>, entry<frequency>, entry<pulseWidth>, entry<staticImpedance>, entry<dynamicImpedance>,
    entry<eegEndpoint>, entry<emgEndpoint>, entry<ecgEndpoint>, entry<baseHeartRate>, entry<peakHeartRate>,
    entry<seizureEnergyIndex>, entry<postictalSuppressionIndex>, entry<seizureGeneralizationIndex>,
    entry<maximumSustainedPower>, entry<timeToPeakPower>, entry<maximumSustainedCoherence>,
    entry<timeToPeakCoherence>, entry<earlyIctalAmplitude>, entry<midictalAmplitude>, entry<postIctalAmplitude>,
    entry<programSelected>, entry<treatmentInterrupted>, entry<alarm>,
};

}  // namespace report
