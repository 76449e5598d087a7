// Fake platform for core tests: records every call, returns scripted answers.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "launcher/launch_entry.h"
#include "monitor.h"
#include "syslog/syslog.h"
#include "text/file_replace.h"
#include "timer/timer.h"

namespace rm::test {

// The program's other events, run inside every nesting port call as the real
// message loop runs them. Unset, nothing runs. A nesting call made by one of
// them does not nest again, which keeps a box inside a box finite; what one
// of them throws stops there, as the real dispatch catches it, and is kept.
class NestedEvents {
public:
    std::function<void()> events;
    std::vector<std::string> failures;
    void Run() {
        if (!events || running_) return;
        running_ = true;
        try {
            events();
        } catch (const std::exception& e) {
            failures.push_back(e.what());
        }
        running_ = false;
    }

private:
    bool running_ = false;
};

struct SentDatagram {
    Endpoint from;
    std::string host;
    std::string bytes;
    bool operator==(const SentDatagram&) const = default;
};

class FakeNet : public DatagramPort {
public:
    explicit FakeNet(NestedEvents& nested) : nested_(nested) {}
    std::vector<SentDatagram> sent;
    // Runs after each send is recorded, as the router's answer or a send error would.
    std::function<void(const SentDatagram&)> onSend;
    void NestingSend(Endpoint from, const std::string& host, std::string_view bytes) override {
        // Only a name is looked up, with the message loop running.
        if (host.find_first_not_of("0123456789.") != std::string::npos) nested_.Run();
        const SentDatagram datagram{from, host, std::string(bytes)};
        sent.push_back(datagram);
        if (onSend) onSend(datagram);
    }

private:
    NestedEvents& nested_;
};

class FakeDialogs : public DialogPort {
public:
    explicit FakeDialogs(NestedEvents& nested) : nested_(nested) {}
    std::vector<std::string> messages;
    // Runs inside a box, as the real message loop would run other events.
    std::function<void()> whileOpen;
    struct Question {
        std::string text, caption;
    };
    std::vector<Question> questions;
    std::deque<bool> answers;  // Yes when none is scripted
    int aboutShown = 0;
    std::function<void()> whileAboutOpen;
    void NestingShowMessage(const std::string& text) override {
        messages.push_back(text);
        nested_.Run();
        if (whileOpen) whileOpen();
    }
    bool NestingAskYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption});
        nested_.Run();
        if (whileOpen) whileOpen();
        if (answers.empty()) return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void NestingShowAbout() override {
        ++aboutShown;
        nested_.Run();
        if (whileAboutOpen) whileAboutOpen();
    }
    // The entry dialog as shown; the user's part changes the form and
    // presses "登録" (true), or closes it any other way when unset.
    std::vector<LaunchForm> launchForms;
    std::function<bool(LaunchForm&)> onLaunchEntryDialog;
    bool NestingShowLaunchEntryDialog(LaunchForm& form) override {
        launchForms.push_back(form);
        nested_.Run();
        return onLaunchEntryDialog && onLaunchEntryDialog(form);
    }
    int memoSendShown = 0;
    std::function<void()> whileMemoSendOpen;
    void NestingShowMemoSend() override {
        ++memoSendShown;
        nested_.Run();
        if (whileMemoSendOpen) whileMemoSendOpen();
    }
    // What the save and font dialogs give back; nothing is a cancel.
    std::optional<std::filesystem::path> saveFileName;
    int saveDialogs = 0;
    std::optional<ViewerFont> chosenFont;
    std::vector<ViewerFont> fontDialogsFrom;
    std::optional<std::filesystem::path> NestingAskSaveFileName() override {
        ++saveDialogs;
        nested_.Run();
        return saveFileName;
    }
    std::optional<ViewerFont> NestingAskFont(const ViewerFont& current) override {
        fontDialogsFrom.push_back(current);
        nested_.Run();
        return chosenFont;
    }
    // The settings dialog as filled; the user's part works the form and
    // presses its buttons through the events, or closes it when unset.
    std::vector<SettingsForm> settingsForms;
    std::function<void(SettingsForm&, SettingsFormEvents&)> onSettingsDialog;
    void NestingShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) override {
        settingsForms.push_back(form);
        nested_.Run();
        if (onSettingsDialog) onSettingsDialog(form, events);
    }

private:
    NestedEvents& nested_;
};

