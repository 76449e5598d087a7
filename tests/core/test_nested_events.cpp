#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes.h"
#include "waits.h"

namespace rm::test {
namespace {

// The nesting mode is only worth its run if every kind of wait takes part,
// and what the events started there wait for does not run them again.
TEST(NestedEvents, EveryWaitRunsOneTickAndOneSyslogLineBeforeItResumes) {
    FakeMonitor f;
    f.NestTickAndSyslogLine();
    f.m.s.settings.ConnectTimeout = "1";
    f.m.s.settings.SyslogAddTime = false;
    f.m.s.settings.SyslogLineBreaks = false;
    const std::vector<std::function<Task<>()>> waits{
        [&]() -> Task<> { co_await Pause(f.m, 100); },
        [&]() -> Task<> { co_await RouterReplyOrTimeout(f.m, 100); },
        [&]() -> Task<> { co_await MessageClosed(f.m, "x"); },
        [&]() -> Task<> { co_await AskYesNo(f.m, "x", "y"); },
        [&]() -> Task<> { co_await CloseWindow(f.m, 1); },
    };
    for (std::size_t i = 0; i < waits.size(); ++i) {
        // A connect left pending past its time-out: the tick shows its box.
        f.m.s.conn.ConnectPending = true;
        f.m.s.conn.ConnectRequestedAt = f.clock.monotonic - 5000;
        const std::size_t lines = f.m.view.Viewer.Lines.size(), boxes = f.dialogs.messages.size();
        f.Run(waits[i]());
        EXPECT_EQ(f.m.view.Viewer.Lines.size(), lines + 1) << i;
        EXPECT_EQ(f.m.view.Viewer.Lines.back(), NestedSyslogLine) << i;
        EXPECT_FALSE(f.m.s.conn.ConnectPending) << i;
        EXPECT_EQ(f.dialogs.messages.size(), boxes + (i == 2 ? 2 : 1)) << i;
    }
    EXPECT_EQ(f.m.steps.Running(), 0u);
}

}  // namespace
}  // namespace rm::test
