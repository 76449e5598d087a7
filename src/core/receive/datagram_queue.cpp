#include "receive/datagram_queue.h"

#include <utility>

namespace rm {

// Empty datagrams still cost their bookkeeping, so a flood of them is bounded too.
std::size_t DatagramQueue::Cost(const Datagram& datagram) {
    return sizeof(Datagram) + datagram.Bytes.size();
}

bool DatagramQueue::Push(Datagram datagram) {
    const std::size_t cost = Cost(datagram);
    const std::lock_guard hold(lock_);
    if (cost > limitBytes_ - usedBytes_) {
        ++dropped_;
        return false;
    }
    usedBytes_ += cost;
    queue_.push_back(std::move(datagram));
    return !std::exchange(wakeUpPending_, true);
}

DatagramQueue::Popped DatagramQueue::Pop() {
    const std::lock_guard hold(lock_);
    Popped popped;
    if (!queue_.empty()) {
        usedBytes_ -= Cost(queue_.front());
        popped.Next = std::move(queue_.front());
        queue_.pop_front();
    }
    popped.More = !queue_.empty();
    wakeUpPending_ = popped.More;
    if (!popped.More) popped.Dropped = std::exchange(dropped_, 0);
    return popped;
}

bool DatagramQueue::Waiting() {
    const std::lock_guard hold(lock_);
    return !queue_.empty();
}

}  // namespace rm
