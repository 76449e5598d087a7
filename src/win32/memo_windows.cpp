#include "memo_windows.h"

#include "dialog_layout.h"
#include "lan/memos.h"
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
    // The control's own limit would refuse text long before the memos' bound.
    SendDlgItemMessageW(dialog_, IDC_MEMO_RECEIVED, EM_SETLIMITTEXT, 4 * MaxMemoBytes, 0);
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

// Only what is new goes in: the text may be long, and datagrams come at any rate.
void MemoReceiveWindow::Render(const MemoReceiveView& view) {
    if (!dialog_) return;
    if (view.Added != shownAdded_ || view.Dropped != shownDropped_ || view.Emptied != shownEmptied_) {
        const bool whole = view.Dropped != shownDropped_ || view.Emptied != shownEmptied_;
        const std::size_t fresh = whole ? view.Lines.size() : static_cast<std::size_t>(view.Added - shownAdded_);
        std::wstring text;
        for (auto line = view.Lines.end() - static_cast<std::ptrdiff_t>(fresh); line != view.Lines.end(); ++line) {
            text += Widen(*line) + L"\r\n";
        }
        const HWND edit = GetDlgItem(dialog_, IDC_MEMO_RECEIVED);
        if (whole) SetWindowTextW(edit, L"");
        // At the end, which also brings the newest memo in sight.
        const LRESULT end = GetWindowTextLengthW(edit);
        SendMessageW(edit, EM_SETSEL, end, end);
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
        shownAdded_ = view.Added;
        shownDropped_ = view.Dropped;
        shownEmptied_ = view.Emptied;
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
