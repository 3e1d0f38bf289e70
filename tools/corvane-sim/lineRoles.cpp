// The instrument on the line: sending a recording to the program and receiving
// one from it, with the faults and answers a test asks for.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

#include "data/byteLayer.h"
#include "data/linkState.h"
#include "data/safeFile.h"
#include "data/wireEnvelope.h"
#include "serialLine.h"
#include "simOptions.h"

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

// The faults of the fault mode, at byte positions of the whole transfer.
std::vector<std::uint8_t> withFaults(std::vector<std::uint8_t> bytes, const Options& o)
{
    std::vector<long> drops, dups;
    for (auto [it, end] = o.values.equal_range("--flip"); it != end; ++it)
        if (it->second >= 0 && static_cast<std::size_t>(it->second) < bytes.size())
            bytes[static_cast<std::size_t>(it->second)] ^= 0x01;
    for (auto [it, end] = o.values.equal_range("--drop"); it != end; ++it)
        drops.push_back(it->second);
    for (auto [it, end] = o.values.equal_range("--dup"); it != end; ++it)
        dups.push_back(it->second);
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const long pos = static_cast<long>(i);
        if (std::find(drops.begin(), drops.end(), pos) != drops.end())
            continue;
        out.push_back(bytes[i]);
        if (std::find(dups.begin(), dups.end(), pos) != dups.end())
            out.push_back(bytes[i]);
    }
    return out;
}

// What the program answered: 10 when it cancelled (0xF8) or reported a bad check (0x12).
int answerStatus(const SerialLine& line)
{
    for (std::uint8_t b : line.received())
        if (b == 0xF8 || b == 0x12)
            return 10;
    return 0;
}

