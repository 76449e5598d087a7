#include "tray_icon.h"

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "app_messages.h"
#include "diagnostics.h"
#include "wide.h"
#include "window.h"

namespace rm::win {
namespace {

constexpr wchar_t CallbackClassName[] = L"RoutavistaTrayCallback";
constexpr UINT ShiftJisCodePage = 932;
// Past the double-click time, so that a double click never reports a click.
constexpr DWORD SingleClickMargin = 50;

// Icon numbers with their instances, in creation order.
std::vector<std::pair<UINT, TTrayIcon*>>& IconTable() {
    static std::vector<std::pair<UINT, TTrayIcon*>> table;
    return table;
}

TTrayIcon* FindIcon(UINT number) {
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

}  // namespace

// One hidden window receives the mouse messages of every icon. It is
// top-level, not message-only, because "TaskbarCreated" is broadcast.
class TrayCallbackWindow : public Window {
public:
    static TrayCallbackWindow& Instance() {
        static TrayCallbackWindow window;
        return window;
    }

    void Forget(const TTrayIcon* icon) {
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
        default:
            if (msg == TaskbarCreatedMessage()) {
                OnTaskbarCreated();
                return 0;
            }
            return Window::HandleMessage(msg, wp, lp);
        }
    }

    void OnIconMessage(UINT number, UINT mouseMessage) {
        TTrayIcon* icon = FindIcon(number);
        if (!icon) return;
        clicked_ = icon;
        icon->Dispatch(mouseMessage);
    }

    void OnSingleClickDone() {
        if (clicked_) clicked_->SingleClickDone();
    }

    void OnTaskbarCreated() {
        for (const auto& entry : IconTable()) entry.second->Readd();
    }

    TTrayIcon* clicked_ = nullptr;
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

TTrayIcon::TTrayIcon(ShellCall shell) : shell_(std::move(shell)) {
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

TTrayIcon::~TTrayIcon() {
    if (added_) Update(ShellUpdate::Delete);
    std::erase_if(IconTable(), [this](const auto& entry) { return entry.second == this; });
    TrayCallbackWindow::Instance().Forget(this);
}

void TTrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible && icon_.get() != nullptr;
    if (visible_) {
        Update(ShellUpdate::Add);
    } else if (added_) {
        Update(ShellUpdate::Delete);
    }
}

void TTrayIcon::SetIcon(HICON icon) {
    if (icon == nullptr) {
        icon_ = OwnedIcon();
        iconSource_ = nullptr;
        SetVisible(false);
        return;
    }
    if (icon == iconSource_) return;
    icon_ = OwnedIcon(CopyIcon(icon));
    iconSource_ = icon;
    if (added_) Update(ShellUpdate::Modify);
}

void TTrayIcon::SetTipHelp(const std::string& utf8) {
    std::string cut = CutTipHelp(utf8);
    if (cut == tipHelp_) return;
    tipHelp_ = std::move(cut);
    if (added_) Update(ShellUpdate::Modify);
}

void TTrayIcon::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled_) clickPending_ = false;
}

void TTrayIcon::Refresh() {
    data_.hIcon = icon_.get();
    const std::wstring tip = Widen(tipHelp_);
    const std::size_t tipLength = std::min(tip.size(), std::size(data_.szTip) - 1);
    std::copy_n(tip.begin(), tipLength, data_.szTip);
    data_.szTip[tipLength] = L'\0';
    data_.uFlags = NIF_MESSAGE | NIF_ICON | (tip.empty() ? 0 : NIF_TIP);
}

void TTrayIcon::Update(ShellUpdate kind) {
    Refresh();
    switch (kind) {
    case ShellUpdate::Add:
        if (!visible_) return;
        if (!shell_(NIM_ADD, &data_)) throw TrayIconError();
        added_ = true;
        return;
    case ShellUpdate::Modify:
        // A modify fails when the notification area was re-created without our icon.
        if (!shell_(NIM_MODIFY, &data_) && !shell_(NIM_ADD, &data_)) throw TrayIconError();
        return;
    case ShellUpdate::Delete:
        shell_(NIM_DELETE, &data_);
        added_ = false;
        return;
    }
}

void TTrayIcon::Readd() {
    added_ = false;
    if (!visible_) return;
    Refresh();
    // The announcement also comes while the icon is still there (a DPI change).
    if (!shell_(NIM_ADD, &data_) && !shell_(NIM_MODIFY, &data_)) throw TrayIconError();
    added_ = true;
}

void TTrayIcon::Dispatch(UINT mouseMessage) {
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

void TTrayIcon::ButtonDown(MouseButton button, const std::shared_ptr<TrayMenu>& menu, POINT at) {
    if (menu && AutoPopup) {
        menu->Popup();
    } else if (OnMouseDown) {
        OnMouseDown(button, at);
    }
}

void TTrayIcon::LeftButtonUp() {
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

void TTrayIcon::SingleClickDone() {
    const bool click = OnClick && clickPending_;
    clickPending_ = false;
    if (click) OnClick();
}

}  // namespace rm::win
