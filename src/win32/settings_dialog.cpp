#include "settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "dialog.h"
#include "form/settings_form.h"
#include "settings/settings_table.h"
#include "resource.h"
#include "system_dlls.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 414, ClientHeight = 237;

constexpr const wchar_t* PageCaptions[] = {L"基本設定", L"ネットワーク", L"SysLog", L"時間設定",
                                           L"ランチャー", L"Dial-Up Watcher", L"サウンド", L"ISP 名称"};

// The controls of each page that no setting's row names: labels, buttons,
// the spin edits' second halves and arrows, and the launcher's titles.
struct PageControl {
    int Id;
    SettingsPage Page;
};
constexpr PageControl PageControls[] = {
    {IDC_OPT_LABEL3, SettingsPage::Basic},        {IDC_OPT_BUTTON2, SettingsPage::Basic},
    {IDC_OPT_LABEL1, SettingsPage::Basic},        {IDC_OPT_LABEL21, SettingsPage::Network},
    {IDC_OPT_LABEL19, SettingsPage::Network},     {IDC_OPT_LABEL20, SettingsPage::Network},
    {IDC_OPT_SPIN1, SettingsPage::Time},          {IDC_OPT_HOUR1, SettingsPage::Time},
    {IDC_OPT_SPINEDIT2, SettingsPage::Time},      {IDC_OPT_SPIN2, SettingsPage::Time},
    {IDC_OPT_MINUTE1, SettingsPage::Time},        {IDC_OPT_SPIN3, SettingsPage::Time},
    {IDC_OPT_HOUR2, SettingsPage::Time},          {IDC_OPT_SPINEDIT4, SettingsPage::Time},
    {IDC_OPT_SPIN4, SettingsPage::Time},          {IDC_OPT_MINUTE2, SettingsPage::Time},
    {IDC_OPT_LABEL13, SettingsPage::Time},        {IDC_OPT_TITLES1, SettingsPage::Launcher},
    {IDC_OPT_SOFT1, SettingsPage::Launcher},      {IDC_OPT_SOFTBUTTON1, SettingsPage::Launcher},
    {IDC_OPT_SOFT2, SettingsPage::Launcher},      {IDC_OPT_SOFTBUTTON2, SettingsPage::Launcher},
    {IDC_OPT_SOFT3, SettingsPage::Launcher},      {IDC_OPT_SOFTBUTTON3, SettingsPage::Launcher},
    {IDC_OPT_TITLES2, SettingsPage::Launcher},    {IDC_OPT_SOFT4, SettingsPage::Launcher},
    {IDC_OPT_SOFTBUTTON4, SettingsPage::Launcher}, {IDC_OPT_SOFT5, SettingsPage::Launcher},
    {IDC_OPT_SOFTBUTTON5, SettingsPage::Launcher}, {IDC_OPT_SOFT6, SettingsPage::Launcher},
    {IDC_OPT_SOFTBUTTON6, SettingsPage::Launcher}, {IDC_OPT_LABEL2, SettingsPage::DialUpWatcher},
    {IDC_OPT_BUTTON3, SettingsPage::DialUpWatcher}, {IDC_OPT_LABEL10, SettingsPage::DialUpWatcher},
    {IDC_OPT_ISP1, SettingsPage::DialUpWatcher},  {IDC_OPT_ISP2, SettingsPage::DialUpWatcher},
    {IDC_OPT_ISP3, SettingsPage::DialUpWatcher},  {IDC_OPT_LABEL11, SettingsPage::Sound},
    {IDC_OPT_BUTTON4, SettingsPage::Sound},       {IDC_OPT_BUTTON6, SettingsPage::Sound},
    {IDC_OPT_LABEL14, SettingsPage::Sound},       {IDC_OPT_BUTTON5, SettingsPage::Sound},
    {IDC_OPT_BUTTON7, SettingsPage::Sound},       {IDC_OPT_LABEL17, SettingsPage::Sound},
    {IDC_OPT_BUTTON8, SettingsPage::Sound},       {IDC_OPT_BUTTON9, SettingsPage::Sound},
    {IDC_OPT_LABEL22, SettingsPage::IspNames},    {IDC_OPT_LABEL23, SettingsPage::IspNames},
    {IDC_OPT_LABEL24, SettingsPage::IspNames},
};

// The edits that take fewer characters than Windows allows.
struct TextLimit {
    int Id;
    int Limit;
};
constexpr TextLimit TextLimits[] = {{IDC_OPT_EDIT1, 15}, {IDC_OPT_DWPORT1, 15}};

