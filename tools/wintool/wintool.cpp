// wintool: looks at and drives another program's windows from outside, for
// the end-to-end tests and the demo run under Wine.  One command per call, or
// many through `serve`; output is UTF-8, one record per line.  Table fields are tab-separated, with backslash, tab,
// CR and LF written as \\ \t \r \n; single texts (text, press) are printed
// as they are.  Exit codes: 0 done, 1 not found or timed out, 2 bad usage.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cwchar>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "popup_menu.h"

namespace {

// Every failure also says why on stderr after "wintool: ", which is how the
// tests tell the tool's answer from Wine failing to start it.
constexpr int kDone = 0;
constexpr int kNotFound = 1;
constexpr int kBadUsage = 2;

constexpr DWORD kPollMs = 50;
// Long enough for a busy program under Wine, short enough not to hang a test
// on a program that has stopped answering.
constexpr UINT kReplyTimeoutMs = 5000;

constexpr wchar_t kMainTitle[] = L"Routavista Monitor";
constexpr wchar_t kMainClass[] = L"RoutavistaMonitorMain";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMenuClass[] = L"#32768";

// ---- output

void write(DWORD stream, const std::wstring& text) {
  const HANDLE h = GetStdHandle(stream);
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), bytes, nullptr, nullptr);
  WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// While serving, errors go with the answer they belong to.
bool serving = false;

void printLine(const std::wstring& line) { write(STD_OUTPUT_HANDLE, line + L"\n"); }
void writeError(const std::wstring& text) { write(serving ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, text); }
void printError(const std::wstring& line) { writeError(L"wintool: " + line + L"\n"); }

std::wstring field(std::wstring_view text) {
  std::wstring out;
  for (const wchar_t c : text) {
    switch (c) {
      case L'\\': out += L"\\\\"; break;
      case L'\t': out += L"\\t"; break;
      case L'\r': out += L"\\r"; break;
      case L'\n': out += L"\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::wstring record(std::initializer_list<std::wstring> fields) {
  std::wstring line;
  for (const auto& f : fields) {
    if (&f != fields.begin()) line += L'\t';
    line += f;
  }
  return line;
}

std::wstring hex(HWND hwnd) {
  wchar_t buffer[24];
  swprintf(buffer, 24, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
  return buffer;
}

std::wstring decimal(long long n) { return std::to_wstring(n); }

// ---- reading windows

std::wstring windowClass(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(hwnd, buffer, 256);
  return buffer;
}

// The caption the window manager keeps; never waits on the window's owner.
std::wstring windowTitle(HWND hwnd) {
  std::wstring text(GetWindowTextLengthW(hwnd) + 1, L'\0');
  text.resize(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size())));
  return text;
}

// What the control itself holds (an edit box's contents, say), asked across
// processes; a window that does not answer in time gives its caption.
std::wstring controlText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &length))
    return windowTitle(hwnd);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kReplyTimeoutMs, &copied))
    return windowTitle(hwnd);
  text.resize(std::min<size_t>(copied, length));
  return text;
}

bool sameClass(HWND hwnd, std::wstring_view name) {
  return CompareStringOrdinal(windowClass(hwnd).c_str(), -1, name.data(), static_cast<int>(name.size()), TRUE) ==
         CSTR_EQUAL;
}

std::vector<HWND> topLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND hwnd, LPARAM out) {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Every descendant, each parent before its children.
std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM out) {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::wstring geometry(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return record({decimal(r.left), decimal(r.top), decimal(r.right - r.left), decimal(r.bottom - r.top)});
}

// ---- command line

struct Args {
  std::vector<std::wstring> positional;
  std::map<std::wstring, std::wstring> values;
  std::set<std::wstring> flags;

  bool has(const std::wstring& name) const { return values.contains(name) || flags.contains(name); }
  std::optional<std::wstring> value(const std::wstring& name) const {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
};

struct UsageError {
  std::wstring message;
};

long long parseNumber(const std::wstring& text, const wchar_t* what) {
  const bool isHex = text.starts_with(L"0x") || text.starts_with(L"0X");
  wchar_t* end = nullptr;
  errno = 0;
  const long long n = isHex ? static_cast<long long>(wcstoull(text.c_str(), &end, 16))
                            : wcstoll(text.c_str(), &end, 10);
  if (text.empty() || *end != L'\0' || errno == ERANGE) throw UsageError{L"bad " + std::wstring(what) + L": " + text};
  return n;
}

HWND parseWindow(const std::wstring& text) {
  wchar_t* end = nullptr;
  const unsigned long long n = wcstoull(text.c_str(), &end, 16);
  if (text.empty() || *end != L'\0') throw UsageError{L"bad window handle: " + text};
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(n));
}

DWORD timeoutOf(const Args& args) {
  const auto ms = args.value(L"--timeout");
  if (!ms) return 0;
  const long long n = parseNumber(*ms, L"time-out");
  if (n < 0 || n > 0x7fffffff) throw UsageError{L"bad time-out: " + *ms};
  return static_cast<DWORD>(n);
}

// Tries at least once, then every kPollMs until the attempt gives something or
// the time-out has passed.
template <class Attempt>
auto pollUntil(DWORD timeoutMs, Attempt attempt) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    auto result = attempt();
    if (result || GetTickCount64() >= deadline) return result;
    Sleep(kPollMs);
  }
}

