#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "platform/orderedWork.h"

namespace {

using platform::runInOrder;

// Every item is prepared once, handed over in order, and never prepared more
// than `window` items ahead of what was handed over, whatever the threads do.
TEST(OrderedWork, HandsResultsOverInOrderWithinTheWindow)
{
    for (unsigned threads : {1u, 2u, 4u}) {
        const std::size_t window = 3;
        std::atomic<std::size_t> handedOver{0};
        std::atomic<bool> aheadOfWindow{false};
        std::vector<std::atomic<int>> prepared(50);
        const std::function<std::size_t(std::size_t)> prepare = [&](std::size_t i) {
            if (threads > 1 && i >= handedOver.load() + window)
                aheadOfWindow = true;
            ++prepared[i];
            return i * i;
        };
        std::vector<std::size_t> order;
        const std::function<bool(std::size_t, std::size_t&)> consume = [&](std::size_t i, std::size_t& result) {
            EXPECT_EQ(result, i * i);
            order.push_back(i);
            ++handedOver;
            return true;
        };
        ASSERT_TRUE(runInOrder(prepared.size(), threads, window, prepare, consume));
        ASSERT_EQ(order.size(), prepared.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            EXPECT_EQ(order[i], i);
            EXPECT_EQ(prepared[i].load(), 1) << i;
        }
        EXPECT_FALSE(aheadOfWindow.load()) << threads;
    }
}

// A stop ends the run: nothing after the stopped item is handed over, and no
// item beyond the window past it is started.
TEST(OrderedWork, AStopStartsNothingBeyondTheWindow)
{
    std::atomic<std::size_t> highest{0};
    const std::function<int(std::size_t)> prepare = [&](std::size_t i) {
        std::size_t seen = highest.load();
        while (i > seen && !highest.compare_exchange_weak(seen, i)) {
        }
        return 0;
    };
    std::vector<std::size_t> order;
    const std::function<bool(std::size_t, int&)> consume = [&](std::size_t i, int&) {
        order.push_back(i);
        return i < 3;
    };
    EXPECT_FALSE(runInOrder(100, 2, 2, prepare, consume));
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_LT(highest.load(), 3u + 2u + 1u);
}

// A failure of one item reaches the caller at that item's turn.
TEST(OrderedWork, AFailureComesBackAtItsTurn)
{
    const std::function<int(std::size_t)> prepare = [](std::size_t i) {
        if (i == 4)
            throw std::runtime_error("item 4");
        return static_cast<int>(i);
    };
    std::vector<std::size_t> order;
    const std::function<bool(std::size_t, int&)> consume = [&](std::size_t i, int&) {
        order.push_back(i);
        return true;
    };
    EXPECT_THROW(runInOrder(20, 2, 4, prepare, consume), std::runtime_error);
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3}));
}

}  // namespace
