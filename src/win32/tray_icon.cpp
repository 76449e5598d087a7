#include "tray_icon.h"

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "app_messages.h"
#include "wide.h"
#include "window.h"

namespace rm::win {
namespace {

constexpr wchar_t CallbackClassName[] = L"RoutavistaTrayCallback";
constexpr UINT ShiftJisCodePage = 932;

// Into one of the structure's fixed fields, cut to fit with its NUL.
template <std::size_t N>
void CopyCut(const std::wstring& text, wchar_t (&field)[N]) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
    field[length] = L'\0';
}
// Past the double-click time, so that a double click never reports a click.
constexpr DWORD SingleClickMargin = 50;

// Icon numbers with their instances, in creation order.
std::vector<std::pair<UINT, TrayIcon*>>& IconTable() {
    static std::vector<std::pair<UINT, TrayIcon*>> table;
    return table;
}

TrayIcon* FindIcon(UINT number) {
    const auto& table = IconTable();
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const auto& entry) { return entry.first == number; });
    return found == table.end() ? nullptr : found->second;
}

// Explorer announces a new notification area with this message, after which
// every icon must be added again.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

std::wstring ShellMessageName(DWORD message) {
    switch (message) {
    case NIM_ADD: return L"NIM_ADD";
    case NIM_MODIFY: return L"NIM_MODIFY";
    case NIM_DELETE: return L"NIM_DELETE";
    default: return std::to_wstring(message);
    }
}

}  // namespace

// One hidden window receives the mouse messages and the retry timers of every
// icon; a timer's id is its icon's number. It is top-level, not message-only,
// because "TaskbarCreated" is broadcast.
class TrayCallbackWindow : public Window {
public:
    static TrayCallbackWindow& Instance() {
        static TrayCallbackWindow window;
        return window;
    }

    ~TrayCallbackWindow() override { Destroy(); }

    void Forget(const TrayIcon* icon) {
        if (clicked_ == icon) clicked_ = nullptr;
    }

private:
    TrayCallbackWindow() {
        if (!CreateWindowOf({CallbackClassName}, {.Style = WS_POPUP, .ExStyle = WS_EX_TOOLWINDOW})) return;
        // An elevated copy must still hear a restarted Explorer.
        if (!ChangeWindowMessageFilterEx(Handle(), TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr)) {
            LogLastError(L"ChangeWindowMessageFilterEx", L"TaskbarCreated");
        }
    }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case TrayCallbackMessage: OnIconMessage(static_cast<UINT>(wp), LOWORD(lp)); return 0;
        case SingleClickDoneMessage: OnSingleClickDone(); return 0;
        case WM_TIMER: OnTimer(static_cast<UINT>(wp)); return 0;
        default:
            if (msg == TaskbarCreatedMessage()) {
                OnTaskbarCreated();
                return 0;
            }
            return Window::HandleMessage(msg, wp, lp);
        }
    }

    void OnIconMessage(UINT number, UINT mouseMessage) {
        TrayIcon* icon = FindIcon(number);
        if (!icon) return;
        clicked_ = icon;
        icon->Dispatch(mouseMessage);
    }

    void OnSingleClickDone() {
        if (clicked_) clicked_->SingleClickDone();
    }

    void OnTimer(UINT number) {
        if (TrayIcon* icon = FindIcon(number)) icon->Retry();
    }

    void OnTaskbarCreated() {
        // The owner's handlers may create icons, so each is looked up again.
        std::vector<UINT> numbers;
        for (const auto& entry : IconTable()) numbers.push_back(entry.first);
        for (const UINT number : numbers) {
            if (TrayIcon* icon = FindIcon(number)) icon->AreaRecreated();
        }
    }

    TrayIcon* clicked_ = nullptr;
};

