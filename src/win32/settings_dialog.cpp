#include "settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "dialog.h"
#include "form/settings_form.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 414, ClientHeight = 237;

constexpr const wchar_t* PageCaptions[] = {L"基本設定", L"ネットワーク", L"SysLog", L"時間設定",
                                           L"ランチャー", L"Dial-Up Watcher", L"サウンド", L"ISP 名称"};

// Every control of a page, by page, in the order of the captions.
struct PageControl {
    int Id;
    int Page;
};
constexpr PageControl PageControls[] = {
    {IDC_OPT_LABEL3, 0}, {IDC_OPT_EDIT2, 0}, {IDC_OPT_BUTTON2, 0}, {IDC_OPT_LABEL1, 0}, {IDC_OPT_EDIT1, 0},
    {IDC_OPT_SUBPORTBOX1, 0}, {IDC_OPT_TRAYCHECKBOX, 0}, {IDC_OPT_RISKBOX, 0}, {IDC_OPT_MACBOX1, 0},
    {IDC_OPT_MASTERBOX, 1}, {IDC_OPT_LABEL21, 1}, {IDC_OPT_LABEL19, 1}, {IDC_OPT_PCNAME, 1},
    {IDC_OPT_LABEL20, 1}, {IDC_OPT_REDIALBOX, 1}, {IDC_OPT_SENDERBOX, 1},
    {IDC_OPT_SYSLOGMAINBOX, 2}, {IDC_OPT_SYSLOGTYPEBOX, 2}, {IDC_OPT_SYSLOGTIMEBOX, 2},
    {IDC_OPT_SYSLOGSAVEBOX, 2}, {IDC_OPT_SYSLOGLINEBOX, 2},
    {IDC_OPT_STARTBOX1, 3}, {IDC_OPT_SPINEDIT1, 3}, {IDC_OPT_SPIN1, 3}, {IDC_OPT_HOUR1, 3},
    {IDC_OPT_SPINEDIT2, 3}, {IDC_OPT_SPIN2, 3}, {IDC_OPT_MINUTE1, 3}, {IDC_OPT_ENDBOX2, 3},
    {IDC_OPT_SPINEDIT3, 3}, {IDC_OPT_SPIN3, 3}, {IDC_OPT_HOUR2, 3}, {IDC_OPT_SPINEDIT4, 3},
    {IDC_OPT_SPIN4, 3}, {IDC_OPT_MINUTE2, 3}, {IDC_OPT_LABEL13, 3},
    {IDC_OPT_TITLES1, 4}, {IDC_OPT_SOFT1, 4}, {IDC_OPT_SOFTBUTTON1, 4}, {IDC_OPT_SOFT2, 4},
    {IDC_OPT_SOFTBUTTON2, 4}, {IDC_OPT_SOFT3, 4}, {IDC_OPT_SOFTBUTTON3, 4}, {IDC_OPT_TITLES2, 4},
    {IDC_OPT_SOFT4, 4}, {IDC_OPT_SOFTBUTTON4, 4}, {IDC_OPT_SOFT5, 4}, {IDC_OPT_SOFTBUTTON5, 4},
    {IDC_OPT_SOFT6, 4}, {IDC_OPT_SOFTBUTTON6, 4},
    {IDC_OPT_DWBOX, 5}, {IDC_OPT_LABEL2, 5}, {IDC_OPT_EDIT3, 5}, {IDC_OPT_BUTTON3, 5}, {IDC_OPT_LABEL10, 5},
    {IDC_OPT_ISP1, 5}, {IDC_OPT_DWPORT1, 5}, {IDC_OPT_ISP2, 5}, {IDC_OPT_DWPORT2, 5}, {IDC_OPT_ISP3, 5},
    {IDC_OPT_DWPORT3, 5},
    {IDC_OPT_LABEL11, 6}, {IDC_OPT_EDIT5, 6}, {IDC_OPT_BUTTON4, 6}, {IDC_OPT_BUTTON6, 6},
    {IDC_OPT_LABEL14, 6}, {IDC_OPT_EDIT6, 6}, {IDC_OPT_BUTTON5, 6}, {IDC_OPT_BUTTON7, 6},
    {IDC_OPT_DELYSTIME, 6}, {IDC_OPT_LABEL17, 6}, {IDC_OPT_EDIT4, 6}, {IDC_OPT_BUTTON8, 6}, {IDC_OPT_BUTTON9, 6},
    {IDC_OPT_LABEL22, 7}, {IDC_OPT_EDIT7, 7}, {IDC_OPT_LABEL23, 7}, {IDC_OPT_EDIT8, 7}, {IDC_OPT_LABEL24, 7},
    {IDC_OPT_EDIT9, 7},
};

