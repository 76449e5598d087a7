// Tsyslogform: the window that lists the received syslog lines.
#pragma once

#include <windows.h>

#include "handles.h"

namespace rm::win {

class SyslogViewer {
public:
    explicit SyslogViewer(HINSTANCE instance) : instance_(instance) {}
    ~SyslogViewer();
    SyslogViewer(const SyslogViewer&) = delete;
    SyslogViewer& operator=(const SyslogViewer&) = delete;

    // Created hidden at start; lives until the program ends.
    void Create();
    void Show();

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Layout();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND memo_ = nullptr;
    OwnedFont font_;
};

}  // namespace rm::win
