// The system's modal box, for what has no message loop of its own to show a
// box in (a start that failed) and for the history graph; the general error
// box that every event of ours ends in when it throws.
#pragma once

#include <functional>
#include <string>

#include <windows.h>

#include "state/state.h"

namespace rm::win {

// A box's text as Windows shows it: CR alone breaks lines as CR LF does.
std::wstring BoxText(const std::string& text);

// A modal box, by default with the program's title.
int ShowMessageBox(HWND owner, const std::string& text, UINT flags = MB_OK, const std::string& caption = AppTitle);

// The general error box: the error's text under the program's caption. It
// does not wait; answered, when given, runs once the user has closed it.
void ShowGeneralError(HWND owner, const std::string& text, std::function<void(bool)> answered = {});

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
