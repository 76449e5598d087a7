#include "settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "diagnostics.h"
#include "dialog.h"
#include "form/settings_form.h"
#include "settings/settings_table.h"
#include "resource.h"
#include "system_dlls.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 414, ClientHeight = 237;

// The pages in the order of their tabs, each a template of its own.
struct Page {
    int Template;
    const wchar_t* Caption;
};
constexpr Page Pages[] = {
    {IDD_SETTINGS_BASIC, L"基本設定"},     {IDD_SETTINGS_NETWORK, L"ネットワーク"},
    {IDD_SETTINGS_SYSLOG, L"SysLog"},      {IDD_SETTINGS_TIME, L"時間設定"},
    {IDD_SETTINGS_LAUNCHER, L"ランチャー"}, {IDD_SETTINGS_DIALUPWATCHER, L"Dial-Up Watcher"},
    {IDD_SETTINGS_SOUND, L"サウンド"},     {IDD_SETTINGS_ISPNAMES, L"ISP 名称"},
};

// The edits that take fewer characters than Windows allows.
struct TextLimit {
    int Id;
    int Limit;
};
constexpr TextLimit TextLimits[] = {{IDC_OPT_ROUTER_ADDRESS, 15}, {IDC_OPT_DIAL_UP_WATCHER_NAME1, 15}};

constexpr int LaunchTitleEdits[] = {IDC_OPT_LAUNCH_TITLE1, IDC_OPT_LAUNCH_TITLE2, IDC_OPT_LAUNCH_TITLE3,
                                    IDC_OPT_LAUNCH_TITLE4, IDC_OPT_LAUNCH_TITLE5, IDC_OPT_LAUNCH_TITLE6};
constexpr int LaunchEntryButtons[] = {IDC_OPT_LAUNCH_ENTRY1, IDC_OPT_LAUNCH_ENTRY2, IDC_OPT_LAUNCH_ENTRY3,
                                      IDC_OPT_LAUNCH_ENTRY4, IDC_OPT_LAUNCH_ENTRY5, IDC_OPT_LAUNCH_ENTRY6};

struct SpinControl {
    int Edit, Spin;
    int SettingsForm::*Field;
    int Highest;
};
constexpr SpinControl SpinControls[] = {
    {IDC_OPT_CONNECT_HOUR, IDC_OPT_CONNECT_HOUR_SPIN, &SettingsForm::ConnectHour, 23},
    {IDC_OPT_CONNECT_MINUTE, IDC_OPT_CONNECT_MINUTE_SPIN, &SettingsForm::ConnectMinute, 59},
    {IDC_OPT_DISCONNECT_HOUR, IDC_OPT_DISCONNECT_HOUR_SPIN, &SettingsForm::DisconnectHour, 23},
    {IDC_OPT_DISCONNECT_MINUTE, IDC_OPT_DISCONNECT_MINUTE_SPIN, &SettingsForm::DisconnectMinute, 59},
};

constexpr int SyslogBoxes[] = {IDC_OPT_SYSLOG_SIMPLE, IDC_OPT_SYSLOG_ADD_TIME, IDC_OPT_SYSLOG_AUTO_SAVE,
                               IDC_OPT_SYSLOG_LINE_BREAKS};
constexpr int DialUpWatcherControls[] = {IDC_OPT_DIAL_UP_WATCHER_PATH, IDC_OPT_DIAL_UP_WATCHER_NAME1,
                                         IDC_OPT_DIAL_UP_WATCHER_NAME2, IDC_OPT_DIAL_UP_WATCHER_NAME3,
                                         IDC_OPT_DIAL_UP_WATCHER_PATH_BROWSE};

struct Browse {
    int Button;
    BrowseButton Which;
    int Edit;
};
constexpr Browse Browses[] = {
    {IDC_OPT_UTILITY_PATH_BROWSE, BrowseButton::UtilityPath, IDC_OPT_UTILITY_PATH},
    {IDC_OPT_DIAL_UP_WATCHER_PATH_BROWSE, BrowseButton::DialUpWatcherPath, IDC_OPT_DIAL_UP_WATCHER_PATH},
    {IDC_OPT_CONNECT_SOUND_BROWSE, BrowseButton::ConnectSound, IDC_OPT_CONNECT_SOUND},
    {IDC_OPT_DISCONNECT_SOUND_BROWSE, BrowseButton::DisconnectSound, IDC_OPT_DISCONNECT_SOUND},
    {IDC_OPT_SOUND_AFTER_FILE_BROWSE, BrowseButton::SoundAfterFile, IDC_OPT_SOUND_AFTER_FILE},
};

struct SoundTest {
    int Button, Edit;
};
constexpr SoundTest SoundTests[] = {
    {IDC_OPT_CONNECT_SOUND_TEST, IDC_OPT_CONNECT_SOUND}, {IDC_OPT_DISCONNECT_SOUND_TEST, IDC_OPT_DISCONNECT_SOUND}, {IDC_OPT_SOUND_AFTER_FILE_TEST, IDC_OPT_SOUND_AFTER_FILE}};

