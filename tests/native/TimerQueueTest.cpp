#include "ui/TimerQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vigrel {
namespace {

struct Tracked : TimerQueue::Entry {
    int id = 0;
};

// Pops everything due at `now`, in order.
std::vector<int> RunDue(TimerQueue& queue, std::int64_t now) {
    std::vector<int> fired;
    while (TimerQueue::Entry* entry = queue.PopDue(now)) {
        fired.push_back(static_cast<Tracked*>(entry)->id);
    }
    return fired;
}

TEST(TimerQueue, FiresInDeadlineOrderThenCreationOrder) {
    TimerQueue queue;
    Tracked a, b, c;
    a.id = 1;
    b.id = 2;
    c.id = 3;
    queue.Schedule(a, 50, 0);
    queue.Schedule(b, 30, 0);
    queue.Schedule(c, 50, 0);
    EXPECT_EQ(*queue.NextDue(), 30);
    EXPECT_TRUE(RunDue(queue, 29).empty());
    EXPECT_EQ(RunDue(queue, 30), std::vector<int>({2}));
    EXPECT_EQ(RunDue(queue, 50), std::vector<int>({1, 3}));
    EXPECT_EQ(RunDue(queue, 60), std::vector<int>({2}));
}

TEST(TimerQueue, KeepsPeriodAndPhaseWithoutCatchingUp) {
    TimerQueue queue;
    Tracked t;
    queue.Schedule(t, 50, 7); // deadlines 57, 107, 157, ...
    EXPECT_EQ(RunDue(queue, 60).size(), 1u);
    EXPECT_EQ(t.Due(), 107);
    // A stall of over three periods: one tick, then the next deadline of the original phase.
    EXPECT_EQ(RunDue(queue, 260).size(), 1u);
    EXPECT_EQ(t.Due(), 307);
    EXPECT_EQ(RunDue(queue, 307).size(), 1u);
    EXPECT_EQ(t.Due(), 357);
}

TEST(TimerQueue, CancelAndDestructionTakeEntriesOff) {
    TimerQueue queue;
    std::vector<std::unique_ptr<Tracked>> timers;
    for (int i = 0; i < 100; ++i) {
        timers.push_back(std::make_unique<Tracked>());
        timers.back()->id = i;
        queue.Schedule(*timers.back(), 10 + i % 7, i);
    }
    for (int i = 0; i < 100; i += 3) {
        queue.Cancel(*timers[i]);
        EXPECT_FALSE(timers[i]->Scheduled());
    }
    for (int i = 1; i < 100; i += 3) {
        timers[i].reset();
    }
    EXPECT_EQ(queue.Size(), 33u);
    const std::vector<int> fired = RunDue(queue, 1000);
    ASSERT_EQ(fired.size(), 33u);
    for (const int id : fired) {
        EXPECT_EQ(id % 3, 2) << id;
    }
    EXPECT_EQ(queue.Size(), 33u);
}

TEST(TimerQueue, RescheduleRestartsThePeriodFromNow) {
    TimerQueue queue;
    Tracked t;
    queue.Schedule(t, 50, 0);
    queue.Schedule(t, 20, 40);
    EXPECT_EQ(queue.Size(), 1u);
    EXPECT_EQ(*queue.NextDue(), 60);
}

TEST(TimerQueue, OutlivedQueueLeavesEntriesUnscheduled) {
    Tracked t;
    {
        TimerQueue queue;
        queue.Schedule(t, 50, 0);
    }
    EXPECT_FALSE(t.Scheduled());
}

} // namespace
} // namespace vigrel