// ---- finding top-level windows

struct WindowQuery {
  std::optional<std::wstring> title;
  std::optional<std::wstring> className;  // empty: any class
  bool visibleOnly = false;

  bool matches(HWND hwnd) const {
    if (visibleOnly && !IsWindowVisible(hwnd)) return false;
    if (className && !className->empty() && !sameClass(hwnd, *className)) return false;
    return !title || windowTitle(hwnd) == *title;
  }

  std::wstring description() const {
    std::wstring text = visibleOnly ? L"visible window" : L"window";
    if (title) text += L" titled \"" + *title + L"\"";
    if (className && !className->empty()) text += L" of class \"" + *className + L"\"";
    return text;
  }
};

WindowQuery queryOf(const Args& args) {
  WindowQuery query{args.value(L"--title"), args.value(L"--class"), args.has(L"--visible")};
  if (!query.title && !query.className) throw UsageError{L"give --title or --class"};
  return query;
}

std::vector<HWND> findAll(const WindowQuery& query) {
  std::vector<HWND> found;
  for (const HWND hwnd : topLevelWindows())
    if (query.matches(hwnd)) found.push_back(hwnd);
  return found;
}

std::optional<HWND> waitFor(const WindowQuery& query, DWORD timeoutMs) {
  return pollUntil(timeoutMs, [&]() -> std::optional<HWND> {
    const auto found = findAll(query);
    if (found.empty()) return std::nullopt;
    return found.front();
  });
}

HWND existingWindow(const Args& args) {
  const HWND hwnd = parseWindow(args.positional.at(0));
  if (IsWindow(hwnd)) return hwnd;
  printError(L"no window " + args.positional.at(0));
  return nullptr;
}

// ---- buttons

// A button label as the user reads it: "はい(&Y)" is "はい", "&Save" is "Save".
std::wstring plainLabel(std::wstring label) {
  const size_t n = label.size();
  if (n >= 4 && label[n - 4] == L'(' && label[n - 3] == L'&' && label[n - 1] == L')') label.resize(n - 4);
  std::wstring plain;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] != L'&') plain += label[i];
    else if (i + 1 < label.size() && label[i + 1] == L'&') plain += label[++i];
  }
  const size_t first = plain.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  return plain.substr(first, plain.find_last_not_of(L' ') - first + 1);
}

bool labelMatches(const std::wstring& label, const std::wstring& wanted) {
  return label == wanted || plainLabel(label) == plainLabel(wanted);
}

