#include <gtest/gtest.h>

#include <algorithm>

#include "app/commands.h"
#include "launcher/launch_entry.h"
#include "launcher/launcher_steps.h"
#include "test_syslog_support.h"
#include "text/files.h"

namespace rm::test {
namespace {

TEST(LaunchFolder, WorkFolderOrTheProgramsFolderWithARootKeepingItsBackslash) {
    const struct {
        const char* program;
        const char* workFolder;
        const char* folder;
    } cases[] = {
        {"D:\\Tools\\x.exe", "", "D:\\Tools"},
        {"D:\\x.exe", "", "D:\\"},
        {"D:x.exe", "", "D:"},
        {"\\x.exe", "", "\\"},
        {"\\\\pc\\share\\ツール\\x.exe", "", "\\\\pc\\share\\ツール"},
        {"x.exe", "", ""},
        {"D:\\Tools\\x.exe", "C:\\作業", "C:\\作業"},
        {"", "C:\\作業\\", "C:\\作業\\"},
    };
    for (const auto& c : cases) {
        LaunchEntryTexts entry;
        entry.ProgramFile = c.program;
        entry.WorkFolder = c.workFolder;
        EXPECT_EQ(LaunchFolder(entry), c.folder) << c.program << " / " << c.workFolder;
    }
}

TEST(LaunchCommandLine, QuotedProgramThenTheArgumentsIfAny) {
    LaunchEntryTexts entry;
    entry.ProgramFile = "C:\\Program Files\\エディタ\\ed.exe";
    EXPECT_EQ(LaunchCommandLine(entry.ProgramFile, entry.Arguments), "\"C:\\Program Files\\エディタ\\ed.exe\"");
    entry.Arguments = "-n \"設定 1.txt\"";
    EXPECT_EQ(LaunchCommandLine(entry.ProgramFile, entry.Arguments), "\"C:\\Program Files\\エディタ\\ed.exe\" -n \"設定 1.txt\"");
}

// A monitor with real program files for the entries to start.
struct LauncherMonitor : SyslogMonitor {
    std::string Program(const std::string& name) {
        WriteBytes(dir.path() / PathOf(name), "MZ");
        return PathText(dir.path() / PathOf(name));
    }
    LaunchEntryTexts& Entry(int i) { return m.s.launcher.LaunchEntries[i - 1]; }
    const Launcher& launcher() const { return m.s.launcher; }
};

TEST(LaunchEntry, StartsTheProgramInItsFolderAndRecordsItsProcessAndWindow) {
    LauncherMonitor f;
    f.Entry(2) = {"メモ", f.Program("メモ帳.exe"), "-n 設定.txt", "C:\\作業", "off", "off"};
    EXPECT_TRUE(f.Run(LaunchEntry(f.m, 2)));
    ASSERT_EQ(f.programs.processes.size(), 1u);
    const auto& started = f.programs.processes[0];
    EXPECT_EQ(started.commandLine, "\"" + f.Entry(2).ProgramFile + "\" -n 設定.txt");
    EXPECT_EQ(started.folder, "C:\\作業");
    EXPECT_EQ(f.programs.readyChecks, std::vector<ProcessHandle>{101});
    EXPECT_EQ(f.launcher().LaunchProcesses, (std::array<ProcessHandle, 6>{0, 101, 0, 0, 0, 0}));
    EXPECT_EQ(f.launcher().LaunchWindows, (std::array<WindowHandle, 6>{0, 301, 0, 0, 0, 0}));
}

TEST(LaunchEntry, AProgramFileThatIsNoFileIsToldLikeAFailedStart) {
    // The program in the test's folder; nullptr for none.
    const struct { const char *program, *reason; } cases[] = {
        {"gone.exe", "ファイルが見つかりません。"},
        {"", "ファイルではなくフォルダーが指定されています。"},
        {nullptr, "プログラム名が指定されていません。"},
    };
    for (const auto& c : cases) {
        LauncherMonitor f;
        f.Entry(1) = {"道具", c.program ? PathText(f.dir.path() / c.program) : "", "", "", "on", ""};
        f.Receive(ConnectLine());
        EXPECT_FALSE(f.Run(LaunchEntry(f.m, 1)));
        EXPECT_TRUE(f.programs.processes.empty());
        EXPECT_TRUE(f.dialogs.messages.empty());
        EXPECT_EQ(f.m.view.LaunchNotice.Text,
                  "プログラムを起動できませんでした。\r\n\r\n「道具」 " + f.Entry(1).ProgramFile + "\r\n" + c.reason)
            << c.reason;
    }
}

TEST(LaunchEntry, ARunningProgramIsNotStartedTwiceAnEndedOneIsStartedAnew) {
    LauncherMonitor f;
    f.Entry(1).ProgramFile = f.Program("a.exe");
    f.Run(LaunchEntry(f.m, 1));
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.processes.size(), 1u);

