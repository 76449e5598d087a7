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
    f.Run(MenuClick(f.m, Item::option_n1));
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
    std::wstring button1, cancel;
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
    look.button1 = TextOf(Control(dialog, IDC_OPT_BUTTON1));
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
    for (const int id : {IDC_OPT_EDIT2, IDC_OPT_EDIT1, IDC_OPT_PCNAME, IDC_OPT_SPINEDIT1, IDC_OPT_SPINEDIT2,
                         IDC_OPT_SPINEDIT3, IDC_OPT_SPINEDIT4, IDC_OPT_SOFT1, IDC_OPT_SOFT6, IDC_OPT_EDIT3,
                         IDC_OPT_DWPORT1, IDC_OPT_DWPORT3, IDC_OPT_EDIT5, IDC_OPT_EDIT6, IDC_OPT_DELYSTIME,
                         IDC_OPT_EDIT4, IDC_OPT_EDIT7, IDC_OPT_EDIT9}) {
        look.texts[id] = TextOf(Control(dialog, id));
    }
    for (const int id : {IDC_OPT_SUBPORTBOX1, IDC_OPT_TRAYCHECKBOX, IDC_OPT_RISKBOX, IDC_OPT_MACBOX1,
                         IDC_OPT_MASTERBOX, IDC_OPT_REDIALBOX, IDC_OPT_SYSLOGMAINBOX, IDC_OPT_SYSLOGTYPEBOX,
                         IDC_OPT_STARTBOX1, IDC_OPT_ENDBOX2, IDC_OPT_DWBOX, IDC_OPT_SENDERBOX}) {
        look.checks[id] = Checked(dialog, id);
    }
    look.syslogBoxesEnabled = IsWindowEnabled(Control(dialog, IDC_OPT_SYSLOGTIMEBOX));
    look.dialUpWatcherEnabled = IsWindowEnabled(Control(dialog, IDC_OPT_BUTTON3));
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
        Type(dialog, IDC_OPT_EDIT1, L"192.168.10.1");
        Type(dialog, IDC_OPT_PCNAME, L"たろうのPC");
        Click(dialog, IDC_OPT_STARTBOX1);
        Type(dialog, IDC_OPT_SPINEDIT1, L"7");
        Type(dialog, IDC_OPT_SPINEDIT2, L"5");
        Click(dialog, IDC_OPT_DWBOX);
        Click(dialog, IDC_OPT_TRAYCHECKBOX);
        Click(dialog, IDC_OPT_REDIALBOX);
        Click(dialog, IDC_OPT_SENDERBOX);
        Type(dialog, IDC_OPT_SOFT3, L"");
        Type(dialog, IDC_OPT_SOFT5, L"ブラウザ");
        Type(dialog, IDC_OPT_DWPORT2, L"接続2");
        Type(dialog, IDC_OPT_EDIT9, L"ISP三");
        Type(dialog, IDC_OPT_EDIT2, L"E:\\util2.exe");
        Type(dialog, IDC_OPT_EDIT3, L"E:\\dw\\dwctrl32.exe");
        Type(dialog, IDC_OPT_DWPORT1, L"接続1");
        Type(dialog, IDC_OPT_DWPORT3, L"");
        Type(dialog, IDC_OPT_EDIT5, L"a.wav");
        Type(dialog, IDC_OPT_EDIT6, L"b.wav");
        Type(dialog, IDC_OPT_EDIT4, L"c.wav");
        Type(dialog, IDC_OPT_DELYSTIME, L"20");
        Type(dialog, IDC_OPT_EDIT7, L"I1");
        Type(dialog, IDC_OPT_EDIT8, L"I2");
        Type(dialog, IDC_OPT_SPINEDIT3, L"22");
        Type(dialog, IDC_OPT_SPINEDIT4, L"99");  // beyond the arrows' range
        for (const int box : {IDC_OPT_MASTERBOX, IDC_OPT_SUBPORTBOX1, IDC_OPT_MACBOX1, IDC_OPT_SYSLOGTYPEBOX,
                              IDC_OPT_SYSLOGTIMEBOX, IDC_OPT_SYSLOGSAVEBOX, IDC_OPT_SYSLOGLINEBOX}) {
            Click(dialog, box);
        }
        Click(dialog, IDC_OPT_SYSLOGMAINBOX);
        changed = LookAt(dialog);
        Click(dialog, IDC_OPT_BUTTON1);
    });
    RecordProperty("dpi", static_cast<int>(look.dpi));
    EXPECT_EQ(look.client.right, MulDiv(414, look.dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_EQ(look.client.bottom, MulDiv(237, look.dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_EQ(look.button1, L"設定");
    EXPECT_EQ(look.cancel, L"キャンセル");
    EXPECT_EQ(look.tabs, PageCaptions);
    ASSERT_EQ(look.pages.size(), PageControls.size());
    for (std::size_t p = 0; p < PageControls.size(); ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(look.pages[p].captions, PageControls[p]);
        EXPECT_EQ(look.pages[p].clipped, std::vector<std::wstring>{});
    }
    EXPECT_EQ(look.texts[IDC_OPT_EDIT2], L"D:\\ルータ\\util.exe");
    EXPECT_EQ(look.texts[IDC_OPT_EDIT1], L"10.0.0.1");
    EXPECT_EQ(look.texts[IDC_OPT_PCNAME], L"はなこ");
    EXPECT_EQ(look.texts[IDC_OPT_SPINEDIT1] + L":" + look.texts[IDC_OPT_SPINEDIT2], L"0:0");
    EXPECT_EQ(look.texts[IDC_OPT_SPINEDIT3] + L":" + look.texts[IDC_OPT_SPINEDIT4], L"23:45");
    EXPECT_EQ(look.texts[IDC_OPT_SOFT1], L"メール");
    EXPECT_EQ(look.texts[IDC_OPT_SOFT6], L"");
    EXPECT_EQ(look.texts[IDC_OPT_DWPORT1] + look.texts[IDC_OPT_DWPORT3], L"dw1dw3");
    EXPECT_EQ(look.texts[IDC_OPT_EDIT5], L"C:\\音\\on.wav");
    EXPECT_EQ(look.texts[IDC_OPT_DELYSTIME], L"45");
    EXPECT_EQ(look.texts[IDC_OPT_EDIT7] + look.texts[IDC_OPT_EDIT9], L"ぷららOCN");
    EXPECT_EQ(look.checks, (std::map<int, bool>{{IDC_OPT_SUBPORTBOX1, false}, {IDC_OPT_TRAYCHECKBOX, false},
                                               {IDC_OPT_RISKBOX, true}, {IDC_OPT_MACBOX1, false},
                                               {IDC_OPT_MASTERBOX, false}, {IDC_OPT_REDIALBOX, true},
                                               {IDC_OPT_SYSLOGMAINBOX, true}, {IDC_OPT_SYSLOGTYPEBOX, true},
                                               {IDC_OPT_STARTBOX1, false}, {IDC_OPT_ENDBOX2, true},
                                               {IDC_OPT_DWBOX, false}, {IDC_OPT_SENDERBOX, false}}));
    EXPECT_TRUE(changed.checks[IDC_OPT_SENDERBOX]);
    EXPECT_TRUE(look.syslogBoxesEnabled);
    EXPECT_FALSE(look.dialUpWatcherEnabled);
    EXPECT_FALSE(changed.syslogBoxesEnabled);
    EXPECT_TRUE(changed.dialUpWatcherEnabled);
    EXPECT_TRUE(f.dialogs.messages.empty());

    // The same changes made to the form model give the same files, byte for byte.
    FakeMonitor expected;
    Prepare(expected);
    SettingsForm form = FillSettingsForm(expected.m);
    form.Edit1 = "192.168.10.1";
    form.PCname = "たろうのPC";
    form.startBox1 = true;
    form.SpinEdit1 = 7;
    form.SpinEdit2 = 5;
    form.SyslogmainBox = false;
    form.DWBox = true;
    form.TrayCheckBox = true;
    form.RedialBox = false;
    form.SenderBox = true;
    form.soft[2] = "";
    form.soft[4] = "ブラウザ";
    form.dwport2 = "接続2";
    form.Edit9 = "ISP三";
    form.Edit2 = "E:\\util2.exe";
    form.Edit3 = "E:\\dw\\dwctrl32.exe";
    form.dwport1 = "接続1";
    form.dwport3 = "";
    form.Edit5 = "a.wav";
    form.Edit6 = "b.wav";
    form.Edit4 = "c.wav";
    form.delyStime = "20";
    form.Edit7 = "I1";
    form.Edit8 = "I2";
    form.SpinEdit3 = 22;
    form.SpinEdit4 = 59;
    form.MasterBox = form.subportBox1 = form.MACbox1 = true;
    form.SysLogTypeBox = form.SysLogTimeBox = form.SysLoglineBox = false;
    form.SyslogSaveBox = true;
    ASSERT_TRUE(Button1Click(expected.m, form));
    const std::string settings = ReadBytes(f.m.s.AppDir / SettingsFileName);
    EXPECT_EQ(settings, ReadBytes(expected.m.s.AppDir / SettingsFileName));
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / LauncherFileName), ReadBytes(expected.m.s.AppDir / LauncherFileName));
    EXPECT_NE(settings.find("\r\n07:05\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\n22:59\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\n" + Utf8ToCp932("たろうのPC") + "\r\n"), std::string::npos);
    EXPECT_NE(settings.find(Utf8ToCp932("\r\n[受信をルータとそのネットワークに限定]\r\non\r\n")), std::string::npos);
    EXPECT_TRUE(f.m.s.settings.RouterSendersOnly);
    EXPECT_FALSE(f.m.view.Menu[Item::syslog1].Visible);
    EXPECT_TRUE(f.m.view.Menu[Item::option_n1].Enabled);
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
        OpenWithUser(f, [&](HWND dialog) { Click(dialog, IDC_OPT_BUTTON1); });
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
        Type(dialog, IDC_OPT_EDIT1, L"192.168.0");
        Click(dialog, IDC_OPT_BUTTON1);
        openAfterRefusal = IsWindowVisible(dialog);
        Type(dialog, IDC_OPT_EDIT1, L"192.168.0.254");
        Click(dialog, IDC_OPT_BUTTON1);
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
             Click(d, IDC_OPT_STARTBOX1);
             Click(d, IDC_OPT_ENDBOX2);
         },
         IDC_OPT_SPINEDIT3, 3},
        {"address", [](HWND d) { Type(d, IDC_OPT_EDIT1, L"192.168.0.1.9"); }, IDC_OPT_EDIT1, 0},
        {"minutes", [](HWND d) { Type(d, IDC_OPT_DELYSTIME, L"30分"); }, IDC_OPT_DELYSTIME, 6},
        {"title", [](HWND d) { Type(d, IDC_OPT_SOFT4, L"𠮷"); }, IDC_OPT_SOFT4, 4},
        {"ISP name", [](HWND d) { Type(d, IDC_OPT_EDIT9, L"José"); }, IDC_OPT_EDIT9, 7},
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
            Click(dialog, IDC_OPT_BUTTON1);
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
        GetWindowRect(Control(dialog, IDC_OPT_BUTTON1), &button);
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
    std::string edit5;
    OpenWithUser(f, [&](HWND dialog) {
        shownChecked = IsWindowVisible(Control(dialog, IDC_OPT_MACBOX1)) && Checked(dialog, IDC_OPT_MACBOX1);
        Click(dialog, IDC_OPT_RISKBOX);
        shownAfterUncheck = IsWindowVisible(Control(dialog, IDC_OPT_MACBOX1));
        checkedAfterUncheck = Checked(dialog, IDC_OPT_MACBOX1);
        Click(dialog, IDC_OPT_RISKBOX);
        shownAfterCheck = IsWindowVisible(Control(dialog, IDC_OPT_MACBOX1));

        ChoosePage(dialog, 6);
        Click(dialog, IDC_OPT_BUTTON6);  // empty: nothing
        Type(dialog, IDC_OPT_EDIT6, L"C:\\音\\off.wav");
        Click(dialog, IDC_OPT_BUTTON7);
        ChoosePage(dialog, 4);
        Type(dialog, IDC_OPT_SOFT2, L"新しいソフト");
        Click(dialog, IDC_OPT_SOFTBUTTON2);
        Click(dialog, IDC_OPT_SOFTBUTTON4);  // no title
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
    EXPECT_TRUE(f.m.view.Menu[Item::option_n1].Enabled);
}

TEST(SettingsDialogWindow, Button2BrowsesWithTheFilterOfTheLastBrowse) {
    FakeMonitor f;
    std::vector<std::wstring> fileTypes;
    OpenWithUser(f, [&](HWND dialog) {
        for (const int button : {IDC_OPT_BUTTON2, IDC_OPT_BUTTON4, IDC_OPT_BUTTON2}) {
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
