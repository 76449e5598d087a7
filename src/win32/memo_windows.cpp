#include "memo_windows.h"

#include "dialog_layout.h"
#include "message_box.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 342, ClientHeight = 173;

// The dialog's object, kept in its user data from WM_INITDIALOG on; errors
// end in the general error box, never in Windows.
template <class Self>
INT_PTR DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, HWND Self::*handle,
                   INT_PTR (Self::*handler)(UINT, WPARAM)) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lp);
    auto* self = reinterpret_cast<Self*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    self->*handle = dialog;
    INT_PTR result = FALSE;
    Guarded(dialog, [&] { result = (self->*handler)(msg, wp); });
    return result;
}

}  // namespace

// ---- Tsendmemo

void MemoSendDialog::Show(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MEMO_SEND), owner, Proc,
                    reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
}

INT_PTR CALLBACK MemoSendDialog::Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    return DialogProc(dialog, msg, wp, lp, &MemoSendDialog::dialog_, &MemoSendDialog::HandleMessage);
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
    SetDlgItemTextW(dialog_, IDC_MEMO_TEXT, Widen(view_.Text).c_str());
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
    send_(Text(IDC_MEMO_DESTINATION), Text(IDC_MEMO_TEXT));
}

void MemoSendDialog::OnClose() {
    keep_(Text(IDC_MEMO_DESTINATION), Text(IDC_MEMO_TEXT));
    EndDialog(dialog_, 0);
}

std::string MemoSendDialog::Text(int control) const {
    const HWND window = GetDlgItem(dialog_, control);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
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
    return DialogProc(dialog, msg, wp, lp, &MemoReceiveWindow::dialog_, &MemoReceiveWindow::HandleMessage);
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
