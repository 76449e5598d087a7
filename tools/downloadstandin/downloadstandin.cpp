// downloadstandin: plays the windows the download watch of the monitor looks
// at, for the end-to-end tests under Wine.
//   --dialog TITLE SECONDS  one dialog (class "#32770") with that title
//   --download SECONDS      the browser's "ファイルのダウンロード" window and two
//                           dialogs it owns, "ﾌｧｲﾙ名を付けて保存" and "セキュリティの警告"
//   --terminal SECONDS      a terminal window "NifTerm - standin" whose "BYE"
//                           button, inside a panel, shows for that long and is
//                           then hidden; the window itself stays for 120 s
// The dialogs go after SECONDS. A window that gets WM_CLOSE appends "closed",
// a tab and its title to downloadstandin.log beside the exe, and goes.
#include <windows.h>

#include "../common/standin_support.h"

#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kTerminalClass[] = L"StandinTerminal";
constexpr wchar_t kLogName[] = L"downloadstandin.log";
constexpr UINT kHideByeTimer = 1;
constexpr UINT kTerminalLifetimeMs = 120'000;

int openWindows = 0;
HWND byeButton = nullptr;
WNDPROC dialogProc = nullptr;

void logClosed(HWND window) {
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  standin::appendLog(kLogName, std::wstring(L"closed\t") + title);
}

// Whatever the window's own procedure, a close request is logged and ends it.
LRESULT handleCommon(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC next) {
  switch (message) {
    case WM_CLOSE:
      logClosed(window);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (--openWindows == 0) PostQuitMessage(0);
      break;
  }
  return next ? CallWindowProcW(next, window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK subclassedDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return handleCommon(window, message, wParam, lParam, dialogProc);
}

LRESULT CALLBACK terminalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kHideByeTimer) {
    KillTimer(window, kHideByeTimer);
    ShowWindow(byeButton, SW_HIDE);
    return 0;
  }
  return handleCommon(window, message, wParam, lParam, nullptr);
}

HWND openDialog(const wchar_t* title, HWND owner, int x) {
  const HWND dialog = CreateWindowExW(0, L"#32770", title, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, x, 60, 300,
                                      120, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!dialog) return nullptr;
  dialogProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassedDialog)));
  ++openWindows;
  return dialog;
}

bool openTerminal(UINT byeMs) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = terminalProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kTerminalClass;
  if (!RegisterClassW(&windowClass)) return false;
  const HWND terminal = CreateWindowExW(0, kTerminalClass, L"NifTerm - standin", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        40, 200, 360, 160, nullptr, nullptr, instance, nullptr);
  if (!terminal) return false;
  ++openWindows;
  // The button sits a level down, as in the real terminal.
  const HWND panel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 340, 60, terminal, nullptr,
                                     instance, nullptr);
  byeButton = CreateWindowExW(0, L"BUTTON", L"BYE", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, panel, nullptr, instance,
                              nullptr);
  return byeButton && SetTimer(terminal, kHideByeTimer, byeMs, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const std::wstring mode = argc >= 2 ? argv[1] : L"";
  const UINT seconds = argc >= 3 ? static_cast<UINT>(std::wcstoul(argv[argc - 1], nullptr, 10)) : 0;
  UINT lifetimeMs = seconds * 1000;
  if (mode == L"--dialog" && argc == 4) {
    if (!openDialog(argv[2], nullptr, 40)) return 1;
  } else if (mode == L"--download" && argc == 3) {
    const HWND download = openDialog(L"ファイルのダウンロード", nullptr, 40);
    if (!download || !openDialog(L"ﾌｧｲﾙ名を付けて保存", download, 360) ||
        !openDialog(L"セキュリティの警告", download, 680))
      return 1;
  } else if (mode == L"--terminal" && argc == 3) {
    if (!openTerminal(lifetimeMs)) return 1;
    lifetimeMs = kTerminalLifetimeMs;
  } else {
    return 2;
  }
  standin::runFor(lifetimeMs);
  return 0;
}
