#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "launch_entry_dialog.h"
#include "pump.h"
#include "resource.h"
#include "text/files.h"

namespace rm::win {
namespace {

namespace fs = std::filesystem;

// The file-open dialog's file type list and file name box.
constexpr int FileTypes = 0x470, FileNameEdit = 0x480, FileNameCombo = 0x47c;

// Plays the user on another thread while the dialog runs its modal loop here.
bool ShowWithUser(LaunchForm& form, std::function<void(HWND dialog)> user) {
    std::thread player([&] {
        // Shown once it is filled.
        const HWND dialog = WaitFor([] {
            const HWND found = FindWindowW(L"#32770", L"ソフト設定");
            return IsWindowVisible(found) ? found : nullptr;
        });
        if (dialog) user(dialog);
    });
    const bool registered = ShowLaunchEntryBox(nullptr, form);
    player.join();
    return registered;
}

struct Look {
    UINT dpi = 0;
    RECT client{};
    std::vector<std::wstring> clipped;
    std::wstring title, start, close;
    bool titleReadOnly = false;
    std::vector<std::wstring> startItems;
};

// What the user sees: every control inside the window, every text whole in
// its control's font.
Look LookAt(HWND dialog) {
    Look look;
    look.dpi = GetDpiForWindow(dialog);
    GetClientRect(dialog, &look.client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[32] = {};
        GetClassNameW(child, kind, 32);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const std::wstring text = TextOf(child);
        const HDC dc = GetDC(child);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        const bool button = std::wstring(kind) == L"Button";
        const bool inside = r.left >= 0 && r.top >= 0 && r.right <= look.client.right && r.bottom <= look.client.bottom;
        const bool fits = extent.cx + (button ? 8 : 0) <= r.right - r.left && metrics.tmHeight <= r.bottom - r.top;
        if (!inside || !fits) look.clipped.push_back(std::wstring(kind) + L" " + text);
    }
    look.title = TextOf(GetDlgItem(dialog, IDC_LAUNCH_TITLE));
    look.titleReadOnly = GetWindowLongW(GetDlgItem(dialog, IDC_LAUNCH_TITLE), GWL_STYLE) & ES_READONLY;
    look.start = TextOf(GetDlgItem(dialog, IDC_LAUNCH_START));
    look.close = TextOf(GetDlgItem(dialog, IDC_LAUNCH_CLOSE));
    const HWND list = GetDlgItem(dialog, IDC_LAUNCH_START);
    for (int i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t item[16] = {};
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        look.startItems.push_back(item);
    }
    return look;
}

void Type(HWND dialog, int control, const wchar_t* text) {
    SendMessageW(GetDlgItem(dialog, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

TEST(LaunchEntryDialogWindow, ShowsTheEntryWholeAndRegistersWhatWasEntered) {
    LaunchForm form{"メール", "C:\\mail.exe", "-x", "", true, false};
    Look look;
    const bool registered = ShowWithUser(form, [&](HWND dialog) {
        look = LookAt(dialog);
        Type(dialog, IDC_LAUNCH_PROGRAM, L"D:\\ツール\\new.exe");
        Type(dialog, IDC_LAUNCH_ARGUMENTS, L"");
        Type(dialog, IDC_LAUNCH_FOLDER, L"D:\\作業");
        SendDlgItemMessageW(dialog, IDC_LAUNCH_START, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageW(dialog, IDC_LAUNCH_CLOSE, CB_SETCURSEL, 1, 0);
        SendDlgItemMessageW(dialog, IDC_LAUNCH_REGISTER, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(look.client.right, MulDiv(301, look.dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_EQ(look.client.bottom, MulDiv(204, look.dpi, USER_DEFAULT_SCREEN_DPI));
    EXPECT_EQ(look.clipped, std::vector<std::wstring>{});
    EXPECT_EQ(look.title, L"メール");
    EXPECT_TRUE(look.titleReadOnly);
    EXPECT_EQ(look.start, L"on");
    EXPECT_EQ(look.close, L"off");
    EXPECT_EQ(look.startItems, (std::vector<std::wstring>{L"off", L"on"}));
    EXPECT_TRUE(registered);
    EXPECT_EQ(form.Title, "メール");
    EXPECT_EQ(form.ProgramFile, "D:\\ツール\\new.exe");
    EXPECT_EQ(form.Arguments, "");
    EXPECT_EQ(form.WorkFolder, "D:\\作業");
    EXPECT_FALSE(form.StartOnConnect);
    EXPECT_TRUE(form.CloseOnDisconnect);
}

TEST(LaunchEntryDialogWindow, ClosedWithItsCloseBoxItGivesNothingBack) {
    LaunchForm form{"メール", "C:\\mail.exe", "", "", true, true};
    const bool registered = ShowWithUser(form, [](HWND dialog) {
        Type(dialog, IDC_LAUNCH_PROGRAM, L"D:\\other.exe");
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_FALSE(registered);
    EXPECT_EQ(form.ProgramFile, "C:\\mail.exe");
}

TEST(LaunchEntryDialogWindow, BrowseOffersProgramsAndTakesTheChosenFilesFullName) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / L"rm-browse" / L"プログラム";
    fs::remove_all(folder);
    fs::create_directories(folder);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    fs::copy_file(self, folder / L"選ぶ.exe");

    LaunchForm form{"メール", "", "", "", true, true};
    std::wstring fileTypes;
    const bool registered = ShowWithUser(form, [&](HWND dialog) {
        SendNotifyMessageW(GetDlgItem(dialog, IDC_LAUNCH_BROWSE), BM_CLICK, 0, 0);
        const HWND open = WaitFor([&] {
            HWND found = nullptr;
            for (HWND w = FindWindowW(L"#32770", nullptr); w && !found; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                if (GetWindow(w, GW_OWNER) == dialog && IsWindowVisible(w)) found = w;
            }
            return found;
        });
        if (!open) return;
        fileTypes = TextOf(GetDlgItem(open, FileTypes));
        const HWND name = GetDlgItem(open, FileNameCombo) ? GetDlgItem(open, FileNameCombo) : GetDlgItem(open, FileNameEdit);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((folder / L"選ぶ.exe").c_str()));
        PostMessageW(open, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return IsWindow(open) ? nullptr : dialog; });
        SendDlgItemMessageW(dialog, IDC_LAUNCH_REGISTER, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(fileTypes, L"実行ファイル");
    EXPECT_TRUE(registered);
    EXPECT_EQ(form.ProgramFile, PathText(folder / L"選ぶ.exe"));
    fs::remove_all(folder.parent_path());
}

}  // namespace
}  // namespace rm::win
