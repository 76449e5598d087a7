#include "commands.h"

#include <vector>

#include "wide.h"

namespace rmview::win {
namespace {

struct MenuEntry {
    const char* Menu;
    const char* Caption;  // nullptr: a separator
    WORD Id;
    BYTE Modifiers;
    WORD Key;  // 0: no shortcut
};

constexpr MenuEntry Entries[] = {
    {"ﾌｧｲﾙ", "テキストとしてコピー\tCtrl+C", IdCopyText, FCONTROL, 'C'},
    {"ﾌｧｲﾙ", "PNG画像として保存...\tCtrl+S", IdSavePng, FCONTROL, 'S'},
    {"ﾌｧｲﾙ", nullptr, 0, 0, 0},
    {"ﾌｧｲﾙ", "終了", IdExit, 0, 0},
    {"表示", "前の月\tPageUp", IdPreviousMonth, 0, VK_PRIOR},
    {"表示", "次の月\tPageDown", IdNextMonth, 0, VK_NEXT},
    {"表示", nullptr, 0, 0, 0},
    {"表示", "再読み込み\tF5", IdReload, 0, VK_F5},
};

}  // namespace

HMENU BuildMenuBar() {
    const HMENU bar = CreateMenu();
    HMENU popup = nullptr;
    const char* current = nullptr;
    for (const MenuEntry& entry : Entries) {
        if (entry.Menu != current) {
            current = entry.Menu;
            popup = CreatePopupMenu();
            AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), rm::win::Widen(current).c_str());
        }
        if (entry.Caption) {
            AppendMenuW(popup, MF_STRING, entry.Id, rm::win::Widen(entry.Caption).c_str());
        } else {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        }
    }
    return bar;
}

HACCEL BuildAccelerators() {
    std::vector<ACCEL> keys;
    for (const MenuEntry& entry : Entries) {
        if (entry.Key) keys.push_back({static_cast<BYTE>(FVIRTKEY | entry.Modifiers), entry.Key, entry.Id});
    }
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

}  // namespace rmview::win