    // The user closed it.
    f.programs.processes[0].running = false;
    EXPECT_TRUE(f.Run(LaunchEntry(f.m, 1)));
    EXPECT_EQ(f.programs.processes.size(), 2u);
    EXPECT_EQ(f.programs.closed, std::vector<ProcessHandle>{101});
    EXPECT_EQ(f.launcher().LaunchProcesses[0], 102u);
    EXPECT_EQ(f.launcher().LaunchWindows[0], 302u);
}

TEST(LaunchEntry, AProcessThatCannotBeCreatedLeavesTheRecord) {
    LauncherMonitor f;
    f.Entry(1).ProgramFile = f.Program("a.exe");
    f.Run(LaunchEntry(f.m, 1));
    f.programs.processes[0].running = false;
    f.programs.refuseProcesses = true;
    EXPECT_TRUE(f.Run(LaunchEntry(f.m, 1)));
    // The ended process's handle is released all the same; the window stays.
    EXPECT_EQ(f.programs.closed, std::vector<ProcessHandle>{101});
    EXPECT_EQ(f.launcher().LaunchProcesses[0], 0u);
    EXPECT_EQ(f.launcher().LaunchWindows[0], 301u);

    // Next time the stale record reads as ended, and nothing is closed twice.
    f.programs.refuseProcesses = false;
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.closed, std::vector<ProcessHandle>{101});
    EXPECT_EQ(f.launcher().LaunchProcesses[0], 102u);
}

TEST(LaunchEntry, AFailedStartIsToldOncePerEntryUntilTheNoticeIsClosed) {
    LauncherMonitor f;
    f.Entry(1) = {"エディタ", f.Program("ed.exe"), "", "", "on", ""};
    f.Entry(2) = {"管理", f.Program("admin.exe"), "", "", "on", ""};
    f.programs.refuseProcesses = true;
    f.Receive(ConnectLine());
    f.programs.refusal = "管理者として実行する必要があります。";
    f.Run(LaunchEntry(f.m, 2));
    f.Receive(ConnectLine());  // fails again: told, not added
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_TRUE(f.m.view.LaunchNotice.Shown);
    EXPECT_EQ(f.m.view.LaunchNotice.Text, "プログラムを起動できませんでした。\r\n\r\n「エディタ」 " + f.Entry(1).ProgramFile +
                                              "\r\n管理者として実行する必要があります。\r\n\r\n「管理」 " +
                                              f.Entry(2).ProgramFile + "\r\n管理者として実行する必要があります。");
    EXPECT_NE(f.log.lines.back().find("launcher entry 2 not started: " + f.Entry(2).ProgramFile), std::string::npos);

    LaunchNoticeClosed(f.m);
    EXPECT_FALSE(f.m.view.LaunchNotice.Shown);
    f.Run(LaunchEntry(f.m, 2));
    EXPECT_EQ(f.m.view.LaunchNotice.Text, "プログラムを起動できませんでした。\r\n\r\n「管理」 " + f.Entry(2).ProgramFile +
                                              "\r\n管理者として実行する必要があります。");
}