constexpr int SoftEdits[] = {IDC_OPT_SOFT1, IDC_OPT_SOFT2, IDC_OPT_SOFT3, IDC_OPT_SOFT4, IDC_OPT_SOFT5, IDC_OPT_SOFT6};
constexpr int SoftButtons[] = {IDC_OPT_SOFTBUTTON1, IDC_OPT_SOFTBUTTON2, IDC_OPT_SOFTBUTTON3,
                               IDC_OPT_SOFTBUTTON4, IDC_OPT_SOFTBUTTON5, IDC_OPT_SOFTBUTTON6};

struct SpinControl {
    int Edit, Spin;
    int SettingsForm::*Field;
    int Highest;
};
constexpr SpinControl SpinControls[] = {
    {IDC_OPT_SPINEDIT1, IDC_OPT_SPIN1, &SettingsForm::SpinEdit1, 23},
    {IDC_OPT_SPINEDIT2, IDC_OPT_SPIN2, &SettingsForm::SpinEdit2, 59},
    {IDC_OPT_SPINEDIT3, IDC_OPT_SPIN3, &SettingsForm::SpinEdit3, 23},
    {IDC_OPT_SPINEDIT4, IDC_OPT_SPIN4, &SettingsForm::SpinEdit4, 59},
};

constexpr int SyslogBoxes[] = {IDC_OPT_SYSLOGTYPEBOX, IDC_OPT_SYSLOGTIMEBOX, IDC_OPT_SYSLOGSAVEBOX,
                               IDC_OPT_SYSLOGLINEBOX};
constexpr int DialUpWatcherControls[] = {IDC_OPT_EDIT3, IDC_OPT_DWPORT1, IDC_OPT_DWPORT2, IDC_OPT_DWPORT3,
                                         IDC_OPT_BUTTON3};

struct Browse {
    int Button;
    BrowseButton Which;
    int Edit;
};
constexpr Browse Browses[] = {
    {IDC_OPT_BUTTON2, BrowseButton::Button2, IDC_OPT_EDIT2}, {IDC_OPT_BUTTON3, BrowseButton::Button3, IDC_OPT_EDIT3},
    {IDC_OPT_BUTTON4, BrowseButton::Button4, IDC_OPT_EDIT5}, {IDC_OPT_BUTTON5, BrowseButton::Button5, IDC_OPT_EDIT6},
    {IDC_OPT_BUTTON8, BrowseButton::Button8, IDC_OPT_EDIT4},
};

struct SoundTest {
    int Button, Edit;
};
constexpr SoundTest SoundTests[] = {
    {IDC_OPT_BUTTON6, IDC_OPT_EDIT5}, {IDC_OPT_BUTTON7, IDC_OPT_EDIT6}, {IDC_OPT_BUTTON9, IDC_OPT_EDIT4}};

