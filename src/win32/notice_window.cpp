#include "notice_window.h"

#include <algorithm>
#include <utility>

#include "diagnostics.h"
#include "notice_place.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

// Pixels at 100 %, as a message box lays itself out.
constexpr int Margin = 12, Gap = 10, MinTextWidth = 150, MaxTextWidth = 420, ButtonWidth = 75, ButtonHeight = 23;

// The text's size in the control's font, wrapped at maxWidth like the
// control wraps it (long paths too, not only at blanks).
SIZE TextSize(HWND control, const std::wstring& text, int maxWidth) {
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT need{0, 0, maxWidth, 0};
    DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {need.right, need.bottom};
}

}  // namespace

NoticeWindow::NoticeWindow(LPCWSTR icon, std::function<void()> dismissed)
    : Dialog({IDD_NOTICE}), iconName_(icon), dismissed_(std::move(dismissed)) {}

void NoticeWindow::Render(HWND owner, const NoticeView& view) {
    if (!view.Shown) {
        Destroy();
        return;
    }
    if (!Handle() && !CreateModeless(owner)) return;
    if (view.Text == shownText_ && IsWindowVisible(Handle())) return;
    shownText_ = view.Text;
    SetText(IDC_NOTICE_TEXT, shownText_);
    LayOut();
}

INT_PTR NoticeWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    // No focus now: the dialog manager would activate the box to give it.
    // A click on the box gives it to OK.
    case WM_INITDIALOG: TakeIcon(); return FALSE;
    case WM_DESTROY: ForgetNoticePlace(Handle()); return FALSE;
    case WM_DPICHANGED:
        TakeIcon();
        LayOut();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) return FALSE;
        // What the box leads to comes first, while the box still holds the
        // activation the user's click gave it: it passes on to that window
        // instead of to whichever window was behind the box.
        dismissed_();
        Destroy();
        return TRUE;
    default: return FALSE;
    }
}

void NoticeWindow::OnDestroyed() { shownText_.clear(); }

void NoticeWindow::TakeIcon() {
    const int size = GetSystemMetricsForDpi(SM_CXICON, Dpi());
    // The system's own picture, drawn for the size (an OEM image, not shared).
    const auto icon = static_cast<HICON>(LoadImageW(nullptr, iconName_, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!icon) {
        LogLastError(L"LoadImageW", L"a notice's icon");
        return;
    }
    SendDlgItemMessageW(Handle(), IDC_NOTICE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    icon_.reset(icon);
}

void NoticeWindow::LayOut() {
    const HWND text = GetDlgItem(Handle(), IDC_NOTICE_TEXT);
    const int iconSize = GetSystemMetricsForDpi(SM_CXICON, Dpi());
    const SIZE need = TextSize(text, Widen(shownText_), Scale(MaxTextWidth));
    const int textLeft = Scale(Margin) + iconSize + Scale(Gap);
    const int textWidth = std::max<int>(need.cx, Scale(MinTextWidth));
    const int textHeight = std::max<int>(need.cy, iconSize);
    const int buttonTop = Scale(Margin) + textHeight + Scale(Gap);
    const SIZE client{textLeft + textWidth + Scale(Margin), buttonTop + Scale(ButtonHeight) + Scale(Margin)};

    MoveWindow(GetDlgItem(Handle(), IDC_NOTICE_ICON), Scale(Margin), Scale(Margin), iconSize, iconSize, FALSE);
    // The text beside the icon's middle when it is one line.
    MoveWindow(text, textLeft, Scale(Margin) + (textHeight - need.cy) / 2, textWidth, need.cy, FALSE);
    MoveWindow(GetDlgItem(Handle(), IDOK), client.cx - Scale(Margin) - Scale(ButtonWidth), buttonTop,
               Scale(ButtonWidth), Scale(ButtonHeight), FALSE);
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)), Dpi());
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
    ShowAtTrayCorner(Handle());
}

}  // namespace rm::win
