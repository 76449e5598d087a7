// Modal boxes with the program's caption, and the general error box that
// every event of ours ends in when it throws.
#pragma once

#include <string>

#include <windows.h>

#include "state/state.h"

namespace rm::win {

// A modal box, by default with the program's title; CR alone breaks lines as CR LF does.
int ShowMessageBox(HWND owner, const std::string& text, UINT flags = MB_OK, const std::string& caption = AppTitle);

// The general error box: the error's text under the program's caption.
void ShowGeneralError(HWND owner, const std::string& text);

// Runs one event; an exception it lets out is shown in the general error box
// and the program goes on. False when the event threw.
template <class Event>
bool Guarded(HWND owner, Event&& event) {
    try {
        event();
        return true;
    } catch (const std::exception& e) {
        ShowGeneralError(owner, e.what());
    } catch (...) {
        ShowGeneralError(owner, "不明なエラーが発生しました。");
    }
    return false;
}

}  // namespace rm::win
