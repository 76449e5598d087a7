#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "receive/datagram_queue.h"

namespace rm {
namespace {

Datagram Numbered(int number, std::size_t size = 4) {
    Datagram datagram;
    datagram.Bytes.assign(size, static_cast<char>('a' + number % 26));
    datagram.SenderAddress = "192.0.2." + std::to_string(number % 256);
    datagram.Port = 1000 + number;
    datagram.Count = static_cast<int>(size);
    return datagram;
}

// Everything queued, in the order it comes out.
std::vector<int> Drain(DatagramQueue& queue) {
    std::vector<int> ports;
    while (auto popped = queue.Pop().Next) ports.push_back(popped->Port - 1000);
    return ports;
}

TEST(DatagramQueue, KeepsArrivalOrderAndEveryField) {
    DatagramQueue queue;
    Datagram failed;
    failed.SenderAddress = "0.0.0.0";
    failed.Count = -1;
    queue.Push(Numbered(1, 0));
    queue.Push(failed);
    queue.Push(Numbered(2, 2048));

    auto first = queue.Pop();
    ASSERT_TRUE(first.Next);
    EXPECT_TRUE(first.More);
    EXPECT_EQ(first.Next->Port, 1001);
    EXPECT_EQ(first.Next->SenderAddress, "192.0.2.1");
    EXPECT_EQ(first.Next->Count, 0);
    EXPECT_TRUE(first.Next->Bytes.empty());

    auto second = queue.Pop();
    ASSERT_TRUE(second.Next);
    EXPECT_EQ(second.Next->Count, -1);
    EXPECT_EQ(second.Next->SenderAddress, "0.0.0.0");

    auto third = queue.Pop();
    ASSERT_TRUE(third.Next);
    EXPECT_FALSE(third.More);
    EXPECT_EQ(third.Next->Bytes, std::vector<char>(2048, 'c'));

    const auto empty = queue.Pop();
    EXPECT_FALSE(empty.Next);
    EXPECT_FALSE(empty.More);
}

TEST(DatagramQueue, OneWakeUpPerBurstAndAgainAfterEachPopThatLeavesMore) {
    DatagramQueue queue;
    EXPECT_TRUE(queue.Push(Numbered(1)));
    EXPECT_FALSE(queue.Push(Numbered(2)));
    EXPECT_FALSE(queue.Push(Numbered(3)));
    // The handling side wakes itself for the rest; the receiver stays quiet.
    EXPECT_TRUE(queue.Pop().More);
    EXPECT_FALSE(queue.Push(Numbered(4)));
    EXPECT_EQ(Drain(queue), (std::vector<int>{2, 3, 4}));
    EXPECT_TRUE(queue.Push(Numbered(5))) << "a drained queue asks again";
}

TEST(DatagramQueue, MemoryBoundDropsNewcomersAndReportsTheCountOnceDrained) {
    const std::size_t perDatagram = sizeof(Datagram) + 100;
    DatagramQueue queue(3 * perDatagram);
    for (int i = 0; i < 5; ++i) queue.Push(Numbered(i, 100));
    // Even an empty one takes room: its bookkeeping counts.
    queue.Push(Numbered(5, 0));

    std::vector<int> ports;
    std::vector<std::size_t> reports;
    auto pop = [&] {
        auto popped = queue.Pop();
        ASSERT_TRUE(popped.Next);
        ports.push_back(popped.Next->Port - 1000);
        reports.push_back(popped.Dropped);
    };
    pop();
    queue.Push(Numbered(6, 100));  // a pop made room
    for (int i = 0; i < 3; ++i) pop();
    EXPECT_EQ(ports, (std::vector<int>{0, 1, 2, 6}));
    EXPECT_EQ(reports, (std::vector<std::size_t>{0, 0, 0, 3})) << "told once the queue has drained";
    EXPECT_EQ(queue.Pop().Dropped, 0u) << "and then counted from zero";
}

TEST(DatagramQueue, PushesFromAnotherThreadArriveWholeAndInOrder) {
    constexpr int Count = 20000;
    DatagramQueue queue;
    std::thread receiver([&] {
        for (int i = 0; i < Count; ++i) queue.Push(Numbered(i, static_cast<std::size_t>(i % 64)));
    });
    std::vector<int> seen;
    while (seen.size() < Count) {
        auto popped = queue.Pop();
        if (!popped.Next) {
            std::this_thread::yield();
            continue;
        }
        const int number = popped.Next->Port - 1000;
        ASSERT_EQ(popped.Next->Bytes, Numbered(number, static_cast<std::size_t>(number % 64)).Bytes);
        seen.push_back(number);
    }
    receiver.join();
    for (int i = 0; i < Count; ++i) ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);
    EXPECT_FALSE(queue.Pop().Next);
}

}  // namespace
}  // namespace rm