std::string CutTipHelp(const std::string& utf8) {
    const std::wstring wide = Widen(utf8);
    const int size = WideCharToMultiByte(ShiftJisCodePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                         0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(ShiftJisCodePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size,
                        nullptr, nullptr);
    std::size_t kept = 0;
    while (kept < bytes.size()) {
        const std::size_t next = kept + (IsDBCSLeadByteEx(ShiftJisCodePage, static_cast<BYTE>(bytes[kept])) ? 2 : 1);
        if (next > TipHelpMaxBytes) break;
        kept = next;
    }
    const int length = MultiByteToWideChar(ShiftJisCodePage, 0, bytes.data(), static_cast<int>(kept), nullptr, 0);
    std::wstring cut(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(ShiftJisCodePage, 0, bytes.data(), static_cast<int>(kept), cut.data(), length);
    return Narrow(cut);
}

TrayIcon::TrayIcon(ShellCall shell, TrayRetry retry) : shell_(std::move(shell)), retry_(std::move(retry)) {
    auto& table = IconTable();
    // Numbers are not reused while a later instance lives.
    number_ = table.empty() ? 1 : table.back().first + 1;
    if (table.size() >= MaxTrayIcons) throw TrayIconError();
    table.emplace_back(number_, this);
    data_.cbSize = sizeof data_;
    data_.uID = number_;
    data_.uCallbackMessage = TrayCallbackMessage;
    data_.hWnd = TrayCallbackWindow::Instance().Handle();
}

TrayIcon::~TrayIcon() {
    StopRetry();
    if (added_) Delete();
    std::erase_if(IconTable(), [this](const auto& entry) { return entry.second == this; });
    TrayCallbackWindow::Instance().Forget(this);
}

void TrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible && icon_.get() != nullptr;
    if (visible_) {
        Add();
        return;
    }
    StopRetry();
    if (added_) Delete();
}

void TrayIcon::SetIcon(HICON icon) {
    if (icon == nullptr) {
        icon_ = OwnedIcon();
        iconSource_ = nullptr;
        SetVisible(false);
        return;
    }
    if (icon == iconSource_) return;
    icon_ = OwnedIcon(CopyIcon(icon));
    iconSource_ = icon;
    if (added_) Modify();
}

void TrayIcon::SetTipHelp(const std::string& utf8) {
    std::string cut = CutTipHelp(utf8);
    if (cut == tipHelp_) return;
    tipHelp_ = std::move(cut);
    if (added_) Modify();
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    balloonTitle_ = Widen(title);
    balloonText_ = Widen(text);
    if (added_) ShowPendingBalloon();
}

void TrayIcon::ShowPendingBalloon() {
    if (balloonText_.empty()) return;
    Refresh();
    CopyCut(balloonTitle_, data_.szInfoTitle);
    CopyCut(balloonText_, data_.szInfo);
    data_.dwInfoFlags = NIIF_INFO;
    data_.uFlags |= NIF_INFO;
    if (!Shell(NIM_MODIFY)) LogError(L"Shell_NotifyIconW", L"NIM_MODIFY with a balloon", lastError_);
    balloonText_.clear();
}

void TrayIcon::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled_) clickPending_ = false;
}

void TrayIcon::Refresh() {
    data_.hIcon = icon_.get();
    CopyCut(Widen(tipHelp_), data_.szTip);
    data_.uFlags = NIF_MESSAGE | NIF_ICON | (tipHelp_.empty() ? 0 : NIF_TIP);
}

bool TrayIcon::Shell(DWORD message) {
    // The shell does not always set an error; a stale one would mislead the log.
    SetLastError(ERROR_SUCCESS);
    if (shell_(message, &data_)) return true;
    lastError_ = GetLastError();
    return false;
}

void TrayIcon::Add() {
    Refresh();
    if (Shell(NIM_ADD)) {
        Shown();
    } else {
        Refused(NIM_ADD);
    }
}

void TrayIcon::Modify() {
    Refresh();
    if (Shell(NIM_MODIFY)) return;
    // A modify fails when the notification area was re-created without our icon.
    LogError(L"Shell_NotifyIconW", L"NIM_MODIFY, icon " + std::to_wstring(number_) + L"; adding it again",
             lastError_);
    Add();
}

void TrayIcon::Delete() {
    added_ = false;
    if (!Shell(NIM_DELETE)) {
        LogError(L"Shell_NotifyIconW", L"NIM_DELETE, icon " + std::to_wstring(number_), lastError_);
    }
}

