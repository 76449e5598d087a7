#include "message_box.h"

#include "diagnostics.h"
#include "wide.h"

namespace rm::win {

int ShowMessageBox(HWND owner, const std::string& text, UINT flags, const std::string& caption) {
    const std::wstring in = Widen(text);
    std::wstring wide;
    for (std::size_t i = 0; i < in.size(); ++i) {
        wide += in[i];
        if (in[i] == L'\r' && (i + 1 == in.size() || in[i + 1] != L'\n')) wide += L'\n';
    }
    return MessageBoxW(owner, wide.c_str(), Widen(caption).c_str(), flags | MB_SETFOREGROUND);
}

void ShowGeneralError(HWND owner, const std::string& text) {
    LogText(L"error box: " + Widen(text));
    ShowMessageBox(owner, text, MB_OK | MB_ICONERROR);
}

}  // namespace rm::win
