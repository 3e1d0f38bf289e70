// A maximum-size recording over a pseudo-terminal without a baud limit: the
// program's receiving path (byte layer and stream reader, with the check) and
// its sending path (stream writer, pacing and check), against a peer thread
// that writes or drains the other end as fast as it can. Reports bytes/s.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "data/byteLayer.h"
#include "data/recordingReset.h"
#include "data/streamReader.h"
#include "data/streamWriter.h"
#include "data/wireEnvelope.h"
#include "platform/posixSerialDevice.h"
#include "support/sampleRecording.h"

namespace {

struct PtyPair {
    int master = -1;
    std::unique_ptr<platform::PosixSerialDevice> slave;
    PtyPair()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(master);
        ::unlockpt(master);
        slave = platform::PosixSerialDevice::open(::ptsname(master));
        slave->configure(false, false);
    }
    ~PtyPair()
    {
        slave.reset();
        ::close(master);
    }
};

std::vector<std::uint8_t> maximumStream()
{
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    testing_support::writePrimary(dir.file("max.dat"));
    return testing_support::fileBytes(dir.file("max.dat"));
}

void receiveMaximum(benchmark::State& state)
{
    const std::vector<std::uint8_t> envelope = data::wrapInEnvelope(maximumStream());
    for (auto _ : state) {
        PtyPair pty;
        data::linkState.reset();
        data::linkState.device = pty.slave.get();
        data::resetPrimary();
        std::thread peer([&] {
            std::size_t done = 0;
            while (done < envelope.size()) {
                const ssize_t n = ::write(pty.master, envelope.data() + done, envelope.size() - done);
                if (n > 0)
                    done += static_cast<std::size_t>(n);
                else {
                    pollfd p{pty.master, POLLOUT, 0};
                    ::poll(&p, 1, 5);
                }
            }
        });
        data::readStream(nullptr, nullptr);
        peer.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * envelope.size()));
}

void sendMaximum(benchmark::State& state)
{
    maximumStream();  // leaves the maximum recording in the primary
    testing_support::TempDir dir;
    testing_support::writePrimary(dir.file("m.dat"));
    testing_support::readPrimary(dir.file("m.dat"));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        PtyPair pty;
        data::linkState.resetLink();
        data::linkState.transferStatus = 0;
        data::linkState.device = pty.slave.get();
        std::atomic<bool> done{false};
        std::atomic<std::int64_t> drained{0};
        std::thread peer([&] {
            std::uint8_t buffer[65536];
            while (!done || drained == 0) {
                const ssize_t n = ::read(pty.master, buffer, sizeof buffer);
                if (n > 0)
                    drained += n;
                else {
                    pollfd p{pty.master, POLLIN, 0};
                    if (::poll(&p, 1, 5) <= 0 && done)
                        break;
                }
            }
        });
        data::beginSentStream();
        data::writeStream(nullptr, nullptr, true);
        data::endSentStream();
        done = true;
        peer.join();
        bytes += drained;
    }
    state.SetBytesProcessed(bytes);
}

}  // namespace

BENCHMARK(receiveMaximum)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(sendMaximum)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
