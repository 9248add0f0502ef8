// The schedule behind the library's timers, so a single system timer armed for the earliest
// deadline serves any number of them. Timers of one interval share a first-in-first-out lane:
// starting one appends it, firing one takes the lane's head and appends it again, so the lane
// stays in deadline order by construction and both cost constant time. A small binary heap
// orders only the lanes, by the deadline at their head. Times are in microseconds of a
// monotonic clock that the caller supplies, which lets tests use a fake one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace vigrel {

class TimerQueue {
    struct Lane;

public:
    // One scheduled timer. An entry removes itself from its queue when destroyed.
    class Entry {
    public:
        Entry() = default;
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        ~Entry();

        bool Scheduled() const { return lane_ != nullptr; }
        std::int64_t Due() const { return due_; }

    private:
        friend class TimerQueue;
        Lane* lane_ = nullptr; // the lane it waits in; null when not scheduled
        Entry* previous_ = nullptr;
        Entry* next_ = nullptr;
        std::int64_t due_ = 0;
        std::uint64_t order_ = 0; // ties between lanes go first-scheduled first
    };

    TimerQueue() = default;
    TimerQueue(const TimerQueue&) = delete;
    TimerQueue& operator=(const TimerQueue&) = delete;
    ~TimerQueue();

    // (Re)starts `entry` with the given period (at least 1): its first deadline is one period
    // after `now`. When memory runs out it throws, leaving the entry unscheduled.
    void Schedule(Entry& entry, std::int64_t period, std::int64_t now);
    // Takes `entry` off the schedule; nothing happens if it is not scheduled.
    void Cancel(Entry& entry);

    // The earliest deadline, if any entry is scheduled.
    std::optional<std::int64_t> NextDue() const;

    // Takes the earliest entry whose deadline is at or before `now` and moves its deadline on by
    // whole periods to the first one after `now`: a late timer fires once, keeping its period
    // and phase, instead of catching up in a burst. A timer so late that its next deadline
    // would come before that of a timer of its interval already waiting takes that deadline
    // instead, so timers of one interval keep their turn. Returns null when nothing is due.
    Entry* PopDue(std::int64_t now);

    std::size_t Size() const { return size_; }

private:
    struct Lane {
        TimerQueue* queue = nullptr;
        std::int64_t period = 0;
        Entry* head = nullptr;
        Entry* tail = nullptr;
        std::size_t heapIndex = 0;
    };

    void Append(Lane& lane, Entry& entry, std::int64_t due);
    // Unlinks the entry; the lane leaves the heap and the map when it becomes empty.
    void Unlink(Entry& entry);
    static bool Earlier(const Lane* a, const Lane* b);
    void Place(std::size_t index, Lane* lane);
    void SiftUp(std::size_t index);
    void SiftDown(std::size_t index);

    std::map<std::int64_t, Lane> lanes_; // by period; a lane exists while it holds entries
    std::vector<Lane*> heap_;            // the lanes, earliest head first
    std::size_t size_ = 0;
    std::uint64_t nextOrder_ = 0;
};

} // namespace vigrel
