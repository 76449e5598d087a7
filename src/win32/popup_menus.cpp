#include "popup_menus.h"

#include <memory>

#include "command_ids.h"
#include "handles.h"
#include "wide.h"

namespace rm::win {
namespace {

OwnedMenu Build(const Menus& model, PopupMenu which) {
    OwnedMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    for (Item item : ItemsOf(which)) {
        const MenuItem& m = model[item];
        if (!m.Visible) continue;
        if (m.IsSeparator()) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (m.Enabled ? MF_ENABLED : MF_GRAYED) | (m.Checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(menu.get(), flags, CommandId(item), Widen(m.Caption).c_str());
    }
    return menu;
}

}  // namespace

UINT TrackPopup(HWND owner, const Menus& model, PopupMenu which) {
    const OwnedMenu menu = Build(model, which);
    if (!menu) return 0;
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close on an outside click.
    SetForegroundWindow(owner);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    return chosen;
}

}  // namespace rm::win
