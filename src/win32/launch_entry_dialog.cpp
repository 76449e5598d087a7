#include "launch_entry_dialog.h"

#include <commdlg.h>

#include <stdexcept>
#include <string>

#include "diagnostics.h"
#include "dialog_layout.h"
#include "resource.h"

namespace rm::win {
namespace {

// "実行ファイル|*.exe" as the file-open dialog takes it.
constexpr wchar_t ProgramFilter[] = L"実行ファイル\0*.exe\0";
// The lists' items: the index is the value.
constexpr const wchar_t* ListItems[] = {L"off", L"on"};
// The client area at 100 %.
constexpr int ClientWidth = 301, ClientHeight = 204;

class LaunchEntryDialog {
public:
    explicit LaunchEntryDialog(LaunchForm& form) : form_(form) {}

    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
        return DispatchDialog<LaunchEntryDialog>(
            dialog, msg, lp, [&](LaunchEntryDialog& self) { return self.HandleMessage(dialog, msg, wp); });
    }

private:
    INT_PTR HandleMessage(HWND dialog, UINT msg, WPARAM wp) {
        switch (msg) {
        case WM_INITDIALOG: OnInitDialog(dialog); return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
            case IDC_LAUNCH_BROWSE: OnBrowse(); return TRUE;
            case IDC_LAUNCH_REGISTER: OnRegister(); return TRUE;
            case IDCANCEL: EndDialog(dialog_, FALSE); return TRUE;
            default: return FALSE;
            }
        default: return FALSE;
        }
    }

    void OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        FitClientArea(dialog_, ClientWidth, ClientHeight);
        TakeProgramIcon(dialog_);
        for (const int list : {IDC_LAUNCH_START, IDC_LAUNCH_CLOSE}) {
            for (const wchar_t* item : ListItems) {
                SendDlgItemMessageW(dialog_, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
        }
        SetText(IDC_LAUNCH_TITLE, form_.Title);
        SetText(IDC_LAUNCH_PROGRAM, form_.ProgramFile);
        SetText(IDC_LAUNCH_ARGUMENTS, form_.Arguments);
        SetText(IDC_LAUNCH_FOLDER, form_.WorkFolder);
        SendDlgItemMessageW(dialog_, IDC_LAUNCH_START, CB_SETCURSEL, form_.StartOnConnect ? 1 : 0, 0);
        SendDlgItemMessageW(dialog_, IDC_LAUNCH_CLOSE, CB_SETCURSEL, form_.CloseOnDisconnect ? 1 : 0, 0);
        // The title cannot be changed here: the program file is what to fill in.
        SetFocus(GetDlgItem(dialog_, IDC_LAUNCH_PROGRAM));
    }

    void OnBrowse() {
        std::wstring file(MAX_PATH * 8, L'\0');
        OPENFILENAMEW open{sizeof open};
        open.hwndOwner = dialog_;
        open.lpstrFilter = ProgramFilter;
        open.lpstrFile = file.data();
        open.nMaxFile = static_cast<DWORD>(file.size());
        open.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&open)) return;
        file.resize(file.find(L'\0'));
        SetDlgItemTextW(dialog_, IDC_LAUNCH_PROGRAM, file.c_str());
    }

    void OnRegister() {
        form_.ProgramFile = Text(IDC_LAUNCH_PROGRAM);
        form_.Arguments = Text(IDC_LAUNCH_ARGUMENTS);
        form_.WorkFolder = Text(IDC_LAUNCH_FOLDER);
        form_.StartOnConnect = SendDlgItemMessageW(dialog_, IDC_LAUNCH_START, CB_GETCURSEL, 0, 0) == 1;
        form_.CloseOnDisconnect = SendDlgItemMessageW(dialog_, IDC_LAUNCH_CLOSE, CB_GETCURSEL, 0, 0) == 1;
        EndDialog(dialog_, TRUE);
    }

    void SetText(int control, const std::string& text) { SetControlText(dialog_, control, text); }

    std::string Text(int control) const { return ControlText(dialog_, control); }

    LaunchForm& form_;
    HWND dialog_ = nullptr;
};

}  // namespace

bool ShowLaunchEntryBox(HWND owner, LaunchForm& form) {
    LaunchEntryDialog dialog(form);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LAUNCH_ENTRY), owner,
                                           LaunchEntryDialog::Proc, reinterpret_cast<LPARAM>(&dialog));
    if (result == -1) {
        LogLastError(L"DialogBoxParamW", L"launcher entry dialog");
        throw std::runtime_error("ランチャーの設定画面を表示できません。");
    }
    return result == TRUE;
}

}  // namespace rm::win