TEST(LaunchEntry, AStartTheUserCalledOffIsLoggedButNotTold) {
    LauncherMonitor f;
    f.Entry(1).ProgramFile = f.Program("admin.exe");
    f.programs.refuseProcesses = true;
    f.programs.refusal = "";
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_FALSE(f.m.view.LaunchNotice.Shown);
    EXPECT_NE(f.log.lines.back().find("called off by the user"), std::string::npos);
}

TEST(LaunchEntry, AProgramThatHandsOverIsNotStartedAgainWhileItsProgramsWindowIsThere) {
    LauncherMonitor f;
    f.Entry(1) = {"電卓", f.Program("calc.exe"), "", "", "", "on"};
    f.programs.handOver = true;
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.launcher().LaunchWindows[0], 0u);
    EXPECT_NE(f.log.lines.back().find("nothing to close at disconnect: " + f.Entry(1).ProgramFile), std::string::npos);

    // The copy it handed over to shows its window: brought forward instead.
    f.programs.programWindows[f.Entry(1).ProgramFile] = 777;
    f.Run(LaunchEntry(f.m, 1));
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.processes.size(), 1u);
    EXPECT_EQ(f.programs.raised, (std::vector<WindowHandle>{777, 777}));
    // Not the monitor's to close: the user may have had it open before.
    f.Run(CloseOnDisconnectStep(f.m));
    EXPECT_TRUE(f.otherWindows.closed.empty());

    EXPECT_EQ(std::count_if(f.log.lines.begin(), f.log.lines.end(),
                            [](const std::string& line) { return line.find("handing over") != std::string::npos; }),
              1);

    // Closed by the user: started again. A start that keeps its own process
    // is an ordinary one, and the copy the user opened is not its window.
    f.programs.programWindows.clear();
    f.programs.handOver = false;
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.processes.size(), 2u);
    f.programs.programWindows[f.Entry(1).ProgramFile] = 777;
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.processes.size(), 2u);
    EXPECT_EQ(f.programs.raised.size(), 2u);
}

TEST(LaunchEntry, AHandOverSeenOnlyAfterTheStartIsRecognisedAtTheNextChoice) {
    LauncherMonitor f;
    f.Entry(1).ProgramFile = f.Program("viewer.exe");
    f.programs.windowless = true;
    f.Run(LaunchEntry(f.m, 1));  // still running when its window was looked for
    f.programs.processes[0].running = false;
    f.programs.programWindows[f.Entry(1).ProgramFile] = 555;
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.processes.size(), 1u);
    EXPECT_EQ(f.programs.raised, std::vector<WindowHandle>{555});
}

TEST(LaunchEntry, AProgramWithoutAWindowIsStartedAgainAndItsOldHandleReleased) {
    LauncherMonitor f;
    f.Entry(1).ProgramFile = f.Program("tool.exe");
    f.programs.windowless = true;
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.launcher().LaunchWindows[0], 0u);
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.processes.size(), 2u);
    EXPECT_EQ(f.programs.closed, std::vector<ProcessHandle>{101});
    EXPECT_EQ(f.launcher().LaunchProcesses[0], 102u);
}

TEST(LauncherMenu, EachItemStartsItsOwnEntry) {
    LauncherMonitor f;
    f.Entry(1).ProgramFile = f.Program("one.exe");
    f.Entry(6).ProgramFile = f.Program("six.exe");
    f.Run(MenuClick(f.m, Item::Launch6));
    f.Run(MenuClick(f.m, Item::Launch1));
    f.Run(MenuClick(f.m, Item::Launch3));  // no program: nothing
    ASSERT_EQ(f.programs.processes.size(), 2u);
    EXPECT_EQ(f.programs.processes[0].commandLine, "\"" + f.Entry(6).ProgramFile + "\"");
    EXPECT_EQ(f.programs.processes[1].commandLine, "\"" + f.Entry(1).ProgramFile + "\"");
    EXPECT_EQ(f.launcher().LaunchProcesses, (std::array<ProcessHandle, 6>{102, 0, 0, 0, 0, 101}));
}

