// The dialog base: a modeless dialog's keys in every loop the thread runs,
// and a change of the screen's scale followed.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "about_box.h"
#include "dialog.h"
#include "handles.h"
#include "icon_size.h"
#include "memo_windows.h"
#include "notice_window.h"
#include "platform_ports.h"
#include "pump.h"
#include "resource.h"

namespace rm::win {
namespace {

using Steps = std::vector<std::function<void()>>;

// The key as the keyboard would put it into the queue, to the control with the focus.
void Press(WPARAM key) { PostMessageW(GetFocus(), WM_KEYDOWN, key, 1); }

// 簡易メモ受信 with a memo and a notice beside it, as a datagram leaves them,
// counting what their buttons do.
struct Scene {
    // Stands for the panel, which owns the boxes and the notices.
    OwnedWindow owner{CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)};
    int closed = 0, hidden = 0, dismissed = 0;
    MemoReceiveWindow memo{[this] { ++closed; }, [this] { ++hidden; }};
    NoticeWindow notice{IDI_INFORMATION, [this] { ++dismissed; }};

    Scene() {
        memo.Create(nullptr);
        MemoReceiveView memoView;
        memoView.Shown = true;
        memoView.Lines = {"-----------------------------", "192.0.2.20:(12:00:00)", "おはよう", ""};
        memoView.Added = memoView.Lines.size();
        memo.Render(memoView);
        NoticeView noticeView;
        noticeView.Shown = true;
        noticeView.Text = "簡易メモのデータが届きました";
        notice.Render(owner.get(), noticeView);
    }

    HWND MemoControl(int id) const { return GetDlgItem(memo.Handle(), id); }

    // What the user does, step by step; each step finds the keys of the one
    // before handled.
    Steps Keys() {
        return {
            [this] {
                SetFocus(MemoControl(IDC_MEMO_RECEIVED));
                Press(VK_TAB);
            },
            [this] {
                EXPECT_EQ(GetFocus(), MemoControl(IDC_MEMO_CLOSE)) << "Tab moves on to 閉じる";
                Press(VK_RETURN);
            },
            [this] {
                EXPECT_EQ(closed, 1) << "Enter presses 閉じる";
                Press(VK_ESCAPE);
            },
            [this] {
                EXPECT_EQ(hidden, 1) << "Esc closes the window";
                ASSERT_TRUE(notice.Handle());
                SetFocus(GetDlgItem(notice.Handle(), IDOK));
                Press(VK_RETURN);
            },
            [this] {
                EXPECT_EQ(dismissed, 1) << "Enter presses OK in the notice";
                EXPECT_EQ(notice.Handle(), nullptr);
            },
        };
    }
};

// Runs steps from a timer while Windows runs the modal loop of a box or a
// dialog, the first once the box is on screen (the dialog manager shows it
// when the queue first runs empty, and activates it then). A timer's message
// comes only when no other waits, so each step finds the keys of the one
// before handled.
class ModalScript {
public:
    ModalScript(const wchar_t* caption, Steps steps) : caption_(caption), steps_(std::move(steps)) {
        running_ = this;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~ModalScript() {
        KillTimer(nullptr, timer_);
        running_ = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript& self = *running_;
        if (!IsWindowVisible(FindWindowW(L"#32770", self.caption_))) return;
        if (self.next_ < self.steps_.size()) self.steps_[self.next_++]();
    }

    static inline ModalScript* running_ = nullptr;
    const wchar_t* caption_;
    Steps steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// The steps, then the box or dialog of that caption closed with OK.
void RunUnder(const wchar_t* caption, const std::function<void()>& open, Steps steps) {
    steps.push_back([caption] { PostMessageW(FindWindowW(L"#32770", caption), WM_COMMAND, IDOK, 0); });
    const ModalScript script(caption, std::move(steps));
    open();
}

TEST(ModelessDialogKeys, TabEnterAndEscWorkInTheMainLoop) {
    Scene scene;
    for (const auto& step : scene.Keys()) {
        step();
        PostQuitMessage(0);
        RunMessageLoop();
    }
}

TEST(ModelessDialogKeys, TabEnterAndEscWorkWhileABoxOrADialogIsOpen) {
    {
        SCOPED_TRACE("a message box");
        Scene scene;
        const auto box = [&] { MessageBoxW(scene.owner.get(), L"テスト", L"ボックスのテスト", MB_OK); };
        RunUnder(L"ボックスのテスト", box, scene.Keys());
    }
    {
        SCOPED_TRACE("a dialog of ours");
        Scene scene;
        RunUnder(L"バージョン情報", [&] { ShowAboutBox(scene.owner.get(), "2.04", nullptr); }, scene.Keys());
    }
}

// Text as the keyboard types it: to the focus of the active window.
void Type(const std::wstring& text) {
    std::vector<INPUT> keys(2 * text.size(), INPUT{INPUT_KEYBOARD});
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i].ki.wScan = text[i / 2];
        keys[i].ki.dwFlags = KEYEVENTF_UNICODE | (i % 2 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

TEST(Notice, AMemoArrivingWhileTheUserTypesLeavesTheFocusAndTheTextWhereTheyWere) {
    // Stands for the panel, which owns the send window and the notices.
    const OwnedWindow owner{CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                            nullptr, nullptr)};
    int dismissed = 0;
    NoticeWindow notice{IDI_INFORMATION, [&] { ++dismissed; }};
    const MemoSendView view{.Open = true};
    MemoSendDialog send{view, [](auto&, auto&) {}, [](auto&, auto&) {}};
    HWND dialog = nullptr, active = nullptr;
    std::wstring typed;
    RunUnder(L"簡易メモ送信", [&] { send.Show(owner.get()); },
             {[&] {
                  dialog = FindWindowW(L"#32770", L"簡易メモ送信");
                  SetFocus(GetDlgItem(dialog, IDC_MEMO_TEXT));
                  Type(L"あい");
              },
              [&] {
                  notice.Render(owner.get(), {.Shown = true, .Text = "192.0.2.20 から簡易メモ 1 件"});
                  Type(L"う\r");
              },
              [&] {
                  typed = TextOf(GetDlgItem(dialog, IDC_MEMO_TEXT));
                  active = GetActiveWindow();
                  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
              }});
    EXPECT_EQ(typed, L"あいう\r\n");
    EXPECT_EQ(active, dialog);
    EXPECT_EQ(dismissed, 0);
    ASSERT_TRUE(notice.Handle() && IsWindowVisible(notice.Handle()));
    // At the notification area's corner (bottom right without a taskbar), not in the middle.
    RECT placed{};
    GetWindowRect(notice.Handle(), &placed);
    MONITORINFO screen{sizeof screen};
    GetMonitorInfoW(MonitorFromWindow(notice.Handle(), MONITOR_DEFAULTTOPRIMARY), &screen);
    EXPECT_GT(placed.left, (screen.rcWork.left + screen.rcWork.right) / 2);
    EXPECT_GT(placed.top, (screen.rcWork.top + screen.rcWork.bottom) / 2);
}

struct Look {
    RECT window{}, client{}, button{};
    LONG fontHeight = 0;
    SIZE smallIcon{}, bigIcon{};
};

Look LookAt(HWND dialog, int button) {
    Look look;
    GetWindowRect(dialog, &look.window);
    GetClientRect(dialog, &look.client);
    GetWindowRect(GetDlgItem(dialog, button), &look.button);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&look.button), 2);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, button, WM_GETFONT, 0, 0)), sizeof font, &font);
    look.fontHeight = font.lfHeight;
    look.smallIcon = IconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)));
    look.bigIcon = IconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0)));
    return look;
}

