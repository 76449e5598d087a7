#include "steps/runner.h"

#include <exception>

namespace rm {

namespace {

class Depth {
public:
    explicit Depth(int& depth) : depth_(depth) { ++depth_; }
    ~Depth() { --depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

private:
    int& depth_;
};

}  // namespace

void Runner::Start(Task<> command) {
    commands_.push_back(std::move(command));
    {
        const Depth running(depth_);
        commands_.back().Begin();
    }
    Reap();
}

void Runner::Resume(std::coroutine_handle<> step) {
    {
        const Depth running(depth_);
        step.resume();
    }
    Reap();
}

void Runner::EndAll() {
    ending_ = true;
    Reap();
}

void Runner::Reap() {
    if (ending_) {
        if (depth_ > 0) return;
        ending_ = false;
        commands_.clear();
        return;
    }
    std::exception_ptr first;
    for (auto command = commands_.begin(); command != commands_.end();) {
        if (!command->Done()) {
            ++command;
            continue;
        }
        try {
            command->RethrowError();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
        command = commands_.erase(command);
    }
    if (first) std::rethrow_exception(first);
}

}  // namespace rm