// The form's fields by control: the values move through these two tables,
// one way in Show, the other in Take.
struct TextControl {
    int Id;
    std::string SettingsForm::*Field;
    int Limit;  // characters, 0 = none
};
constexpr TextControl TextControls[] = {
    {IDC_OPT_EDIT2, &SettingsForm::Edit2, 0},     {IDC_OPT_EDIT1, &SettingsForm::Edit1, 15},
    {IDC_OPT_PCNAME, &SettingsForm::PCname, 0},   {IDC_OPT_EDIT3, &SettingsForm::Edit3, 0},
    {IDC_OPT_DWPORT1, &SettingsForm::dwport1, 15}, {IDC_OPT_DWPORT2, &SettingsForm::dwport2, 0},
    {IDC_OPT_DWPORT3, &SettingsForm::dwport3, 0}, {IDC_OPT_EDIT5, &SettingsForm::Edit5, 0},
    {IDC_OPT_EDIT6, &SettingsForm::Edit6, 0},     {IDC_OPT_DELYSTIME, &SettingsForm::delyStime, 0},
    {IDC_OPT_EDIT4, &SettingsForm::Edit4, 0},     {IDC_OPT_EDIT7, &SettingsForm::Edit7, 0},
    {IDC_OPT_EDIT8, &SettingsForm::Edit8, 0},     {IDC_OPT_EDIT9, &SettingsForm::Edit9, 0},
};
// The control of each value a save can refuse.
struct FieldControl {
    FormField Field;
    int Id;
};
constexpr FieldControl FieldControls[] = {
    {FormField::Edit2, IDC_OPT_EDIT2},         {FormField::Edit1, IDC_OPT_EDIT1},
    {FormField::PCname, IDC_OPT_PCNAME},       {FormField::SpinEdit3, IDC_OPT_SPINEDIT3},
    {FormField::soft1, IDC_OPT_SOFT1},         {FormField::soft2, IDC_OPT_SOFT2},
    {FormField::soft3, IDC_OPT_SOFT3},         {FormField::soft4, IDC_OPT_SOFT4},
    {FormField::soft5, IDC_OPT_SOFT5},         {FormField::soft6, IDC_OPT_SOFT6},
    {FormField::Edit3, IDC_OPT_EDIT3},         {FormField::dwport1, IDC_OPT_DWPORT1},
    {FormField::dwport2, IDC_OPT_DWPORT2},     {FormField::dwport3, IDC_OPT_DWPORT3},
    {FormField::Edit5, IDC_OPT_EDIT5},         {FormField::Edit6, IDC_OPT_EDIT6},
    {FormField::delyStime, IDC_OPT_DELYSTIME}, {FormField::Edit4, IDC_OPT_EDIT4},
    {FormField::Edit7, IDC_OPT_EDIT7},         {FormField::Edit8, IDC_OPT_EDIT8},
    {FormField::Edit9, IDC_OPT_EDIT9},
};
constexpr int SoftEdits[] = {IDC_OPT_SOFT1, IDC_OPT_SOFT2, IDC_OPT_SOFT3, IDC_OPT_SOFT4, IDC_OPT_SOFT5, IDC_OPT_SOFT6};
constexpr int SoftButtons[] = {IDC_OPT_SOFTBUTTON1, IDC_OPT_SOFTBUTTON2, IDC_OPT_SOFTBUTTON3,
                               IDC_OPT_SOFTBUTTON4, IDC_OPT_SOFTBUTTON5, IDC_OPT_SOFTBUTTON6};

