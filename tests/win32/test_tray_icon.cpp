#include "tray_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <thread>
#include <vector>

#include "app_messages.h"
#include "pump.h"
#include "tray_icon_loader.h"
#include "wide.h"

namespace rm::win {
namespace {

// The notification area as the icon sees it: every call recorded, answers scripted.
struct FakeShell {
    struct Call {
        DWORD message;
        UINT id;
        HWND window;
        UINT flags;
        bool hasIcon;
        std::wstring tip;
        HICON icon;
        std::wstring infoTitle, info;
    };
    std::vector<Call> calls;
    std::deque<BOOL> answers;
    BOOL otherwise = TRUE;  // once the scripted answers are used up

    TrayIcon::ShellCall Hook() {
        return [this](DWORD message, NOTIFYICONDATAW* data) {
            calls.push_back(
                {message, data->uID, data->hWnd, data->uFlags, data->hIcon != nullptr, data->szTip, data->hIcon,
                 data->uFlags & NIF_INFO ? data->szInfoTitle : L"", data->uFlags & NIF_INFO ? data->szInfo : L""});
            if (answers.empty()) return otherwise;
            const BOOL answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> messages;
        for (const Call& call : calls) messages.push_back(call.message);
        return messages;
    }
};

HICON ProgramIcon() { return LoadIconW(nullptr, IDI_APPLICATION); }
HICON OtherIcon() { return LoadIconW(nullptr, IDI_INFORMATION); }

constexpr std::chrono::milliseconds QuickInterval(20);

void PumpFor(std::chrono::milliseconds time) {
    const auto until = std::chrono::steady_clock::now() + time;
    PumpUntil([&] { return std::chrono::steady_clock::now() >= until; });
}

struct TrayIconTest : ::testing::Test {
    FakeShell shell;
    int tells = 0;

    // Retries at test speed; the user is told only after tellAfter.
    TrayRetry QuickRetry(std::chrono::milliseconds tellAfter = std::chrono::hours(1)) {
        return {QuickInterval, tellAfter, [this] { ++tells; }};
    }

    // An icon in the notification area; returns its callback window.
    HWND AddIcon(TrayIcon& tray) {
        tray.SetIcon(ProgramIcon());
        tray.SetVisible(true);
        EXPECT_TRUE(tray.Added());
        return shell.calls.back().window;
    }

    static void Mouse(HWND window, const TrayIcon& tray, UINT mouseMessage) {
        SendMessageW(window, TrayCallbackMessage, tray.Number(), mouseMessage);
    }
};

TEST_F(TrayIconTest, NumbersAreNotReusedWhileALaterInstanceLives) {
    auto first = std::make_unique<TrayIcon>(shell.Hook());
    auto second = std::make_unique<TrayIcon>(shell.Hook());
    EXPECT_EQ(first->Number(), 1u);
    EXPECT_EQ(second->Number(), 2u);
    first.reset();
    TrayIcon third(shell.Hook());
    EXPECT_EQ(third.Number(), 3u);
}

TEST_F(TrayIconTest, AtMostOneHundredInstancesLive) {
    std::vector<std::unique_ptr<TrayIcon>> icons;
    for (int i = 0; i < MaxTrayIcons; ++i) icons.push_back(std::make_unique<TrayIcon>(shell.Hook()));
    try {
        TrayIcon extra(shell.Hook());
        FAIL() << "the 101st icon was created";
    } catch (const TrayIconError& e) {
        EXPECT_STREQ(e.what(), "タスクトレイにアイコンを登録できません。");
    }
    icons.erase(icons.begin());
    EXPECT_NO_THROW(TrayIcon again(shell.Hook()));
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(TrayIconTest, VisibleNeedsAnIconAndAddsOnce) {
    TrayIcon tray(shell.Hook());
    EXPECT_FALSE(tray.Visible());
    tray.SetVisible(true);
    EXPECT_FALSE(tray.Visible());
    EXPECT_TRUE(shell.calls.empty());

    // Changes while not added are only stored; the add carries them.
    tray.SetIcon(ProgramIcon());
    tray.SetTipHelp("Routavista Monitor");
    EXPECT_TRUE(shell.calls.empty());
    tray.SetVisible(true);
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    const FakeShell::Call& add = shell.calls[0];
    EXPECT_EQ(add.id, tray.Number());
    EXPECT_NE(add.window, nullptr);
    EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_TRUE(add.hasIcon);
    EXPECT_EQ(add.tip, L"Routavista Monitor");
    EXPECT_TRUE(tray.Added());

    tray.SetVisible(true);
    tray.SetIcon(ProgramIcon());
    tray.SetTipHelp("Routavista Monitor");
    EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(TrayIconTest, ChangesWhileAddedModifyAndHidingDeletes) {
    auto tray = std::make_unique<TrayIcon>(shell.Hook());
    AddIcon(*tray);
    tray->SetIcon(OtherIcon());
    tray->SetTipHelp("ISP1 115200bpsで接続中");
    tray->SetVisible(false);
    EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY, NIM_DELETE}));
    EXPECT_EQ(shell.calls[2].tip, L"ISP1 115200bpsで接続中");
    EXPECT_FALSE(tray->Added());

