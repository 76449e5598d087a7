#include "message_box.h"

#include <utility>

#include "box_window.h"
#include "diagnostics.h"
#include "wide.h"

namespace rm::win {

std::wstring BoxText(const std::string& text) {
    const std::wstring in = Widen(text);
    std::wstring wide;
    for (std::size_t i = 0; i < in.size(); ++i) {
        wide += in[i];
        if (in[i] == L'\r' && (i + 1 == in.size() || in[i + 1] != L'\n')) wide += L'\n';
    }
    return wide;
}

int ShowMessageBox(HWND owner, const std::string& text, UINT flags, const std::string& caption) {
    return MessageBoxW(owner, BoxText(text).c_str(), Widen(caption).c_str(), flags | MB_SETFOREGROUND);
}

void ShowGeneralError(HWND owner, const std::string& text, std::function<void(bool)> answered) {
    LogText(L"error box: " + Widen(text));
    ShowBox(owner, {.Text = text, .Icon = BoxIcon::Error}, std::move(answered));
}

}  // namespace rm::win