void TrayIcon::AreaRecreated() {
    // The new area holds none of our icons: pictures set now are only kept.
    added_ = false;
    if (OnAreaRecreated) OnAreaRecreated();
    if (!visible_) return;
    Refresh();
    // The announcement also comes while the icon is still there (a DPI change).
    if (Shell(NIM_ADD) || Shell(NIM_MODIFY)) {
        Shown();
    } else {
        Refused(NIM_MODIFY);
    }
}

void TrayIcon::Retry() {
    // A timer message may still arrive after the retry has stopped.
    if (!retrying_) return;
    Refresh();
    if (Shell(NIM_ADD)) {
        Shown();
        return;
    }
    if (told_ || std::chrono::steady_clock::now() - refusedSince_ < retry_.TellAfter) return;
    // Set first: the box runs a message loop in which the timer goes on.
    told_ = true;
    retry_.Tell();
}

void TrayIcon::Shown() {
    added_ = true;
    ShowPendingBalloon();
    if (!retrying_) return;
    StopRetry();
    LogText(L"Shell_NotifyIconW: icon " + std::to_wstring(number_) + L" added on a retry");
}

void TrayIcon::Refused(DWORD message) {
    added_ = false;
    if (retrying_) return;
    // Only the first refusal of a run is logged; the retries would fill the log.
    LogError(L"Shell_NotifyIconW",
             ShellMessageName(message) + L", icon " + std::to_wstring(number_) + L"; retrying every " +
                 std::to_wstring(retry_.Interval.count()) + L" ms",
             lastError_);
    refusedSince_ = std::chrono::steady_clock::now();
    told_ = false;
    retrying_ = SetTimer(data_.hWnd, number_, static_cast<UINT>(retry_.Interval.count()), nullptr) != 0;
    if (retrying_) return;
    LogLastError(L"SetTimer", L"tray icon retry");
    retry_.Tell();
}

void TrayIcon::StopRetry() {
    if (!retrying_) return;
    retrying_ = false;
    if (!KillTimer(data_.hWnd, number_)) LogLastError(L"KillTimer", L"tray icon retry");
}

void TrayIcon::Dispatch(UINT mouseMessage) {
    if (!enabled_) return;
    POINT at{};
    GetCursorPos(&at);
    switch (mouseMessage) {
    case WM_MOUSEMOVE:
        if (OnMouseMove) OnMouseMove(at);
        break;
    case WM_LBUTTONDOWN: ButtonDown(MouseButton::Left, LBPopupMenu(), at); break;
    case WM_LBUTTONUP:
        if (OnMouseUp) {
            OnMouseUp(MouseButton::Left, at);
        } else {
            LeftButtonUp();
        }
        break;
    case WM_LBUTTONDBLCLK:
        clickPending_ = true;
        if (OnDblClick) OnDblClick();
        break;
    case WM_RBUTTONDOWN: ButtonDown(MouseButton::Right, RBPopupMenu(), at); break;
    case WM_RBUTTONUP:
        if (OnMouseUp) OnMouseUp(MouseButton::Right, at);
        break;
    case WM_MBUTTONDOWN:
        if (OnMouseDown) OnMouseDown(MouseButton::Middle, at);
        break;
    case WM_MBUTTONUP:
        if (OnMouseUp) OnMouseUp(MouseButton::Middle, at);
        break;
    default: break;
    }
}

void TrayIcon::ButtonDown(MouseButton button, const std::shared_ptr<TrayMenu>& menu, POINT at) {
    if (menu && AutoPopup) {
        menu->Popup();
    } else if (OnMouseDown) {
        OnMouseDown(button, at);
    }
}

void TrayIcon::LeftButtonUp() {
    if (!OnClick || clickPending_) {
        // The release that ends a double click, or nobody to tell.
        clickPending_ = false;
        return;
    }
    clickPending_ = true;
    const DWORD delay = GetDoubleClickTime() + SingleClickMargin;
    const HWND window = data_.hWnd;
    std::thread([window, delay] {
        Sleep(delay);
        PostMessageW(window, SingleClickDoneMessage, 0, 0);
    }).detach();
}

void TrayIcon::SingleClickDone() {
    const bool click = OnClick && clickPending_;
    clickPending_ = false;
    if (click) OnClick();
}

}  // namespace rm::win
