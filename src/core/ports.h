// What the core asks of the platform. The Win32 layer implements these with
// the real calls; tests implement them with fakes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "monitor/state.h"

namespace rm {

enum class Endpoint { SYSLOGUDP, RV_UDP, RM_UDP };

// Sends one datagram from an endpoint to host (dotted address or name) on the
// endpoint's remote port. May run the message loop while a name is looked up;
// throws on a bad destination.
class DatagramPort {
public:
    virtual ~DatagramPort() = default;
    virtual void Send(Endpoint from, const std::string& host, std::string_view bytes) = 0;
};

// Modal boxes; they run the message loop while open.
class DialogPort {
public:
    virtual ~DialogPort() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

class ClockPort {
public:
    virtual ~ClockPort() = default;
    virtual DateTime Now() = 0;
};

class ProcessPort {
public:
    virtual ~ProcessPort() = default;
    virtual void CloseProcessHandle(ProcessHandle handle) = 0;
};

// The program's own windows other than the panel.
class AppWindowPort {
public:
    virtual ~AppWindowPort() = default;
    virtual void CloseMainWindow() = 0;
    virtual void ShowSyslogViewer() = 0;
    virtual void ShowAboutModal() = 0;
    virtual void OpenHelpContents(const std::filesystem::path& helpFile) = 0;
};

struct Ports {
    DatagramPort& Net;
    DialogPort& Dialogs;
    ClockPort& Clock;
    ProcessPort& Processes;
    AppWindowPort& Windows;
};

}  // namespace rm