std::set<HWND> shownDialogs(DWORD threadId) {
  std::set<HWND> dialogs;
  EnumThreadWindows(
      threadId,
      [](HWND hwnd, LPARAM out) {
        if (IsWindowVisible(hwnd) && sameClass(hwnd, kDialogClass)) reinterpret_cast<std::set<HWND>*>(out)->insert(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

// The last click whose handler has returned. A global, not a local: the
// handler of a click that opened a box returns long after click() did, while
// `serve` goes on running.
ULONG_PTR lastClickHandled = 0;

// Returns once the button has handled the click, so that its effects can be
// checked at once, or once the click has opened another box, which keeps the
// handler waiting for a user.
void click(HWND button) {
  static ULONG_PTR clicks = 0;
  const ULONG_PTR thisClick = ++clicks;
  const DWORD threadId = GetWindowThreadProcessId(button, nullptr);
  const std::set<HWND> before = shownDialogs(threadId);
  SendMessageCallbackW(
      button, BM_CLICK, 0, 0, [](HWND, UINT, ULONG_PTR done, LRESULT) { lastClickHandled = std::max(lastClickHandled, done); }, thisClick);
  pollUntil(kReplyTimeoutMs, [&] {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // delivers the callback
    if (lastClickHandled >= thisClick) return true;
    const std::set<HWND> now = shownDialogs(threadId);
    return std::any_of(now.begin(), now.end(), [&](HWND dialog) { return !before.contains(dialog); });
  });
}

HWND findButton(HWND dialog, const std::wstring& wanted) {
  for (const HWND child : descendants(dialog)) {
    if (sameClass(child, L"Button") && IsWindowVisible(child) && IsWindowEnabled(child) &&
        labelMatches(controlText(child), wanted))
      return child;
  }
  return nullptr;
}

std::wstring menuItemState(const PopupMenuItem& item) {
  std::wstring state = item.state & MF_GRAYED     ? L"grayed"
                       : item.state & MF_DISABLED ? L"disabled"
                                                  : L"enabled";
  if (item.state & MFS_CHECKED) state += L",checked";
  if (item.state & MFS_DEFAULT) state += L",default";
  if (item.type & MFT_SEPARATOR) state += L",separator";
  if (item.submenu) state += L",submenu";
  return state;
}

bool printMenu(HWND menuWindow) {
  const auto items = readPopupMenu(menuWindow, kReplyTimeoutMs);
  if (!items) return false;
  for (size_t i = 0; i < items->size(); ++i) {
    const PopupMenuItem& item = (*items)[i];
    printLine(record({hex(menuWindow), decimal(i), decimal(item.id), menuItemState(item), field(item.caption)}));
  }
  return true;
}

// ---- commands

int listWindows(const Args& args) {
  const bool all = args.has(L"--all");
  for (const HWND top : topLevelWindows()) {
    std::vector<HWND> windows{top};
    if (all) {
      const auto children = descendants(top);
      windows.insert(windows.end(), children.begin(), children.end());
    }
    for (const HWND hwnd : windows) {
      std::wstring line = record({hex(hwnd), decimal(IsWindowVisible(hwnd) ? 1 : 0), field(windowClass(hwnd)),
                                  field(windowTitle(hwnd)), geometry(hwnd)});
      if (all) line += L"\t" + hex(hwnd == top ? nullptr : GetAncestor(hwnd, GA_PARENT));
      printLine(line);
    }
  }
  return kDone;
}

int findWindow(const Args& args) {
  const WindowQuery query = queryOf(args);
  const auto hwnd = waitFor(query, timeoutOf(args));
  if (!hwnd) {
    printError(L"no " + query.description());
    return kNotFound;
  }
  printLine(hex(*hwnd));
  return kDone;
}

int printText(const Args& args) {
  const HWND hwnd = existingWindow(args);
  if (!hwnd) return kNotFound;
  printLine(controlText(hwnd));
  return kDone;
}

// The text of a tooltip (a tray icon's balloon) of another process: its
// messages take pointers, so they point into memory lent in that process.
int printTooltip(const Args& args) {
  const HWND tip = existingWindow(args);
  if (!tip) return kNotFound;
  DWORD processId = 0;
  GetWindowThreadProcessId(tip, &processId);
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) {
    printError(L"cannot open the process of " + hex(tip));
    return kNotFound;
  }
  constexpr size_t kChars = 1024;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  std::wstring text(kChars, L'\0');
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  bool read = remote && WriteProcessMemory(process, remote, &info, sizeof info, nullptr) &&
              SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote)) &&
              ReadProcessMemory(process, remote, &info, sizeof info, nullptr);
  if (read) {
    info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
    read = WriteProcessMemory(process, remote, &info, sizeof info, nullptr) &&
           WriteProcessMemory(process, info.lpszText, text.data(), sizeof(wchar_t), nullptr);
  }
  if (read) {
    SendMessageW(tip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
    read = ReadProcessMemory(process, info.lpszText, text.data(), kChars * sizeof(wchar_t), nullptr);
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!read) {
    printError(L"no tool text in " + hex(tip));
    return kNotFound;
  }
  text.resize(wcsnlen(text.c_str(), kChars));
  printLine(text);
  return kDone;
}

int listChildren(const Args& args) {
  const HWND parent = existingWindow(args);
  if (!parent) return kNotFound;
  for (const HWND child : descendants(parent)) {
    printLine(record({hex(child), field(windowClass(child)), field(controlText(child)),
                      decimal(IsWindowVisible(child) ? 1 : 0), decimal(GetDlgCtrlID(child)),
                      hex(GetAncestor(child, GA_PARENT))}));
  }
  return kDone;
}

int pressButton(const Args& args) {
  WindowQuery query = queryOf(args);
  if (!query.className) query.className = kDialogClass;
  query.visibleOnly = true;  // shown only once its texts are in place
  const std::wstring wanted = args.value(L"--button").value_or(L"");
  if (wanted.empty()) throw UsageError{L"give --button"};
  struct Target {
    HWND dialog;
    HWND button;
  };
  const auto target = pollUntil(timeoutOf(args), [&]() -> std::optional<Target> {
    for (const HWND dialog : findAll(query)) {
      // A box that owns another modal box is disabled until that one closes.
      if (!IsWindowEnabled(dialog)) continue;
      if (const HWND button = findButton(dialog, wanted)) return Target{dialog, button};
    }
    return std::nullopt;
  });
  if (!target) {
    const auto dialogs = findAll(query);
    if (dialogs.empty()) printError(L"no " + query.description());
    for (const HWND dialog : dialogs) {
      std::wstring buttons;
      for (const HWND child : descendants(dialog))
        if (sameClass(child, L"Button")) buttons += L" \"" + controlText(child) + L"\"";
      printError(L"no enabled button \"" + wanted + L"\" in " + hex(dialog) + L"; buttons:" + buttons);
    }
    return kNotFound;
  }
  for (const HWND child : descendants(target->dialog)) {
    if (!sameClass(child, L"Static") || !IsWindowVisible(child)) continue;
    const std::wstring text = controlText(child);
    if (!text.empty()) printLine(text);
  }
  click(target->button);
  return kDone;
}

int postCommand(const Args& args) {
  const WindowQuery query{args.value(L"--title").value_or(kMainTitle), args.value(L"--class").value_or(kMainClass)};
  const auto idText = args.value(L"--id");
  if (!idText) throw UsageError{L"give --id"};
  const long long id = parseNumber(*idText, L"command id");
  if (id < 0 || id > 0xffff) throw UsageError{L"command id out of range: " + decimal(id)};
  const auto hwnd = waitFor(query, timeoutOf(args));
  if (!hwnd) {
    printError(L"no " + query.description());
    return kNotFound;
  }
  PostMessageW(*hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  return kDone;
}

int closeWindow(const Args& args) {
  const WindowQuery query = queryOf(args);
  const auto hwnd = waitFor(query, timeoutOf(args));
  if (!hwnd) {
    printError(L"no " + query.description());
    return kNotFound;
  }
  PostMessageW(*hwnd, WM_CLOSE, 0, 0);
  return kDone;
}

int waitGone(const Args& args) {
  const WindowQuery query = queryOf(args);
  if (pollUntil(timeoutOf(args), [&] { return findAll(query).empty(); })) return kDone;
  printError(L"still there: " + query.description());
  return kNotFound;
}

int printMenus(const Args& args) {
  const WindowQuery query{std::nullopt, kMenuClass, true};
  auto menus = pollUntil(timeoutOf(args), [&]() -> std::optional<std::vector<HWND>> {
    auto found = findAll(query);
    if (found.empty()) return std::nullopt;
    return found;
  });
  if (!menus) {
    printError(L"no popup menu shown");
    return kNotFound;
  }
  // Enumeration runs from the top down; the menu opened first comes last.
  std::reverse(menus->begin(), menus->end());
  bool allRead = true;
  for (const HWND menuWindow : *menus) {
    if (!printMenu(menuWindow)) {
      printError(L"cannot read the menu of " + hex(menuWindow));
      allRead = false;
    }
  }
  return allRead ? kDone : kNotFound;
}

struct MenuBarItem {
  size_t menu;                 // position of its menu in the bar
  std::optional<size_t> item;  // position in that menu; none for the menu itself
  PopupMenuItem info;
};

std::optional<std::vector<MenuBarItem>> readMenuBar(HWND hwnd) {
  const HMENU bar = GetMenu(hwnd);
  const auto menus = bar ? readMenu(hwnd, bar, kReplyTimeoutMs) : std::nullopt;
  if (!menus) return std::nullopt;
  std::vector<MenuBarItem> all;
  for (size_t i = 0; i < menus->size(); ++i) {
    const PopupMenuItem& menu = (*menus)[i];
    all.push_back({i, std::nullopt, menu});
    if (!menu.submenu) continue;
    const auto items = readMenu(hwnd, menu.submenu, kReplyTimeoutMs);
    if (!items) return std::nullopt;
    for (size_t j = 0; j < items->size(); ++j) all.push_back({i, j, (*items)[j]});
  }
  return all;
}

// The menu bar of a window: each menu of the bar, then its items, with the
// bar's position first and the item's position (empty for the menu itself).
int printMenuBar(const Args& args) {
  const HWND hwnd = existingWindow(args);
  if (!hwnd) return kNotFound;
  const auto items = readMenuBar(hwnd);
  if (!items) {
    printError(L"no menu bar readable on " + args.positional.at(0));
    return kNotFound;
  }
  for (const MenuBarItem& item : *items) {
    printLine(record({decimal(item.menu), item.item ? decimal(*item.item) : L"", decimal(item.info.id),
                      menuItemState(item.info), field(item.info.caption)}));
  }
  return kDone;
}

// ---- what a program shows

std::wstring processFolder(DWORD processId) {
  const popup_menu_detail::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = MAX_PATH * 2;
  if (!process || !QueryFullProcessImageNameW(process.get(), 0, path, &size)) return {};
  const std::wstring image(path, size);
  return image.substr(0, image.find_last_of(L'\\'));
}

std::wstring buttonState(HWND button) {
  const LONG style = GetWindowLongW(button, GWL_STYLE);
  std::wstring state = IsWindowEnabled(button) ? L"enabled" : L"disabled";
  switch (style & BS_TYPEMASK) {
    case BS_DEFPUSHBUTTON: state += L",default"; break;
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE: state += L",checkbox"; break;
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: state += L",radio"; break;
    default: break;
  }
  DWORD_PTR checked = 0;
  if (state.find(L"box") != std::wstring::npos || state.find(L"radio") != std::wstring::npos) {
    if (SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &checked) &&
        checked == BST_CHECKED)
      state += L",checked";
  }
  return state;
}

struct TabItem {
  std::wstring caption;
  RECT place;  // on the screen
};

// A tab control's items. Windows copies no text across processes for
// TCM_GETITEM, nor a rectangle for TCM_GETITEMRECT, so both are read
// through memory in the control's process.
std::vector<TabItem> tabItems(HWND tabs) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(tabs, TCM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &count)) return {};
  DWORD processId = 0;
  GetWindowThreadProcessId(tabs, &processId);
  const popup_menu_detail::UniqueHandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process) return {};
  struct Item {
    TCITEMW item;
    RECT place;
    wchar_t text[128];
  };
  auto* const remote = static_cast<Item*>(
      VirtualAllocEx(process.get(), nullptr, sizeof(Item), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!remote) return {};
  std::vector<TabItem> items;
  for (DWORD_PTR i = 0; i < count; ++i) {
    Item local{};
    local.item.mask = TCIF_TEXT;
    local.item.pszText = remote->text;
    local.item.cchTextMax = std::size(local.text);
    DWORD_PTR read = 0, placed = 0;
    if (!WriteProcessMemory(process.get(), remote, &local, sizeof local, nullptr)) break;
    // A control that has not answered may still write there: its memory stays.
    if (!SendMessageTimeoutW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                             kReplyTimeoutMs, &read) ||
        !SendMessageTimeoutW(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&remote->place), SMTO_ABORTIFHUNG,
                             kReplyTimeoutMs, &placed))
      return {};
    if (!read || !ReadProcessMemory(process.get(), remote, &local, sizeof local, nullptr)) break;
    local.text[std::size(local.text) - 1] = L'\0';
    MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&local.place), 2);
    items.push_back({local.text, local.place});
  }
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return items;
}