    // Clearing the icon hides it; destroying an added icon removes it.
    tray->SetVisible(true);
    tray->SetIcon(nullptr);
    EXPECT_FALSE(tray->Visible());
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    tray->SetIcon(ProgramIcon());
    tray->SetVisible(true);
    const std::size_t before = shell.calls.size();
    tray.reset();
    ASSERT_EQ(shell.calls.size(), before + 1);
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, ABalloonWaitsForTheIconAndIsShownOnce) {
    TrayIcon tray(shell.Hook());
    tray.ShowBalloon("Routavista Monitor", "通知領域で動作しています");
    EXPECT_TRUE(shell.calls.empty());
    AddIcon(tray);
    ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    EXPECT_EQ(shell.calls[0].flags & NIF_INFO, 0u);
    EXPECT_EQ(shell.calls[1].flags & NIF_INFO, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(shell.calls[1].infoTitle, L"Routavista Monitor");
    EXPECT_EQ(shell.calls[1].info, L"通知領域で動作しています");
    EXPECT_TRUE(shell.calls[1].hasIcon);
    // Later changes do not show it again.
    tray.SetTipHelp("接続中");
    EXPECT_EQ(shell.calls.back().flags & NIF_INFO, 0u);

    tray.ShowBalloon("t", std::string(300, 'x'));
    EXPECT_EQ(shell.calls.back().info, std::wstring(255, L'x'));
}

TEST_F(TrayIconTest, EmptyTipAddsWithoutTip) {
    TrayIcon tray(shell.Hook());
    tray.SetTipHelp("");
    AddIcon(tray);
    EXPECT_EQ(shell.calls[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
}

TEST_F(TrayIconTest, TipIsCutToSixtyTwoShiftJisBytes) {
    EXPECT_EQ(CutTipHelp(std::string(70, 'x')), std::string(62, 'x'));
    std::string kana;
    for (int i = 0; i < 40; ++i) kana += "接";
    EXPECT_EQ(Widen(CutTipHelp(kana)).size(), 31u);
    // A double-byte character that would end past byte 62 is left out whole.
    EXPECT_EQ(Widen(CutTipHelp("a" + kana)), L"a" + std::wstring(30, L'接'));
    // Half-width katakana take one byte each.
    EXPECT_EQ(CutTipHelp("ﾀﾞｳﾝﾛｰﾄﾞ後切断"), "ﾀﾞｳﾝﾛｰﾄﾞ後切断");

    TrayIcon tray(shell.Hook());
    AddIcon(tray);
    tray.SetTipHelp(std::string(70, 'x'));
    EXPECT_EQ(tray.TipHelp(), std::string(62, 'x'));
    EXPECT_EQ(shell.calls.back().tip, std::wstring(62, L'x'));
    // Equal after the cut: the shell is not called.
    const std::size_t calls = shell.calls.size();
    tray.SetTipHelp(std::string(80, 'x'));
    EXPECT_EQ(shell.calls.size(), calls);
}

TEST_F(TrayIconTest, RefusedAddIsRetriedUntilTheShellTakesIt) {
    TrayIcon tray(shell.Hook(), QuickRetry());
    tray.SetIcon(ProgramIcon());
    shell.otherwise = FALSE;
    EXPECT_NO_THROW(tray.SetVisible(true));
    EXPECT_TRUE(tray.Visible());
    // Not added, so a change is kept for the next add rather than sent.
    tray.SetTipHelp("waiting for the shell");
    EXPECT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    ASSERT_TRUE(PumpUntil([&] { return shell.calls.size() >= 3; }));
    EXPECT_FALSE(tray.Added());

    shell.otherwise = TRUE;
    ASSERT_TRUE(PumpUntil([&] { return tray.Added(); }));
    const std::vector<DWORD> messages = shell.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), NIM_ADD), std::ssize(messages));
    EXPECT_EQ(shell.calls.back().tip, L"waiting for the shell");
    EXPECT_EQ(shell.calls.back().icon, tray.Icon());
    PumpFor(10 * QuickInterval);
    EXPECT_EQ(shell.calls.size(), messages.size());
    EXPECT_EQ(tells, 0);
}

TEST_F(TrayIconTest, RefusedModifyAddsAgainAndFallsBackToTheRetry) {
    TrayIcon tray(shell.Hook(), QuickRetry());
    AddIcon(tray);
    shell.calls.clear();
    shell.answers = {FALSE, TRUE};
    tray.SetTipHelp("after a restart of the shell");
    EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD}));
    EXPECT_TRUE(tray.Added());

    shell.calls.clear();
    shell.answers = {FALSE, FALSE};
    EXPECT_NO_THROW(tray.SetTipHelp("refused"));
    EXPECT_FALSE(tray.Added());
    ASSERT_TRUE(PumpUntil([&] { return tray.Added(); }));
    EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD, NIM_ADD}));
    EXPECT_EQ(shell.calls.back().tip, L"refused");
}

