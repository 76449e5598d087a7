#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fakes.h"
#include "launcher/launch_entry.h"
#include "launcher/launcher_steps.h"
#include "launch_process.h"
#include "platform_ports.h"
#include "run_steps.h"
#include "step_timer.h"
#include "text/files.h"

namespace rm::win {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

// The core's launcher on the real process and window calls, other ports faked,
// with the stand-in for a user's program in a folder of its own.
struct RealLauncher {
    test::FakeMonitor f;
    Window owner;
    UserDialogs userDialogs;
    Win32Programs programs{owner, userDialogs};
    Win32Steps steps{RunStepInTest};
    Win32OtherWindows windows{steps};
    Ports ports{f.net, f.dialogs, f.clock, steps, f.sound, programs, windows, f.clipboard, f.log, f.files};
    Monitor m{MainState{}, ViewModel{}, ports};
    fs::path folder = f.dir.path() / u8"ツール";

    RealLauncher() {
        m.s.AppDir = f.dir.path();
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        fs::create_directories(folder);
        fs::copy_file(fs::path(self).parent_path() / "userprog.exe", folder / "userprog.exe");
    }
    ~RealLauncher() {
        for (const ProcessHandle process : m.s.launcher.LaunchProcesses) {
            if (process == 0) continue;
            TerminateProcess(Handle(process), 0);
            WaitForSingleObject(Handle(process), 10'000);
            CloseHandle(Handle(process));
        }
    }
    static HANDLE Handle(ProcessHandle process) { return reinterpret_cast<HANDLE>(process); }

    LaunchEntryTexts& Entry(int i) { return m.s.launcher.LaunchEntries[i - 1]; }
    void SetProgram(int i, const std::string& arguments, const std::string& closeOnDisconnect = "on") {
        Entry(i) = {"t", PathText(folder / "userprog.exe"), arguments, "", "on", closeOnDisconnect};
    }
    HWND MainWindow(int i) const { return reinterpret_cast<HWND>(m.s.launcher.LaunchWindows[i - 1]); }
    HANDLE Process(int i) const { return Handle(m.s.launcher.LaunchProcesses[i - 1]); }

    // The log's records, each split at its tabs.
    std::vector<std::vector<std::string>> Log() const {
        std::ifstream in(folder / "userprog.log", std::ios::binary);
        std::vector<std::vector<std::string>> records;
        for (std::string line; std::getline(in, line);) records.push_back(Split(line));
        return records;
    }
    std::vector<std::string> Events() const {
        std::vector<std::string> events;
        for (const auto& record : Log()) events.push_back(record.at(0));
        return events;
    }
    bool Ends(int i) const { return WaitForSingleObject(Process(i), 10'000) == WAIT_OBJECT_0; }
};

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

TEST(LauncherOnWindows, StartsTheProgramWithItsArgumentsInItsFolderAndFindsItsOwnMainWindow) {
    RealLauncher l;
    l.SetProgram(1, "-n 設定.txt --title 日本語の窓 --owned-window");
    EXPECT_TRUE(RunToEnd(l.m, LaunchEntry(l.m, 1)));
    const auto log = l.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].at(2), "\"" + PathText(l.folder / "userprog.exe") + "\" -n 設定.txt --title 日本語の窓 --owned-window");
    EXPECT_TRUE(fs::equivalent(PathOf(log[0].at(3)), l.folder));
    EXPECT_TRUE(log[0].at(3).ends_with("\\ツール")) << log[0].at(3);  // no trailing backslash
    // Not the owned window, which lies above it.
    EXPECT_EQ(TitleOf(l.MainWindow(1)), L"日本語の窓");
    DWORD processId = 0;
    GetWindowThreadProcessId(l.MainWindow(1), &processId);
    EXPECT_EQ(processId, GetProcessId(l.Process(1)));
}

TEST(LauncherOnWindows, ChosenTwiceItRunsOnceClosedByTheUserItStartsAgain) {
    RealLauncher l;
    l.SetProgram(1, "");
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    EXPECT_EQ(l.Events(), std::vector<std::string>{"start"});

    PostMessageW(l.MainWindow(1), WM_CLOSE, 0, 0);
    ASSERT_TRUE(l.Ends(1));
    const HANDLE first = l.Process(1);
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    EXPECT_EQ(l.Events(), (std::vector<std::string>{"start", "closed", "start"}));
    EXPECT_NE(l.Process(1), first);
    EXPECT_NE(l.MainWindow(1), nullptr);
}

TEST(LauncherOnWindows, DisconnectBringsTheProgramForwardAndClosesIt) {
    RealLauncher l;
    l.SetProgram(2, "");
    l.SetProgram(3, "", "off");
    RunToEnd(l.m, LaunchEntry(l.m, 2));
    RunToEnd(l.m, LaunchEntry(l.m, 3));
    RunToEnd(l.m, CloseOnDisconnectStep(l.m));
    EXPECT_TRUE(l.Ends(2));
    EXPECT_EQ(WaitForSingleObject(l.Process(3), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    const auto log = l.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], (std::vector<std::string>{"closed", std::to_string(GetProcessId(l.Process(2))), "foreground"}));
}

TEST(LauncherOnWindows, AProgramThatStaysOpenIsNotStartedAgainAtTheNextConnect) {
    RealLauncher l;
    l.SetProgram(1, "--refuse-close");
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    RunToEnd(l.m, CloseOnDisconnectStep(l.m));
    l.m.s.launcher.LaunchPending = true;
    RunToEnd(l.m, StartOnConnectStep(l.m));
    EXPECT_EQ(l.Events(), (std::vector<std::string>{"start", "refused"}));
}

TEST(LauncherOnWindows, AHungProgramIsGivenUpOnAndTheNextEntryStillCloses) {
    RealLauncher l;
    l.SetProgram(1, "--hang");
    l.SetProgram(2, "");
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    RunToEnd(l.m, LaunchEntry(l.m, 2));
    RunToEnd(l.m, CloseOnDisconnectStep(l.m));
    EXPECT_TRUE(l.Ends(2));
    // Returned while the first program still hangs in its close handler.
    EXPECT_EQ(WaitForSingleObject(l.Process(1), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    const auto events = l.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "hanging"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "closed"), 1);
}

TEST(LauncherOnWindows, AProgramThatAsksIsAskingInFrontAndClosesOnYes) {
    RealLauncher l;
    l.SetProgram(1, "--ask");
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    RunToEnd(l.m, CloseOnDisconnectStep(l.m));
    const auto log = l.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].at(0), "asked");
    EXPECT_EQ(log[1].at(2), "foreground");
    // The user answers the question the step left open.
    HWND question = nullptr;
    for (int look = 0; look < 100 && !question; ++look, Sleep(100)) {
        question = FindWindowW(L"#32770", L"userprog");
    }
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(l.Ends(1));
    EXPECT_EQ(l.Events(), (std::vector<std::string>{"start", "asked", "closed"}));
}

