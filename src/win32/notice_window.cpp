#include "notice_window.h"

#include "diagnostics.h"
#include "dialog_layout.h"
#include "resource.h"

namespace rm::win {

NoticeWindow::~NoticeWindow() { Close(); }

void NoticeWindow::Close() {
    if (dialog_) DestroyWindow(dialog_);
    dialog_ = nullptr;
    shownText_.clear();
}

void NoticeWindow::Render(HWND owner, const NoticeView& view) {
    if (!view.Shown) {
        Close();
        return;
    }
    if (!dialog_) {
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId_), owner, Proc,
                           reinterpret_cast<LPARAM>(this));
        if (!dialog_) {
            LogLastError(L"CreateDialogParamW", L"notice");
            return;
        }
        TakeProgramIcon(dialog_);
        ShowWindow(dialog_, SW_SHOW);
        SetForegroundWindow(dialog_);
    }
    if (view.Text != shownText_) {
        shownText_ = view.Text;
        SetControlText(dialog_, IDC_NOTICE_TEXT, shownText_);
    }
}

INT_PTR CALLBACK NoticeWindow::Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    return DispatchDialog<NoticeWindow>(dialog, msg, lp, [&](NoticeWindow& self) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            self.dialog_ = dialog;
            return TRUE;
        }
        if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
            self.Close();
            self.dismissed_();
            return TRUE;
        }
        return FALSE;
    });
}

}  // namespace rm::win
