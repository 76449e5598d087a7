// Reads the items of a menu of another program: a popup menu it shows, or a
// window's menu bar.  Windows lets any process read a menu; Wine only the
// process that owns it, so there the reading is done by a thread started
// inside that process.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct PopupMenuItem {
  std::wstring caption;  // empty for separators
  UINT id;
  UINT type;   // MFT_ flags
  UINT state;  // MFS_ flags
  HMENU submenu;  // null when the item opens none
};

namespace popup_menu_detail {

constexpr int kMaxItems = 128;
constexpr int kMaxCaption = 256;

struct ItemSlot {
  MENUITEMINFOW info;
  wchar_t caption[kMaxCaption];
};

struct Snapshot {
  decltype(&GetMenuItemCount) getCount;
  decltype(&GetMenuItemInfoW) getInfo;
  HMENU menu;
  int count;
  ItemSlot items[kMaxItems];
};

// Runs here, or copied into the process that owns the menu.  So it must stay
// position-independent: no globals, no constants the compiler could pool (the
// requests come filled in), no calls but through the snapshot.  Alone in its
// own section, so that the page copied from its start holds it whole.
inline __attribute__((section(".wtmenu"), noinline, used)) DWORD WINAPI takeSnapshot(LPVOID param) {
  auto* snapshot = static_cast<Snapshot*>(param);
  snapshot->count = snapshot->getCount(snapshot->menu);
  for (int i = 0; i < snapshot->count && i < kMaxItems; ++i) {
    ItemSlot* item = &snapshot->items[i];
    item->info.dwTypeData = item->caption;
    snapshot->getInfo(snapshot->menu, i, TRUE, &item->info);
  }
  return 0;
}
constexpr SIZE_T kCodeBytes = 4096;

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

inline BYTE* moduleBase(DWORD processId, const wchar_t* name) {
  const HANDLE list = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (list == INVALID_HANDLE_VALUE) return nullptr;
  const UniqueHandle owner(list);
  MODULEENTRY32W module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32FirstW(list, &module); more; more = Module32NextW(list, &module))
    if (CompareStringOrdinal(module.szModule, -1, name, -1, TRUE) == CSTR_EQUAL) return module.modBaseAddr;
  return nullptr;
}

template <class F>
F relocated(F here, BYTE* baseHere, BYTE* baseThere) {
  return reinterpret_cast<F>(baseThere + (reinterpret_cast<BYTE*>(here) - baseHere));
}

// Leaves the snapshot as it was when the owner cannot be made to take it.
inline void takeSnapshotInOwner(HWND ownerWindow, Snapshot& snapshot, DWORD timeoutMs) {
  DWORD processId = 0;
  GetWindowThreadProcessId(ownerWindow, &processId);
  const auto user32Here = reinterpret_cast<BYTE*>(GetModuleHandleW(L"user32.dll"));
  BYTE* const user32There = moduleBase(processId, L"user32.dll");
  if (!user32There) return;
  snapshot.getCount = relocated(&GetMenuItemCount, user32Here, user32There);
  snapshot.getInfo = relocated(&GetMenuItemInfoW, user32Here, user32There);

  const UniqueHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                             PROCESS_VM_READ | PROCESS_VM_WRITE,
                                         FALSE, processId));
  if (!process) return;
  auto* const remote = static_cast<BYTE*>(VirtualAllocEx(process.get(), nullptr, kCodeBytes + sizeof snapshot,
                                                         MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
  if (!remote) return;
  BYTE* const remoteSnapshot = remote + kCodeBytes;
  if (WriteProcessMemory(process.get(), remote, reinterpret_cast<const void*>(&takeSnapshot), kCodeBytes, nullptr) &&
      WriteProcessMemory(process.get(), remoteSnapshot, &snapshot, sizeof snapshot, nullptr)) {
    const UniqueHandle thread(CreateRemoteThread(process.get(), nullptr, 0,
                                                 reinterpret_cast<LPTHREAD_START_ROUTINE>(remote), remoteSnapshot, 0,
                                                 nullptr));
    // A thread still running keeps its memory: freeing it would crash the owner.
    if (thread && WaitForSingleObject(thread.get(), timeoutMs) != WAIT_OBJECT_0) return;
    if (thread) ReadProcessMemory(process.get(), remoteSnapshot, &snapshot, sizeof snapshot, nullptr);
  }
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
}

}  // namespace popup_menu_detail

// The items of a menu that a window of the same program shows (the popup
// menu window itself, or the window with the menu bar), or nothing when they
// cannot be read within the time-out.
inline std::optional<std::vector<PopupMenuItem>> readMenu(HWND ownerWindow, HMENU menu, DWORD timeoutMs) {
  using namespace popup_menu_detail;
  auto snapshot = std::make_unique<Snapshot>();
  snapshot->getCount = &GetMenuItemCount;
  snapshot->getInfo = &GetMenuItemInfoW;
  snapshot->menu = menu;
  for (ItemSlot& slot : snapshot->items) {
    slot.info.cbSize = sizeof slot.info;
    slot.info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    slot.info.cch = kMaxCaption;
  }
  takeSnapshot(snapshot.get());
  if (snapshot->count < 0) takeSnapshotInOwner(ownerWindow, *snapshot, timeoutMs);
  if (snapshot->count < 0) return std::nullopt;

  std::vector<PopupMenuItem> items;
  for (int i = 0; i < snapshot->count && i < kMaxItems; ++i) {
    const MENUITEMINFOW& info = snapshot->items[i].info;
    const bool separator = info.fType & MFT_SEPARATOR;
    items.push_back({separator ? L"" : snapshot->items[i].caption, info.wID, info.fType, info.fState, info.hSubMenu});
  }
  return items;
}

// The items of the menu that a popup menu window (class "#32768") shows.
inline std::optional<std::vector<PopupMenuItem>> readPopupMenu(HWND menuWindow, DWORD timeoutMs) {
  DWORD_PTR menu = 0;
  if (!SendMessageTimeoutW(menuWindow, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &menu) || !menu)
    return std::nullopt;
  return readMenu(menuWindow, reinterpret_cast<HMENU>(menu), timeoutMs);
}
