// The core's ports on the real platform.
#pragma once

#include <array>
#include <functional>
#include <utility>

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
    bool AskYesNo(const std::string& text, const std::string& caption) override;

private:
    HWND& owner_;
};

class Win32Clock : public ClockPort {
public:
    DateTime Now() override;
};

// Before the thread blocks or handles other events, the user sees the state
// so far: a panel shown before a wait is on screen during it.
class Win32Events : public EventPort {
public:
    explicit Win32Events(std::function<void()> showState) : showState_(std::move(showState)) {}
    void Sleep(int milliseconds) override;
    void ProcessEvents(int maxWaitMilliseconds) override;

private:
    std::function<void()> showState_;
};

class Win32Sound : public SoundPort {
public:
    void PlayWave(const std::string& file) override;
};

class Win32Programs : public ProgramPort {
public:
    explicit Win32Programs(HWND& owner) : owner_(owner) {}
    void RunProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                    ShowMode show) override;
    void CloseProcessHandle(ProcessHandle handle) override;

private:
    HWND& owner_;
};

class Win32OtherWindows : public WindowPort {
public:
    WindowHandle FindWindowByTitle(const std::string& title) override;
    void CloseWindow(WindowHandle window) override;
};

class Win32Clipboard : public ClipboardPort {
public:
    explicit Win32Clipboard(HWND& owner) : owner_(owner) {}
    void SetText(const std::string& text) override;

private:
    HWND& owner_;
};

// A modal box, by default with the program's title; CR alone breaks lines as CR LF does.
int ShowMessageBox(HWND owner, const std::string& text, UINT flags = MB_OK, const std::string& caption = AppTitle);

}  // namespace rm::win
