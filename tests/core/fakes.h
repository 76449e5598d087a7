// Fake platform for core tests: records every call, returns scripted answers.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "launcher/launch_entry.h"
#include "monitor.h"
#include "syslog/syslog.h"
#include "text/file_replace.h"
#include "timer/timer.h"
#include "steps/task.h"

namespace rm::test {

// The program's other events, run at every point where a command waits, as
// the real message loop runs them there. Unset, nothing runs. The waits of
// what they start do not run them again, which keeps the run finite; what
// one of them throws stops there, as the real dispatch catches it, and is
// kept.
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
    std::vector<SentDatagram> sent;
    // Runs after each send is recorded, as the router's answer or a send error would.
    std::function<void(const SentDatagram&)> onSend;
    void Send(Endpoint from, const std::string& host, std::string_view bytes) override {
        const SentDatagram datagram{from, host, std::string(bytes)};
        sent.push_back(datagram);
        if (onSend) onSend(datagram);
    }
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

// The program's time line: the waiting steps in the order they are due. A
// test runs them with Drain, which moves the clock to each one's time; the
// events a test queued come first, as ones that arrived meanwhile, and with
// the nesting mode a tick and a syslog line run before every step.
class FakeSteps : public StepPort {
public:
    FakeSteps(FakeClock& clock, NestedEvents& nested) : clock_(clock), nested_(nested) {}
    // Every wait asked for, in milliseconds.
    std::vector<int> waits;
    // Events that arrive while a command waits: run before its next step.
    std::deque<std::function<void()>> queued;
    void After(int milliseconds, std::function<void()> step) override {
        waits.push_back(milliseconds);
        Schedule(milliseconds, std::move(step), true);
    }
    // What the fakes themselves do later (the user closes a box, a window
    // goes), not counted among the waits.
    void Later(int milliseconds, std::function<void()> step) { Schedule(milliseconds, std::move(step), false); }
    // Runs the steps due, and the steps these ask for, until none is left.
    // Once idle() holds, the timers left wake no command and are dropped.
    // Inside a step it does nothing: the outer run goes on with them.
    void Drain(const std::function<bool()>& idle) {
        if (draining_) return;
        draining_ = true;
        struct Done {
            bool& draining;
            ~Done() { draining = false; }
        } done{draining_};
        for (int run = 0;; ++run) {
            // Thrown rather than asserted: the fuzz targets run these fakes without a test.
            if (run == 1'000'000) throw std::logic_error("steps that never end");
            if (idle()) std::erase_if(steps_, [](const Step& step) { return step.timer; });
            if (steps_.empty()) break;
            // What arrives meanwhile comes before the step it may make due.
            if (const auto first = Earliest(); !first->nested && first->order != nestedBefore_) {
                nestedBefore_ = first->order;
                RunNested();
            }
            RunQueued();
            const auto next = Earliest();
            Step step = std::move(*next);
            steps_.erase(next);
            if (step.due > clock_.monotonic) clock_.Advance(static_cast<int>(step.due - clock_.monotonic));
            nestedStep_ = step.nested;
            step.run();
            nestedStep_ = false;
        }
    }
    bool Draining() const { return draining_; }

private:
    struct Step {
        std::int64_t due;
        std::uint64_t order;
        std::function<void()> run;
        bool nested;
        // Asked for by the program, not by a fake.
        bool timer;
    };
    void Schedule(int milliseconds, std::function<void()> step, bool timer) {
        steps_.push_back({clock_.monotonic + milliseconds, order_++, std::move(step), running_ || nestedStep_, timer});
    }
    std::vector<Step>::iterator Earliest() {
        return std::min_element(steps_.begin(), steps_.end(), [](const Step& a, const Step& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
    }
    void RunNested() {
        running_ = true;
        nested_.Run();
        running_ = false;
    }
    void RunQueued() {
        while (!queued.empty()) {
            auto event = std::move(queued.front());
            queued.pop_front();
            event();
        }
    }

    FakeClock& clock_;
    NestedEvents& nested_;
    std::vector<Step> steps_;
    std::uint64_t order_ = 0, nestedBefore_ = ~std::uint64_t{0};
    bool running_ = false, nestedStep_ = false, draining_ = false;
};

class FakeDialogs : public DialogPort {
public:
    FakeDialogs(FakeSteps& steps, NestedEvents& nested) : steps_(steps), nested_(nested) {}
    std::vector<std::string> messages;
    // Runs while a box is up, before the user closes or answers it.
    std::function<void()> whileOpen;
    struct Question {
        std::string text, caption;
    };
    std::vector<Question> questions;
    std::deque<bool> answers;  // Yes when none is scripted
    int aboutShown = 0;
    std::function<void()> whileAboutOpen;
    // The user closes each box at once, as a step of its own.
    void ShowMessage(const std::string& text, std::function<void()> closed) override {
        messages.push_back(text);
        steps_.Later(0, [this, closed = std::move(closed)] {
            if (whileOpen) whileOpen();
            if (closed) closed();
        });
    }
    void AskYesNo(const std::string& text, const std::string& caption, std::function<void(bool)> answered) override {
        questions.push_back({text, caption});
        bool yes = true;
        if (!answers.empty()) {
            yes = answers.front();
            answers.pop_front();
        }
        steps_.Later(0, [this, yes, answered = std::move(answered)] {
            if (whileOpen) whileOpen();
            answered(yes);
        });
    }
    void ShowAbout() override {
        ++aboutShown;
        nested_.Run();
        if (whileAboutOpen) whileAboutOpen();
    }
    // The entry dialog as shown; the user's part changes the form and
    // presses "登録" (true), or closes it any other way when unset.
    std::vector<LaunchForm> launchForms;
    std::function<bool(LaunchForm&)> onLaunchEntryDialog;
    bool ShowLaunchEntryDialog(LaunchForm& form) override {
        launchForms.push_back(form);
        nested_.Run();
        return onLaunchEntryDialog && onLaunchEntryDialog(form);
    }
    int memoSendShown = 0;
    std::function<void()> whileMemoSendOpen;
    void ShowMemoSend() override {
        ++memoSendShown;
        nested_.Run();
        if (whileMemoSendOpen) whileMemoSendOpen();
    }
    // What the save and font dialogs give back; nothing is a cancel.
    std::optional<std::filesystem::path> saveFileName;
    int saveDialogs = 0;
    std::optional<ViewerFont> chosenFont;
    std::vector<ViewerFont> fontDialogsFrom;
    std::optional<std::filesystem::path> AskSaveFileName() override {
        ++saveDialogs;
        nested_.Run();
        return saveFileName;
    }
    std::optional<ViewerFont> AskFont(const ViewerFont& current) override {
        fontDialogsFrom.push_back(current);
        nested_.Run();
        return chosenFont;
    }
    // The settings dialog as filled; the user's part works the form and
    // presses its buttons through the events, or closes it when unset.
    std::vector<SettingsForm> settingsForms;
    std::function<void(SettingsForm&, SettingsFormEvents&)> onSettingsDialog;
    void ShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) override {
        settingsForms.push_back(form);
        nested_.Run();
        if (onSettingsDialog) onSettingsDialog(form, events);
    }

private:
    FakeSteps& steps_;
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
    void RunProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                    ShowMode show) override {
        runs.push_back({file, parameters, folder, show});
        if (onRun) onRun(runs.back());
    }
    void CloseProcessHandle(ProcessHandle handle) override { closed.push_back(handle); }
    std::vector<std::filesystem::path> helpOpened;
    bool helpViewerThere = true;
    int helpPagesOpened = 0;
    // Help opens on the user's command; other events may run meanwhile.
    bool OpenHelp(const std::filesystem::path& helpFile) override {
        helpOpened.push_back(helpFile);
        nested_.Run();
        return helpViewerThere;
    }
    void OpenHelpPage() override {
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
        std::int64_t startedAt = 0;
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
    ProgramStart CreateProgramProcess(const std::string& programFile, const std::string& arguments,
                                      const std::string& folder) override {
        if (refuseProcesses) return {std::nullopt, refusal};
        const auto n = static_cast<std::uint32_t>(processes.size());
        processes.push_back({LaunchCommandLine(programFile, arguments), folder, 101 + n, 201 + n,
                             windowless || handOver ? 0 : 301 + n, !handOver, clock_->monotonic});
        return {StartedProcess{processes.back().handle, processes.back().id}, ""};
    }
    // How long each started process takes to wait for input, on the fake
    // clock; at once when unset.
    int readyAfter = 0;
    std::vector<ProcessHandle> readyChecks;
    bool ReadyForInput(ProcessHandle process) override {
        readyChecks.push_back(process);
        const auto p = std::find_if(processes.begin(), processes.end(),
                                    [&](const Process& started) { return started.handle == process; });
        return p == processes.end() || clock_->monotonic - p->startedAt >= readyAfter;
    }
    FakeClock* clock_ = nullptr;
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
    explicit FakeOtherWindows(FakeSteps& steps) : steps_(steps) {}
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
    // Windows whose program does not answer: their close is given up on
    // after the bound.
    std::set<WindowHandle> hung;
    static constexpr int CloseBound = 5000;
    void CloseWindow(WindowHandle window, std::function<void()> done) override {
        closed.push_back(window);
        if (hung.contains(window)) {
            steps_.Later(CloseBound, std::move(done));
            return;
        }
        std::erase_if(open, [&](const auto& entry) { return entry.second == window; });
        std::erase_if(tops, [&](const TopWindow& w) { return w.Handle == window; });
        steps_.Later(0, std::move(done));
    }
    std::vector<TopWindow> TopLevelWindows() override { return tops; }
    std::vector<ChildWindow> ChildWindows(WindowHandle parent) override { return children[parent]; }

private:
    FakeSteps& steps_;
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
    FakeNet net;
    FakeClock clock;
    FakeSteps steps{clock, nested};
    FakeDialogs dialogs{steps, nested};
    FakeSound sound;
    FakePrograms programs{nested};
    FakeOtherWindows otherWindows{steps};
    FakeClipboard clipboard;
    FakeLog log;
    FakeFiles files;
    Ports ports{net, dialogs, clock, steps, sound, programs, otherWindows, clipboard, log, files};
    FakePorts() { programs.clock_ = &clock; }
};

// What the nested events of the nesting mode receive: a router line that
// changes nothing but the syslog view and file.
inline constexpr std::string_view NestedSyslogLine = "<30>RV4: PPP LCP Echo-Request";

// A monitor on fakes, in a fresh program folder. With RM_NESTED_EVENTS set
// in the environment, a timer tick and a syslog line run at every point
// where a command waits, as in the real program; what those throw fails the
// test.
struct FakeMonitor : FakePorts {
    TempDir dir;
    Monitor m{MainState{}, ViewModel{}, ports};

