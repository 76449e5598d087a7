// A step that waits for a port to call back: a timer, an answer, a window's
// close. The port calls back at most once, later, as an event of its own;
// the wait resumes the step through the Runner. A command that ended
// meanwhile is not resumed: its wait is gone, and the call back finds nothing.
#pragma once

#include <coroutine>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "steps/runner.h"

namespace rm {

template <class T>
class PortWait {
public:
    using Deliver = std::function<void(T)>;

    PortWait(Runner& runner, std::function<void(Deliver)> start)
        : slot_(std::make_shared<Slot>(runner)), start_(std::move(start)) {}
    PortWait(const PortWait&) = delete;
    PortWait& operator=(const PortWait&) = delete;
    ~PortWait() { slot_->step = {}; }

    bool await_ready() const noexcept { return false; }
    // A port that answers inside the call does not resume the step inside
    // its own suspension: the step goes on at once instead.
    bool await_suspend(std::coroutine_handle<> step) {
        slot_->step = step;
        slot_->starting = true;
        start_([slot = slot_](T value) { slot->Deliver(std::move(value)); });
        slot_->starting = false;
        if (!slot_->value) return true;
        slot_->step = {};
        return false;
    }
    T await_resume() { return std::move(*slot_->value); }

private:
    struct Slot {
        explicit Slot(Runner& r) : runner(r) {}
        Runner& runner;
        std::coroutine_handle<> step;
        std::optional<T> value;
        bool starting = false;
        void Deliver(T delivered) {
            if (value || (!step && !starting)) return;
            value.emplace(std::move(delivered));
            if (starting) return;
            runner.Resume(std::exchange(step, {}));
        }
    };

    std::shared_ptr<Slot> slot_;
    std::function<void(Deliver)> start_;
};

}  // namespace rm
