// TrayIcon: one icon with a tip in the notification area, turning mouse
// actions on it into popup menus or events.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <windows.h>
#include <shellapi.h>

#include "diagnostics.h"
#include "handles.h"

namespace rm::win {

inline constexpr const char* TrayIconErrorText = "タスクトレイにアイコンを登録できません。";
inline constexpr const char* TrayIconFeature = "タスクトレイのアイコン";
inline constexpr int MaxTrayIcons = 100;
inline constexpr std::size_t TipHelpMaxBytes = 62;

// Too many icons live already.
class TrayIconError : public std::runtime_error {
public:
    TrayIconError() : std::runtime_error(TrayIconErrorText) {}
};

// How an icon the notification area refused is tried again. At logon the
// shell may refuse adds for many seconds; only a refusal that outlasts that
// is worth a box.
struct TrayRetry {
    std::chrono::milliseconds Interval{2000};
    std::chrono::milliseconds TellAfter{60000};
    // Called once per run of refusals, when it has lasted TellAfter.
    std::function<void()> Tell = [] { TellFeatureLost(TrayIconFeature); };
};

// A popup menu the icon can open. The icon holds it weakly, so a destroyed
// menu is forgotten.
struct TrayMenu {
    // Opens the menu at the cursor, in front of its owner.
    std::function<void()> Popup;
};

enum class MouseButton { Left, Right, Middle };

// The tip as the notification area shows it: at most 62 bytes of its
// Shift-JIS form, never ending in half a double-byte character.
std::string CutTipHelp(const std::string& utf8);

class TrayIcon {
public:
    using ShellCall = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;

    // Throws TrayIconError when 100 icons live already.
    explicit TrayIcon(ShellCall shell = Shell_NotifyIconW, TrayRetry retry = {});
    // Removes the icon from the notification area if it is there.
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    UINT Number() const { return number_; }
    // In the notification area now; false while a refused add is retried.
    bool Added() const { return added_; }

    bool Visible() const { return visible_; }
    // Stays false without an icon; adds the icon to or removes it from the
    // shell. A refused add is retried every TrayRetry::Interval.
    void SetVisible(bool visible);

    HICON Icon() const { return icon_.get(); }
    // Keeps a copy of the picture; the icon given last, again, changes nothing;
    // nullptr clears it and hides the icon.
    void SetIcon(HICON icon);

    const std::string& TipHelp() const { return tipHelp_; }
    void SetTipHelp(const std::string& utf8);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // A notification from the icon, shown once it is in the notification area.
    void ShowBalloon(const std::string& title, const std::string& text);

    bool AutoPopup = true;

    std::shared_ptr<TrayMenu> LBPopupMenu() const { return lbPopupMenu_.lock(); }
    std::shared_ptr<TrayMenu> RBPopupMenu() const { return rbPopupMenu_.lock(); }
    void SetLBPopupMenu(const std::shared_ptr<TrayMenu>& menu) { lbPopupMenu_ = menu; }
    void SetRBPopupMenu(const std::shared_ptr<TrayMenu>& menu) { rbPopupMenu_ = menu; }

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(MouseButton, POINT)> OnMouseDown;
    std::function<void(POINT)> OnMouseMove;
    std::function<void(MouseButton, POINT)> OnMouseUp;
    // A new notification area ("TaskbarCreated": Explorer restarted, or the
    // DPI changed): called before the icon is added to it, so pictures loaded
    // for the new size can be set first. It must not destroy the icon.
    std::function<void()> OnAreaRecreated;

private:
    friend class TrayCallbackWindow;

    void Refresh();
    bool Shell(DWORD message);
    void Add();
    void Modify();
    void Delete();
    void AreaRecreated();
    void Retry();
    void Shown();
    void ShowPendingBalloon();
    void Refused(DWORD message);
    void StopRetry();
    void Dispatch(UINT mouseMessage);
    void ButtonDown(MouseButton button, const std::shared_ptr<TrayMenu>& menu, POINT at);
    void LeftButtonUp();
    void SingleClickDone();

    ShellCall shell_;
    TrayRetry retry_;
    UINT number_ = 0;
    bool added_ = false;
    bool retrying_ = false;
    bool told_ = false;
    std::chrono::steady_clock::time_point refusedSince_;
    DWORD lastError_ = ERROR_SUCCESS;
    bool clickPending_ = false;
    bool visible_ = false;
    bool enabled_ = true;
    OwnedIcon icon_;
    HICON iconSource_ = nullptr;
    std::string tipHelp_ = "TipHelp";
    std::wstring balloonTitle_, balloonText_;
    std::weak_ptr<TrayMenu> lbPopupMenu_, rbPopupMenu_;
    NOTIFYICONDATAW data_{};
};

}  // namespace rm::win
