#include "ui/TimerQueue.h"

#include <utility>

namespace vigrel {

TimerQueue::Entry::~Entry() {
    if (queue_ != nullptr) {
        queue_->Cancel(*this);
    }
}

TimerQueue::~TimerQueue() {
    for (Entry* entry : heap_) {
        entry->queue_ = nullptr;
    }
}

void TimerQueue::Schedule(Entry& entry, std::int64_t period, std::int64_t now) {
    Cancel(entry);
    entry.queue_ = this;
    entry.period_ = period > 0 ? period : 1;
    entry.due_ = now + entry.period_;
    entry.order_ = nextOrder_++;
    heap_.push_back(&entry);
    entry.heapIndex_ = heap_.size() - 1;
    SiftUp(entry.heapIndex_);
}

void TimerQueue::Cancel(Entry& entry) {
    if (entry.queue_ == this) {
        Remove(entry.heapIndex_);
    }
}

std::optional<std::int64_t> TimerQueue::NextDue() const {
    if (heap_.empty()) {
        return std::nullopt;
    }
    return heap_.front()->due_;
}

TimerQueue::Entry* TimerQueue::PopDue(std::int64_t now) {
    if (heap_.empty() || heap_.front()->due_ > now) {
        return nullptr;
    }
    Entry* entry = heap_.front();
    entry->due_ += entry->period_;
    if (entry->due_ <= now) {
        entry->due_ += ((now - entry->due_) / entry->period_ + 1) * entry->period_;
    }
    entry->order_ = nextOrder_++;
    SiftDown(0);
    return entry;
}

bool TimerQueue::Earlier(const Entry* a, const Entry* b) {
    return a->due_ != b->due_ ? a->due_ < b->due_ : a->order_ < b->order_;
}

void TimerQueue::Place(std::size_t index, Entry* entry) {
    heap_[index] = entry;
    entry->heapIndex_ = index;
}

void TimerQueue::SiftUp(std::size_t index) {
    Entry* entry = heap_[index];
    while (index > 0) {
        const std::size_t parent = (index - 1) / 2;
        if (!Earlier(entry, heap_[parent])) {
            break;
        }
        Place(index, heap_[parent]);
        index = parent;
    }
    Place(index, entry);
}

void TimerQueue::SiftDown(std::size_t index) {
    Entry* entry = heap_[index];
    const std::size_t size = heap_.size();
    for (;;) {
        std::size_t child = 2 * index + 1;
        if (child >= size) {
            break;
        }
        if (child + 1 < size && Earlier(heap_[child + 1], heap_[child])) {
            ++child;
        }
        if (!Earlier(heap_[child], entry)) {
            break;
        }
        Place(index, heap_[child]);
        index = child;
    }
    Place(index, entry);
}

void TimerQueue::Remove(std::size_t index) {
    Entry* removed = heap_[index];
    removed->queue_ = nullptr;
    Entry* last = heap_.back();
    heap_.pop_back();
    if (index < heap_.size()) {
        Place(index, last);
        SiftDown(index);
        SiftUp(last->heapIndex_);
    }
}

} // namespace vigrel
