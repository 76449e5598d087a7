// Runs the thread's message loop in tests.
#pragma once

#include <windows.h>

#include <chrono>

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

}  // namespace rm::win