TEST_F(TrayIconTest, RefusalsThatLastAreToldOncePerRunAndANewAreaEndsThem) {
    constexpr std::chrono::milliseconds tellAfter(500);
    TrayIcon tray(shell.Hook(), QuickRetry(tellAfter));
    tray.SetIcon(ProgramIcon());
    shell.otherwise = FALSE;
    const auto start = std::chrono::steady_clock::now();
    tray.SetVisible(true);
    ASSERT_TRUE(PumpUntil([&] { return tells == 1; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, tellAfter);
    // Told once; the retries go on.
    const std::size_t calls = shell.calls.size();
    PumpFor(tellAfter);
    EXPECT_EQ(tells, 1);
    EXPECT_GT(shell.calls.size(), calls);

    shell.otherwise = TRUE;
    ASSERT_TRUE(PumpUntil([&] { return tray.Added(); }));
    shell.otherwise = FALSE;
    tray.SetTipHelp("a later run counts afresh");
    PumpFor(tellAfter / 4);
    EXPECT_EQ(tells, 1);
    ASSERT_TRUE(PumpUntil([&] { return tells == 2; }));

    shell.otherwise = TRUE;
    SendMessageW(shell.calls.back().window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(tray.Added());
    const std::size_t added = shell.calls.size();
    PumpFor(10 * QuickInterval);
    EXPECT_EQ(shell.calls.size(), added);
}

TEST_F(TrayIconTest, OnlyWhatWasAddedIsDeletedAndHidingOrDestroyingEndsTheRetry) {
    UINT number = 0;
    {
        TrayIcon never(shell.Hook(), QuickRetry());
        never.SetIcon(ProgramIcon());
        TrayIcon added(shell.Hook(), QuickRetry());
        AddIcon(added);
        number = added.Number();
    }
    ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_EQ(shell.calls.back().id, number);

    shell.calls.clear();
    shell.otherwise = FALSE;
    TrayIcon hidden(shell.Hook(), QuickRetry());
    auto destroyed = std::make_unique<TrayIcon>(shell.Hook(), QuickRetry());
    for (TrayIcon* tray : {&hidden, destroyed.get()}) {
        tray->SetIcon(ProgramIcon());
        tray->SetVisible(true);
    }
    ASSERT_TRUE(PumpUntil([&] { return shell.calls.size() >= 4; }));
    hidden.SetVisible(false);
    destroyed.reset();
    const std::size_t calls = shell.calls.size();
    shell.otherwise = TRUE;
    PumpFor(10 * QuickInterval);
    EXPECT_EQ(shell.calls.size(), calls);
    EXPECT_FALSE(hidden.Added());
    const std::vector<DWORD> messages = shell.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), NIM_DELETE), 0);
}

