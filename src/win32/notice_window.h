// A box that a datagram opened ("簡易メモのデータが届きました", "n件のLOGを
// 受信しました"). It is modeless: datagrams that come while it is up change
// its text instead of opening a box inside a box.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialog.h"
#include "state/view.h"

namespace rm::win {

class NoticeWindow : public Dialog {
public:
    NoticeWindow(int resourceId, std::function<void()> dismissed);
    ~NoticeWindow() override { Destroy(); }

    // Opens, updates or closes the box as the view says.
    void Render(HWND owner, const NoticeView& view);

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override { shownText_.clear(); }

    std::function<void()> dismissed_;
    std::string shownText_;
};

}  // namespace rm::win
