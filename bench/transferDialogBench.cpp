// A maximum-size Receive over a pseudo-terminal with the line as fast as it
// goes, through the progress dialog and without it (the thread alone, as
// ozmar-tool receive runs it): the dialog should cost nothing measurable.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <thread>

#include "data/recordingReset.h"
#include "data/wireEnvelope.h"
#include "serial/serialPort.h"
#include "serial/transferDialog.h"
#include "serial/transferRun.h"
#include "support/sampleRecording.h"

namespace {

std::vector<std::uint8_t> maximumEnvelope()
{
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    testing_support::writePrimary(dir.file("max.dat"));
    testing_support::resetCore();
    return data::wrapInEnvelope(testing_support::fileBytes(dir.file("max.dat")));
}

// Opens COM1 on a new pseudo-terminal and feeds it the envelope from a thread.
template <class Receive>
void receiveWith(benchmark::State& state, Receive receive)
{
    const std::vector<std::uint8_t> envelope = maximumEnvelope();
    for (auto _ : state) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(master);
        ::unlockpt(master);
        ::setenv("OZMAR_COM1", ::ptsname(master), 1);
        serial::openPort(1);
        data::resetPrimary();
        std::thread peer([&] {
            // Once the program has set the line up (its purge would drop early bytes).
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            std::size_t done = 0;
            while (done < envelope.size()) {
                const ssize_t n = ::write(master, envelope.data() + done, envelope.size() - done);
                if (n > 0) {
                    done += static_cast<std::size_t>(n);
                } else {
                    pollfd p{master, POLLOUT, 0};
                    ::poll(&p, 1, 5);
                }
            }
        });
        const auto begin = std::chrono::steady_clock::now();
        const bool ok = receive();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() - 0.030);
        peer.join();
        serial::closePort();
        ::close(master);
        if (!ok)
            state.SkipWithError("the reception failed");
    }
}

void receiveThroughTheDialog(benchmark::State& state)
{
    receiveWith(state, [] {
        serial::TransferDialog dialog(serial::TransferKind::receive, nullptr);
        return dialog.run();
    });
}

void receiveWithoutADialog(benchmark::State& state)
{
    receiveWith(state, [] {
        serial::TransferRun run(serial::TransferKind::receive, nullptr);
        run.start();
        run.waitClosed(std::chrono::seconds(30));
        run.join();
        return run.result();
    });
}

}  // namespace

BENCHMARK(receiveWithoutADialog)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(receiveThroughTheDialog)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
