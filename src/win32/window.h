// The base of every window of ours: the class registered once, the object
// found again through GWLP_USERDATA, the scale of the window's screen
// followed, and no exception ever crossing into Windows. A subclass hands
// each message to a named OnXxx in HandleMessage, and ends its window in its
// own destructor, so that its handlers see the end while it is whole.
#pragma once

#include <windows.h>

namespace rm::win {

// Pixels at 100 % in pixels at a screen's dots per inch.
int ScaleToDpi(int pixels, UINT dpi);

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
    // A window still there is only let go: its end would reach a half-gone object.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    // The dots per inch of the window's screen, and pixels at 100 % in
    // pixels at that scale.
    UINT Dpi() const { return dpi_; }
    int Scale(int pixels) const { return ScaleToDpi(pixels, dpi_); }

protected:
    // Registers the class on first use and creates the window; false (after
    // a diagnostic) when either fails.
    bool CreateWindowOf(const WindowClass& cls, const WindowArgs& args);
    void Destroy();

    // One switch per window class; unhandled messages go to DefWindowProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the window is on a screen of another scale, with the
    // rectangle Windows suggested for it.
    virtual void OnDpiChanged(UINT) {}
    // Called once the window is gone (WM_NCDESTROY).
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void FollowDpi(UINT dpi, const RECT& suggested);

    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace rm::win
