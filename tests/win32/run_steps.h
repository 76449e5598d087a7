// Runs the core's commands in tests as the program does: on the real step
// timer, the thread's messages handled until the command has ended.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>

#include "monitor.h"
#include "pump.h"
#include "steps/task.h"

namespace rm::win {

// For Win32Steps: a step that throws fails the test.
inline void RunStepInTest(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "a step threw: " << e.what();
    }
}

inline void RunToEnd(Monitor& m, Task<> command, std::chrono::seconds bound = std::chrono::seconds(60)) {
    m.steps.Start(std::move(command));
    EXPECT_TRUE(PumpUntil([&] { return m.steps.Running() == 0; }, bound)) << "the command did not end";
}

template <class T>
Task<> KeepResult(Task<T> command, std::optional<T>& result) {
    result = co_await std::move(command);
}

template <class T>
T RunToEnd(Monitor& m, Task<T> command) {
    std::optional<T> result;
    RunToEnd(m, KeepResult(std::move(command), result));
    if (!result) throw std::logic_error("the command did not end");
    return *result;
}

}  // namespace rm::win
