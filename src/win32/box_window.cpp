#include "box_window.h"

#include <algorithm>
#include <list>
#include <memory>
#include <utility>
#include <vector>

#include "diagnostics.h"
#include "dialog.h"
#include "message_box.h"
#include "wide.h"

namespace rm::win {
namespace {

// The control ids of the system's message box.
constexpr int TextId = 0xFFFF;
constexpr int IconId = 0x0440;

// Pixels at 100 %.
constexpr int Margin = 12;
constexpr int ButtonWidth = 75, ButtonHeight = 23, ButtonGap = 8;

constexpr DWORD BoxStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// The frame only: the controls are made once the text is measured.
struct BoxFrame {
    DLGTEMPLATE frame;
    WORD menu, windowClass, title, pointSize;
    wchar_t font[13];
};
alignas(DWORD) constexpr BoxFrame BoxTemplate{{BoxStyle, 0, 0, 0, 0, 100, 40}, 0, 0, 0, 9, L"MS Shell Dlg"};

LPCWSTR SystemIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Warning: return IDI_WARNING;
    case BoxIcon::Error: return IDI_ERROR;
    case BoxIcon::Question: return IDI_QUESTION;
    case BoxIcon::None: break;
    }
    return nullptr;
}

UINT BeepOf(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Warning: return MB_ICONWARNING;
    case BoxIcon::Error: return MB_ICONERROR;
    case BoxIcon::Question: return MB_ICONQUESTION;
    case BoxIcon::None: break;
    }
    return MB_OK;
}

class BoxWindow : public Dialog {
public:
    // Boxes up before it: each new one goes a caption's height lower and to
    // the right, so that none hides another.
    BoxWindow(BoxContent content, int before)
        : Dialog({0, 0, 0, &BoxTemplate.frame}), content_(std::move(content)), before_(before) {}
    ~BoxWindow() override { Destroy(); }

    bool Open(HWND owner);
    void Join(std::function<void(bool)> answered) {
        if (answered) answered_.push_back(std::move(answered));
    }
    const BoxContent& Content() const { return content_; }

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Build();
    HWND AddControl(const wchar_t* kind, const std::wstring& text, DWORD style, int id);
    SIZE TextSize(const std::wstring& text, int maxWidth);
    void Answer(bool yes);

    BoxContent content_;
    int before_;
    std::vector<std::function<void(bool)>> answered_;
};

thread_local std::list<std::unique_ptr<BoxWindow>> boxes;

bool BoxWindow::Open(HWND owner) {
    if (!CreateModeless(owner)) return false;
    MessageBeep(BeepOf(content_.Icon));
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    return true;
}

INT_PTR BoxWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        Build();
        // The focus is on the first button already.
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
        case IDYES: Answer(true); return TRUE;
        case IDNO: Answer(false); return TRUE;
        // Esc and the close button: a question needs its answer.
        case IDCANCEL:
            if (content_.Buttons == BoxButtons::Ok) Answer(true);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

HWND BoxWindow::AddControl(const wchar_t* kind, const std::wstring& text, DWORD style, int id) {
    const HWND control = CreateWindowExW(0, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Handle(),
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(Handle(), WM_GETFONT, 0, 0), FALSE);
    return control;
}

SIZE BoxWindow::TextSize(const std::wstring& text, int maxWidth) {
    const HDC dc = GetDC(Handle());
    const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    RECT r{0, 0, maxWidth, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, before);
    ReleaseDC(Handle(), dc);
    return {r.right, r.bottom};
}

