#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "about_box.h"
#include "app/commands.h"
#include "fakes.h"
#include "form/settings_form.h"
#include "form/settings_save.h"
#include "icon_size.h"
#include "pump.h"
#include "resource.h"
#include "settings/launcher_file.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "settings_dialog.h"
#include "settings_samples.h"
#include "text/cp932.h"

namespace rm::win {
namespace {

using test::FakeMonitor;
using test::ReadBytes;

// The program declares this in its manifest.
const bool perMonitorAware = SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;

HWND ShownDialog(const wchar_t* caption) {
    return WaitFor([caption] {
        const HWND found = FindWindowW(L"#32770", caption);
        return IsWindowVisible(found) ? found : nullptr;
    });
}

std::wstring ClassOf(HWND window) {
    wchar_t kind[32] = {};
    GetClassNameW(window, kind, 32);
    return kind;
}

// "設定" from the menu, with the real dialog, while another thread plays the user.
void OpenWithUser(FakeMonitor& f, std::function<void(HWND dialog)> user) {
    f.dialogs.onSettingsDialog = [](SettingsForm& form, SettingsFormEvents& events) {
        ShowSettingsBox(nullptr, form, events);
    };
    std::thread player([&] {
        if (const HWND dialog = ShownDialog(L"設定")) user(dialog);
    });
    f.Run(MenuClick(f.m, Item::OpenSettings));
    player.join();
}

// The pages by their templates, in the order of the tabs.
constexpr int PageTemplates[] = {IDD_SETTINGS_BASIC, IDD_SETTINGS_NETWORK,       IDD_SETTINGS_SYSLOG,
                                 IDD_SETTINGS_TIME,  IDD_SETTINGS_LAUNCHER,      IDD_SETTINGS_DIALUPWATCHER,
                                 IDD_SETTINGS_SOUND, IDD_SETTINGS_ISPNAMES};

// A control of the dialog or of one of its pages.
HWND Control(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    for (const int page : PageTemplates) control = control ? control : GetDlgItem(GetDlgItem(dialog, page), id);
    return control;
}
void Type(HWND dialog, int id, const wchar_t* text) {
    SendMessageW(Control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
void Click(HWND dialog, int id) { SendMessageW(Control(dialog, id), BM_CLICK, 0, 0); }
bool Checked(HWND dialog, int id) { return SendMessageW(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void ChoosePage(HWND dialog, int page) { SendMessageW(Control(dialog, IDC_OPT_TABS), TCM_SETCURFOCUS, page, 0); }

// What a control lacks to show its text whole in its own font; empty when
// nothing.
std::wstring Misfit(HWND control, UINT dpi) {
    const std::wstring text = TextOf(control);
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT r{};
    GetClientRect(control, &r);
    int room = 0;
    if (ClassOf(control) == L"Button") {
        const LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
        // A check box's box and gap; a push button's edges.
        room = style == BS_AUTOCHECKBOX || style == BS_CHECKBOX ? MulDiv(16, static_cast<int>(dpi), 96)
                                                                 : MulDiv(8, static_cast<int>(dpi), 96);
    }
    const int width = ClassOf(control) == L"Edit" ? 0 : extent.cx + room;
    if (width <= r.right && metrics.tmHeight <= r.bottom) return {};
    return ClassOf(control) + L" " + text + L": needs " + std::to_wstring(width) + L"x" +
           std::to_wstring(metrics.tmHeight) + L", has " + std::to_wstring(r.right) + L"x" + std::to_wstring(r.bottom);
}

struct PageLook {
    std::vector<std::wstring> captions;  // labels, buttons and check boxes, top first
    std::vector<std::wstring> clipped;
};

// What one page shows: every control of its template inside the tabs' page
// area and whole.
PageLook LookAtPage(HWND dialog, int shown) {
    PageLook page;
    const UINT dpi = GetDpiForWindow(dialog);
    const HWND tabs = Control(dialog, IDC_OPT_TABS);
    RECT area{};
    GetClientRect(tabs, &area);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    MapWindowPoints(tabs, dialog, reinterpret_cast<POINT*>(&area), 2);
    for (int i = 0; i < TabCtrl_GetItemCount(tabs); ++i) {
        RECT item{}, tabsClient{};
        TabCtrl_GetItemRect(tabs, i, &item);
        GetClientRect(tabs, &tabsClient);
        if (item.right > tabsClient.right) page.clipped.push_back(L"tab " + std::to_wstring(i));
    }
    const HWND shownPage = GetDlgItem(dialog, PageTemplates[shown]);
    for (HWND child = GetWindow(shownPage, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const bool inside = r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
        if (!inside) page.clipped.push_back(ClassOf(child) + L" " + TextOf(child) + L": outside the page");
        if (const std::wstring misfit = Misfit(child, dpi); !misfit.empty()) page.clipped.push_back(misfit);
        if (ClassOf(child) == L"Static" || ClassOf(child) == L"Button") page.captions.push_back(TextOf(child));
    }
    return page;
}

const std::vector<std::wstring> PageCaptions{L"基本設定", L"ネットワーク", L"SysLog", L"時間設定",
                                             L"ランチャー", L"Dial-Up Watcher", L"サウンド", L"ISP 名称"};

const std::vector<std::vector<std::wstring>> PageControls{
    {L"Routavistaユーティリティの場所", L"参照", L"RoutavistaのIPアドレス", L"シリアルポート2も使用する",
     L"アイコントレイに入っているときのメニューを入れ替える",
     L"接続,切断にRoutavistaのユーティリティを使用しない（無保証）",
     L"ポート１でマルチアカウントを使用する（ポート２は使用できません）"},
    {L"このRoutavista Monitorをマスターに設定する。", L"必ず一台だけ設定してください", L"パソコンのニックネーム",
     L"（空欄ではＩＰアドレスになります。）", L"接続に失敗したときに自動的に電話をかけ直す",
     L"受信をルータとそのネットワークからに限る"},
    {L"SysLogを記録する。", L"SysLogを簡易的に記録する", L"SysLogに時間を付加する", L"SysLogを自動保存する",
     L"メッセージごとに「---」を付加"},
    {L"指定時間に接続する", L"時", L"分", L"指定時間に切断する", L"時", L"分",
     L"指定時間に接続するのはポート1(ISP1)です。"},
    {L"タイトル", L"編集...", L"編集...", L"編集...", L"タイトル", L"編集...", L"編集...", L"編集..."},
    {L"Dial-Up Watcher を使用する。", L"Dial-Up Watcher構成ファイル「dwctrl32.exe」の場所", L"参照",
     L"登録アクセスポイントの名称", L"ISP１", L"ISP２", L"ISP３"},
    {L"接続時", L"参照", L"テスト", L"切断時", L"参照", L"テスト", L"分経過時", L"参照", L"テスト"},
    {L"ISP1 の名称", L"ISP2 の名称", L"ISP3 の名称"},
};

struct Look {
    UINT dpi = 0;
    RECT client{};
    std::wstring saveButton, cancel;
    std::vector<std::wstring> tabs;
    std::vector<PageLook> pages;
    std::map<int, std::wstring> texts;
    std::map<int, bool> checks;
    bool syslogBoxesEnabled = false, dialUpWatcherEnabled = false;
};

Look LookAt(HWND dialog) {
    Look look;
    look.dpi = GetDpiForWindow(dialog);
    GetClientRect(dialog, &look.client);
    look.saveButton = TextOf(Control(dialog, IDC_OPT_SAVE));
    look.cancel = TextOf(Control(dialog, IDCANCEL));
    const HWND tabs = Control(dialog, IDC_OPT_TABS);
    for (int i = 0; i < TabCtrl_GetItemCount(tabs); ++i) {
        wchar_t text[64] = {};
        TCITEMW item{TCIF_TEXT};
        item.pszText = text;
        item.cchTextMax = 64;
        TabCtrl_GetItem(tabs, i, &item);
        look.tabs.push_back(text);
    }
    for (int page = 0; page < TabCtrl_GetItemCount(tabs); ++page) {
        ChoosePage(dialog, page);
        look.pages.push_back(LookAtPage(dialog, page));
    }
    ChoosePage(dialog, 0);
    for (const int id :
         {IDC_OPT_UTILITY_PATH, IDC_OPT_ROUTER_ADDRESS, IDC_OPT_NICK_NAME, IDC_OPT_CONNECT_HOUR, IDC_OPT_CONNECT_MINUTE,
          IDC_OPT_DISCONNECT_HOUR, IDC_OPT_DISCONNECT_MINUTE, IDC_OPT_LAUNCH_TITLE1, IDC_OPT_LAUNCH_TITLE6,
          IDC_OPT_DIAL_UP_WATCHER_PATH, IDC_OPT_DIAL_UP_WATCHER_NAME1, IDC_OPT_DIAL_UP_WATCHER_NAME3,
          IDC_OPT_CONNECT_SOUND, IDC_OPT_DISCONNECT_SOUND, IDC_OPT_SOUND_AFTER_MINUTES, IDC_OPT_SOUND_AFTER_FILE,
          IDC_OPT_ISP_NAME1, IDC_OPT_ISP_NAME3}) {
        look.texts[id] = TextOf(Control(dialog, id));
    }
    for (const int id :
         {IDC_OPT_USE_PORT2, IDC_OPT_TRAY_SWAP, IDC_OPT_NO_UTILITY, IDC_OPT_MULTI_ACCOUNT, IDC_OPT_MASTER_MODE,
          IDC_OPT_AUTO_REDIAL, IDC_OPT_SYSLOG_ENABLED, IDC_OPT_SYSLOG_SIMPLE, IDC_OPT_AUTO_CONNECT,
          IDC_OPT_AUTO_DISCONNECT, IDC_OPT_USE_DIAL_UP_WATCHER, IDC_OPT_ROUTER_SENDERS_ONLY}) {
        look.checks[id] = Checked(dialog, id);
    }
    look.syslogBoxesEnabled = IsWindowEnabled(Control(dialog, IDC_OPT_SYSLOG_ADD_TIME));
    look.dialUpWatcherEnabled = IsWindowEnabled(Control(dialog, IDC_OPT_DIAL_UP_WATCHER_PATH_BROWSE));
    return look;
}

void Prepare(FakeMonitor& f) {
    Settings& s = f.m.s.settings;
    s.UtilityPath = "D:\\ルータ\\util.exe";
    s.RouterAddress = "10.0.0.1";
    s.AutoDisconnect = true;
    s.DisconnectTime = "23:45";
    s.SyslogEnabled = "on";
    s.UseDialUpWatcher = false;
    s.DialUpWatcherName1 = "dw1";
    s.DialUpWatcherName3 = "dw3";
    s.ConnectSound = "C:\\音\\on.wav";
    s.SoundAfterMinutes = "45";
    s.NickName = "はなこ";
    s.RedialCount = 5;
    s.IspName1 = "ぷらら";
    s.IspName3 = "OCN";
    f.m.s.launcher.LaunchEntries[0] = {"メール", "C:\\mail.exe", "", "", "on", "on"};
    f.m.s.launcher.LaunchEntries[2] = {"時計", "C:\\clock.exe", "-x", "C:\\", "off", "on"};
}

TEST(SettingsDialogWindow, ShowsEveryPageWholeAndSavesWhatWasEntered) {
    FakeMonitor f;
    Prepare(f);
    Look look, changed;
    OpenWithUser(f, [&](HWND dialog) {
        look = LookAt(dialog);
        Type(dialog, IDC_OPT_ROUTER_ADDRESS, L"192.168.10.1");
        Type(dialog, IDC_OPT_NICK_NAME, L"たろうのPC");
        Click(dialog, IDC_OPT_AUTO_CONNECT);
        Type(dialog, IDC_OPT_CONNECT_HOUR, L"7");
        Type(dialog, IDC_OPT_CONNECT_MINUTE, L"5");
        Click(dialog, IDC_OPT_USE_DIAL_UP_WATCHER);
        Click(dialog, IDC_OPT_TRAY_SWAP);
        Click(dialog, IDC_OPT_AUTO_REDIAL);
        Click(dialog, IDC_OPT_ROUTER_SENDERS_ONLY);
        Type(dialog, IDC_OPT_LAUNCH_TITLE3, L"");
        Type(dialog, IDC_OPT_LAUNCH_TITLE5, L"ブラウザ");
        Type(dialog, IDC_OPT_DIAL_UP_WATCHER_NAME2, L"接続2");
        Type(dialog, IDC_OPT_ISP_NAME3, L"ISP三");
        Type(dialog, IDC_OPT_UTILITY_PATH, L"E:\\util2.exe");
        Type(dialog, IDC_OPT_DIAL_UP_WATCHER_PATH, L"E:\\dw\\dwctrl32.exe");
        Type(dialog, IDC_OPT_DIAL_UP_WATCHER_NAME1, L"接続1");
        Type(dialog, IDC_OPT_DIAL_UP_WATCHER_NAME3, L"");
        Type(dialog, IDC_OPT_CONNECT_SOUND, L"a.wav");
        Type(dialog, IDC_OPT_DISCONNECT_SOUND, L"b.wav");
        Type(dialog, IDC_OPT_SOUND_AFTER_FILE, L"c.wav");
        Type(dialog, IDC_OPT_SOUND_AFTER_MINUTES, L"20");
        Type(dialog, IDC_OPT_ISP_NAME1, L"I1");
        Type(dialog, IDC_OPT_ISP_NAME2, L"I2");
        Type(dialog, IDC_OPT_DISCONNECT_HOUR, L"22");
        Type(dialog, IDC_OPT_DISCONNECT_MINUTE, L"99");  // beyond the arrows' range
        for (const int box : {IDC_OPT_MASTER_MODE, IDC_OPT_USE_PORT2, IDC_OPT_MULTI_ACCOUNT, IDC_OPT_SYSLOG_SIMPLE,
                              IDC_OPT_SYSLOG_ADD_TIME, IDC_OPT_SYSLOG_AUTO_SAVE, IDC_OPT_SYSLOG_LINE_BREAKS}) {
            Click(dialog, box);
        }
        Click(dialog, IDC_OPT_SYSLOG_ENABLED);
        changed = LookAt(dialog);
        Click(dialog, IDC_OPT_SAVE);
    });
    RecordProperty("dpi", static_cast<int>(look.dpi));
    EXPECT_EQ(look.client.right, MulDiv(414, look.dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_EQ(look.client.bottom, MulDiv(237, look.dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_EQ(look.saveButton, L"設定");
    EXPECT_EQ(look.cancel, L"キャンセル");
    EXPECT_EQ(look.tabs, PageCaptions);
    ASSERT_EQ(look.pages.size(), PageControls.size());
    for (std::size_t p = 0; p < PageControls.size(); ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(look.pages[p].captions, PageControls[p]);
        EXPECT_EQ(look.pages[p].clipped, std::vector<std::wstring>{});
    }
    EXPECT_EQ(look.texts[IDC_OPT_UTILITY_PATH], L"D:\\ルータ\\util.exe");
    EXPECT_EQ(look.texts[IDC_OPT_ROUTER_ADDRESS], L"10.0.0.1");
    EXPECT_EQ(look.texts[IDC_OPT_NICK_NAME], L"はなこ");
    EXPECT_EQ(look.texts[IDC_OPT_CONNECT_HOUR] + L":" + look.texts[IDC_OPT_CONNECT_MINUTE], L"0:0");
    EXPECT_EQ(look.texts[IDC_OPT_DISCONNECT_HOUR] + L":" + look.texts[IDC_OPT_DISCONNECT_MINUTE], L"23:45");
    EXPECT_EQ(look.texts[IDC_OPT_LAUNCH_TITLE1], L"メール");
    EXPECT_EQ(look.texts[IDC_OPT_LAUNCH_TITLE6], L"");
    EXPECT_EQ(look.texts[IDC_OPT_DIAL_UP_WATCHER_NAME1] + look.texts[IDC_OPT_DIAL_UP_WATCHER_NAME3], L"dw1dw3");
    EXPECT_EQ(look.texts[IDC_OPT_CONNECT_SOUND], L"C:\\音\\on.wav");
    EXPECT_EQ(look.texts[IDC_OPT_SOUND_AFTER_MINUTES], L"45");
    EXPECT_EQ(look.texts[IDC_OPT_ISP_NAME1] + look.texts[IDC_OPT_ISP_NAME3], L"ぷららOCN");
    EXPECT_EQ(look.checks, (std::map<int, bool>{{IDC_OPT_USE_PORT2, false},
                                                {IDC_OPT_TRAY_SWAP, false},
                                                {IDC_OPT_NO_UTILITY, true},
                                                {IDC_OPT_MULTI_ACCOUNT, false},
                                                {IDC_OPT_MASTER_MODE, false},
                                                {IDC_OPT_AUTO_REDIAL, true},
                                                {IDC_OPT_SYSLOG_ENABLED, true},
                                                {IDC_OPT_SYSLOG_SIMPLE, true},
                                                {IDC_OPT_AUTO_CONNECT, false},
                                                {IDC_OPT_AUTO_DISCONNECT, true},
                                                {IDC_OPT_USE_DIAL_UP_WATCHER, false},
                                                {IDC_OPT_ROUTER_SENDERS_ONLY, false}}));
    EXPECT_TRUE(changed.checks[IDC_OPT_ROUTER_SENDERS_ONLY]);
    EXPECT_TRUE(look.syslogBoxesEnabled);
    EXPECT_FALSE(look.dialUpWatcherEnabled);
    EXPECT_FALSE(changed.syslogBoxesEnabled);
    EXPECT_TRUE(changed.dialUpWatcherEnabled);
    EXPECT_TRUE(f.dialogs.messages.empty());

    // The same changes made to the form model give the same files, byte for byte.
    FakeMonitor expected;
    Prepare(expected);
    SettingsForm form = FillSettingsForm(expected.m);
    form.RouterAddress = "192.168.10.1";
    form.NickName = "たろうのPC";
    form.AutoConnect = true;
    form.ConnectHour = 7;
    form.ConnectMinute = 5;
    form.SyslogEnabled = false;
    form.UseDialUpWatcher = true;
    form.TraySwap = true;
    form.AutoRedial = false;
    form.RouterSendersOnly = true;
    form.LaunchTitles[2] = "";
    form.LaunchTitles[4] = "ブラウザ";
    form.DialUpWatcherName2 = "接続2";
    form.IspName3 = "ISP三";
    form.UtilityPath = "E:\\util2.exe";
    form.DialUpWatcherPath = "E:\\dw\\dwctrl32.exe";
    form.DialUpWatcherName1 = "接続1";
    form.DialUpWatcherName3 = "";
    form.ConnectSound = "a.wav";
    form.DisconnectSound = "b.wav";
    form.SoundAfterFile = "c.wav";
    form.SoundAfterMinutes = "20";
    form.IspName1 = "I1";
    form.IspName2 = "I2";
    form.DisconnectHour = 22;
    form.DisconnectMinute = 59;
    form.MasterMode = form.UsePort2 = form.MultiAccount = true;
    form.SyslogSimple = form.SyslogAddTime = form.SyslogLineBreaks = false;
    form.SyslogAutoSave = true;
    ASSERT_TRUE(SaveSettingsForm(expected.m, form));
    const std::string settings = ReadBytes(f.m.s.AppDir / SettingsFileName);
    EXPECT_EQ(settings, ReadBytes(expected.m.s.AppDir / SettingsFileName));
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / LauncherFileName), ReadBytes(expected.m.s.AppDir / LauncherFileName));
    EXPECT_NE(settings.find("\r\n07:05\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\n22:59\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\n" + Utf8ToCp932("たろうのPC") + "\r\n"), std::string::npos);
    EXPECT_NE(settings.find(Utf8ToCp932("\r\n[受信をルータとそのネットワークに限定]\r\non\r\n")), std::string::npos);
    EXPECT_TRUE(f.m.s.settings.RouterSendersOnly);
    EXPECT_FALSE(f.m.view.Menu[Item::ShowSyslog].Visible);
    EXPECT_TRUE(f.m.view.Menu[Item::OpenSettings].Enabled);
}

// What the table says of a value's control holds in the templates: the
// control is there, an edit for a text, an automatic check box for an on/off
// value, a number edit for a time, and it shows on its template's page only.
TEST(SettingsDialogWindow, EveryRowsControlIsInTheTemplateAsTheRowSays) {
    FakeMonitor f;
    std::vector<std::string> faults;
    OpenWithUser(f, [&](HWND dialog) {
        for (const SettingRow& row : SettingsTable) {
            if (!row.Control) continue;
            const HWND control = Control(dialog, row.ControlId);
            const int home = GetDlgCtrlID(GetParent(control));
            const LONG style = GetWindowLongW(control, GWL_STYLE);
            const bool asSaid = row.FormCheck ? ClassOf(control) == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX
                                : row.FormText ? ClassOf(control) == L"Edit" && !(style & ES_NUMBER)
                                               : ClassOf(control) == L"Edit" && (style & ES_NUMBER);
            if (!control || !asSaid) faults.push_back(std::string(row.Name) + ": not the kind of control the row says");
            for (int page = 0; page < 8; ++page) {
                ChoosePage(dialog, page);
                if (IsWindowVisible(control) != (PageTemplates[page] == home)) {
                    faults.push_back(std::string(row.Name) + ": shown on page " + std::to_string(page) + " wrongly");
                }
            }
        }
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(faults, std::vector<std::string>{});
}

// Opened on values unlike the defaults and saved as shown: every value the
// dialog shows goes into its control and back out unchanged.
TEST(SettingsDialogWindow, EveryShownValueIsSavedAsItWasShown) {
    for (const Settings& sample : test::SettingsUnlikeTheDefaults()) {
        FakeMonitor f;
        f.m.s.settings = sample;
        OpenWithUser(f, [&](HWND dialog) { Click(dialog, IDC_OPT_SAVE); });
        Settings read;
        PanelPosition panel;
        ASSERT_EQ(ApplySettingsText({read, panel}, ReadBytes(f.m.s.AppDir / SettingsFileName)), SettingsRead::Complete);
        for (const SettingRow& row : SettingsTable) {
            if (row.Control) {
                EXPECT_EQ(row.Write({read, panel}), row.Write({sample, panel})) << row.Name;
            }
        }
    }
}

TEST(SettingsDialogWindow, ARefusedAddressKeepsTheDialogOpenAndWritesNothing) {
    FakeMonitor f;
    bool openAfterRefusal = false, closedAfterFix = false;
    OpenWithUser(f, [&](HWND dialog) {
        Type(dialog, IDC_OPT_ROUTER_ADDRESS, L"192.168.0");
        Click(dialog, IDC_OPT_SAVE);
        openAfterRefusal = IsWindowVisible(dialog);
        Type(dialog, IDC_OPT_ROUTER_ADDRESS, L"192.168.0.254");
        Click(dialog, IDC_OPT_SAVE);
        closedAfterFix = WaitFor([&] { return IsWindow(dialog) ? nullptr : dialog; }) != nullptr;
    });
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_TRUE(closedAfterFix);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{InvalidAddressMessage});
    EXPECT_EQ(f.m.s.router.RouterIp4, 254);
    EXPECT_NE(ReadBytes(f.m.s.AppDir / SettingsFileName).find("\r\n192.168.0.254\r\n"), std::string::npos);
}

// The keyboard focus of the dialog's thread, seen from the user's.
HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

// Pressed on another page than the one at fault: the dialog stays, shows the
// page and puts the cursor into the control, and nothing is saved.
TEST(SettingsDialogWindow, ARefusedValueTakesTheFocusOnItsPage) {
    struct Fault {
        const char* what;
        std::function<void(HWND)> enter;
        int control;
        int page;
    };
    const std::vector<Fault> faults{
        {"equal times",
         [](HWND d) {
             Click(d, IDC_OPT_AUTO_CONNECT);
             Click(d, IDC_OPT_AUTO_DISCONNECT);
         },
         IDC_OPT_DISCONNECT_HOUR, 3},
        {"address", [](HWND d) { Type(d, IDC_OPT_ROUTER_ADDRESS, L"192.168.0.1.9"); }, IDC_OPT_ROUTER_ADDRESS, 0},
        {"minutes", [](HWND d) { Type(d, IDC_OPT_SOUND_AFTER_MINUTES, L"30分"); }, IDC_OPT_SOUND_AFTER_MINUTES, 6},
        {"title", [](HWND d) { Type(d, IDC_OPT_LAUNCH_TITLE4, L"𠮷"); }, IDC_OPT_LAUNCH_TITLE4, 4},
        {"ISP name", [](HWND d) { Type(d, IDC_OPT_ISP_NAME3, L"José"); }, IDC_OPT_ISP_NAME3, 7},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        FakeMonitor f;
        bool open = false, controlShown = false;
        HWND focus = nullptr, control = nullptr;
        int page = -1;
        OpenWithUser(f, [&](HWND dialog) {
            fault.enter(dialog);
            ChoosePage(dialog, fault.page == 1 ? 2 : 1);
            Click(dialog, IDC_OPT_SAVE);
            open = IsWindowVisible(dialog);
            control = Control(dialog, fault.control);
            focus = FocusOf(dialog);
            controlShown = IsWindowVisible(control);
            page = TabCtrl_GetCurSel(Control(dialog, IDC_OPT_TABS));
            SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_TRUE(open);
        EXPECT_EQ(f.dialogs.messages.size(), 1u);
        EXPECT_EQ(page, fault.page);
        EXPECT_TRUE(controlShown);
        EXPECT_EQ(focus, control);
        EXPECT_FALSE(std::filesystem::exists(f.m.s.AppDir / SettingsFileName));
    }
}

TEST(SettingsDialogWindow, TheButtonIsCentredAndTheIconsAreDrawnAtTheirSizes) {
    FakeMonitor f;
    UINT dpi = 0;
    RECT button{}, tabs{};
    SIZE small{}, big{};
    OpenWithUser(f, [&](HWND dialog) {
        dpi = GetDpiForWindow(dialog);
        GetWindowRect(Control(dialog, IDC_OPT_SAVE), &button);
        GetWindowRect(Control(dialog, IDC_OPT_TABS), &tabs);
        small = IconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)));
        big = IconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0)));
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    RecordProperty("dpi", static_cast<int>(dpi));
    // A pixel apart at most, from rounding the dialog units.
    EXPECT_LE(std::abs((button.left + button.right) - (tabs.left + tabs.right)), 2);
    const int smallSide = GetSystemMetricsForDpi(SM_CXSMICON, dpi), bigSide = GetSystemMetricsForDpi(SM_CXICON, dpi);
    EXPECT_EQ(small.cx, smallSide);
    EXPECT_EQ(small.cy, smallSide);
    EXPECT_EQ(big.cx, bigSide);
    EXPECT_EQ(big.cy, bigSide);
}

TEST(SettingsDialogWindow, BoxesAndButtonsReachTheProgram) {
    FakeMonitor f;
    f.m.s.settings.MultiAccount = true;
    bool shownChecked = false, shownAfterUncheck = true, checkedAfterUncheck = true, shownAfterCheck = false;
    std::string connectSound;
    OpenWithUser(f, [&](HWND dialog) {
        shownChecked =
            IsWindowVisible(Control(dialog, IDC_OPT_MULTI_ACCOUNT)) && Checked(dialog, IDC_OPT_MULTI_ACCOUNT);
        Click(dialog, IDC_OPT_NO_UTILITY);
        shownAfterUncheck = IsWindowVisible(Control(dialog, IDC_OPT_MULTI_ACCOUNT));
        checkedAfterUncheck = Checked(dialog, IDC_OPT_MULTI_ACCOUNT);
        Click(dialog, IDC_OPT_NO_UTILITY);
        shownAfterCheck = IsWindowVisible(Control(dialog, IDC_OPT_MULTI_ACCOUNT));

        ChoosePage(dialog, 6);
        Click(dialog, IDC_OPT_CONNECT_SOUND_TEST);  // empty: nothing
        Type(dialog, IDC_OPT_DISCONNECT_SOUND, L"C:\\音\\off.wav");
        Click(dialog, IDC_OPT_DISCONNECT_SOUND_TEST);
        ChoosePage(dialog, 4);
        Type(dialog, IDC_OPT_LAUNCH_TITLE2, L"新しいソフト");
        Click(dialog, IDC_OPT_LAUNCH_ENTRY2);
        Click(dialog, IDC_OPT_LAUNCH_ENTRY4);  // no title
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_TRUE(shownChecked);
    EXPECT_FALSE(shownAfterUncheck);
    EXPECT_FALSE(checkedAfterUncheck);
    EXPECT_TRUE(shownAfterCheck);
    EXPECT_EQ(f.sound.played, std::vector<std::string>{"C:\\音\\off.wav"});
    ASSERT_EQ(f.dialogs.launchForms.size(), 1u);
    EXPECT_EQ(f.dialogs.launchForms[0].Title, "新しいソフト");
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{RiskWarning, "タイトルが指定されていません"}));
    // Closed without "設定": nothing saved.
    EXPECT_FALSE(std::filesystem::exists(f.m.s.AppDir / SettingsFileName));
    EXPECT_TRUE(f.m.view.Menu[Item::OpenSettings].Enabled);
}

TEST(SettingsDialogWindow, UtilityPathBrowsesWithTheFilterOfTheLastBrowse) {
    FakeMonitor f;
    std::vector<std::wstring> fileTypes;
    OpenWithUser(f, [&](HWND dialog) {
        for (const int button :
             {IDC_OPT_UTILITY_PATH_BROWSE, IDC_OPT_CONNECT_SOUND_BROWSE, IDC_OPT_UTILITY_PATH_BROWSE}) {
            SendNotifyMessageW(Control(dialog, button), BM_CLICK, 0, 0);
            const HWND open = WaitFor([&] {
                HWND found = nullptr;
                for (HWND w = FindWindowW(L"#32770", nullptr); w && !found;
                     w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                    if (GetWindow(w, GW_OWNER) == dialog && IsWindowVisible(w)) found = w;
                }
                return found;
            });
            if (!open) return;
            fileTypes.push_back(TextOf(GetDlgItem(open, 0x470)));
            PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
            WaitFor([&] { return IsWindow(open) ? nullptr : dialog; });
        }
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(fileTypes, (std::vector<std::wstring>{L"", L"wavファイル ", L"wavファイル "}));
}

TEST(AboutWindow, ShowsTheVersionWholeWithTheTrayPicture) {
    const HICON picture = LoadIconW(nullptr, IDI_INFORMATION);
    std::wstring caption, version, face, button;
    std::wstring misfits = L"not looked at";
    bool italic = false, systemMenu = true;
    HICON shown = nullptr;
    RECT client{};
    UINT dpi = 0;
    std::thread player([&] {
        const HWND about = ShownDialog(L"バージョン情報");
        if (!about) return;
        dpi = GetDpiForWindow(about);
        caption = TextOf(about);
        GetClientRect(about, &client);
        systemMenu = GetWindowLongW(about, GWL_STYLE) & WS_SYSMENU;
        const HWND label = GetDlgItem(about, IDC_ABOUT_VERSION);
        version = TextOf(label);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
        face = font.lfFaceName;
        italic = font.lfItalic;
        button = TextOf(GetDlgItem(about, IDOK));
        misfits = Misfit(label, dpi) + Misfit(GetDlgItem(about, IDOK), dpi);
        shown = reinterpret_cast<HICON>(SendDlgItemMessageW(about, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
        SendDlgItemMessageW(about, IDOK, BM_CLICK, 0, 0);
    });
    ShowAboutBox(nullptr, "2.04", picture);
    player.join();
    RecordProperty("dpi", static_cast<int>(dpi));
    EXPECT_EQ(caption, L"バージョン情報");
    EXPECT_EQ(client.right, MulDiv(330, dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_EQ(client.bottom, MulDiv(123, dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_FALSE(systemMenu);
    EXPECT_EQ(version, L"Routavista Monitor Ver2.04 ");
    EXPECT_EQ(face, L"Times New Roman");
    EXPECT_TRUE(italic);
    EXPECT_EQ(button, L"OK");
    EXPECT_EQ(misfits, L"");
    EXPECT_EQ(shown, picture);
}

}  // namespace
}  // namespace rm::win
