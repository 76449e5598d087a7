// One monitor on fakes for the whole run, made as new for each input. A
// program folder created and removed per input costs far more than the input
// itself, so the folder stays and each target removes what its input wrote.
#pragma once

#include "fakes.h"

inline rm::test::FakeMonitor& FreshMonitor() {
    static rm::test::FakeMonitor f;
    f.m.s = rm::MainState{};
    f.m.s.AppDir = f.dir.path();
    f.m.view = rm::ViewModel{};
    f.net = rm::test::FakeNet{};
    f.dialogs = rm::test::FakeDialogs{};
    f.clock = rm::test::FakeClock{};
    f.events.sleeps.clear();
    f.events.queued.clear();
    f.events.processCalls = 0;
    f.sound = rm::test::FakeSound{};
    f.programs = rm::test::FakePrograms{};
    f.otherWindows = rm::test::FakeOtherWindows{};
    f.clipboard = rm::test::FakeClipboard{};
    f.log = rm::test::FakeLog{};
    return f;
}
