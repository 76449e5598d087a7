// The base of every window of ours: the class registered once, the object
// found again through GWLP_USERDATA, and no exception ever crossing into
// Windows. A subclass hands each message to a named OnXxx in HandleMessage.
#pragma once

#include <windows.h>

namespace rm::win {

struct WindowClass {
    const wchar_t* Name;
    HICON Icon = nullptr;
    HBRUSH Background = nullptr;
    UINT Style = 0;
};

struct WindowArgs {
    const wchar_t* Title = L"";
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND Parent = nullptr;  // HWND_MESSAGE for a message-only window
};

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }

protected:
    // Registers the class on first use and creates the window; false (after
    // a diagnostic) when either fails.
    bool CreateWindowOf(const WindowClass& cls, const WindowArgs& args);
    void Destroy();

    // One switch per window class; unhandled messages go to DefWindowProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the window is gone (WM_NCDESTROY).
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

}  // namespace rm::win
