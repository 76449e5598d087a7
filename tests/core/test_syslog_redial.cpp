#include <gtest/gtest.h>

#include "test_syslog_support.h"

namespace rm::test {
namespace {

struct RedialMonitor : SyslogMonitor {
    explicit RedialMonitor(std::uint16_t redialCount) {
        m.s.settings.RedialCount = redialCount;
        m.s.redial.RedialLeft = redialCount;
    }
    // A dial of this copy's connect command that fails with line.
    void Fail(const std::string& line) {
        RequestConnect(1);
        Receive(DialLine("0312345678"));
        Receive(line);
    }
    std::size_t Questions() const { return dialogs.questions.size(); }
};

TEST(SyslogRedial, CountsAutomaticRetriesThenAsks) {
    RedialMonitor f(2);
    f.Fail(DisconnectLine());
    EXPECT_EQ(f.m.view.Panel.Caption, "接続中(1)");
    EXPECT_EQ(f.m.s.redial.RedialLeft, 1);
    f.Fail(DisconnectLine());
    EXPECT_EQ(f.m.view.Panel.Caption, "接続中(2)");
    EXPECT_EQ(f.m.s.redial.RedialLeft, 0);
    EXPECT_EQ(f.Questions(), 0u);

    f.dialogs.answers = {false};
    f.Fail(DisconnectLine());
    ASSERT_EQ(f.Questions(), 1u);
    EXPECT_EQ(f.dialogs.questions[0].text, "接続を確立できませんでした。\r　 　再接続しますか？ 　　　");
    EXPECT_EQ(f.dialogs.questions[0].caption, "Routavysta Monitor");
    EXPECT_EQ(f.m.s.redial.RedialLeft, 2);  // refilled for the next attempt

    // A connect line refills the counter too.
    f.Fail(DisconnectLine());
    EXPECT_EQ(f.m.s.redial.RedialLeft, 1);
    f.Receive(ConnectLine());
    EXPECT_EQ(f.m.s.redial.RedialLeft, 2);
}

TEST(SyslogRedial, Count255Or0AlwaysAsks) {
    for (std::uint16_t count : {std::uint16_t{255}, std::uint16_t{0}}) {
        RedialMonitor f(count);
        if (count == 255) f.m.s.redial.RedialLeft = 5;  // 255 asks whatever is left
        f.Fail(DisconnectLine());
        f.Fail(BusyLine());
        EXPECT_EQ(f.Questions(), 2u) << count;
        EXPECT_EQ(f.m.s.redial.RedialLeft, count);
        EXPECT_EQ(f.m.view.Panel.Caption, "未接続");
    }
}

TEST(SyslogRedial, BusyThenDisconnectRedialsOnce) {
    RedialMonitor f(3);
    f.Fail(BusyLine());
    EXPECT_TRUE(f.m.s.redial.BusySeen);
    EXPECT_EQ(f.m.s.redial.RedialLeft, 2);
    f.Receive(DisconnectLine());
    EXPECT_EQ(f.m.s.redial.RedialLeft, 2);
    EXPECT_EQ(f.m.view.Panel.Caption, "未接続");  // the reset of the disconnect

    // The next dial clears the mark, so its failure redials again.
    f.Fail(DisconnectLine());
    EXPECT_EQ(f.m.s.redial.RedialLeft, 1);
    EXPECT_EQ(f.m.view.Panel.Caption, "接続中(2)");

    RedialMonitor asking(255);
    asking.Fail(BusyLine());
    asking.Receive(DisconnectLine());
    EXPECT_EQ(asking.Questions(), 1u);
}

TEST(SyslogRedial, NeverWithoutAPendingConnectOfThisCopy) {
    for (std::uint16_t count : {std::uint16_t{2}, std::uint16_t{255}}) {
        RedialMonitor f(count);
        f.Receive(DialLine("0312345678"));  // another PC or the router dialled
        f.Receive(BusyLine());
        f.Receive(DisconnectLine());
        f.Receive(DisconnectLine());
        EXPECT_EQ(f.Questions(), 0u);
        EXPECT_EQ(f.m.s.redial.RedialLeft, count);
        EXPECT_EQ(f.m.view.Panel.Caption, "未接続");
    }

    // A connect line confirms the command: its later disconnect is no failure.
    RedialMonitor confirmed(255);
    confirmed.RequestConnect(1);
    confirmed.Receive(ConnectLine());
    confirmed.Receive(DisconnectLine());
    EXPECT_EQ(confirmed.Questions(), 0u);
}

TEST(SyslogRedial, MultiAccountRepeatsTheIsp) {
    // In this mode the ISP the command dialled is the target, not the port.
    RedialMonitor f(255);
    f.m.s.settings.MultiAccount = true;
    f.m.s.conn.ConnectPending = true;
    f.m.s.conn.ConnectedIsp = 3;
    f.Receive(BusyLine());
    EXPECT_EQ(f.Questions(), 1u);

    RedialMonitor none(255);
    none.m.s.settings.MultiAccount = true;
    none.RequestConnect(1);  // the port says nothing in this mode
    none.Receive(BusyLine());
    EXPECT_EQ(none.Questions(), 0u);
}

TEST(SyslogRedial, AnotherLineHandledWhileTheQuestionIsOpen) {
    RedialMonitor f(255);
    f.m.s.settings.SyslogAddTime = false;
    f.m.s.settings.SyslogLineBreaks = false;
    bool delivered = false;
    f.dialogs.whileOpen = [&] {
        if (delivered) return;
        delivered = true;
        f.Receive(ConnectLine());  // the router got through after all
    };
    f.RequestConnect(1);
    f.Receive(DisconnectLine());
    EXPECT_EQ(f.Questions(), 1u);
    // The lines stay in the order they came; the inner one was handled
    // completely, and the outer one went on with the fields as it left them.
    EXPECT_EQ(f.m.view.Viewer.Lines, (std::vector<std::string>{DisconnectLine(), ConnectLine()}));
    EXPECT_TRUE(f.m.view.Panel.Shown);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 1);
    EXPECT_EQ(f.m.s.conn.HistoryStage, 2);
    EXPECT_EQ(f.m.s.redial.RedialLeft, 255);
}

TEST(SyslogRedial, FailuresWhileTheQuestionIsOpenAskNoSecondQuestion) {
    RedialMonitor f(255);
    int inside = 0;
    f.dialogs.whileOpen = [&] {
        // A flood of failure lines from anyone on the LAN while the user thinks.
        for (; inside < 300; ++inside) f.Receive(inside % 2 ? BusyLine() : DisconnectLine());
    };
    f.RequestConnect(1);
    f.Receive(DisconnectLine());
    EXPECT_EQ(f.Questions(), 1u);
    EXPECT_TRUE(f.m.waiting.Questions.empty());
    // Once it is answered, the next failure asks again.
    f.dialogs.whileOpen = nullptr;
    f.Fail(DisconnectLine());
    EXPECT_EQ(f.Questions(), 2u);
}

}  // namespace
}  // namespace rm::test
