#include "step_timer.h"

#include <stdexcept>
#include <vector>

#include "app_messages.h"
#include "diagnostics.h"

namespace rm::win {
namespace {

void CALLBACK PostDue(PTP_CALLBACK_INSTANCE, PVOID window, PTP_TIMER) {
    if (!PostMessageW(static_cast<HWND>(window), StepDueMessage, 0, 0)) LogLastError(L"PostMessageW", L"step due");
}

}  // namespace

Win32Steps::Win32Steps(Runner run) : run_(std::move(run)) {
    if (!CreateWindowOf(WindowClass{L"RmStepTimer"}, WindowArgs{.Parent = HWND_MESSAGE})) {
        throw std::runtime_error("タイマー用のウィンドウを作成できません。");
    }
    timer_ = CreateThreadpoolTimer(PostDue, Handle(), nullptr);
    if (!timer_) {
        LogLastError(L"CreateThreadpoolTimer");
        throw std::runtime_error("タイマーを作成できません。");
    }
}

Win32Steps::~Win32Steps() {
    SetThreadpoolTimer(timer_, nullptr, 0, 0);
    WaitForThreadpoolTimerCallbacks(timer_, TRUE);
    CloseThreadpoolTimer(timer_);
    Destroy();
}

void Win32Steps::After(int milliseconds, std::function<void()> step) {
    if (milliseconds > 0) {
        Schedule(Clock::now() + std::chrono::milliseconds(milliseconds), std::move(step));
        return;
    }
    const std::uint64_t number = next_++;
    if (!PostMessageW(Handle(), StepQueuedMessage, 0, static_cast<LPARAM>(number))) {
        // The thread's queue is full: the step goes with the next timed ones.
        LogLastError(L"PostMessageW", L"step queued");
        Schedule(Clock::now(), std::move(step));
        return;
    }
    queued_.emplace(number, std::move(step));
}

void Win32Steps::Schedule(Clock::time_point due, std::function<void()> step) {
    const bool earliest = timed_.empty() || due < timed_.begin()->first.first;
    timed_.emplace(std::make_pair(due, next_++), std::move(step));
    if (earliest) Arm();
}

void Win32Steps::DropAll() {
    ++drops_;
    queued_.clear();
    timed_.clear();
    SetThreadpoolTimer(timer_, nullptr, 0, 0);
}

LRESULT Win32Steps::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case StepQueuedMessage:
        OnQueued(static_cast<std::uint64_t>(lp));
        return 0;
    case StepDueMessage:
        OnDue();
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

void Win32Steps::OnQueued(std::uint64_t number) {
    const auto found = queued_.find(number);
    if (found == queued_.end()) return;
    const std::function<void()> step = std::move(found->second);
    queued_.erase(found);
    run_(step);
}

// The steps due when the message came, in the order of their times; those
// that they ask for wait for a message of their own.
void Win32Steps::OnDue() {
    const Clock::time_point now = Clock::now();
    std::vector<std::function<void()>> due;
    while (!timed_.empty() && timed_.begin()->first.first <= now) {
        due.push_back(std::move(timed_.begin()->second));
        timed_.erase(timed_.begin());
    }
    const std::uint64_t drops = drops_;
    for (const auto& step : due) {
        if (drops_ != drops) return;
        run_(step);
    }
    Arm();
}

void Win32Steps::Arm() {
    if (timed_.empty()) {
        SetThreadpoolTimer(timer_, nullptr, 0, 0);
        return;
    }
    const auto wait = timed_.begin()->first.first - Clock::now();
    if (wait <= Clock::duration::zero()) {
        if (!PostMessageW(Handle(), StepDueMessage, 0, 0)) LogLastError(L"PostMessageW", L"step due");
        return;
    }
    // Negative: relative to now, in units of 100 ns, rounded up so that the
    // timer never comes before the step is due.
    const auto ticks = -std::chrono::ceil<std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>(wait).count();
    ULARGE_INTEGER relative;
    relative.QuadPart = static_cast<ULONGLONG>(ticks);
    FILETIME dueTime{relative.LowPart, relative.HighPart};
    SetThreadpoolTimer(timer_, &dueTime, 0, 0);
}

}  // namespace rm::win
