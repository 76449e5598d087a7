#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "fakes.h"
#include "waits.h"

namespace rm::test {
namespace {

Task<> FailAfterPause(Monitor& m, bool& resumed) {
    co_await Pause(m, 100);
    resumed = true;
    throw std::runtime_error("later");
}

Task<> Ask(Monitor& m, std::vector<bool>& answers) { answers.push_back(co_await AskYesNo(m, "q", "c")); }

Task<> Close(Monitor& m, int& closes) {
    co_await CloseWindow(m, 5);
    ++closes;
}

TEST(Steps, AnErrorAfterAWaitComesOutOfTheStepThatRanIt) {
    FakeMonitor f;
    bool resumed = false;
    EXPECT_THROW(f.Run(FailAfterPause(f.m, resumed)), std::runtime_error);
    EXPECT_TRUE(resumed);
    EXPECT_EQ(f.m.steps.Running(), 0u);
}

TEST(Steps, AtExitWaitingCommandsEndAndTheirTimersResumeNothing) {
    FakeMonitor f;
    bool resumed = false;
    f.m.steps.Start(FailAfterPause(f.m, resumed));
    EXPECT_EQ(f.m.steps.Running(), 1u);
    f.m.steps.EndAll();
    EXPECT_EQ(f.m.steps.Running(), 0u);
    f.steps.Drain([] { return false; });  // the timer still fires
    EXPECT_FALSE(resumed);
}

TEST(Steps, AQuestionOrACloseUnderWayIsNotAskedAgain) {
    FakeMonitor f;
    std::vector<bool> answers;
    f.m.steps.Start(Ask(f.m, answers));
    f.m.steps.Start(Ask(f.m, answers));  // finds the question up: No at once
    f.otherWindows.hung = {5};
    int closes = 0;
    f.m.steps.Start(Close(f.m, closes));
    f.m.steps.Start(Close(f.m, closes));  // already closing: not asked again
    f.steps.Drain([&] { return f.m.steps.Running() == 0; });
    EXPECT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(answers, (std::vector<bool>{false, true}));
    EXPECT_EQ(f.otherWindows.closed, std::vector<WindowHandle>{5});
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(f.clock.monotonic, FakeOtherWindows::CloseBound);
}

}  // namespace
}  // namespace rm::test
