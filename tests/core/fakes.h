// Fake platform for core tests: records every call, returns scripted answers.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "monitor/monitor.h"

namespace rm::test {

struct SentDatagram {
    Endpoint from;
    std::string host;
    std::string bytes;
    bool operator==(const SentDatagram&) const = default;
};

class FakeNet : public DatagramPort {
public:
    std::vector<SentDatagram> sent;
    void Send(Endpoint from, const std::string& host, std::string_view bytes) override {
        sent.push_back({from, host, std::string(bytes)});
    }
};

class FakeDialogs : public DialogPort {
public:
    std::vector<std::string> messages;
    // Runs inside a box, as the real message loop would run other events.
    std::function<void()> whileOpen;
    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        if (whileOpen) whileOpen();
    }
};

class FakeClock : public ClockPort {
public:
    DateTime now = 46000.5;
    DateTime Now() override { return now; }
};

class FakeProcesses : public ProcessPort {
public:
    std::vector<ProcessHandle> closed;
    void CloseProcessHandle(ProcessHandle handle) override { closed.push_back(handle); }
};

class FakeWindows : public AppWindowPort {
public:
    int closeRequests = 0, viewerShown = 0, aboutShown = 0;
    std::vector<std::filesystem::path> helpOpened;
    std::function<void()> whileAboutOpen;
    void CloseMainWindow() override { ++closeRequests; }
    void ShowSyslogViewer() override { ++viewerShown; }
    void ShowAboutModal() override {
        ++aboutShown;
        if (whileAboutOpen) whileAboutOpen();
    }
    void OpenHelpContents(const std::filesystem::path& helpFile) override { helpOpened.push_back(helpFile); }
};

// A temporary program folder, removed with the fixture.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A monitor on fakes, in a fresh program folder.
struct FakeMonitor {
    TempDir dir;
    FakeNet net;
    FakeDialogs dialogs;
    FakeClock clock;
    FakeProcesses processes;
    FakeWindows windows;
    Ports ports{net, dialogs, clock, processes, windows};
    Monitor m{MainState{}, ViewModel{}, ports};

    FakeMonitor() { m.s.AppDir = dir.path(); }
};

}  // namespace rm::test