TEST(LauncherOnWindows, AHiddenHelperWindowIsNotTakenForTheMainWindow) {
    RealLauncher l;
    l.SetProgram(1, "--helper-window --title 本体");
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    EXPECT_EQ(TitleOf(l.MainWindow(1)), L"本体");
    // The helper does come first in the system's order.
    struct First {
        DWORD processId;
        HWND window = nullptr;
    } first{GetProcessId(l.Process(1))};
    EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<First*>(lp);
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (processId != f->processId || GetWindow(window, GW_OWNER)) return TRUE;
            f->window = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&first));
    EXPECT_FALSE(IsWindowVisible(first.window));
}

TEST(LauncherOnWindows, AProgramThatHandsOverIsBroughtForwardNotStartedAgainNorClosed) {
    RealLauncher l;
    l.SetProgram(1, "--hand-over --title 引き継ぎ先");
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    HWND copy = nullptr;
    for (int look = 0; look < 100 && !copy; ++look, Sleep(100)) copy = FindWindowW(L"UserProgWindow", L"引き継ぎ先");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(l.programs.FindProgramWindow(l.Entry(1).ProgramFile)), copy);

    RunToEnd(l.m, LaunchEntry(l.m, 1));
    RunToEnd(l.m, CloseOnDisconnectStep(l.m));
    EXPECT_EQ(l.Events(), (std::vector<std::string>{"start", "start"}));
    EXPECT_TRUE(IsWindow(copy));
    EXPECT_TRUE(l.m.s.launcher.LaunchHandedOver[0]);
    PostMessageW(copy, WM_CLOSE, 0, 0);
}

