// The core's waiting steps on the GUI thread: each runs once its time has
// passed, as an event of its own, through the runner the owner gives (which
// catches what the step throws and renders the view after it).
//
// Not WM_TIMER: Windows makes that message only while no posted message
// waits, so in a flood of datagrams a pause would stretch without bound. A
// thread-pool timer posts for the earliest due step instead, and a due step
// takes its turn among the posted messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "ports.h"
#include "window.h"

namespace rm::win {

class Win32Steps : public StepPort, private Window {
public:
    using Runner = std::function<void(const std::function<void()>& step)>;

    explicit Win32Steps(Runner run);
    ~Win32Steps() override;
    Win32Steps(const Win32Steps&) = delete;
    Win32Steps& operator=(const Win32Steps&) = delete;

    void After(int milliseconds, std::function<void()> step) override;
    // At exit: the steps waiting never run.
    void DropAll();
    std::size_t Waiting() const { return queued_.size() + timed_.size(); }

private:
    using Clock = std::chrono::steady_clock;

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnQueued(std::uint64_t number);
    void OnDue();
    void Arm();
    void Schedule(Clock::time_point due, std::function<void()> step);

    Runner run_;
    std::uint64_t next_ = 0;
    // Dropped steps: a batch that was running stops.
    std::uint64_t drops_ = 0;
    // Steps with no delay, each run at its own posted message, so after the
    // messages posted before it.
    std::map<std::uint64_t, std::function<void()>> queued_;
    std::map<std::pair<Clock::time_point, std::uint64_t>, std::function<void()>> timed_;
    PTP_TIMER timer_ = nullptr;
};

}  // namespace rm::win
