#include "memo_windows.h"

#include "dialog_layout.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 342, ClientHeight = 173;

}  // namespace

// ---- Tsendmemo

void MemoSendDialog::Show(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MEMO_SEND), owner, Proc,
                    reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
}

INT_PTR CALLBACK MemoSendDialog::Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    return DispatchDialog<MemoSendDialog>(dialog, msg, lp, [&](MemoSendDialog& self) {
        self.dialog_ = dialog;
        return self.HandleMessage(msg, wp);
    });
}

INT_PTR MemoSendDialog::HandleMessage(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_MEMO_SEND: OnSend(); return TRUE;
        case IDCANCEL: OnClose(); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

void MemoSendDialog::OnInitDialog() {
    FitClientArea(dialog_, ClientWidth, ClientHeight);
    TakeProgramIcon(dialog_);
    SetControlText(dialog_, IDC_MEMO_TEXT, view_.Text);
    shownChanges_ = -1;
    ShowDestinations();
}

void MemoSendDialog::Render() {
    if (!dialog_) return;
    if (!view_.Open) {
        EndDialog(dialog_, 0);
        return;
    }
    if (view_.DestinationChanges != shownChanges_) ShowDestinations();
}

// Only what the core changed: the user's typing in the box stays otherwise.
void MemoSendDialog::ShowDestinations() {
    const HWND box = GetDlgItem(dialog_, IDC_MEMO_DESTINATION);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : view_.Destinations) {
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
    }
    SetWindowTextW(box, Widen(view_.Destination).c_str());
    shownChanges_ = view_.DestinationChanges;
}

void MemoSendDialog::OnSend() {
    // The core closes the window through the view once the memo went out;
    // after a send error it stays open.
    send_(ControlText(dialog_, IDC_MEMO_DESTINATION), ControlText(dialog_, IDC_MEMO_TEXT));
}

void MemoSendDialog::OnClose() {
    keep_(ControlText(dialog_, IDC_MEMO_DESTINATION), ControlText(dialog_, IDC_MEMO_TEXT));
    EndDialog(dialog_, 0);
}

// ---- TResMemo

MemoReceiveWindow::~MemoReceiveWindow() {
    if (dialog_) DestroyWindow(dialog_);
}

bool MemoReceiveWindow::Create(HWND owner) {
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MEMO_RECEIVE), owner, Proc,
                       reinterpret_cast<LPARAM>(this));
    if (!dialog_) return false;
    FitClientArea(dialog_, ClientWidth, ClientHeight);
    TakeProgramIcon(dialog_);
    return true;
}

INT_PTR CALLBACK MemoReceiveWindow::Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    return DispatchDialog<MemoReceiveWindow>(dialog, msg, lp, [&](MemoReceiveWindow& self) {
        self.dialog_ = dialog;
        return self.HandleMessage(msg, wp);
    });
}

INT_PTR MemoReceiveWindow::HandleMessage(UINT msg, WPARAM wp) {
    if (msg != WM_COMMAND) return msg == WM_INITDIALOG;
    switch (LOWORD(wp)) {
    case IDC_MEMO_CLOSE: close_(); return TRUE;
    case IDCANCEL: hide_(); return TRUE;
    default: return FALSE;
    }
}

void MemoReceiveWindow::Render(const MemoReceiveView& view) {
    if (!dialog_) return;
    std::wstring text;
    for (const std::string& line : view.Lines) text += Widen(line) + L"\r\n";
    if (text != shownText_) {
        shownText_ = std::move(text);
        const HWND edit = GetDlgItem(dialog_, IDC_MEMO_RECEIVED);
        SetWindowTextW(edit, shownText_.c_str());
        // The newest memo in sight.
        SendMessageW(edit, EM_SETSEL, shownText_.size(), shownText_.size());
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }
    if (!view.Shown) {
        ShowWindow(dialog_, SW_HIDE);
    } else if (view.Raised != shownRaised_ || !IsWindowVisible(dialog_)) {
        ShowWindow(dialog_, SW_SHOW);
        SetForegroundWindow(dialog_);
    }
    shownRaised_ = view.Raised;
}

}  // namespace rm::win