// "description|pattern" as the file-open dialog takes it.
std::wstring FilterText(const std::string& filter) {
    if (filter.empty()) return {};
    std::wstring text = Widen(filter);
    std::replace(text.begin(), text.end(), L'|', L'\0');
    return text + L'\0' + L'\0';
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
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lp)->code == TCN_SELCHANGE) ShowPage(CurrentPage());
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) return OnCommand(LOWORD(wp));
            return FALSE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        default: return FALSE;
        }
    }

    void OnInitDialog() {
        const HWND tabs = GetDlgItem(Handle(), IDC_OPT_TABS);
        for (int page = 0; page < static_cast<int>(std::size(PageCaptions)); ++page) {
            TCITEMW item{TCIF_TEXT};
            item.pszText = const_cast<wchar_t*>(PageCaptions[page]);
            TabCtrl_InsertItem(tabs, page, &item);
        }
        for (const TextLimit& c : TextLimits) {
            SendDlgItemMessageW(Handle(), c.Id, EM_LIMITTEXT, static_cast<WPARAM>(c.Limit), 0);
        }
        for (const SpinControl& c : SpinControls) SendDlgItemMessageW(Handle(), c.Spin, UDM_SETRANGE32, 0, c.Highest);
        Show();
        TabCtrl_SetCurSel(tabs, 0);
        ShowPage(0);
    }

    // Labels and check boxes on a themed page take the page's colours, not
    // the dialog's; edits keep theirs. The text's too: under a contrast
    // theme the page is dark.
    INT_PTR OnControlColour(HDC dc, HWND control) {
        wchar_t kind[16] = {};
        GetClassNameW(control, kind, 16);
        if (!AppThemed() || std::wstring_view(kind) == L"Edit" || GetDlgCtrlID(control) == IDC_OPT_BUTTON1) {
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
        if (id == IDC_OPT_BUTTON1) {
            Take();
            const SaveResult saved = events_.Button1Click(form_);
            if (saved) {
                End(0);
            } else {
                Focus(saved.Refused);
            }
            return TRUE;
        }
        if (id == IDC_OPT_DWBOX || id == IDC_OPT_SYSLOGMAINBOX || id == IDC_OPT_RISKBOX) {
            Take();
            if (id == IDC_OPT_DWBOX) DWBoxClick(form_);
            if (id == IDC_OPT_SYSLOGMAINBOX) SyslogmainBoxClick(form_);
            if (id == IDC_OPT_RISKBOX) events_.riskBoxClick(form_);
            Show();
            return TRUE;
        }
        for (int i = 0; i < 6; ++i) {
            if (id != SoftButtons[i]) continue;
            events_.softButtonClick(i + 1, Text(SoftEdits[i]));
            return TRUE;
        }
        for (const Browse& b : Browses) {
            if (id != b.Button) continue;
            OnBrowse(b);
            return TRUE;
        }
        for (const SoundTest& t : SoundTests) {
            if (id != t.Button) continue;
            events_.TestSound(Text(t.Edit));
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
        SetDlgItemTextW(Handle(), browse.Edit, file.c_str());
    }

    // The page of a refused value comes up with its control ready for typing.
    void Focus(FormField field) {
        const auto row = std::find_if(SettingsTable.begin(), SettingsTable.end(),
                                      [field](const SettingRow& r) { return r.Refusable == field; });
        const int soft = static_cast<int>(field) - static_cast<int>(FormField::soft1);
        const int id = row != SettingsTable.end() ? row->ControlId
                       : soft >= 0 && soft < 6    ? SoftEdits[soft]
                                                  : 0;
        if (!id) return;
        const SettingsPage page = PageOf(id);
        TabCtrl_SetCurSel(GetDlgItem(Handle(), IDC_OPT_TABS), static_cast<int>(page));
        ShowPage(static_cast<int>(page));
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(Handle(), id)), TRUE);
    }

    static SettingsPage PageOf(int id) {
        for (const SettingRow& row : SettingsTable) {
            if (row.ControlId == id) return row.Page;
        }
        return std::find_if(std::begin(PageControls), std::end(PageControls),
                            [id](const PageControl& c) { return c.Id == id; })
            ->Page;
    }

    int CurrentPage() const { return TabCtrl_GetCurSel(GetDlgItem(Handle(), IDC_OPT_TABS)); }

    void ShowPage(int page) {
        const auto show = [&](int id, SettingsPage on) {
            const bool shown = static_cast<int>(on) == page && (id != IDC_OPT_MACBOX1 || form_.MACbox1Visible);
            ShowWindow(GetDlgItem(Handle(), id), shown ? SW_SHOWNA : SW_HIDE);
        };
        for (const SettingRow& row : SettingsTable) {
            if (row.ControlId) show(row.ControlId, row.Page);
        }
        for (const PageControl& c : PageControls) show(c.Id, c.Page);
    }

    // The form into the controls.
    void Show() {
        for (const SettingRow& row : SettingsTable) {
            if (row.FormText) SetText(row.ControlId, form_.*row.FormText);
            if (row.FormCheck) CheckDlgButton(Handle(), row.ControlId, form_.*row.FormCheck ? BST_CHECKED : BST_UNCHECKED);
        }
        for (std::size_t i = 0; i < form_.soft.size(); ++i) SetText(SoftEdits[i], form_.soft[i]);
        for (const SpinControl& c : SpinControls) SendDlgItemMessageW(Handle(), c.Spin, UDM_SETPOS32, 0, form_.*c.Field);
        for (const int id : SyslogBoxes) EnableWindow(GetDlgItem(Handle(), id), form_.SyslogBoxesEnabled);
        for (const int id : DialUpWatcherControls) EnableWindow(GetDlgItem(Handle(), id), form_.DialUpWatcherEnabled);
        ShowWindow(GetDlgItem(Handle(), IDC_OPT_MACBOX1), form_.MACbox1Visible && CurrentPage() == 0 ? SW_SHOWNA : SW_HIDE);
    }

    // The controls into the form.
    void Take() {
        for (const SettingRow& row : SettingsTable) {
            if (row.FormText) form_.*row.FormText = Text(row.ControlId);
            if (row.FormCheck) form_.*row.FormCheck = IsDlgButtonChecked(Handle(), row.ControlId) == BST_CHECKED;
        }
        for (std::size_t i = 0; i < form_.soft.size(); ++i) form_.soft[i] = Text(SoftEdits[i]);
        // A typed number out of range counts as the nearest end, as the arrows would go.
        for (const SpinControl& c : SpinControls) {
            BOOL ok = FALSE;
            const UINT typed = GetDlgItemInt(Handle(), c.Edit, &ok, FALSE);
            form_.*c.Field = ok ? static_cast<int>(std::min(typed, static_cast<UINT>(c.Highest))) : 0;
        }
    }

    SettingsForm& form_;
    SettingsFormEvents& events_;
};

}  // namespace

void ShowSettingsBox(HWND owner, SettingsForm& form, SettingsFormEvents& events) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    SettingsDialog(form, events).Open(owner);
}

}  // namespace rm::win
