// MemoSendDialog ("簡易メモ送信") and MemoReceiveWindow ("簡易メモ受信"): what they show comes
// from the view model; what the user does goes back as core events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "dialog.h"
#include "state/view.h"

namespace rm::win {

class MemoSendDialog : public Dialog {
public:
    // The destination's edit text and the memo text, as the user left them.
    using Texts = std::function<void(const std::string& destination, const std::string& text)>;

    MemoSendDialog(const MemoSendView& view, Texts send, Texts keep);

    // Modal: returns when the memo was sent or the window closed.
    void Show(HWND owner);
    // Brings an open window in line with the view: a new destination list,
    // or closed once the memo went out.
    void Render();

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnInitDialog();
    void OnSend();
    void OnClose();
    void ShowDestinations();

    const MemoSendView& view_;
    Texts send_, keep_;
    int shownChanges_ = -1;
};

class MemoReceiveWindow : public Dialog {
public:
    MemoReceiveWindow(std::function<void()> close, std::function<void()> hide);
    ~MemoReceiveWindow() override { Destroy(); }

    // Created hidden at start; false when it could not be.
    bool Create(HWND owner);
    void Render(const MemoReceiveView& view);

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    std::function<void()> close_, hide_;
    // The view's counts that the text shows.
    std::uint64_t shownAdded_ = 0, shownDropped_ = 0;
    int shownEmptied_ = 0;
    int shownRaised_ = 0;
};

}  // namespace rm::win
