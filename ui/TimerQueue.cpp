#include "ui/TimerQueue.h"

#include <algorithm>

namespace vigrel {

TimerQueue::Entry::~Entry() {
    if (lane_ != nullptr) {
        lane_->queue->Cancel(*this);
    }
}

TimerQueue::~TimerQueue() {
    for (auto& [period, lane] : lanes_) {
        for (Entry* entry = lane.head; entry != nullptr; entry = entry->next_) {
            entry->lane_ = nullptr;
        }
    }
}

void TimerQueue::Schedule(Entry& entry, std::int64_t period, std::int64_t now) {
    Cancel(entry);
    period = std::max<std::int64_t>(period, 1);
    // Everything that can fail comes first: a new lane's node and its place in the heap. Once the
    // entry is being linked nothing throws, so a failure leaves it unscheduled and the queue whole.
    heap_.reserve(heap_.size() + 1);
    Lane& lane = lanes_[period];
    lane.queue = this;
    lane.period = period;
    // The clock never goes back, so this deadline is the lane's latest; the max only guards a
    // caller whose clock does.
    const std::int64_t due = lane.tail ? std::max(now + period, lane.tail->due_) : now + period;
    Append(lane, entry, due);
}

void TimerQueue::Cancel(Entry& entry) {
    if (entry.lane_ != nullptr && entry.lane_->queue == this) {
        Unlink(entry);
    }
}

std::optional<std::int64_t> TimerQueue::NextDue() const {
    if (heap_.empty()) {
        return std::nullopt;
    }
    return heap_.front()->head->due_;
}

TimerQueue::Entry* TimerQueue::PopDue(std::int64_t now) {
    if (heap_.empty() || heap_.front()->head->due_ > now) {
        return nullptr;
    }
    Lane& lane = *heap_.front();
    Entry* entry = lane.head;
    std::int64_t due = entry->due_ + lane.period;
    if (due <= now) {
        due += ((now - due) / lane.period + 1) * lane.period;
    }
    if (entry->next_ == nullptr) {
        // Alone in its lane: the lane stays, with this entry at a later deadline.
        entry->due_ = due;
        entry->order_ = nextOrder_++;
        SiftDown(lane.heapIndex);
        return entry;
    }
    lane.head = entry->next_;
    lane.head->previous_ = nullptr;
    --size_;
    Append(lane, *entry, std::max(due, lane.tail->due_));
    SiftDown(lane.heapIndex);
    return entry;
}

void TimerQueue::Append(Lane& lane, Entry& entry, std::int64_t due) {
    entry.lane_ = &lane;
    entry.due_ = due;
    entry.order_ = nextOrder_++;
    entry.next_ = nullptr;
    entry.previous_ = lane.tail;
    ++size_;
    if (lane.tail != nullptr) {
        lane.tail->next_ = &entry;
        lane.tail = &entry;
        return;
    }
    lane.head = lane.tail = &entry;
    heap_.push_back(&lane);
    lane.heapIndex = heap_.size() - 1;
    SiftUp(lane.heapIndex);
}

void TimerQueue::Unlink(Entry& entry) {
    Lane& lane = *entry.lane_;
    entry.lane_ = nullptr;
    --size_;
    (entry.previous_ ? entry.previous_->next_ : lane.head) = entry.next_;
    (entry.next_ ? entry.next_->previous_ : lane.tail) = entry.previous_;
    const bool wasHead = entry.previous_ == nullptr;
    entry.previous_ = entry.next_ = nullptr;
    if (!wasHead) {
        return;
    }
    const std::size_t index = lane.heapIndex;
    if (lane.head != nullptr) {
        SiftDown(index);
        return;
    }
    Lane* last = heap_.back();
    heap_.pop_back();
    if (index < heap_.size()) {
        Place(index, last);
        SiftDown(index);
        SiftUp(last->heapIndex);
    }
    lanes_.erase(lane.period);
}

bool TimerQueue::Earlier(const Lane* a, const Lane* b) {
    const Entry* x = a->head;
    const Entry* y = b->head;
    return x->due_ != y->due_ ? x->due_ < y->due_ : x->order_ < y->order_;
}

void TimerQueue::Place(std::size_t index, Lane* lane) {
    heap_[index] = lane;
    lane->heapIndex = index;
}

void TimerQueue::SiftUp(std::size_t index) {
    Lane* lane = heap_[index];
    while (index > 0) {
        const std::size_t parent = (index - 1) / 2;
        if (!Earlier(lane, heap_[parent])) {
            break;
        }
        Place(index, heap_[parent]);
        index = parent;
    }
    Place(index, lane);
}

void TimerQueue::SiftDown(std::size_t index) {
    Lane* lane = heap_[index];
    const std::size_t size = heap_.size();
    for (;;) {
        std::size_t child = 2 * index + 1;
        if (child >= size) {
            break;
        }
        if (child + 1 < size && Earlier(heap_[child + 1], heap_[child])) {
            ++child;
        }
        if (!Earlier(heap_[child], lane)) {
            break;
        }
        Place(index, heap_[child]);
        index = child;
    }
    Place(index, lane);
}

} // namespace vigrel