class FakeClock : public ClockPort {
public:
    DateTime now = 46000.5;
    std::int64_t monotonic = 0;
    DateTime Now() override { return now; }
    std::int64_t MonotonicMilliseconds() override { return monotonic; }
    // Time passing: both clocks move.
    void Advance(int milliseconds) {
        now += milliseconds / 86'400'000.0;
        monotonic += milliseconds;
    }
};

// Sleeps advance the fake clock; ProcessEvents runs the queued events, as the
// message loop would run other handlers.
class FakeEvents : public EventPort {
public:
    FakeEvents(FakeClock& clock, NestedEvents& nested) : clock_(clock), nested_(nested) {}
    std::vector<int> sleeps;
    std::deque<std::function<void()>> queued;
    int processCalls = 0;
    void Sleep(int milliseconds) override {
        sleeps.push_back(milliseconds);
        clock_.Advance(milliseconds);
    }
    void NestingProcessEvents(int maxWaitMilliseconds) override {
        ++processCalls;
        nested_.Run();
        if (queued.empty()) {
            clock_.Advance(maxWaitMilliseconds);
            return;
        }
        auto events = std::move(queued);
        queued.clear();
        for (auto& event : events) event();
    }
    struct IdleWait {
        ProcessHandle process;
        int maxWait;
        bool operator==(const IdleWait&) const = default;
    };
    std::vector<IdleWait> idleWaits;
    void WaitUntilIdle(ProcessHandle process, int maxWaitMilliseconds) override {
        idleWaits.push_back({process, maxWaitMilliseconds});
    }

private:
    FakeClock& clock_;
    NestedEvents& nested_;
};

class FakeSound : public SoundPort {
public:
    std::vector<std::string> played;
    void PlayWave(const std::string& file) override { played.push_back(file); }
};

class FakePrograms : public ProgramPort {
public:
    explicit FakePrograms(NestedEvents& nested) : nested_(nested) {}
    struct Run {
        std::string file, parameters, folder;
        ShowMode show;
        bool operator==(const Run&) const = default;
    };
    std::vector<Run> runs;
    std::vector<ProcessHandle> closed;
    std::function<void(const Run&)> onRun;
    void NestingRunProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                           ShowMode show) override {
        runs.push_back({file, parameters, folder, show});
        nested_.Run();
        if (onRun) onRun(runs.back());
    }
    void CloseProcessHandle(ProcessHandle handle) override { closed.push_back(handle); }
    std::vector<std::filesystem::path> helpOpened;
    bool helpViewerThere = true;
    int helpPagesOpened = 0;
    bool NestingOpenHelp(const std::filesystem::path& helpFile) override {
        helpOpened.push_back(helpFile);
        nested_.Run();
        return helpViewerThere;
    }
    void NestingOpenHelpPage() override {
        ++helpPagesOpened;
        nested_.Run();
    }
    WindowsVersion windowsVersion{10, 0, 22631};  // Windows 11 23H2
    WindowsVersion SystemVersion() override { return windowsVersion; }

    // Processes started for the launcher: handles from 101, identifiers from
    // 201 and, unless windowless, windows from 301.
    struct Process {
        std::string commandLine, folder;
        ProcessHandle handle;
        std::uint32_t id;
        WindowHandle window;
        bool running = true;
    };
    std::vector<Process> processes;
    bool refuseProcesses = false;
    // Why a refused start failed; empty as when the user calls it off.
    std::string refusal = "ファイルが見つかりません。";
    bool windowless = false;
    // Started processes end at once without a window, as a program that
    // hands over to another process does.
    bool handOver = false;
    // Windows of running programs, by program file.
    std::map<std::string, WindowHandle> programWindows;
    std::vector<WindowHandle> raised;
    std::function<void(WindowHandle)> onRaise;
    ProgramStart NestingCreateProgramProcess(const std::string& programFile, const std::string& arguments,
                                             const std::string& folder) override {
        nested_.Run();
        if (refuseProcesses) return {std::nullopt, refusal};
        const auto n = static_cast<std::uint32_t>(processes.size());
        processes.push_back({LaunchCommandLine(programFile, arguments), folder, 101 + n, 201 + n,
                             windowless || handOver ? 0 : 301 + n, !handOver});
        return {StartedProcess{processes.back().handle, processes.back().id}, ""};
    }
    // A closed handle no longer tells anything.
    bool ProcessRunning(ProcessHandle process) override {
        const auto p = std::find_if(processes.begin(), processes.end(),
                                    [&](const Process& started) { return started.handle == process; });
        return p != processes.end() && p->running && std::find(closed.begin(), closed.end(), process) == closed.end();
    }
    WindowHandle FindProcessWindow(std::uint32_t processId) override {
        for (const Process& p : processes) {
            if (p.id == processId) return p.window;
        }
        return 0;
    }
    WindowHandle FindProgramWindow(const std::string& programFile) override {
        const auto found = programWindows.find(programFile);
        return found == programWindows.end() ? 0 : found->second;
    }
    void BringToFront(WindowHandle window) override {
        raised.push_back(window);
        if (onRaise) onRaise(window);
    }