struct CheckControl {
    int Id;
    bool SettingsForm::*Field;
};
constexpr CheckControl CheckControls[] = {
    {IDC_OPT_SUBPORTBOX1, &SettingsForm::subportBox1},   {IDC_OPT_TRAYCHECKBOX, &SettingsForm::TrayCheckBox},
    {IDC_OPT_RISKBOX, &SettingsForm::riskBox},           {IDC_OPT_MACBOX1, &SettingsForm::MACbox1},
    {IDC_OPT_MASTERBOX, &SettingsForm::MasterBox},       {IDC_OPT_REDIALBOX, &SettingsForm::RedialBox},
    {IDC_OPT_SYSLOGMAINBOX, &SettingsForm::SyslogmainBox}, {IDC_OPT_SYSLOGTYPEBOX, &SettingsForm::SysLogTypeBox},
    {IDC_OPT_SYSLOGTIMEBOX, &SettingsForm::SysLogTimeBox}, {IDC_OPT_SYSLOGSAVEBOX, &SettingsForm::SyslogSaveBox},
    {IDC_OPT_SYSLOGLINEBOX, &SettingsForm::SysLoglineBox}, {IDC_OPT_STARTBOX1, &SettingsForm::startBox1},
    {IDC_OPT_ENDBOX2, &SettingsForm::endBox2},           {IDC_OPT_DWBOX, &SettingsForm::DWBox},
    {IDC_OPT_SENDERBOX, &SettingsForm::SenderBox},
};

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
        for (const TextControl& c : TextControls) {
            if (c.Limit) SendDlgItemMessageW(Handle(), c.Id, EM_LIMITTEXT, static_cast<WPARAM>(c.Limit), 0);
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
        if (!IsAppThemed() || std::wstring_view(kind) == L"Edit" || GetDlgCtrlID(control) == IDC_OPT_BUTTON1) {
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
        const auto control = std::find_if(std::begin(FieldControls), std::end(FieldControls),
                                          [field](const FieldControl& c) { return c.Field == field; });
        if (control == std::end(FieldControls)) return;
        const auto page = std::find_if(std::begin(PageControls), std::end(PageControls),
                                       [&](const PageControl& c) { return c.Id == control->Id; });
        TabCtrl_SetCurSel(GetDlgItem(Handle(), IDC_OPT_TABS), page->Page);
        ShowPage(page->Page);
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(Handle(), control->Id)), TRUE);
    }

    int CurrentPage() const { return TabCtrl_GetCurSel(GetDlgItem(Handle(), IDC_OPT_TABS)); }

    void ShowPage(int page) {
        for (const PageControl& c : PageControls) {
            const bool shown = c.Page == page && (c.Id != IDC_OPT_MACBOX1 || form_.MACbox1Visible);
            ShowWindow(GetDlgItem(Handle(), c.Id), shown ? SW_SHOWNA : SW_HIDE);
        }
    }

    // The form into the controls.
    void Show() {
        for (const TextControl& c : TextControls) SetText(c.Id, form_.*c.Field);
        for (std::size_t i = 0; i < form_.soft.size(); ++i) SetText(SoftEdits[i], form_.soft[i]);
        for (const CheckControl& c : CheckControls) {
            CheckDlgButton(Handle(), c.Id, form_.*c.Field ? BST_CHECKED : BST_UNCHECKED);
        }
        for (const SpinControl& c : SpinControls) SendDlgItemMessageW(Handle(), c.Spin, UDM_SETPOS32, 0, form_.*c.Field);
        for (const int id : SyslogBoxes) EnableWindow(GetDlgItem(Handle(), id), form_.SyslogBoxesEnabled);
        for (const int id : DialUpWatcherControls) EnableWindow(GetDlgItem(Handle(), id), form_.DialUpWatcherEnabled);
        ShowWindow(GetDlgItem(Handle(), IDC_OPT_MACBOX1), form_.MACbox1Visible && CurrentPage() == 0 ? SW_SHOWNA : SW_HIDE);
    }

    // The controls into the form.
    void Take() {
        for (const TextControl& c : TextControls) form_.*c.Field = Text(c.Id);
        for (std::size_t i = 0; i < form_.soft.size(); ++i) form_.soft[i] = Text(SoftEdits[i]);
        for (const CheckControl& c : CheckControls) form_.*c.Field = IsDlgButtonChecked(Handle(), c.Id) == BST_CHECKED;
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
