// The whole program state, its view and the platform it runs on.
#pragma once

#include "monitor/state.h"
#include "monitor/view.h"
#include "ports.h"

namespace rm {

struct Monitor {
    MainState s;
    ViewModel view;
    Ports& ports;
};

}  // namespace rm
