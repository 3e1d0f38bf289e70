#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/guiQueue.h"

using platform::GuiQueue;

namespace {

// Runs the event loop until the condition holds (or ten seconds pass).
bool spinUntil(const std::function<bool()>& condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

}  // namespace

TEST(GuiQueue, TasksFromOtherThreadsRunOnTheGuiThreadInTheirOrder)
{
    GuiQueue queue;
    std::vector<int> ran;  // touched by the GUI thread only
    std::atomic<bool> allOnGui{true};
    QThread* gui = QThread::currentThread();
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i)
            queue.post([&, i] {
                allOnGui = allOnGui && QThread::currentThread() == gui;
                ran.push_back(i);
            });
    });
    worker.join();
    ASSERT_TRUE(spinUntil([&] { return ran.size() == 1000; }));
    EXPECT_TRUE(allOnGui);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(ran[i], i);
}

TEST(GuiQueue, RunAndWaitReturnsAfterTheGuiThreadRanTheTask)
{
    GuiQueue queue;
    int value = 0;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        EXPECT_TRUE(queue.runAndWait([&] { value = 42; }));
        EXPECT_EQ(value, 42);
        returned = true;
    });
    ASSERT_TRUE(spinUntil([&] { return returned.load(); }));
    worker.join();
    // On the GUI thread itself the task runs at once.
    EXPECT_TRUE(queue.runAndWait([&] { value = 7; }));
    EXPECT_EQ(value, 7);
}

TEST(GuiQueue, CloseDropsWhatIsQueuedAndReleasesAWaiter)
{
    GuiQueue queue;
    bool ran = false;
    queue.post([&] { ran = true; });
    std::atomic<int> answer{-1};
    std::thread worker([&] { answer = queue.runAndWait([&] { ran = true; }) ? 1 : 0; });
    // The waiter's task is queued behind the first; close before the loop runs either.
    while (answer == -1) {
        queue.close();
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(answer, 0);
    queue.post([&] { ran = true; });
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

TEST(GuiQueue, ATaskThatDestroysTheQueueEndsTheRun)
{
    auto queue = std::make_unique<GuiQueue>();
    int ran = 0;
    queue->post([&] { ++ran; queue.reset(); });
    queue->post([&] { ++ran; });
    ASSERT_TRUE(spinUntil([&] { return !queue; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
}
