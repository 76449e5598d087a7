// standin: plays the router's setup utility and Dial-Up Watcher's programs
// for the end-to-end tests under Wine.  Copied under the name of the program
// it plays, it appends a line to standin.log beside its exe at every start
// (exe name, arguments, current folder; tab-separated, UTF-8) and opens the
// windows that program would open:
//   -i ADDR -con1 / -con2 / -cut1 / -cut2   the utility's application and
//       main windows, in the show state the starter asked for, for up to 60 s
//   --settings        the utility's settings window, for up to 120 s
//   --window TITLE    one window with that title, for up to 120 s
//   (none), as DWATCH32.EXE   the "Dial-Up Watcher" window, for up to 120 s
// Anything else is only logged.  The utility's variant comes from the exe's
// name: one containing "DAZera" or "DUVizod" plays that one, any other the
// Routavista4 one.  A window that gets WM_CLOSE logs "closed", tab, its title.
#include <windows.h>

#include "../common/standin_support.h"

#include <algorithm>
#include <cwctype>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

struct Variant {
  const wchar_t* applicationTitle;
  const wchar_t* mainTitle;
  const wchar_t* settingsTitle;
};

constexpr Variant kRoutavista4{L"RVT4SET", L"Ｒｏｕｔａｖｉｓｔａ４ セットアップユーティリティー",
                               L"Ｒｏｕｔａｖｉｓｔａ４の設定"};
constexpr Variant kDAZera{L"DAZERA", L"Ｒｏｕｔａｖｉｓｔａ セットアップユーティリティー",
                          L"Ｒｏｕｔａｖｉｓｔａの設定"};
constexpr Variant kDUVizod{L"DUVizod", L"Ｒｏｕｔａｖｉｓｔａ  Optional Tools", L"Ｒｏｕｔａｖｉｓｔａの設定"};

constexpr wchar_t kDialUpWatcherTitle[] = L"Dial-Up Watcher";
constexpr wchar_t kWindowClass[] = L"StandinWindow";
constexpr wchar_t kLogName[] = L"standin.log";

// Long enough for any test step, short enough that a forgotten copy does not
// outlive the test by much.
constexpr UINT kUtilityLifetimeMs = 60'000;
constexpr UINT kHeldWindowLifetimeMs = 120'000;

int openWindows = 0;

std::wstring_view fileNameOf(std::wstring_view path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring currentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

// The command line after the program name, split off by the rules the C
// runtime uses, so the arguments are logged exactly as the starter gave them.
std::wstring_view argumentsOf(std::wstring_view line) {
  std::size_t end;
  if (line.starts_with(L'"')) {
    end = line.find(L'"', 1);
    end = end == std::wstring_view::npos ? line.size() : end + 1;
  } else {
    end = std::min(line.find_first_of(L" \t"), line.size());
  }
  line.remove_prefix(end);
  const auto start = line.find_first_not_of(L" \t");
  return start == std::wstring_view::npos ? std::wstring_view{} : line.substr(start);
}

bool containsIgnoringCase(std::wstring_view text, std::wstring_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(), [](wchar_t a, wchar_t b) {
           return std::towupper(a) == std::towupper(b);
         }) != text.end();
}

const Variant& variantFor(std::wstring_view exeName) {
  if (containsIgnoringCase(exeName, L"DAZera")) return kDAZera;
  if (containsIgnoringCase(exeName, L"DUVizod")) return kDUVizod;
  return kRoutavista4;
}

bool isUtilityCommand(std::wstring_view arguments) {
  return arguments.find(L" -con") != std::wstring_view::npos || arguments.find(L" -cut") != std::wstring_view::npos ||
         arguments.starts_with(L"-i ");
}

std::wstring titleOf(HWND hwnd) {
  std::wstring title(GetWindowTextLengthW(hwnd) + 1, L'\0');
  title.resize(GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size())));
  return title;
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      standin::appendLog(kLogName, L"closed\t" + titleOf(hwnd));
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (--openWindows == 0) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// The utility is started hidden; its windows must stay so, as the real ones do.
int startupShowState() {
  STARTUPINFOW info{};
  info.cb = sizeof info;
  GetStartupInfoW(&info);
  return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWNORMAL;
}

// Runs until every window is closed or the lifetime is over.
int holdWindows(std::initializer_list<const wchar_t*> titles, int showState, UINT lifetimeMs) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassW(&windowClass)) return 1;

  for (const wchar_t* title : titles) {
    const HWND hwnd = CreateWindowExW(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                                      240, nullptr, nullptr, instance, nullptr);
    if (!hwnd) continue;
    ++openWindows;
    ShowWindow(hwnd, showState);
  }
  if (openWindows == 0) return 1;

  standin::runFor(lifetimeMs);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const std::wstring exePath = standin::modulePath();
  const std::wstring_view exeName = fileNameOf(exePath);
  const std::wstring_view arguments = argumentsOf(GetCommandLineW());
  standin::appendLog(kLogName, std::wstring(exeName) + L'\t' + std::wstring(arguments) + L'\t' + currentFolder());

  const Variant& variant = variantFor(exeName);
  if (isUtilityCommand(arguments))
    return holdWindows({variant.applicationTitle, variant.mainTitle}, startupShowState(), kUtilityLifetimeMs);
  if (argc == 2 && std::wstring_view(argv[1]) == L"--settings")
    return holdWindows({variant.settingsTitle}, SW_SHOW, kHeldWindowLifetimeMs);
  if (argc == 3 && std::wstring_view(argv[1]) == L"--window")
    return holdWindows({argv[2]}, SW_SHOW, kHeldWindowLifetimeMs);
  if (argc == 1 && containsIgnoringCase(exeName, L"DWATCH32"))
    return holdWindows({kDialUpWatcherTitle}, SW_SHOW, kHeldWindowLifetimeMs);
  return 0;
}