    FakeMonitor() {
        m.s.AppDir = dir.path();
        if (std::getenv("RM_NESTED_EVENTS")) NestTickAndSyslogLine();
    }
    ~FakeMonitor() { EXPECT_EQ(nested.failures, std::vector<std::string>{}) << "thrown by an event run while waiting"; }
    void NestTickAndSyslogLine() {
        nested.events = [this] {
            m.steps.Start(OnTick(m));
            m.steps.Start(OnSyslogDatagram(m, static_cast<int>(NestedSyslogLine.size()),
                                                std::string(NestedSyslogLine), m.s.settings.RouterAddress, clock.now));
        };
    }
    // Runs a command to its end, with every step it waits for.
    void Run(Task<> command) {
        m.steps.Start(std::move(command));
        steps.Drain([this] { return m.steps.Running() == 0; });
    }
    // The same for a command with a result; it must have ended, so not
    // inside another command's step.
    template <class T>
    T Run(Task<T> command) {
        std::optional<T> result;
        Run(Keep(std::move(command), result));
        if (!result) throw std::logic_error("the command did not end");
        return *result;
    }

private:
    template <class T>
    static Task<> Keep(Task<T> command, std::optional<T>& result) {
        result = co_await std::move(command);
    }
};

}  // namespace rm::test
