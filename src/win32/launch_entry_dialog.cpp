#include "launch_entry_dialog.h"

#include <commdlg.h>

#include <string>

#include "dialog.h"
#include "resource.h"

namespace rm::win {
namespace {

// "実行ファイル|*.exe" as the file-open dialog takes it.
constexpr wchar_t ProgramFilter[] = L"実行ファイル\0*.exe\0";
// The lists' items: the index is the value.
constexpr const wchar_t* ListItems[] = {L"off", L"on"};
// The client area at 100 %.
constexpr int ClientWidth = 301, ClientHeight = 204;

class LaunchEntryDialog : public Dialog {
public:
    explicit LaunchEntryDialog(LaunchForm& form)
        : Dialog({IDD_LAUNCH_ENTRY, ClientWidth, ClientHeight}), form_(form) {}

    // True when the user pressed "登録".
    bool Show(HWND owner) {
        return ShowModal(owner, "ランチャーの設定画面を表示できません。") == TRUE;
    }

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM) override {
        switch (msg) {
        case WM_INITDIALOG: OnInitDialog(); return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
            case IDC_LAUNCH_BROWSE: OnBrowse(); return TRUE;
            case IDC_LAUNCH_REGISTER: OnRegister(); return TRUE;
            case IDCANCEL: End(FALSE); return TRUE;
            default: return FALSE;
            }
        default: return FALSE;
        }
    }

    void OnInitDialog() {
        for (const int list : {IDC_LAUNCH_START, IDC_LAUNCH_CLOSE}) {
            for (const wchar_t* item : ListItems) {
                SendDlgItemMessageW(Handle(), list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
        }
        SetText(IDC_LAUNCH_TITLE, form_.Title);
        SetText(IDC_LAUNCH_PROGRAM, form_.ProgramFile);
        SetText(IDC_LAUNCH_ARGUMENTS, form_.Arguments);
        SetText(IDC_LAUNCH_FOLDER, form_.WorkFolder);
        SendDlgItemMessageW(Handle(), IDC_LAUNCH_START, CB_SETCURSEL, form_.StartOnConnect ? 1 : 0, 0);
        SendDlgItemMessageW(Handle(), IDC_LAUNCH_CLOSE, CB_SETCURSEL, form_.CloseOnDisconnect ? 1 : 0, 0);
        // The title cannot be changed here: the program file is what to fill in.
        SetFocus(GetDlgItem(Handle(), IDC_LAUNCH_PROGRAM));
    }

    void OnBrowse() {
        std::wstring file(MAX_PATH * 8, L'\0');
        OPENFILENAMEW open{sizeof open};
        open.hwndOwner = Handle();
        open.lpstrFilter = ProgramFilter;
        open.lpstrFile = file.data();
        open.nMaxFile = static_cast<DWORD>(file.size());
        open.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&open)) return;
        file.resize(file.find(L'\0'));
        SetDlgItemTextW(Handle(), IDC_LAUNCH_PROGRAM, file.c_str());
    }

    void OnRegister() {
        form_.ProgramFile = Text(IDC_LAUNCH_PROGRAM);
        form_.Arguments = Text(IDC_LAUNCH_ARGUMENTS);
        form_.WorkFolder = Text(IDC_LAUNCH_FOLDER);
        form_.StartOnConnect = SendDlgItemMessageW(Handle(), IDC_LAUNCH_START, CB_GETCURSEL, 0, 0) == 1;
        form_.CloseOnDisconnect = SendDlgItemMessageW(Handle(), IDC_LAUNCH_CLOSE, CB_GETCURSEL, 0, 0) == 1;
        End(TRUE);
    }

    LaunchForm& form_;
};

}  // namespace

bool ShowLaunchEntryBox(HWND owner, LaunchForm& form) { return LaunchEntryDialog(form).Show(owner); }

}  // namespace rm::win
