#include "notice_window.h"

#include <utility>

#include "resource.h"

namespace rm::win {

NoticeWindow::NoticeWindow(int resourceId, std::function<void()> dismissed)
    : Dialog({resourceId}), dismissed_(std::move(dismissed)) {}

void NoticeWindow::Render(HWND owner, const NoticeView& view) {
    if (!view.Shown) {
        Destroy();
        return;
    }
    if (!Handle()) {
        if (!CreateModeless(owner)) return;
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
    }
    if (view.Text != shownText_) {
        shownText_ = view.Text;
        SetText(IDC_NOTICE_TEXT, shownText_);
    }
}

INT_PTR NoticeWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) return FALSE;
        Destroy();
        dismissed_();
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace rm::win