// The text that names a text box: the nearest thing above it or to its
// left, when that is a text and not another box.
std::wstring fieldLabel(HWND fieldWindow, const std::vector<HWND>& statics, const std::vector<HWND>& fields) {
  RECT f;
  GetWindowRect(fieldWindow, &f);
  const LONG height = f.bottom - f.top;
  long best = LONG_MAX;
  HWND nearest = nullptr;
  const auto consider = [&](HWND other) {
    RECT o;
    GetWindowRect(other, &o);
    long gap = LONG_MAX;
    if (o.bottom <= f.top + 2 && o.left < f.right && o.right > f.left) gap = f.top - o.bottom;  // above
    else if (o.right <= f.left + 2 && o.top < f.bottom && o.bottom > f.top) gap = f.left - o.right;  // left
    if (gap < best) {
      best = gap;
      nearest = other;
    }
  };
  for (const HWND other : statics) consider(other);
  for (const HWND other : fields)
    if (other != fieldWindow) consider(other);
  if (!nearest || best > 2 * height || std::find(statics.begin(), statics.end(), nearest) == statics.end()) return {};
  return controlText(nearest);
}

void printWindowContents(HWND top) {
  std::vector<HWND> statics, fields;
  for (const HWND child : descendants(top)) {
    if (!IsWindowVisible(child)) continue;
    if (sameClass(child, L"Button")) {
      if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) continue;
      printLine(record({L"button", hex(child), buttonState(child), field(plainLabel(controlText(child)))}));
    } else if (sameClass(child, L"Static")) {
      const std::wstring text = controlText(child);
      if (text.empty()) continue;
      statics.push_back(child);
      printLine(record({L"text", field(text)}));
    } else if (sameClass(child, L"ComboBox") ||
               (sameClass(child, L"Edit") && !sameClass(GetParent(child), L"ComboBox"))) {
      fields.push_back(child);
    } else if (sameClass(child, WC_TABCONTROLW)) {
      DWORD_PTR selected = 0;
      SendMessageTimeoutW(child, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &selected);
      const auto items = tabItems(child);
      for (size_t i = 0; i < items.size(); ++i) {
        const RECT& r = items[i].place;
        printLine(record({L"tab", hex(child), decimal(i), i == selected ? L"enabled,selected" : L"enabled",
                          field(items[i].caption), decimal(r.left), decimal(r.top), decimal(r.right - r.left),
                          decimal(r.bottom - r.top)}));
      }
    }
  }
  for (const HWND box : fields) {
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    const bool edit = sameClass(box, L"Edit");
    std::wstring state = IsWindowEnabled(box) && !(edit && (style & ES_READONLY)) ? L"enabled" : L"disabled";
    if (!edit && (style & 3) == CBS_DROPDOWNLIST) state += L",list";
    printLine(record({L"field", hex(box), state, field(controlText(box)),
                      field(plainLabel(fieldLabel(box, statics, fields)))}));
  }
  const auto menuBar = readMenuBar(top);
  if (!menuBar) return;
  std::wstring heading;
  for (const MenuBarItem& item : *menuBar) {
    if (!item.item) {
      heading = item.info.caption;
      continue;
    }
    printLine(record({L"menu", decimal(item.info.id), menuItemState(item.info), field(plainLabel(item.info.caption)),
                      field(plainLabel(heading))}));
  }
}