// Laid out as the system's box: the icon, the text beside it, the buttons
// centred under both; the whole in the middle of the screen.
void BoxWindow::Build() {
    SetWindowTextW(Handle(), Widen(content_.Caption).c_str());
    MONITORINFO screen{sizeof screen};
    GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &screen);
    const RECT work = screen.rcWork;
    const int margin = Scale(Margin);

    int textLeft = margin, contentHeight = 0;
    if (const LPCWSTR icon = SystemIcon(content_.Icon)) {
        const int size = GetSystemMetricsForDpi(SM_CXICON, Dpi());
        const HWND picture = AddControl(L"STATIC", L"", SS_ICON, IconId);
        SendMessageW(picture, STM_SETICON,
                     reinterpret_cast<WPARAM>(LoadImageW(nullptr, icon, IMAGE_ICON, size, size, LR_SHARED)), 0);
        MoveWindow(picture, margin, margin, size, size, FALSE);
        textLeft += size + margin;
        contentHeight = size;
    }
    const std::wstring text = BoxText(content_.Text);
    const SIZE textSize = TextSize(text, (work.right - work.left) * 3 / 5);
    const HWND label = AddControl(L"STATIC", text, SS_LEFT | SS_NOPREFIX, TextId);
    MoveWindow(label, textLeft, margin + std::max(0, (contentHeight - static_cast<int>(textSize.cy)) / 2),
               textSize.cx, textSize.cy, FALSE);
    contentHeight = std::max(contentHeight, static_cast<int>(textSize.cy));

    struct Button {
        const wchar_t* caption;
        int id;
    };
    const std::vector<Button> buttons = content_.Buttons == BoxButtons::Ok
                                            ? std::vector<Button>{{L"OK", IDOK}}
                                            : std::vector<Button>{{L"はい(&Y)", IDYES}, {L"いいえ(&N)", IDNO}};
    const int count = static_cast<int>(buttons.size());
    const int rowWidth = count * Scale(ButtonWidth) + (count - 1) * Scale(ButtonGap);
    const int width = std::max(textLeft + static_cast<int>(textSize.cx), rowWidth + margin) + margin;
    const int rowTop = margin + contentHeight + margin;
    int left = (width - rowWidth) / 2;
    for (const Button& button : buttons) {
        const bool first = button.id == buttons.front().id;
        const HWND control =
            AddControl(L"BUTTON", button.caption, WS_TABSTOP | (first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), button.id);
        MoveWindow(control, left, rowTop, Scale(ButtonWidth), Scale(ButtonHeight), FALSE);
        if (first) {
            SendMessageW(Handle(), DM_SETDEFID, static_cast<WPARAM>(button.id), 0);
            SetFocus(control);
        }
        left += Scale(ButtonWidth) + Scale(ButtonGap);
    }
    if (content_.Buttons == BoxButtons::YesNo) EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_GRAYED);

    RECT frame{0, 0, width, rowTop + Scale(ButtonHeight) + margin};
    AdjustWindowRectExForDpi(&frame, BoxStyle, FALSE, 0, Dpi());
    const int outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
    const int step = GetSystemMetricsForDpi(SM_CYCAPTION, Dpi()) * (before_ % 8);
    SetWindowPos(Handle(), HWND_TOP, (work.left + work.right - outerWidth) / 2 + step,
                 (work.top + work.bottom - outerHeight) / 2 + step, outerWidth, outerHeight, SWP_NOACTIVATE);
}

// The box is gone before its askers hear: one that shows the same text again
// opens a new box.
void BoxWindow::Answer(bool yes) {
    const auto answered = std::move(answered_);
    boxes.remove_if([this](const std::unique_ptr<BoxWindow>& box) { return box.get() == this; });
    for (const auto& tell : answered) tell(yes);
}

}  // namespace

void ShowBox(HWND owner, const BoxContent& content, std::function<void(bool yes)> answered) {
    boxes.remove_if([](const std::unique_ptr<BoxWindow>& box) { return !box->Handle(); });
    const auto up = std::find_if(boxes.begin(), boxes.end(),
                                 [&](const std::unique_ptr<BoxWindow>& box) { return box->Content() == content; });
    if (up != boxes.end()) {
        (*up)->Join(std::move(answered));
        return;
    }
    auto box = std::make_unique<BoxWindow>(content, static_cast<int>(boxes.size()));
    if (!box->Open(owner)) {
        LogText(L"box not shown: " + Widen(content.Text));
        if (answered) answered(false);
        return;
    }
    box->Join(std::move(answered));
    boxes.push_back(std::move(box));
}

void CloseAllBoxes() { boxes.clear(); }

}  // namespace rm::win