private:
    NestedEvents& nested_;
};

// Other programs' windows: a title -> handle table the test fills, and the
// desktop's windows as the scans list them. A closed window is gone.
class FakeOtherWindows : public WindowPort {
public:
    explicit FakeOtherWindows(NestedEvents& nested) : nested_(nested) {}
    std::map<std::string, WindowHandle> open;
    std::vector<TopWindow> tops;
    std::map<WindowHandle, std::vector<ChildWindow>> children;
    std::vector<WindowHandle> closed;
    int lookups = 0;
    WindowHandle FindWindowByTitle(const std::string& title) override {
        ++lookups;
        if (const auto found = open.find(title); found != open.end()) return found->second;
        const auto top = std::find_if(tops.begin(), tops.end(), [&](const TopWindow& w) { return w.Title == title; });
        return top == tops.end() ? 0 : top->Handle;
    }
    void NestingCloseWindow(WindowHandle window) override {
        closed.push_back(window);
        std::erase_if(open, [&](const auto& entry) { return entry.second == window; });
        std::erase_if(tops, [&](const TopWindow& w) { return w.Handle == window; });
        nested_.Run();
    }
    std::vector<TopWindow> TopLevelWindows() override { return tops; }
    std::vector<ChildWindow> ChildWindows(WindowHandle parent) override { return children[parent]; }

private:
    NestedEvents& nested_;
};

class FakeClipboard : public ClipboardPort {
public:
    std::vector<std::string> texts;
    std::string held;
    void SetText(const std::string& text) override { texts.push_back(text); }
    std::string Text() override { return held; }
};

// Moves with the plain rename; can be told to refuse.
class FakeFiles : public FilePort {
public:
    bool refuse = false;
    int moves = 0;
    bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) override {
        ++moves;
        return !refuse && RenameOver(from, to);
    }
};

class FakeLog : public LogPort {
public:
    std::vector<std::string> lines;
    void Log(const std::string& text) override { lines.push_back(text); }
};

// A file's bytes, exactly as on disk.
std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// A temporary program folder, removed with the fixture.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Every port faked.
struct FakePorts {
    NestedEvents nested;
    FakeNet net{nested};
    FakeDialogs dialogs{nested};
    FakeClock clock;
    FakeEvents events{clock, nested};
    FakeSound sound;
    FakePrograms programs{nested};
    FakeOtherWindows otherWindows{nested};
    FakeClipboard clipboard;
    FakeLog log;
    FakeFiles files;
    Ports ports{net, dialogs, clock, events, sound, programs, otherWindows, clipboard, log, files};
};

// What the nested events of the nesting mode receive: a router line that
// changes nothing but the syslog view and file.
inline constexpr std::string_view NestedSyslogLine = "<30>RV4: PPP LCP Echo-Request";

// A monitor on fakes, in a fresh program folder. With RM_NESTED_EVENTS set
// in the environment, every nesting port call runs a timer tick and a syslog
// line inside it, as the real program can; what those throw fails the test.
struct FakeMonitor : FakePorts {
    TempDir dir;
    Monitor m{MainState{}, ViewModel{}, ports};

    FakeMonitor() {
        m.s.AppDir = dir.path();
        if (std::getenv("RM_NESTED_EVENTS")) NestTickAndSyslogLine();
    }
    ~FakeMonitor() { EXPECT_EQ(nested.failures, std::vector<std::string>{}) << "thrown inside a nesting call"; }
    void NestTickAndSyslogLine() {
        nested.events = [this] {
            Timer1Timer(m);
            SYSLOGUDPDataReceived(m, static_cast<int>(NestedSyslogLine.size()), NestedSyslogLine,
                                  m.s.settings.RouterAddress, clock.now);
        };
    }
};

}  // namespace rm::test
