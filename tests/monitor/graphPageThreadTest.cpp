// The live Graph page under a writer thread, as the monitor and playback
// threads write it while the user-interface thread paints: run under
// ThreadSanitizer by ./test.sh. Waits are on conditions, never fixed sleeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "monitor/graphPage.h"

using namespace monitor;

TEST(GraphPageThreads, SnapshotsWhileAWriterFillsColumns)
{
    graphPage.reset();
    std::atomic<bool> stop{false};
    std::atomic<int> sweeps{0};
    std::thread writer([&] {
        for (int sweep = 0; !stop; ++sweep) {
            for (int x = 0; x < kPageColumns; ++x) {
                for (int ch = 0; ch < kGraphChannels; ++ch)
                    graphPage.setSample(ch, x, static_cast<std::int16_t>(sweep % 1000));
                graphPage.setMark(x, (x + sweep) % 7 == 0);
            }
            graphPage.setSegments({sweep, sweep, sweep});
            graphPage.clearRejected();
            graphPage.addRejected({0, 0, sweep % 512, 400});
            ++sweeps;
        }
    });
    struct Stop {
        std::atomic<bool>& stop;
        std::thread& writer;
        ~Stop()
        {
            stop = true;
            writer.join();
        }
    } stopAtEnd{stop, writer};
    int snapshots = 0;
    while (sweeps < 50 || snapshots < 20) {  // the reader may start late: it takes its share regardless
        const GraphSnapshot page = graphPage.snapshot();
        // The channels of a column hold one sweep's value or, at the writer's
        // cursor, partly the next one's (a torn column, for one frame at most).
        for (int x = 0; x < kPageColumns; ++x) {
            int low = 1000, high = -1;
            for (int ch = 0; ch < kGraphChannels; ++ch) {
                const std::int16_t v = page.strips[static_cast<std::size_t>(ch)].samples[static_cast<std::size_t>(x)];
                if (v == kNoSample)
                    continue;
                low = std::min<int>(low, v);
                high = std::max<int>(high, v);
            }
            ASSERT_TRUE(high < 0 || high - low <= 1 || high - low == 999) << x << " " << low << " " << high;
        }
        ASSERT_LE(page.rejectedRegion.size(), 1u);
        ++snapshots;
    }
    EXPECT_GT(snapshots, 0);
    graphPage.reset();
}
