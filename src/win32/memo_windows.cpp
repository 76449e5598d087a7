#include "memo_windows.h"

#include <utility>

#include <commctrl.h>

#include "lan/memos.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

// Both memo windows.
constexpr int ClientWidth = 342, ClientHeight = 173;

}  // namespace

// ---- MemoSendDialog

MemoSendDialog::MemoSendDialog(const MemoSendView& view, Texts send, Texts keep)
    : Dialog({IDD_MEMO_SEND, ClientWidth, ClientHeight}), view_(view), send_(std::move(send)), keep_(std::move(keep)) {}

void MemoSendDialog::Show(HWND owner) { ShowModal(owner, "簡易メモ送信を表示できません。"); }

INT_PTR MemoSendDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
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
    SetText(IDC_MEMO_TEXT, view_.Text);
    // Left empty, the memo goes to every copy on the LAN, this PC's too.
    // Set on the box's edit: Wine's combo box does not pass CB_SETCUEBANNER on.
    COMBOBOXINFO box{sizeof box};
    if (GetComboBoxInfo(GetDlgItem(Handle(), IDC_MEMO_DESTINATION), &box)) {
        SendMessageW(box.hwndItem, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"空欄のときは全員に送ります"));
    }
    shownChanges_ = -1;
    ShowDestinations();
}

void MemoSendDialog::Render() {
    if (!Handle()) return;
    if (!view_.Open) {
        End(0);
        return;
    }
    if (view_.DestinationChanges != shownChanges_) ShowDestinations();
}

// Only what the core changed: the user's typing in the box stays otherwise.
void MemoSendDialog::ShowDestinations() {
    const HWND box = GetDlgItem(Handle(), IDC_MEMO_DESTINATION);
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
    End(0);
}

// ---- MemoReceiveWindow

MemoReceiveWindow::MemoReceiveWindow(std::function<void()> close, std::function<void()> hide)
    : Dialog({IDD_MEMO_RECEIVE, ClientWidth, ClientHeight}), close_(std::move(close)), hide_(std::move(hide)) {}

bool MemoReceiveWindow::Create(HWND owner) {
    if (!CreateModeless(owner)) return false;
    // The control's own limit would refuse text long before the memos' bound.
    SendDlgItemMessageW(Handle(), IDC_MEMO_RECEIVED, EM_SETLIMITTEXT, 4 * MaxMemoBytes, 0);
    return true;
}

INT_PTR MemoReceiveWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_COMMAND) return msg == WM_INITDIALOG;
    switch (LOWORD(wp)) {
    case IDC_MEMO_CLOSE: close_(); return TRUE;
    case IDCANCEL: hide_(); return TRUE;
    default: return FALSE;
    }
}

// Only what is new goes in: the text may be long, and datagrams come at any rate.
void MemoReceiveWindow::Render(const MemoReceiveView& view) {
    if (!Handle()) return;
    if (view.Added != shownAdded_ || view.Dropped != shownDropped_ || view.Emptied != shownEmptied_) {
        const bool whole = view.Dropped != shownDropped_ || view.Emptied != shownEmptied_;
        const std::size_t fresh = whole ? view.Lines.size() : static_cast<std::size_t>(view.Added - shownAdded_);
        std::wstring text;
        for (auto line = view.Lines.end() - static_cast<std::ptrdiff_t>(fresh); line != view.Lines.end(); ++line) {
            text += Widen(*line) + L"\r\n";
        }
        const HWND edit = GetDlgItem(Handle(), IDC_MEMO_RECEIVED);
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
        ShowWindow(Handle(), SW_HIDE);
    } else if (view.Raised != shownRaised_ || !IsWindowVisible(Handle())) {
        // Above the send window too, which the panel owns as it owns this one:
        // Wine puts a window that is only shown right above its owner.
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(Handle());
    }
    shownRaised_ = view.Raised;
}

}  // namespace rm::win
