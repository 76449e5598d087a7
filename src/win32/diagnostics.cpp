#include "diagnostics.h"

#include <fstream>
#include <mutex>
#include <set>

#include "box_window.h"
#include "wide.h"

namespace rm::win {
namespace {

std::mutex logLock;
std::filesystem::path logFile;

std::wstring Timestamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t text[32];
    swprintf(text, std::size(text), L"%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

}  // namespace

std::wstring ErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = length ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r')) result.pop_back();
    return result;
}

void StartDebugLog(const std::filesystem::path& file) {
    const std::lock_guard hold(logLock);
    logFile = file;
}

void LogText(const std::wstring& text) {
    const std::wstring line = L"RMonitor: " + Timestamp() + text + L"\r\n";
    OutputDebugStringW(line.c_str());
    const std::lock_guard hold(logLock);
    if (logFile.empty()) return;
    std::ofstream out(logFile, std::ios::binary | std::ios::app);
    const std::string bytes = Narrow(line);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void LogError(const wchar_t* call, const std::wstring& about, DWORD error) {
    LogText(std::wstring(call) + L" failed" + (about.empty() ? L"" : L" (" + about + L")") + L": " +
            std::to_wstring(error) + L" " + ErrorText(error));
}

void LogLastError(const wchar_t* call, const std::wstring& about) { LogError(call, about, GetLastError()); }

void TellFeatureLost(const std::string& feature) {
    static std::set<std::string> told;
    LogText(L"feature lost: " + Widen(feature));
    if (!told.insert(feature).second) return;
    ShowBox(nullptr, {.Text = feature + "が動作しません。\r" +
                              "原因は /debuglog を付けて起動すると log\\debug.log に記録されます。",
                      .Icon = BoxIcon::Warning});
}

}  // namespace rm::win
