// userprog: plays a user's program that the launcher starts, for the tests
// under Wine.  At every start it appends a line to userprog.log beside its
// exe (tab-separated, UTF-8):
//   start  PID  the whole command line  the current folder
// and opens one window, in the show state its starter asked for, for up to
// 120 s.  When the window is asked to close (WM_CLOSE) it logs
//   closed|refused|asked|hanging  PID  foreground|background
// the last field telling whether its window was the foreground window then.
// Options, anywhere on the command line (anything else is only logged):
//   --title T       the window's title (default "userprog")
//   --refuse-close  stays open when asked to close
//   --ask           asks "終了しますか？" first and closes only on Yes
//   --hang          stops answering when asked to close, for 120 s
//   --owned-window  also opens an owned window, above the main one
//   --helper-window also opens a hidden window without caption or owner, as
//                   GDI+ and .NET do
//   --slow-start S  takes S seconds before it makes its window, busy and
//                   not waiting for input, as a program that loads for long
//   --hand-over     starts another copy with the same options but this one
//                   and ends at once, as programs that hand over do
#include <windows.h>

#include "../common/standin_support.h"
#include <shellapi.h>

#include <string>
#include <string_view>

namespace {

constexpr wchar_t kWindowClass[] = L"UserProgWindow";
constexpr wchar_t kLogName[] = L"userprog.log";
// Long enough for any test step, short enough that a forgotten copy does not
// outlive the test by much.
constexpr UINT kLifetimeMs = 120'000;

enum class OnClose { Close, Refuse, Ask, Hang };

OnClose onClose = OnClose::Close;
HWND mainWindow = nullptr;

std::wstring currentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

void logClose(const wchar_t* what, HWND hwnd) {
  standin::appendLog(kLogName, std::wstring(what) + L'\t' + std::to_wstring(GetCurrentProcessId()) + L'\t' +
            (GetForegroundWindow() == hwnd ? L"foreground" : L"background"));
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && hwnd == mainWindow) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_PAINT) {
    // The title inside too, for screenshots taken without a window manager.
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd, &paint);
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    RECT client{};
    GetClientRect(hwnd, &client);
    DrawTextW(dc, title, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(hwnd, &paint);
    return 0;
  }
  if (message != WM_CLOSE || hwnd != mainWindow) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (onClose) {
    case OnClose::Close:
      logClose(L"closed", hwnd);
      DestroyWindow(hwnd);
      break;
    case OnClose::Refuse:
      logClose(L"refused", hwnd);
      break;
    case OnClose::Ask:
      logClose(L"asked", hwnd);
      if (MessageBoxW(hwnd, L"終了しますか？", L"userprog", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        logClose(L"closed", hwnd);
        DestroyWindow(hwnd);
      }
      break;
    case OnClose::Hang:
      logClose(L"hanging", hwnd);
      Sleep(kLifetimeMs);
      ExitProcess(0);
  }
  return 0;
}

// The starter's STARTUPINFO decides, as for any program.
int startupShowState() {
  STARTUPINFOW info{};
  info.cb = sizeof info;
  GetStartupInfoW(&info);
  return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWNORMAL;
}

HWND createWindow(const std::wstring& title, HWND owner) {
  return CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360, 160,
                         owner, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int wmain() {
  standin::appendLog(kLogName, L"start\t" + std::to_wstring(GetCurrentProcessId()) + L'\t' + GetCommandLineW() + L'\t' +
            currentFolder());

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring title = L"userprog";
  bool ownedWindow = false, helperWindow = false, handOver = false;
  DWORD slowStartMs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view arg = argv[i];
    if (arg == L"--title" && i + 1 < argc) title = argv[++i];
    if (arg == L"--refuse-close") onClose = OnClose::Refuse;
    if (arg == L"--ask") onClose = OnClose::Ask;
    if (arg == L"--hang") onClose = OnClose::Hang;
    if (arg == L"--owned-window") ownedWindow = true;
    if (arg == L"--helper-window") helperWindow = true;
    if (arg == L"--hand-over") handOver = true;
    if (arg == L"--slow-start" && i + 1 < argc) slowStartMs = static_cast<DWORD>(_wtoi(argv[++i])) * 1000;
  }
  LocalFree(argv);
  if (handOver) {
    std::wstring line = GetCommandLineW();
    line.erase(line.find(L" --hand-over"), 12);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) return 1;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return 0;
  }

  Sleep(slowStartMs);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassW(&windowClass)) return 1;
  mainWindow = createWindow(title, nullptr);
  if (!mainWindow) return 1;
  ShowWindow(mainWindow, startupShowState());
  // Made last, so it comes first in the system's window order.
  if (helperWindow) CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (ownedWindow) ShowWindow(createWindow(title + L" owned", mainWindow), SW_SHOWNOACTIVATE);

  standin::runFor(kLifetimeMs);
  return 0;
}
