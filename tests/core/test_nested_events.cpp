#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes.h"

namespace rm::test {
namespace {

// The nesting mode is only worth its run if every nesting call of the fakes
// takes part, and a box shown by a nested event does not nest again.
TEST(NestedEvents, EveryNestingCallRunsOneTickAndOneSyslogLineInside) {
    FakeMonitor f;
    f.NestTickAndSyslogLine();
    f.m.s.settings.ConnectTimeout = "1";
    f.m.s.settings.SyslogAddTime = false;
    f.m.s.settings.SyslogLineBreaks = false;
    LaunchForm launch;
    SettingsForm settings;
    struct NoEvents : SettingsFormEvents {
        SaveResult Button1Click(const SettingsForm&) override { return {}; }
        void softButtonClick(int, const std::string&) override {}
        void riskBoxClick(SettingsForm&) override {}
        void TestSound(const std::string&) override {}
    } events;
    const std::vector<std::function<void()>> calls{
        [&] { f.net.NestingSend(Endpoint::RV_UDP, "router.lan", "x"); },
        [&] { f.dialogs.NestingShowMessage("x"); },
        [&] { f.dialogs.NestingAskYesNo("x", "y"); },
        [&] { f.dialogs.NestingShowAbout(); },
        [&] { f.dialogs.NestingShowLaunchEntryDialog(launch); },
        [&] { f.dialogs.NestingShowMemoSend(); },
        [&] { f.dialogs.NestingAskSaveFileName(); },
        [&] { f.dialogs.NestingAskFont(ViewerFont{}); },
        [&] { f.dialogs.NestingShowSettingsDialog(settings, events); },
        [&] { f.events.NestingProcessEvents(0); },
        [&] { f.programs.NestingRunProgram("a.exe", "", "", ShowMode::Show); },
        [&] { f.programs.NestingOpenHelp("a.hlp"); },
        [&] { f.programs.NestingOpenHelpPage(); },
        [&] { f.programs.NestingCreateProgramProcess("a.exe", "", ""); },
        [&] { f.otherWindows.NestingCloseWindow(1); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        // A connect left pending past its time-out: the tick shows its box.
        f.m.s.conn.ConnectPending = true;
        f.m.s.conn.ConnectRequestedAt = f.clock.monotonic - 5000;
        const std::size_t lines = f.m.view.Viewer.Lines.size(), boxes = f.dialogs.messages.size();
        calls[i]();
        EXPECT_EQ(f.m.view.Viewer.Lines.size(), lines + 1) << i;
        EXPECT_EQ(f.m.view.Viewer.Lines.back(), NestedSyslogLine) << i;
        EXPECT_FALSE(f.m.s.conn.ConnectPending) << i;
        EXPECT_EQ(f.dialogs.messages.size(), boxes + (i == 1 ? 2 : 1)) << i;
    }
    // Dotted addresses are not looked up, so nothing runs.
    const std::size_t lines = f.m.view.Viewer.Lines.size();
    f.net.NestingSend(Endpoint::RV_UDP, "192.168.0.1", "x");
    EXPECT_EQ(f.m.view.Viewer.Lines.size(), lines);
}

}  // namespace
}  // namespace rm::test
