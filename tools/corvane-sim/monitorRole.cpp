// The instrument monitoring a patient: a live session of sample pairs and
// status packets, in real time or faster, ending with the end packet or an
// upload of a whole recording, with the line faults a test asks for.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <thread>

#include "data/loadedRecording.h"
#include "data/sampleRing.h"
#include "data/wireEnvelope.h"
#include "monitor/liveDecoder.h"
#include "serialLine.h"
#include "simOptions.h"
#include "syntheticEeg.h"

namespace sim {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
constexpr std::uint8_t kPacketEnd = 0xFF;  // a byte of no class: ends the packet before it
constexpr int kPacketRun = 8;

// The two bytes of a sample: the low 7 bits, then the channel and bits 8 to 12.
void putSample(Bytes& out, int channel, int value)
{
    const int v = monitor::nearestLineValue(value) & 0x1FFF;
    out.push_back(static_cast<std::uint8_t>(v & 0x7F));
    out.push_back(static_cast<std::uint8_t>(((v >> 8) & 0x1F) | (channel << 5)));
}

// A text packet: two bytes per character, low nibble first.
void putText(Bytes& out, std::uint8_t classBase, const std::string& text)
{
    std::string t = text;
    while (t.size() * 2 < kPacketRun)
        t.push_back(' ');
    for (unsigned char c : t) {
        out.push_back(static_cast<std::uint8_t>(classBase | (c & 0x0F)));
        out.push_back(static_cast<std::uint8_t>(classBase | (c >> 4)));
    }
    out.push_back(kPacketEnd);
}

void putRun(Bytes& out, std::uint8_t byte, int count = kPacketRun)
{
    out.insert(out.end(), static_cast<std::size_t>(count), byte);
    out.push_back(kPacketEnd);
}

void putCalibration(Bytes& out, const std::array<float, 4>& factors)
{
    for (float f : factors) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        for (int i = 7; i >= 0; --i)
            out.push_back(static_cast<std::uint8_t>(0x80 | ((bits >> (4 * i)) & 0x0F)));
    }
    out.push_back(kPacketEnd);
}

// Report flags: the text flag byte and the condition bits (interrupted, alarm result, alarm test, baseline).
void putReportFlags(Bytes& out, std::uint8_t textFlag, std::uint8_t bits)
{
    const std::uint8_t packet[kPacketRun] = {static_cast<std::uint8_t>(0xC0 | (textFlag & 0x0F)),
                                             static_cast<std::uint8_t>(0xC0 | (textFlag >> 4)),
                                             static_cast<std::uint8_t>(0xC0 | (bits & 0x0F)), 0xC0, 0xC0, 0xC0, 0xC0, 0xC0};
    out.insert(out.end(), packet, packet + kPacketRun);
    out.push_back(kPacketEnd);
}

struct Source {
    std::array<std::vector<std::int16_t>, 4> channels;
    std::array<float, 4> calibration{1.0f, 1.0f, 1.0f, 1.0f};
    bool fourChannels = false;
    std::size_t frames() const { return channels[0].size(); }
};

bool loadSource(const Options& o, Source& s)
{
    const long seconds = o.get("--seconds", 30);
    if (!o.words.empty()) {
        auto own = std::make_unique<data::LoadedRecording>();
        if (data::loadRecording(o.words[0], *own, data::ReadScope::whole) != data::LoadResult::loaded) {
            std::fprintf(stderr, "corvane-sim: cannot read %s\n", o.words[0].c_str());
            return false;
        }
        const data::Recording& rec = own->rec;
        s.fourChannels = rec.header[data::hw::channelMode] == 1;
        std::uint32_t n = rec.rawChannels[0].count;
        for (const data::SampleRing& ring : rec.rawChannels)
            n = std::min(n, ring.count);
        n = std::min<std::uint32_t>(n, static_cast<std::uint32_t>(seconds * data::kSamplesPerSecond));
        for (int ch = 0; ch < 4; ++ch)
            for (std::uint32_t i = 0; i < n; ++i)
                s.channels[static_cast<std::size_t>(ch)].push_back(data::channelSampleAt(rec, ch, i));
        for (int ch = 0; ch < 4; ++ch)
            s.calibration[static_cast<std::size_t>(ch)] = rec.calibrationFactors[static_cast<std::size_t>(ch)];
        return true;
    }
    Session session;
    session.fourChannels = o.has("--four");
    session.monitoring = true;
    session.seconds = static_cast<double>(seconds);
    session.seed = static_cast<std::uint32_t>(o.get("--seed", 1));
    s.fourChannels = session.fourChannels;
    s.channels = synthesise(session, courseFor(session));
    return true;
}