// Keeps the line (and so the device) open until PATH exists, for a peer that
// reopens the port after the transfer; at most two minutes.
void holdLine(const std::string& path)
{
    if (path.empty())
        return;
    const auto until = Clock::now() + std::chrono::minutes(2);
    while (Clock::now() < until && ::access(path.c_str(), F_OK) != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

int sendRole(const std::vector<std::string>& args)
{
    Options o;
    std::vector<std::string> rest;
    std::string holdUntil;  // a path, so not one of the numeric options
    for (std::size_t i = 0; i < args.size(); ++i)
        if (args[i] == "--hold-until" && i + 1 < args.size())
            holdUntil = args[++i];
        else
            rest.push_back(args[i]);
    if (!parse(rest, {"--cut", "--stall", "--stall-at", "--cancel-at", "--drop", "--flip", "--dup", "--settle", "--wait"},
               {"--corrupt-crc"}, o) ||
        o.words.size() != 1) {
        std::fputs("usage: corvane-sim send FILE [--device PATH] [--corrupt-crc] [--cut N] [--stall MS [--stall-at N]] [--cancel-at N]\n"
                   "                         [--drop POS] [--flip POS] [--dup POS] [--settle MS] [--wait MS]\n"
                   "                         [--hold-until PATH]\n", stderr);
        return 1;
    }
    std::vector<std::uint8_t> stream;
    if (!readFile(o.words[0], stream)) {
        std::fprintf(stderr, "corvane-sim: cannot read %s\n", o.words[0].c_str());
        return 2;
    }
    std::vector<std::uint8_t> bytes = data::wrapInEnvelope(stream);
    if (o.has("--corrupt-crc"))
        bytes.back() ^= 0x5A;
    const long cut = o.get("--cut", -1), cancelAt = o.get("--cancel-at", -1);
    if (cut >= 0 && static_cast<std::size_t>(cut) + data::kPreambleSent < bytes.size())
        bytes.resize(static_cast<std::size_t>(cut) + data::kPreambleSent);
    if (cancelAt >= 0 && static_cast<std::size_t>(cancelAt) + data::kPreambleSent < bytes.size()) {
        bytes.resize(static_cast<std::size_t>(cancelAt) + data::kPreambleSent);
        bytes.push_back(data::kCancelByte);
    }
    bytes = withFaults(std::move(bytes), o);
    SerialLine line;
    if (!line.open(o.device))
        return 2;
    line.waitForPeer(static_cast<int>(o.get("--settle", 200)));
    // The stall comes before the last three bytes, or after --stall-at bytes of
    // the stream; "stalling" on standard output tells a test it has begun.
    const long stall = o.get("--stall", 0);
    const long stallAtOption = o.get("--stall-at", -1);
    std::size_t stallAt = stall > 0 ? bytes.size() - 3 : bytes.size();
    if (stall > 0 && stallAtOption >= 0)
        stallAt = std::min(bytes.size(), static_cast<std::size_t>(stallAtOption) + data::kPreambleSent);
    if (!line.write(bytes.data(), stallAt))
        return answerStatus(line) ? 10 : 2;
    if (stall > 0) {
        std::puts("stalling");
        std::fflush(stdout);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(stall));
    if (!line.write(bytes.data() + stallAt, bytes.size() - stallAt))
        return answerStatus(line) ? 10 : 2;
    std::vector<std::uint8_t> answer;
    const auto until = Clock::now() + std::chrono::milliseconds(o.get("--wait", 300));
    while (Clock::now() < until && line.read(answer, 20)) {
    }
    holdLine(holdUntil);
    for (std::uint8_t b : answer)
        if (b == 0xF8 || b == 0x12)
            return 10;
    return answerStatus(line);
}

int receiveRole(const std::vector<std::string>& args)
{
    Options o;
    const bool parsed = parse(args, {"--xoff-at", "--xon-after", "--crc-at", "--cancel-at", "--timeout", "--idle", "--pace"}, {}, o);
    // The reception ends after --idle quiet milliseconds; a pause that lasts as
    // long would end it while the program is still held by XOFF.
    if (parsed && o.get("--xoff-at", -1) >= 0 && o.get("--xon-after", 200) >= o.get("--idle", 400)) {
        std::fputs("corvane-sim: --xon-after must be below --idle\n", stderr);
        return 1;
    }
    if (!parsed || o.words.size() != 1) {
        std::fputs("usage: corvane-sim receive OUT.dat [--device PATH] [--xoff-at N --xon-after MS] [--crc-at N]\n"
                   "                            [--cancel-at N] [--timeout MS] [--idle MS] [--pace BYTES]\n"
                   "  --pace reads at most BYTES every 5 ms: a reader slower than the program writes\n", stderr);
        return 1;
    }
    SerialLine line;
    if (!line.open(o.device))
        return 2;
    std::vector<std::uint8_t> capture;
    const long xoffAt = o.get("--xoff-at", -1), xonAfter = o.get("--xon-after", 200);
    const long crcAt = o.get("--crc-at", -1), cancelAt = o.get("--cancel-at", -1), pace = o.get("--pace", 0);
    bool paused = false, answered = false;
    Clock::time_point pausedAt{}, lastByte = Clock::now();
    const auto deadline = Clock::now() + std::chrono::milliseconds(o.get("--timeout", 120000));
    const auto idle = std::chrono::milliseconds(o.get("--idle", 400));
    for (;;) {
        const std::size_t before = capture.size();
        if (!line.read(capture, 10, pace > 0 ? static_cast<std::size_t>(pace) : 4096) && capture.empty())
            return 2;
        if (pace > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (capture.size() != before)
            lastByte = Clock::now();
        const long n = static_cast<long>(capture.size());
        if (xoffAt >= 0 && !paused && pausedAt == Clock::time_point{} && n >= xoffAt) {
            line.sendControl(0x13);
            paused = true;
            pausedAt = Clock::now();
        }
        if (paused && Clock::now() - pausedAt >= std::chrono::milliseconds(xonAfter)) {
            line.sendControl(0x11);
            paused = false;
        }
        if (!answered && ((crcAt >= 0 && n >= crcAt) || (cancelAt >= 0 && n >= cancelAt))) {
            line.sendControl(crcAt >= 0 && n >= crcAt ? 0x12 : 0xF8);
            answered = true;
        }
        const bool quiet = !capture.empty() && Clock::now() - lastByte >= idle && !paused;
        if (quiet || Clock::now() > deadline)
            break;
    }
    try {
        const std::vector<std::uint8_t> stream = data::unwrapEnvelope(capture);
        if (!data::writeWholeFile(o.words[0], stream.data(), stream.size()))
            return 2;
        std::fprintf(stderr, "corvane-sim: received %zu bytes, check correct\n", stream.size());
        return 0;
    } catch (const data::TransferError& e) {
        if (e.bits & data::transfer::crcError) {
            std::fputs("corvane-sim: bad check value\n", stderr);
            return 3;
        }
        if (e.bits & data::transfer::portInvalid) {
            std::fputs("corvane-sim: the stream is incomplete\n", stderr);
            return 5;
        }
        std::fputs("corvane-sim: not a recording stream\n", stderr);
        return 4;
    }
}

}  // namespace sim