TEST(StartOnConnect, EveryConnectLineStartsTheMarkedEntriesInOrderOnce) {
    LauncherMonitor f;
    f.Entry(1) = {"a", f.Program("a.exe"), "", "", "on", ""};
    f.Entry(2) = {"b", f.Program("b.exe"), "", "", "On", ""};  // only exactly "on" counts
    f.Entry(3) = {"c", PathText(f.dir.path() / "missing.exe"), "", "", "on", ""};
    f.Entry(4) = {"d", "", "", "", "on", ""};
    f.Entry(5) = {"e", f.Program("e.exe"), "", "", "off", ""};
    f.Entry(6) = {"f", f.Program("f.exe"), "", "", "on", ""};
    f.Receive(ConnectLine());
    ASSERT_EQ(f.programs.processes.size(), 2u);
    EXPECT_EQ(f.programs.processes[0].commandLine, "\"" + f.Entry(1).ProgramFile + "\"");
    EXPECT_EQ(f.programs.processes[1].commandLine, "\"" + f.Entry(6).ProgramFile + "\"");
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_FALSE(f.launcher().LaunchPending);

    // Connect again: entry 1 still runs, entry 6 was closed meanwhile.
    f.programs.processes[1].running = false;
    f.Receive(ConnectLine());
    ASSERT_EQ(f.programs.processes.size(), 3u);
    EXPECT_EQ(f.programs.processes[2].commandLine, "\"" + f.Entry(6).ProgramFile + "\"");

    // Without a connected display first, the step has nothing to do.
    f.programs.processes[0].running = false;
    f.Run(StartOnConnectStep(f.m));
    EXPECT_EQ(f.programs.processes.size(), 3u);
}

TEST(LaunchEntry, AProgramWhoseWindowCameLateIsNeitherStartedTwiceNorLeftOpen) {
    LauncherMonitor f;
    f.Entry(1) = {"t", f.Program("slow.exe"), "", "", "", "on"};
    f.programs.windowless = true;
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.launcher().LaunchWindows[0], 0u);
    f.programs.processes[0].window = 399;  // shown after the wait for its start
    f.Run(LaunchEntry(f.m, 1));
    EXPECT_EQ(f.programs.processes.size(), 1u);
    f.Run(CloseOnDisconnectStep(f.m));
    EXPECT_EQ(f.otherWindows.closed, std::vector<WindowHandle>{399});
}

TEST(CloseOnDisconnect, OnlyMarkedProgramsThatStillRunAreBroughtForwardAndAskedToClose) {
    LauncherMonitor f;
    for (int i = 1; i <= 5; ++i) f.Entry(i) = {"t", f.Program("p" + std::to_string(i) + ".exe"), "", "", "", "on"};
    f.Entry(3).CloseOnDisconnect = "off";
    f.Entry(4).CloseOnDisconnect = "ON";
    f.programs.windowless = false;
    for (int i = 1; i <= 4; ++i) f.Run(LaunchEntry(f.m, i));
    f.programs.windowless = true;
    f.Run(LaunchEntry(f.m, 5));
    f.programs.processes[1].running = false;  // entry 2 ended by itself
    f.programs.onRaise = [&](WindowHandle window) {
        EXPECT_EQ(std::count(f.otherWindows.closed.begin(), f.otherWindows.closed.end(), window), 0);
    };

    f.Receive(ConnectLine());
    f.Receive(DisconnectLine());
    EXPECT_EQ(f.programs.raised, std::vector<WindowHandle>{301});
    EXPECT_EQ(f.otherWindows.closed, std::vector<WindowHandle>{301});
    EXPECT_EQ(f.launcher().LaunchProcesses, (std::array<ProcessHandle, 6>{101, 102, 103, 104, 105, 0}));
    EXPECT_TRUE(f.programs.closed.empty());
}

}  // namespace
}  // namespace rm::test