// The windows a program shows now, front first, each with what a user can
// click in it and read (unless --windows): every visible window of the
// processes started from the folder of the one that owns the window of
// --class (so that a helper program beside it, like RMView.exe, counts too).
int listShown(const Args& args) {
  const bool windowsOnly = args.has(L"--windows");
  const WindowQuery query{std::nullopt, args.value(L"--class").value_or(kMainClass)};
  const auto main = waitFor(query, 0);
  if (!main) {
    printError(L"no " + query.description());
    return kNotFound;
  }
  DWORD mainProcess = 0;
  GetWindowThreadProcessId(*main, &mainProcess);
  const std::wstring folder = processFolder(mainProcess);
  std::map<DWORD, bool> ours;
  for (const HWND top : topLevelWindows()) {
    if (!IsWindowVisible(top) || sameClass(top, kMenuClass)) continue;
    DWORD process = 0;
    GetWindowThreadProcessId(top, &process);
    const auto [known, fresh] = ours.try_emplace(process, false);
    if (fresh) {
      known->second = process == mainProcess ||
                      (!folder.empty() && CompareStringOrdinal(processFolder(process).c_str(), -1, folder.c_str(), -1,
                                                               TRUE) == CSTR_EQUAL);
    }
    if (!known->second) continue;
    printLine(record({L"window", hex(top), field(windowClass(top)), field(windowTitle(top)),
                      decimal(IsWindowEnabled(top) ? 1 : 0)}));
    if (!windowsOnly) printWindowContents(top);
  }
  return kDone;
}

