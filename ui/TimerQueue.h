// The schedule behind the library's timers: one deadline per running timer in a binary heap, so
// a single system timer armed for the earliest deadline serves any number of them. Times are in
// microseconds of a monotonic clock that the caller supplies, which lets tests use a fake one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vigrel {

class TimerQueue {
public:
    // One scheduled timer. An entry removes itself from its queue when destroyed.
    class Entry {
    public:
        Entry() = default;
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        ~Entry();

        bool Scheduled() const { return queue_ != nullptr; }
        std::int64_t Due() const { return due_; }

    private:
        friend class TimerQueue;
        TimerQueue* queue_ = nullptr;
        std::int64_t due_ = 0;
        std::int64_t period_ = 0;
        std::uint64_t order_ = 0; // ties between equal deadlines go first-scheduled first
        std::size_t heapIndex_ = 0;
    };

    TimerQueue() = default;
    TimerQueue(const TimerQueue&) = delete;
    TimerQueue& operator=(const TimerQueue&) = delete;
    ~TimerQueue();

    // (Re)starts `entry` with the given period: its first deadline is one period after `now`.
    void Schedule(Entry& entry, std::int64_t period, std::int64_t now);
    // Takes `entry` off the schedule; nothing happens if it is not scheduled.
    void Cancel(Entry& entry);

    // The earliest deadline, if any entry is scheduled.
    std::optional<std::int64_t> NextDue() const;

    // Takes the earliest entry whose deadline is at or before `now` and moves its deadline on by
    // whole periods to the first one after `now`: a late timer fires once, keeping its period
    // and phase, instead of catching up in a burst. Returns null when nothing is due.
    Entry* PopDue(std::int64_t now);

    std::size_t Size() const { return heap_.size(); }

private:
    static bool Earlier(const Entry* a, const Entry* b);
    void Place(std::size_t index, Entry* entry);
    void SiftUp(std::size_t index);
    void SiftDown(std::size_t index);
    void Remove(std::size_t index);

    std::vector<Entry*> heap_; // not owned
    std::uint64_t nextOrder_ = 0;
};

} // namespace vigrel