TEST(LauncherOnWindows, AProgramThatCannotStartIsToldWithWindowsReason) {
    RealLauncher l;
    l.Entry(1) = {"壊れた", PathText(l.folder / "broken.exe"), "", "", "on", ""};
    std::ofstream(l.folder / "broken.exe", std::ios::binary) << "not a program";
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    EXPECT_TRUE(l.m.view.LaunchNotice.Shown);
    EXPECT_NE(l.m.view.LaunchNotice.Text.find("「壊れた」"), std::string::npos);
    EXPECT_NE(l.m.view.LaunchNotice.Text.find("Windows で実行できるプログラムではありません。"), std::string::npos)
        << l.m.view.LaunchNotice.Text;
}

TEST(LauncherOnWindows, AStartThroughTheShellGivesAProcessToFollow) {
    RealLauncher l;
    const ProgramStart start =
        StartThroughShell(nullptr, PathText(l.folder / "userprog.exe"), "--title シェル経由 -n 設定.txt", PathText(l.folder));
    ASSERT_TRUE(start.Started);
    l.m.s.launcher.LaunchProcesses[0] = start.Started->Process;  // the fixture ends it
    WaitForInputIdle(l.Process(1), 10'000);
    const auto log = l.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].at(1), std::to_string(start.Started->ProcessId));
    EXPECT_NE(log[0].at(2).find("--title シェル経由 -n 設定.txt"), std::string::npos);
    EXPECT_TRUE(fs::equivalent(PathOf(log[0].at(3)), l.folder));
    EXPECT_EQ(StartThroughShell(nullptr, PathText(l.folder / "missing.exe"), "", "").Failure, "ファイルが見つかりません。");
}

TEST(LauncherOnWindows, AnEmptyOrMissingProgramFileStartsNothingAndSaysNothing) {
    RealLauncher l;
    l.Entry(1).ProgramFile = "";
    l.Entry(2).ProgramFile = PathText(l.folder / "missing.exe");
    l.Entry(3).ProgramFile = PathText(l.folder);
    for (int i = 1; i <= 3; ++i) EXPECT_FALSE(RunToEnd(l.m, LaunchEntry(l.m, i))) << i;
    for (int i = 1; i <= 3; ++i) l.Entry(i).StartOnConnect = "on";
    l.m.s.launcher.LaunchPending = true;
    RunToEnd(l.m, StartOnConnectStep(l.m));
    EXPECT_TRUE(l.Log().empty());
    EXPECT_TRUE(l.f.dialogs.messages.empty());
    EXPECT_EQ(l.m.s.launcher.LaunchProcesses, (std::array<ProcessHandle, 6>{}));
}

TEST(LauncherOnWindows, ARunningTestOfAnEndedOrUnknownProcessSaysEnded) {
    RealLauncher l;
    l.SetProgram(1, "");
    RunToEnd(l.m, LaunchEntry(l.m, 1));
    const ProcessHandle process = l.m.s.launcher.LaunchProcesses[0];
    EXPECT_TRUE(l.programs.ProcessRunning(process));
    TerminateProcess(l.Process(1), 0);
    ASSERT_TRUE(l.Ends(1));
    EXPECT_FALSE(l.programs.ProcessRunning(process));
    EXPECT_FALSE(l.programs.ProcessRunning(0));
}

}  // namespace
}  // namespace rm::win
