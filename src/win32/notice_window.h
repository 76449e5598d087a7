// A box that an event opened ("簡易メモのデータが届きました", the LOG count,
// the launcher's failures). It is modeless: events that come while it is up
// change its text instead of opening a box inside a box. It never takes the
// activation or the keyboard from the window the user works in; it waits at
// the notification area's corner, sized to its text, until clicked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialog.h"
#include "handles.h"
#include "state/view.h"

namespace rm::win {

class NoticeWindow : public Dialog {
public:
    // icon: a system icon, IDI_INFORMATION or IDI_WARNING.
    NoticeWindow(LPCWSTR icon, std::function<void()> dismissed);
    ~NoticeWindow() override { Destroy(); }

    // Opens, updates or closes the box as the view says.
    void Render(HWND owner, const NoticeView& view);

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;
    void TakeIcon();
    // Sizes the box to its text and puts it at its place.
    void LayOut();

    LPCWSTR iconName_;
    std::function<void()> dismissed_;
    std::string shownText_;
    OwnedIcon icon_;
};

}  // namespace rm::win