TEST_F(TrayIconTest, NewNotificationAreaGetsTheVisibleIconsBack) {
    TrayIcon shown(shell.Hook());
    TrayIcon hidden(shell.Hook());
    hidden.SetIcon(ProgramIcon());
    const HWND window = AddIcon(shown);
    shell.calls.clear();

    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(shell.calls[0].id, shown.Number());
    EXPECT_TRUE(shown.Added());
    EXPECT_FALSE(hidden.Added());

    // The announcement while the icon is still there: the add fails, a modify does it.
    shell.calls.clear();
    shell.answers = {FALSE, TRUE};
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    EXPECT_TRUE(shown.Added());
}

TEST_F(TrayIconTest, NewNotificationAreaAsksForPicturesBeforeTheIconIsAddedAgain) {
    TrayIcon shown(shell.Hook());
    TrayIcon hidden(shell.Hook());
    const HWND window = AddIcon(shown);
    std::vector<std::size_t> callsBeforeHook;
    shown.OnAreaRecreated = [&] {
        callsBeforeHook.push_back(shell.calls.size());
        shown.SetIcon(OtherIcon());
    };
    int hiddenHooks = 0;
    hidden.OnAreaRecreated = [&] { ++hiddenHooks; };
    shell.calls.clear();

    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(callsBeforeHook, std::vector<std::size_t>{0});
    EXPECT_EQ(hiddenHooks, 1);
    // The new picture goes with the add, not in a modify of an icon not there.
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(shell.calls[0].icon, shown.Icon());
    EXPECT_TRUE(shown.Added());
}

TEST(TrayIconLoaderTest, LoadsTheSmallSizeAndNothingForAMissingIcon) {
    const int application = static_cast<int>(reinterpret_cast<UINT_PTR>(IDI_APPLICATION));
    const OwnedIcon icon = LoadTrayIcon(nullptr, application);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));

    EXPECT_FALSE(LoadTrayIcon(GetModuleHandleW(nullptr), 4242));
}

struct MouseLog {
    int menu1 = 0, menu2 = 0, clicks = 0, doubleClicks = 0;
    std::vector<MouseButton> downs, ups;
};

struct TrayMouseTest : TrayIconTest {
    MouseLog log;
    std::shared_ptr<TrayMenu> menu1 = std::make_shared<TrayMenu>(TrayMenu{[this] { ++log.menu1; }});
    std::shared_ptr<TrayMenu> menu2 = std::make_shared<TrayMenu>(TrayMenu{[this] { ++log.menu2; }});
    TrayIcon tray{shell.Hook()};
    HWND window = nullptr;

    TrayMouseTest() {
        window = AddIcon(tray);
        tray.SetLBPopupMenu(menu1);
        tray.SetRBPopupMenu(menu2);
        tray.OnMouseDown = [this](MouseButton button, POINT) { log.downs.push_back(button); };
    }
    void Mouse(UINT mouseMessage) { TrayIconTest::Mouse(window, tray, mouseMessage); }
};

