#include "platform_ports.h"

#include "text/datetime.h"
#include "wide.h"

namespace rm::win {

void Win32Net::Send(Endpoint from, const std::string& host, std::string_view bytes) {
    TNMUDP& endpoint = *endpoints_[static_cast<std::size_t>(from)];
    endpoint.RemoteHost = host;
    endpoint.SendBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

void ShowMessageBox(HWND owner, const std::string& text, UINT flags) {
    const std::wstring in = Widen(text);
    std::wstring wide;
    for (std::size_t i = 0; i < in.size(); ++i) {
        wide += in[i];
        if (in[i] == L'\r' && (i + 1 == in.size() || in[i + 1] != L'\n')) wide += L'\n';
    }
    MessageBoxW(owner, wide.c_str(), Widen(AppTitle).c_str(), flags | MB_SETFOREGROUND);
}

void Win32Dialogs::ShowMessage(const std::string& text) { ShowMessageBox(owner_, text); }

DateTime Win32Clock::Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return EncodeDateTime({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds});
}

void Win32Processes::CloseProcessHandle(ProcessHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

}  // namespace rm::win
