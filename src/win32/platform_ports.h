// The core's ports on the real platform.
#pragma once

#include <array>

#include <windows.h>

#include "nmudp.h"
#include "ports.h"

namespace rm::win {

class Win32Net : public DatagramPort {
public:
    // The three endpoints in the order of Endpoint.
    explicit Win32Net(std::array<TNMUDP*, 3> endpoints) : endpoints_(endpoints) {}
    void Send(Endpoint from, const std::string& host, std::string_view bytes) override;

private:
    std::array<TNMUDP*, 3> endpoints_;
};

class Win32Dialogs : public DialogPort {
public:
    explicit Win32Dialogs(HWND& owner) : owner_(owner) {}
    void ShowMessage(const std::string& text) override;

private:
    HWND& owner_;
};

class Win32Clock : public ClockPort {
public:
    DateTime Now() override;
};

class Win32Processes : public ProcessPort {
public:
    void CloseProcessHandle(ProcessHandle handle) override;
};

// A modal box with the program's title; CR alone breaks lines as CR LF does.
void ShowMessageBox(HWND owner, const std::string& text, UINT flags = MB_OK);

}  // namespace rm::win
