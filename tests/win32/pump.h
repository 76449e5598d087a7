// Runs the thread's message loop in tests, and looks at windows.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace rm::win {

// Dispatches messages until done() holds. The bound only keeps a broken test
// from hanging; it is not part of what a test checks.
template <class Done>
bool PumpUntil(Done done, std::chrono::seconds bound = std::chrono::seconds(10)) {
    const auto giveUp = std::chrono::steady_clock::now() + bound;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > giveUp) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// For a thread that plays the user while another runs a modal loop: looks
// every 50 ms until found() gives a window, for at most 10 s (nullptr then).
template <class Found>
HWND WaitFor(Found found) {
    for (int look = 0; look < 200; ++look, Sleep(50)) {
        if (const HWND window = found()) return window;
    }
    return nullptr;
}

// The window's whole text.
inline std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace rm::win