// The faults applied to the bytes of frame `k`.
struct Faults {
    long noise, drop, swap, shortPacket;
    std::mt19937 random{7};

    void frame(std::size_t k, std::array<int, 4> values, Bytes& out)
    {
        const auto every = [k](long n) { return n > 0 && k > 0 && k % static_cast<std::size_t>(n) == 0; };
        std::array<int, 4> order{0, 1, 2, 3};
        if (every(swap))
            std::swap(order[1], order[2]);
        if (every(noise))
            out.push_back(static_cast<std::uint8_t>(0x80 + random() % 0x70));
        if (every(shortPacket))
            out.insert(out.end(), kPacketRun - 1, 0x95);
        const std::size_t before = out.size();
        for (int ch : order)
            putSample(out, ch, values[static_cast<std::size_t>(ch)]);
        if (every(drop))
            out.erase(out.begin() + static_cast<long>(before + random() % 8));
    }
};

void header(Bytes& out, const Source& s)
{
    const std::uint8_t mode = s.fourChannels ? 1 : 0;
    putCalibration(out, s.calibration);
    putText(out, 0xB0, "Corvane");
    putRun(out, static_cast<std::uint8_t>(0xF0 | mode));
}

void treatmentStart(Bytes& out, const Source& s)
{
    putRun(out, static_cast<std::uint8_t>(0xF2 | (s.fourChannels ? 1 : 0)));
    putText(out, 0xA0, "Treatment report");
    putText(out, 0x90, "Stimulus delivered.\r\nEEG endpoint reached.\r\n");
    putReportFlags(out, 0x01, 0x08);  // report text present; a baseline was taken
}

int usage()
{
    std::fputs("usage: corvane-sim monitor [DATA-FILE] [--device PATH] [--seconds N] [--speed N] [--four] [--seed N]\n"
               "                           [--treatment-at S] [--end | --upload FILE...] [--settle MS]\n"
               "                           [--noise N] [--drop N] [--swap N] [--short N] [--vanish-at S]\n"
               "                           [--upload-rate BYTES]\n"
               "  plays a live session: samples at 200 per second per channel (N times faster with --speed)\n"
               "  from the data file's raw channels or synthetic EEG, with the status packets; then the\n"
               "  end packet (--end) or a preamble and a whole recording (--upload, repeated: a session\n"
               "  before each). Faults every N frames:\n"
               "  --noise a stray packet byte, --drop a lost byte, --swap channels out of order,\n"
               "  --short a seven-byte packet; --vanish-at closes the line at second S;\n"
               "  --upload-rate sends an upload at that many bytes a second.\n", stderr);
    return 1;
}

}  // namespace

