// What the stand-in programs of the tests share: a log beside their exe, and
// a message loop that ends when their windows are gone or their time is up.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

inline std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// One write per line (UTF-8) on a handle opened for appending only, so lines
// of copies running at the same time never interleave or overwrite each other.
inline void appendLog(const wchar_t* logName, const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), bytes, nullptr, nullptr);

  std::wstring path = modulePath();
  path.resize(path.find_last_of(L"\\/") + 1);
  const HANDLE file = CreateFileW((path + logName).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

// Until WM_QUIT or the lifetime is over: a forgotten copy does not outlive
// its test by much.
inline void runFor(UINT lifetimeMs) {
  SetTimer(nullptr, 0, lifetimeMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && !message.hwnd) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace standin
