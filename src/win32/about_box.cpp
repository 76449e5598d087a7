#include "about_box.h"

#include "handles.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

struct AboutData {
    std::wstring versionLine;
    HICON icon;
    OwnedFont versionFont;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<AboutData*>(lp);
        const UINT dpi = GetDpiForWindow(dialog);
        data->versionFont.reset(CreateFontW(-MulDiv(21, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI), 0, 0,
                                            0, FW_NORMAL, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_ROMAN, L"Times New Roman"));
        SendDlgItemMessageW(dialog, IDC_ABOUT_VERSION, WM_SETFONT,
                            reinterpret_cast<WPARAM>(data->versionFont.get()), FALSE);
        SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, data->versionLine.c_str());
        SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(data->icon), 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dialog, IDOK);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner, const std::string& versionText, TrayIconKind icon) {
    const int iconId = icon == TrayIconKind::Connected ? IDI_CONNECTED : IDI_PROGRAM;
    AboutData data{Widen("Routavista Monitor Ver" + versionText + " "),
                   static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 32, 32,
                                                 LR_DEFAULTCOLOR | LR_SHARED)),
                   {}};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, reinterpret_cast<LPARAM>(&data));
}

}  // namespace rm::win
