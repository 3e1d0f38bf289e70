// Ctrl+C and SIGTERM while a file is being replaced wait until the temporary
// file is gone, then act as they would have.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "data/safeFile.h"
#include "support/sampleRecording.h"

namespace {

int handled = 0;
std::size_t entriesWhenHandled = 0;
std::filesystem::path watchedFolder;

void countingHandler(int)
{
    ++handled;
    entriesWhenHandled = static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(watchedFolder), std::filesystem::directory_iterator()));
}

}  // namespace

TEST(SignalDeferral, ASignalDuringAReplaceWaitsUntilTheFileIsWhole)
{
    testing_support::TempDir dir;
    watchedFolder = dir.path();
    struct sigaction previous {};
    struct sigaction counting {};
    counting.sa_handler = countingHandler;
    sigemptyset(&counting.sa_mask);
    ::sigaction(SIGTERM, &counting, &previous);
    for (bool commit : {true, false}) {
        handled = 0;
        {
            data::SafeFile out(dir.file("f.dat"));
            ASSERT_NE(out.file(), nullptr);
            out.file()->putByte(commit ? 7 : 8);
            std::raise(SIGTERM);
            EXPECT_EQ(handled, 0) << "the signal must wait while the temporary file exists";
            if (commit) {
                ASSERT_TRUE(out.commit());
            }
        }
        EXPECT_EQ(handled, 1) << "the signal acts once the replace has ended";
        EXPECT_EQ(entriesWhenHandled, 1u) << "only the finished file is left when the signal acts";
    }
    EXPECT_EQ(testing_support::fileBytes(dir.file("f.dat")), std::vector<std::uint8_t>{7});

    // A signal that was ignored stays ignored.
    ::sigaction(SIGINT, nullptr, &previous);
    std::signal(SIGINT, SIG_IGN);
    {
        data::SafeFile out(dir.file("g.dat"));
        std::raise(SIGINT);
        out.commit();
    }
    struct sigaction now {};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    ::sigaction(SIGINT, &previous, nullptr);
    std::signal(SIGTERM, SIG_DFL);
}
