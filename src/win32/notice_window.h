// A box that a datagram opened ("簡易メモのデータが届きました", "n件のLOGを
// 受信しました"). It is modeless: datagrams that come while it is up change
// its text instead of opening a box inside a box.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "state/view.h"

namespace rm::win {

class NoticeWindow {
public:
    NoticeWindow(int resourceId, std::function<void()> dismissed)
        : resourceId_(resourceId), dismissed_(std::move(dismissed)) {}
    ~NoticeWindow();
    NoticeWindow(const NoticeWindow&) = delete;
    NoticeWindow& operator=(const NoticeWindow&) = delete;

    // Opens, updates or closes the box as the view says.
    void Render(HWND owner, const NoticeView& view);
    HWND Handle() const { return dialog_; }

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
    void Close();

    int resourceId_;
    std::function<void()> dismissed_;
    HWND dialog_ = nullptr;
    std::string shownText_;
};

}  // namespace rm::win