// Picks the item of a drop-down list that starts with TEXT and tells the
// list's dialog, as a pick with the mouse does.
int chooseItem(const Args& args) {
  const HWND list = existingWindow(args);
  if (!list) return kNotFound;
  DWORD_PTR index = 0;
  if (!SendMessageTimeoutW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(args.positional.at(1).c_str()), SMTO_ABORTIFHUNG,
                           kReplyTimeoutMs, &index) ||
      static_cast<LRESULT>(index) == CB_ERR) {
    printError(L"no item " + args.positional.at(1) + L" in " + args.positional.at(0));
    return kNotFound;
  }
  PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  return kDone;
}

int clickButton(const Args& args) {
  const HWND button = existingWindow(args);
  if (!button) return kNotFound;
  click(button);
  return kDone;
}

int setText(const Args& args) {
  const HWND hwnd = existingWindow(args);
  if (!hwnd) return kNotFound;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.positional.at(1).c_str()),
                      SMTO_ABORTIFHUNG, kReplyTimeoutMs, &ignored);
  return kDone;
}

// MSG [WPARAM [LPARAM]] after the window handle.
struct MessageArgs {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

MessageArgs messageArgs(const Args& args) {
  const auto& p = args.positional;
  return {static_cast<UINT>(parseNumber(p.at(1), L"message")),
          static_cast<WPARAM>(p.size() > 2 ? parseNumber(p[2], L"wParam") : 0),
          static_cast<LPARAM>(p.size() > 3 ? parseNumber(p[3], L"lParam") : 0)};
}

int sendMessage(const Args& args) {
  const HWND hwnd = existingWindow(args);
  if (!hwnd) return kNotFound;
  const MessageArgs m = messageArgs(args);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, m.message, m.wParam, m.lParam, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result)) {
    printError(L"no reply from " + hex(hwnd));
    return kNotFound;
  }
  printLine(decimal(static_cast<LONG_PTR>(result)));
  return kDone;
}