// "description|pattern" as the file-open dialog takes it.
std::wstring FilterText(const std::string& filter) {
    if (filter.empty()) return {};
    std::wstring text = Widen(filter);
    std::replace(text.begin(), text.end(), L'|', L'\0');
    return text + L'\0' + L'\0';
}

// Light text on dark faces: a contrast scheme, which a theme's light tabs
// cannot carry (the chosen tab's caption came out light on light). Windows
// draws such a scheme without the theme; so do the tabs and pages here.
bool DarkColourScheme() {
    const auto luminance = [](COLORREF c) { return 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c); };
    return luminance(GetSysColor(COLOR_BTNTEXT)) > luminance(GetSysColor(COLOR_BTNFACE));
}

// A page hands what its controls tell to the dialog, which holds the form.
INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: return SendMessageW(GetParent(page), msg, wp, lp);
    default: return FALSE;
    }
}

class SettingsDialog : public Dialog {
public:
    SettingsDialog(SettingsForm& form, SettingsFormEvents& events)
        : Dialog({IDD_SETTINGS, ClientWidth, ClientHeight}), form_(form), events_(events) {}

    void Open(HWND owner) { ShowModal(owner, "設定画面を表示できません。"); }

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_INITDIALOG: OnInitDialog(); return TRUE;
        case WM_DPICHANGED: PlacePages(); return TRUE;
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lp)->code == TCN_SELCHANGE) ShowPage(CurrentPage());
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) return OnCommand(LOWORD(wp));
            return FALSE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        default: return FALSE;
        }
    }

    // Before the fit, which scales the pages with the dialog; above the tabs,
    // in the order of the tabs, so that Tab goes through the chosen page first.
    void OnCreateChildren() override {
        HWND previous = HWND_TOP;
        for (std::size_t i = 0; i < std::size(Pages); ++i) {
            pages_[i] = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Pages[i].Template), Handle(),
                                           PageProc, 0);
            if (!pages_[i]) {
                LogLastError(L"CreateDialogParamW", L"page " + std::to_wstring(Pages[i].Template));
                continue;
            }
            SetWindowLongPtrW(pages_[i], GWLP_ID, Pages[i].Template);
            SetWindowPos(pages_[i], previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            previous = pages_[i];
        }
    }

    void OnInitDialog() {
        const HWND tabs = GetDlgItem(Handle(), IDC_OPT_TABS);
        for (int page = 0; page < static_cast<int>(std::size(Pages)); ++page) {
            TCITEMW item{TCIF_TEXT};
            item.pszText = const_cast<wchar_t*>(Pages[page].Caption);
            TabCtrl_InsertItem(tabs, page, &item);
        }
        themedPages_ = AppThemed() && !DarkColourScheme();
        if (AppThemed() && !themedPages_) DrawWithoutTheme(tabs);
        PlacePages();
        for (const TextLimit& c : TextLimits) SendMessageW(Control(c.Id), EM_LIMITTEXT, static_cast<WPARAM>(c.Limit), 0);
        for (const SpinControl& c : SpinControls) SendMessageW(Control(c.Spin), UDM_SETRANGE32, 0, c.Highest);
        Show();
        TabCtrl_SetCurSel(tabs, 0);
        ShowPage(0);
    }

    // Each page fills the tabs' page area, which follows the tabs' font.
    void PlacePages() {
        const HWND tabs = GetDlgItem(Handle(), IDC_OPT_TABS);
        RECT area{};
        GetClientRect(tabs, &area);
        TabCtrl_AdjustRect(tabs, FALSE, &area);
        MapWindowPoints(tabs, Handle(), reinterpret_cast<POINT*>(&area), 2);
        for (const HWND page : pages_) {
            SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    // On themed tabs the pages, their labels and their check boxes take the
    // page's colours, text and background, not the dialog's; edits keep theirs.
    INT_PTR OnControlColour(HDC dc, HWND control) {
        wchar_t kind[16] = {};
        GetClassNameW(control, kind, 16);
        if (!themedPages_ || std::wstring_view(kind) == L"Edit" || (!IsPage(control) && !IsPage(GetParent(control)))) {
            return FALSE;
        }
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }

    INT_PTR OnCommand(int id) {
        if (id == IDCANCEL) {
            End(0);
            return TRUE;
        }
        if (id == IDC_OPT_SAVE) {
            Take();
            const SaveResult saved = events_.SaveSettingsForm(form_);
            if (saved) {
                End(0);
            } else {
                Focus(saved.Refused);
            }
            return TRUE;
        }
        if (id == IDC_OPT_USE_DIAL_UP_WATCHER || id == IDC_OPT_SYSLOG_ENABLED || id == IDC_OPT_NO_UTILITY) {
            Take();
            if (id == IDC_OPT_USE_DIAL_UP_WATCHER) UseDialUpWatcherToggled(form_);
            if (id == IDC_OPT_SYSLOG_ENABLED) SyslogEnabledToggled(form_);
            if (id == IDC_OPT_NO_UTILITY) events_.NoUtilityToggled(form_);
            Show();
            return TRUE;
        }
        for (int i = 0; i < 6; ++i) {
            if (id != LaunchEntryButtons[i]) continue;
            events_.OpenLaunchEntryDialog(i + 1, Text(Control(LaunchTitleEdits[i])));
            return TRUE;
        }
        for (const Browse& b : Browses) {
            if (id != b.Button) continue;
            OnBrowse(b);
            return TRUE;
        }
        for (const SoundTest& t : SoundTests) {
            if (id != t.Button) continue;
            events_.TestSound(Text(Control(t.Edit)));
            return TRUE;
        }
        return FALSE;
    }

    void OnBrowse(const Browse& browse) {
        const std::wstring filter = FilterText(BrowseFilter(form_, browse.Which));
        std::wstring file(MAX_PATH * 8, L'\0');
        OPENFILENAMEW open{sizeof open};
        open.hwndOwner = Handle();
        open.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        open.lpstrFile = file.data();
        open.nMaxFile = static_cast<DWORD>(file.size());
        open.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&open)) return;
        file.resize(file.find(L'\0'));
        SetWindowTextW(Control(browse.Edit), file.c_str());
    }

    // The page of a refused value comes up with its control ready for typing.
    void Focus(int id) {
        const HWND control = Control(id);
        const auto page = std::find(pages_.begin(), pages_.end(), GetParent(control));
        if (!control || page == pages_.end()) return;
        const int index = static_cast<int>(page - pages_.begin());
        TabCtrl_SetCurSel(GetDlgItem(Handle(), IDC_OPT_TABS), index);
        ShowPage(index);
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }

    // A control on any page, by its id.
    HWND Control(int id) const {
        for (const HWND page : pages_) {
            if (const HWND control = GetDlgItem(page, id)) return control;
        }
        return nullptr;
    }

    bool IsPage(HWND window) const { return window && std::find(pages_.begin(), pages_.end(), window) != pages_.end(); }

    int CurrentPage() const { return TabCtrl_GetCurSel(GetDlgItem(Handle(), IDC_OPT_TABS)); }

    void ShowPage(int page) {
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            ShowWindow(pages_[i], static_cast<int>(i) == page ? SW_SHOWNA : SW_HIDE);
        }
    }

    // The form into the controls.
    void Show() {
        for (const SettingRow& row : SettingsTable) {
            if (row.FormText) SetText(Control(row.ControlId), form_.*row.FormText);
            if (row.FormCheck) {
                SendMessageW(Control(row.ControlId), BM_SETCHECK, form_.*row.FormCheck ? BST_CHECKED : BST_UNCHECKED, 0);
            }
        }
        for (std::size_t i = 0; i < form_.LaunchTitles.size(); ++i)
            SetText(Control(LaunchTitleEdits[i]), form_.LaunchTitles[i]);
        for (const SpinControl& c : SpinControls) SendMessageW(Control(c.Spin), UDM_SETPOS32, 0, form_.*c.Field);
        for (const int id : SyslogBoxes) EnableWindow(Control(id), form_.SyslogBoxesEnabled);
        for (const int id : DialUpWatcherControls) EnableWindow(Control(id), form_.DialUpWatcherEnabled);
        ShowWindow(Control(IDC_OPT_MULTI_ACCOUNT), form_.MultiAccountVisible ? SW_SHOWNA : SW_HIDE);
    }

    // The controls into the form.
    void Take() {
        for (const SettingRow& row : SettingsTable) {
            if (row.FormText) form_.*row.FormText = Text(Control(row.ControlId));
            if (row.FormCheck) {
                form_.*row.FormCheck = SendMessageW(Control(row.ControlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
            }
        }
        for (std::size_t i = 0; i < form_.LaunchTitles.size(); ++i)
            form_.LaunchTitles[i] = Text(Control(LaunchTitleEdits[i]));
        // A typed number out of range counts as the nearest end, as the arrows would go.
        for (const SpinControl& c : SpinControls) {
            const HWND page = GetParent(Control(c.Edit));
            BOOL ok = FALSE;
            const UINT typed = GetDlgItemInt(page, c.Edit, &ok, FALSE);
            form_.*c.Field = ok ? static_cast<int>(std::min(typed, static_cast<UINT>(c.Highest))) : 0;
        }
    }

    SettingsForm& form_;
    SettingsFormEvents& events_;
    std::array<HWND, std::size(Pages)> pages_{};
    bool themedPages_ = false;
};

}  // namespace

void ShowSettingsBox(HWND owner, SettingsForm& form, SettingsFormEvents& events) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    SettingsDialog(form, events).Open(owner);
}

}  // namespace rm::win
