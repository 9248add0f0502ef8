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

TEST(TimerQueue, TimersOfOneIntervalFireInTheOrderTheyStarted) {
    TimerQueue queue;
    std::vector<std::unique_ptr<Tracked>> timers;
    for (int i = 0; i < 5; ++i) {
        timers.push_back(std::make_unique<Tracked>());
        timers.back()->id = i;
        queue.Schedule(*timers.back(), 50, 10 * i); // deadlines 50, 60, ..., 90
    }
    EXPECT_EQ(RunDue(queue, 75), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(RunDue(queue, 200), std::vector<int>({3, 4, 0, 1, 2}));
    // Each moves to its first deadline after 200: 3 to 230, 4 to 240, 0 to 250; those of 1 and
    // 2 (210, 220) would come before 0's, so they wait for 250 behind it.
    EXPECT_EQ(timers[3]->Due(), 230);
    EXPECT_EQ(timers[4]->Due(), 240);
    EXPECT_EQ(timers[0]->Due(), 250);
    EXPECT_EQ(timers[2]->Due(), 250);
}

TEST(TimerQueue, LateTimerNeverOvertakesOneOfItsIntervalAlreadyWaiting) {
    TimerQueue queue;
    Tracked a, b;
    a.id = 1;
    b.id = 2;
    queue.Schedule(a, 50, 0);  // 50
    queue.Schedule(b, 50, 10); // 60
    // At 105 a moves to 150 (100 has passed) and b's own next deadline, 110, would come before
    // it: b waits for 150 too, behind a.
    EXPECT_EQ(RunDue(queue, 105), std::vector<int>({1, 2}));
    EXPECT_EQ(a.Due(), 150);
    EXPECT_EQ(b.Due(), 150);
    EXPECT_EQ(RunDue(queue, 150), std::vector<int>({1, 2}));
}

TEST(TimerQueue, CancelAtTheHeadInTheMiddleAndAtTheTailOfALane) {
    TimerQueue queue;
    std::vector<std::unique_ptr<Tracked>> timers;
    for (int i = 0; i < 6; ++i) {
        timers.push_back(std::make_unique<Tracked>());
        timers.back()->id = i;
        queue.Schedule(*timers.back(), 50, i);
    }
    for (const int i : {0, 3, 5}) {
        queue.Cancel(*timers[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(*queue.NextDue(), 51);
    EXPECT_EQ(RunDue(queue, 60), std::vector<int>({1, 2, 4}));
    for (const int i : {1, 2, 4}) {
        queue.Cancel(*timers[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_FALSE(queue.NextDue());
    queue.Schedule(*timers[5], 50, 100);
    EXPECT_EQ(RunDue(queue, 150), std::vector<int>({5}));
}

TEST(TimerQueue, LanesOfDifferentIntervalsInterleaveByDeadline) {
    TimerQueue queue;
    std::vector<std::unique_ptr<Tracked>> timers;
    const std::int64_t periods[] = {30, 50, 70};
    for (int i = 0; i < 12; ++i) {
        timers.push_back(std::make_unique<Tracked>());
        timers.back()->id = i;
        queue.Schedule(*timers.back(), periods[i % 3], i);
    }
    // Popped exactly at each deadline over 2,100 time units: the deadlines never go back and
    // every timer fires once per period.
    std::vector<int> fired(timers.size());
    std::int64_t last = 0;
    while (*queue.NextDue() <= 2100) {
        const std::int64_t now = *queue.NextDue();
        ASSERT_GE(now, last);
        last = now;
        ++fired[static_cast<std::size_t>(static_cast<Tracked*>(queue.PopDue(now))->id)];
    }
    for (int i = 0; i < 12; ++i) {
        const std::int64_t period = periods[i % 3];
        EXPECT_EQ(fired[static_cast<std::size_t>(i)], (2100 - i) / period) << i;
    }
}

} // namespace
} // namespace vigrel