// Sends MSG until the reply is at least MIN; prints the reply. For watching a
// busy program from outside: it answers between its handlers.
int waitReply(const Args& args) {
  const HWND hwnd = existingWindow(args);
  if (!hwnd) return kNotFound;
  const UINT message = static_cast<UINT>(parseNumber(args.positional.at(1), L"message"));
  const long long minimum = parseNumber(args.positional.at(2), L"minimum");
  const auto reply = pollUntil(timeoutOf(args), [&]() -> std::optional<long long> {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result)) return std::nullopt;
    const auto value = static_cast<long long>(static_cast<LONG_PTR>(result));
    if (value < minimum) return std::nullopt;
    return value;
  });
  if (!reply) {
    printError(L"no reply of at least " + args.positional.at(2) + L" from " + args.positional.at(0));
    return kNotFound;
  }
  printLine(decimal(*reply));
  return kDone;
}

// Posts, for messages whose handler opens something modal (a popup menu).
int postMessage(const Args& args) {
  const HWND hwnd = existingWindow(args);
  if (!hwnd) return kNotFound;
  const MessageArgs m = messageArgs(args);
  if (PostMessageW(hwnd, m.message, m.wParam, m.lParam)) return kDone;
  printError(L"cannot post to " + args.positional.at(0));
  return kNotFound;
}

struct Command {
  const wchar_t* name;
  int (*run)(const Args&);
  std::vector<std::wstring_view> valueOptions;
  std::vector<std::wstring_view> flagOptions;
  size_t minPositional;
  size_t maxPositional;
  const wchar_t* synopsis;
};

