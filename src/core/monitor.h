// The whole program state, its view and the platform it runs on.
#pragma once

#include "state/state.h"
#include "state/view.h"
#include "ports.h"
#include "text/batched_file.h"

namespace rm {

struct Monitor {
    MainState s;
    ViewModel view;
    Ports& ports;
    // Today's syslog file, open while lines arrive.
    BatchedFile syslogFile{};
};

}  // namespace rm