namespace {

void say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

void sayAnsweredF8()
{
    say("answered F8");
}

// The program refused what was being sent with 0xF8 (an upload it cannot file).
bool refused(const SerialLine& line)
{
    const std::vector<std::uint8_t>& got = line.received();
    if (std::find(got.begin(), got.end(), std::uint8_t{0xF8}) == got.end())
        return false;
    sayAnsweredF8();
    return true;
}

// Sends an upload at `rate` bytes a second (0: as fast as the line takes it).
// "uploading" on standard output tells a test that a second's worth (or the
// whole of a fast one) has gone, so the program is inside its reception.
bool sendUpload(SerialLine& line, const Bytes& bytes, long rate)
{
    if (rate <= 0) {
        if (!line.write(bytes.data(), bytes.size()))
            return false;
        say("uploading");
        return true;
    }
    const auto start = Clock::now();
    std::size_t sent = 0;
    bool told = false;
    while (sent < bytes.size()) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        const std::size_t due = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(elapsed * rate / 1000) + 1);
        if (due > sent && !line.write(bytes.data() + sent, due - sent))
            return false;
        sent = std::max(sent, due);
        if (!told && sent >= static_cast<std::size_t>(rate)) {
            say("uploading");
            told = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

int monitorRole(const std::vector<std::string>& args)
{
    // --upload takes a path, which the numeric option parser does not.
    std::vector<std::string> rest, uploadPaths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--upload" && i + 1 < args.size())
            uploadPaths.push_back(args[++i]);
        else
            rest.push_back(args[i]);
    }
    Options o;
    if (!parse(rest, {"--seconds", "--speed", "--seed", "--treatment-at", "--settle", "--noise", "--drop", "--swap", "--short",
                      "--vanish-at", "--upload-rate"},
               {"--four", "--end"}, o) ||
        o.words.size() > 1 || o.get("--speed", 1) < 1)
        return usage();
    std::vector<Bytes> uploads;
    for (const std::string& path : uploadPaths) {
        Bytes stream;
        if (!readFile(path, stream)) {
            std::fprintf(stderr, "corvane-sim: cannot read %s\n", path.c_str());
            return 2;
        }
        uploads.push_back(data::wrapInEnvelope(stream));
    }
    Source source;
    if (!loadSource(o, source))
        return 2;
    SerialLine line;
    if (!line.open(o.device))
        return 2;
    line.waitForPeer(static_cast<int>(o.get("--settle", 200)));
    const long speed = o.get("--speed", 1), treatmentAt = o.get("--treatment-at", -1), vanishAt = o.get("--vanish-at", -1);
    Faults faults{o.get("--noise", 0), o.get("--drop", 0), o.get("--swap", 0), o.get("--short", 0)};
    Bytes out;
    header(out, source);
    const std::size_t frames = source.frames();
    // A session of the source's frames before each upload (or once).
    for (std::size_t round = 0; round < std::max<std::size_t>(1, uploads.size()); ++round) {
        if (round > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the program files the recording
        const auto start = Clock::now();
        std::size_t k = 0;
        while (k < frames) {
            // Every frame due by now (5 ms each at real time).
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
            const auto due = std::min<std::size_t>(frames, static_cast<std::size_t>(elapsed * speed / 5000) + 1);
            for (; k < due; ++k) {
                if (treatmentAt >= 0 && k == static_cast<std::size_t>(treatmentAt) * data::kSamplesPerSecond)
                    treatmentStart(out, source);
                if (treatmentAt >= 0 && k > static_cast<std::size_t>(treatmentAt) * data::kSamplesPerSecond &&
                    k % (8 * data::kEpochSamples) == 0)
                    putRun(out, 0xFB);  // eight more epochs, each marked
                std::array<int, 4> values{};
                for (int ch = 0; ch < 4; ++ch)
                    values[static_cast<std::size_t>(ch)] = source.channels[static_cast<std::size_t>(ch)][k];
                faults.frame(k, values, out);
                if (vanishAt >= 0 && k >= static_cast<std::size_t>(vanishAt) * data::kSamplesPerSecond) {
                    line.write(out.data(), out.size());
                    std::fputs("corvane-sim: the line vanishes\n", stderr);
                    return 0;  // the line closes with the process
                }
            }
            if (!out.empty() && !line.write(out.data(), out.size()))
                return 2;
            out.clear();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (round >= uploads.size() && o.has("--end"))
            putRun(out, 0xF5);
        if (!out.empty() && !line.write(out.data(), out.size()))
            return refused(line) ? 10 : 2;
        out.clear();
        if (round < uploads.size() && !sendUpload(line, uploads[round], o.get("--upload-rate", 0)))
            return refused(line) ? 10 : 2;
    }
    // The program answers an end or a refused upload with 0xF8; give it time to read all.
    std::vector<std::uint8_t> answer;
    const auto until = Clock::now() + std::chrono::milliseconds(500);
    while (Clock::now() < until && line.read(answer, 20)) {
    }
    // A test reads on standard output whether the program refused or ended with 0xF8.
    if (std::find(answer.begin(), answer.end(), std::uint8_t{0xF8}) != answer.end())
        sayAnsweredF8();
    std::fprintf(stderr, "corvane-sim: sent %zu frames\n", frames);
    return 0;
}

}  // namespace sim