const Command kCommands[] = {
    {L"list", listWindows, {}, {L"--all"}, 0, 0, L"list [--all]"},
    {L"find", findWindow, {L"--title", L"--class", L"--timeout"}, {L"--visible"}, 0, 0,
     L"find --title T [--class C] [--visible] [--timeout MS]"},
    {L"text", printText, {}, {}, 1, 1, L"text HWND"},
    {L"children", listChildren, {}, {}, 1, 1, L"children HWND"},
    {L"tooltip", printTooltip, {}, {}, 1, 1, L"tooltip HWND"},
    {L"press", pressButton, {L"--title", L"--class", L"--button", L"--timeout"}, {}, 0, 0,
     L"press --title T --button TEXT [--class C] [--timeout MS]"},
    {L"command", postCommand, {L"--title", L"--class", L"--id", L"--timeout"}, {}, 0, 0,
     L"command --id N [--title T] [--class C] [--timeout MS]"},
    {L"close", closeWindow, {L"--title", L"--class", L"--timeout"}, {}, 0, 0,
     L"close --title T [--class C] [--timeout MS]"},
    {L"wait-gone", waitGone, {L"--title", L"--class", L"--timeout"}, {L"--visible"}, 0, 0,
     L"wait-gone --title T [--class C] [--visible] --timeout MS"},
    {L"menu", printMenus, {L"--timeout"}, {}, 0, 0, L"menu [--timeout MS]"},
    {L"menubar", printMenuBar, {}, {}, 1, 1, L"menubar HWND"},
    {L"shown", listShown, {L"--class"}, {L"--windows"}, 0, 0, L"shown [--class C] [--windows]"},
    {L"click", clickButton, {}, {}, 1, 1, L"click HWND"},
    {L"settext", setText, {}, {}, 2, 2, L"settext HWND TEXT"},
    {L"choose", chooseItem, {}, {}, 2, 2, L"choose HWND TEXT"},
    {L"send", sendMessage, {}, {}, 2, 4, L"send HWND MSG [WPARAM [LPARAM]]"},
    {L"post", postMessage, {}, {}, 2, 4, L"post HWND MSG [WPARAM [LPARAM]]"},
    {L"wait-reply", waitReply, {L"--timeout"}, {}, 3, 3, L"wait-reply HWND MSG MIN [--timeout MS]"},
};

bool contains(const std::vector<std::wstring_view>& names, const std::wstring& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// words: the arguments after the command's name.
Args parseArgs(const Command& command, const std::vector<std::wstring>& words) {
  Args args;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::wstring& arg = words[i];
    if (contains(command.valueOptions, arg)) {
      if (i + 1 == words.size()) throw UsageError{arg + L" needs a value"};
      args.values[arg] = words[++i];
    } else if (contains(command.flagOptions, arg)) {
      args.flags.insert(arg);
    } else if (arg.starts_with(L"--")) {
      throw UsageError{L"unknown option " + arg};
    } else {
      args.positional.push_back(arg);
    }
  }
  if (args.positional.size() < command.minPositional || args.positional.size() > command.maxPositional)
    throw UsageError{L"wrong number of arguments"};
  return args;
}

void printUsage() {
  std::wstring usage = L"usage:";
  for (const Command& command : kCommands) usage += std::wstring(L"\n  wintool ") + command.synopsis;
  writeError(usage + L"\n  wintool serve   (the commands above, one a line, words separated by tabs)\n");
}

// words: the command's name and its arguments.
int runCommand(const std::vector<std::wstring>& words) {
  const Command* command = nullptr;
  for (const Command& c : kCommands)
    if (!words.empty() && c.name == words.front()) command = &c;
  if (!command) {
    printError(L"no such command");
    printUsage();
    return kBadUsage;
  }
  try {
    return command->run(parseArgs(*command, {words.begin() + 1, words.end()}));
  } catch (const UsageError& e) {
    printError(e.message);
    writeError(std::wstring(L"usage: wintool ") + command->synopsis + L"\n");
    return kBadUsage;
  }
}

std::wstring fromUtf8(std::string_view text) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// One command a line on the standard input, its words separated by tabs;
// each answer ends with the line "wintool-end<TAB>exit code". Saves starting
// Wine for every question, which is what makes the demo run's replies slow.
int serve() {
  serving = true;
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    pending.append(buffer, got);
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      std::vector<std::wstring> words;
      std::string_view line(pending.data(), end);
      if (line.ends_with('\r')) line.remove_suffix(1);
      for (size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1))
        words.push_back(fromUtf8(line.substr(0, tab)));
      words.push_back(fromUtf8(line));
      printLine(L"wintool-end\t" + decimal(runCommand(words)));
    }
  }
  return kDone;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring_view(argv[1]) == L"serve") return serve();
  return runCommand({argv + 1, argv + argc});
}
