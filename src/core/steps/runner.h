// The commands under way, each from its start to its end. Every step runs as
// an event of its own: starting a command runs it to its first wait, and a
// resumed step runs to the next. What a command throws comes out of the call
// that ran the step, as from any other handler.
#pragma once

#include <coroutine>
#include <cstddef>
#include <list>

#include "steps/task.h"

namespace rm {

class Runner {
public:
    Runner() = default;
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    void Start(Task<> command);
    // Runs the waiting step on to its next wait.
    void Resume(std::coroutine_handle<> step);
    // At exit: every command waiting ends where it waits, and what would
    // have resumed it finds nothing. One whose step is running (a dialog the
    // user opened is up) ends once that step is over.
    void EndAll();
    // Commands started and not yet ended.
    std::size_t Running() const { return commands_.size(); }

private:
    // Drops the commands that ended and rethrows the first error among them.
    void Reap();

    std::list<Task<>> commands_;
    // Steps running now, one inside another only inside a dialog the user opened.
    int depth_ = 0;
    bool ending_ = false;
};

}  // namespace rm