TEST_F(TrayMouseTest, ButtonDownOpensTheButtonsMenu) {
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_RBUTTONDOWN);
    Mouse(WM_RBUTTONDBLCLK);
    Mouse(WM_MBUTTONDOWN);
    EXPECT_EQ(log.menu1, 1);
    EXPECT_EQ(log.menu2, 1);
    EXPECT_EQ(log.downs, std::vector<MouseButton>{MouseButton::Middle});

    // Swapped, as the settings do it.
    tray.SetLBPopupMenu(menu2);
    tray.SetRBPopupMenu(menu1);
    Mouse(WM_LBUTTONDOWN);
    EXPECT_EQ(log.menu2, 2);
}

TEST_F(TrayMouseTest, WithoutAutoPopupOrMenuTheButtonIsReported) {
    tray.AutoPopup = false;
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_RBUTTONDOWN);
    EXPECT_EQ(log.menu1 + log.menu2, 0);
    EXPECT_EQ(log.downs, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Right}));

    // A destroyed menu is forgotten.
    tray.AutoPopup = true;
    menu1.reset();
    EXPECT_EQ(tray.LBPopupMenu(), nullptr);
    Mouse(WM_LBUTTONDOWN);
    EXPECT_EQ(log.downs.back(), MouseButton::Left);
    EXPECT_EQ(log.downs.size(), 3u);
}

TEST_F(TrayMouseTest, DisabledIconIgnoresTheMouse) {
    tray.OnMouseMove = [this](POINT) { log.downs.push_back(MouseButton::Middle); };
    tray.OnMouseUp = [this](MouseButton button, POINT) { log.ups.push_back(button); };
    tray.SetEnabled(false);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MOUSEMOVE}) {
        Mouse(message);
    }
    EXPECT_EQ(log.menu1 + log.menu2, 0);
    EXPECT_TRUE(log.downs.empty());
    EXPECT_TRUE(log.ups.empty());

    tray.SetEnabled(true);
    Mouse(WM_RBUTTONUP);
    Mouse(WM_MOUSEMOVE);
    EXPECT_EQ(log.ups, std::vector<MouseButton>{MouseButton::Right});
    EXPECT_EQ(log.downs.size(), 1u);
}

TEST_F(TrayMouseTest, MessagesOfAnUnknownIconAreIgnored) {
    SendMessageW(window, TrayCallbackMessage, tray.Number() + 1000, WM_LBUTTONDOWN);
    EXPECT_EQ(log.menu1, 0);
}

// Set once a single-click worker started before has surely ended.
std::shared_ptr<std::atomic<bool>> SettledAfterClickDelay() {
    auto settled = std::make_shared<std::atomic<bool>>(false);
    std::thread([settled] {
        Sleep(2 * (GetDoubleClickTime() + 50));
        *settled = true;
    }).detach();
    return settled;
}

TEST_F(TrayMouseTest, SingleClickIsReportedAfterTheDoubleClickTime) {
    tray.OnClick = [this] { ++log.clicks; };
    tray.OnDblClick = [this] { ++log.doubleClicks; };
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(log.clicks, 0);
    ASSERT_TRUE(PumpUntil([&] { return log.clicks == 1; }));
    EXPECT_EQ(log.doubleClicks, 0);
}

TEST_F(TrayMouseTest, DoubleClickReportsOnlyTheDoubleClick) {
    tray.OnClick = [this] { ++log.clicks; };
    tray.OnDblClick = [this] { ++log.doubleClicks; };
    Mouse(WM_LBUTTONUP);
    Mouse(WM_LBUTTONDBLCLK);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(log.doubleClicks, 1);
    const auto settled = SettledAfterClickDelay();
    ASSERT_TRUE(PumpUntil([&] { return settled->load(); }));
    PumpUntil([] { return true; });
    EXPECT_EQ(log.clicks, 0);
}

TEST_F(TrayMouseTest, DisablingDropsAPendingClick) {
    tray.OnClick = [this] { ++log.clicks; };
    Mouse(WM_LBUTTONUP);
    tray.SetEnabled(false);
    tray.SetEnabled(true);
    const auto settled = SettledAfterClickDelay();
    ASSERT_TRUE(PumpUntil([&] { return settled->load(); }));
    PumpUntil([] { return true; });
    EXPECT_EQ(log.clicks, 0);
}

}  // namespace
}  // namespace rm::win
