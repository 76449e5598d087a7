// Tsendmemo ("簡易メモ送信") and TResMemo ("簡易メモ受信"): what they show comes
// from the view model; what the user does goes back as core events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "state/view.h"

namespace rm::win {

class MemoSendDialog {
public:
    // The destination's edit text and the memo text, as the user left them.
    using Texts = std::function<void(const std::string& destination, const std::string& text)>;

    MemoSendDialog(const MemoSendView& view, Texts send, Texts keep)
        : view_(view), send_(std::move(send)), keep_(std::move(keep)) {}

    // Modal: returns when the memo was sent or the window closed.
    void Show(HWND owner);
    // Brings an open window in line with the view: a new destination list,
    // or closed once the memo went out.
    void Render();
    HWND Handle() const { return dialog_; }

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR HandleMessage(UINT msg, WPARAM wp);
    void OnInitDialog();
    void OnSend();
    void OnClose();
    void ShowDestinations();

    const MemoSendView& view_;
    Texts send_, keep_;
    HWND dialog_ = nullptr;
    int shownChanges_ = -1;
};

class MemoReceiveWindow {
public:
    MemoReceiveWindow(std::function<void()> close, std::function<void()> hide)
        : close_(std::move(close)), hide_(std::move(hide)) {}
    ~MemoReceiveWindow();
    MemoReceiveWindow(const MemoReceiveWindow&) = delete;
    MemoReceiveWindow& operator=(const MemoReceiveWindow&) = delete;

    // Created hidden at start; false when it could not be.
    bool Create(HWND owner);
    void Render(const MemoReceiveView& view);
    HWND Handle() const { return dialog_; }

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR HandleMessage(UINT msg, WPARAM wp);

    std::function<void()> close_, hide_;
    HWND dialog_ = nullptr;
    // The view's counts that the text shows.
    std::uint64_t shownAdded_ = 0, shownDropped_ = 0;
    int shownEmptied_ = 0;
    int shownRaised_ = 0;
};

}  // namespace rm::win
