// The whole program state, its view and the platform it runs on.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "ports.h"
#include "state/state.h"
#include "state/view.h"
#include "steps/runner.h"
#include "text/batched_file.h"

namespace rm {

// What the commands under way wait for.
struct Waiting {
    // Wakes for the router's next reply, by wait.
    std::map<std::uint64_t, std::function<void(bool)>> RouterReply;
    std::uint64_t NextId = 0;
    // Questions up now, by their text.
    std::set<std::string> Questions;
    // Other programs' windows asked to close and not yet done.
    std::set<WindowHandle> ClosingWindows;
    // Launcher entries (0..5) whose program was started and has not shown
    // its window yet: a second start waits for the first.
    std::set<std::size_t> StartingEntries;
};

struct Monitor {
    MainState s;
    ViewModel view;
    Ports& ports;
    // Today's syslog file, open while lines arrive.
    BatchedFile syslogFile{};
    Runner steps{};
    Waiting waiting{};
};

}  // namespace rm