// Windows suggests the window's rectangle at the new scale; moved a little,
// as when the window crosses onto the other screen.
RECT Suggested(const RECT& window, UINT from, UINT to) {
    const LONG left = window.left + 40, top = window.top + 30;
    return {left, top, left + MulDiv(window.right - window.left, static_cast<int>(to), static_cast<int>(from)),
            top + MulDiv(window.bottom - window.top, static_cast<int>(to), static_cast<int>(from))};
}

void ExpectScaled(const Look& before, const Look& after, const RECT& suggested, UINT to) {
    EXPECT_EQ(after.window.left, suggested.left);
    EXPECT_EQ(after.window.top, suggested.top);
    EXPECT_EQ(after.window.right, suggested.right);
    EXPECT_EQ(after.window.bottom, suggested.bottom);
    // The controls keep their places in the client area, a pixel apart at most.
    EXPECT_NEAR(after.button.left, MulDiv(before.button.left, after.client.right, before.client.right), 1);
    EXPECT_NEAR(after.button.right, MulDiv(before.button.right, after.client.right, before.client.right), 1);
    EXPECT_NEAR(after.button.top, MulDiv(before.button.top, after.client.bottom, before.client.bottom), 1);
    EXPECT_NEAR(after.button.bottom, MulDiv(before.button.bottom, after.client.bottom, before.client.bottom), 1);
    EXPECT_EQ(after.smallIcon.cx, GetSystemMetricsForDpi(SM_CXSMICON, to));
    EXPECT_EQ(after.bigIcon.cx, GetSystemMetricsForDpi(SM_CXICON, to));
}

TEST(DialogDpi, ADialogMovedToAScreenOfAnotherScaleTakesItsRectangleFontAndIcons) {
    const struct {
        const char* name;
        // Opens the dialog, hands it to the step and closes it.
        void (*open)(const std::function<void(HWND)>& step);
        int control;
        // The new scale as a fraction of the old.
        UINT times, per;
        // The control's own font in pixels at 100 %; 0 for the template's.
        int ownFont;
    } cases[] = {
        {"簡易メモ受信",
         [](const std::function<void(HWND)>& step) {
             Scene scene;
             step(scene.memo.Handle());
         },
         IDC_MEMO_CLOSE, 3, 2, 0},
        {"バージョン情報, with fonts of its own",
         [](const std::function<void(HWND)>& step) {
             RunUnder(L"バージョン情報", [] { ShowAboutBox(nullptr, "2.04", nullptr); },
                      {[&] { step(FindWindowW(L"#32770", L"バージョン情報")); }});
         },
         IDC_ABOUT_VERSION, 2, 1, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Look before, after;
        RECT suggested{};
        UINT from = 0, to = 0;
        c.open([&](HWND dialog) {
            from = GetDpiForWindow(dialog);
            to = from * c.times / c.per;
            before = LookAt(dialog, c.control);
            suggested = Suggested(before.window, from, to);
            SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
            after = LookAt(dialog, c.control);
        });
        RecordProperty("dpi", static_cast<int>(from));
        EXPECT_EQ(before.smallIcon.cx, GetSystemMetricsForDpi(SM_CXSMICON, from));
        ExpectScaled(before, after, suggested, to);
        // The template's font scaled, or the dialog's own made anew for the scale.
        EXPECT_EQ(after.fontHeight, c.ownFont ? -MulDiv(c.ownFont, static_cast<int>(to), USER_DEFAULT_SCREEN_DPI)
                                              : MulDiv(before.fontHeight, static_cast<int>(to), static_cast<int>(from)));
    }
}

}  // namespace
}  // namespace rm::win
