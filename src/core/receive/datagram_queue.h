// Datagrams taken off a socket by a receiving thread and handed, in arrival
// order, to the thread that handles them. The queue is bounded by memory so
// that a flood while the handler is blocked cannot exhaust the process.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "text/datetime.h"

namespace rm {

struct Datagram {
    std::vector<char> Bytes;
    std::string SenderAddress;  // "a.b.c.d"
    int Port = 0;
    int Count = 0;  // what the read returned: the byte count, or -1 for a failed read
    // Local time when it was taken off the socket: the handler may come to it later.
    DateTime Arrived = 0;
};

class DatagramQueue {
public:
    static constexpr std::size_t DefaultLimitBytes = 64 * 1024 * 1024;

    explicit DatagramQueue(std::size_t limitBytes = DefaultLimitBytes) : limitBytes_(limitBytes) {}
    DatagramQueue(const DatagramQueue&) = delete;
    DatagramQueue& operator=(const DatagramQueue&) = delete;

    // Queues the datagram, or drops and counts it when it does not fit.
    // True when the handling side has to be woken: only the first datagram
    // after a Pop asks, so one wake-up covers a whole burst.
    bool Push(Datagram datagram);

    struct Popped {
        std::optional<Datagram> Next;
        // More are waiting; the caller wakes itself again instead of the
        // receiver, so that a handler running a nested loop gets the next one.
        bool More = false;
        // Datagrams dropped since the last report, given once the queue has drained.
        std::size_t Dropped = 0;
    };
    Popped Pop();
    // Whether datagrams wait, whatever became of the wake-up that was owed for them.
    bool Waiting();

private:
    static std::size_t Cost(const Datagram& datagram);

    std::mutex lock_;
    std::deque<Datagram> queue_;
    std::size_t limitBytes_;
    std::size_t usedBytes_ = 0;
    std::size_t dropped_ = 0;
    bool wakeUpPending_ = false;
};

}  // namespace rm
