#include "about_box.h"

#include <stdexcept>
#include <utility>

#include "diagnostics.h"
#include "dialog_layout.h"
#include "handles.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 330, ClientHeight = 123;
constexpr int BevelWidth = 3;

struct AboutData {
    std::wstring versionLine;
    HICON picture;
    OwnedFont versionFont, buttonFont;
};

HFONT TimesNewRoman(int pixels, bool italic, UINT dpi) {
    return CreateFontW(-MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI), 0, 0, 0, FW_NORMAL, italic,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FF_ROMAN, L"Times New Roman");
}

// The dialog manager scales its own font with the screen; these two are ours.
void SetFonts(HWND dialog, AboutData& data, UINT dpi) {
    OwnedFont version(TimesNewRoman(21, true, dpi)), button(TimesNewRoman(12, false, dpi));
    SendDlgItemMessageW(dialog, IDC_ABOUT_VERSION, WM_SETFONT, reinterpret_cast<WPARAM>(version.get()), TRUE);
    SendDlgItemMessageW(dialog, IDOK, WM_SETFONT, reinterpret_cast<WPARAM>(button.get()), TRUE);
    data.versionFont = std::move(version);
    data.buttonFont = std::move(button);
}

void OnInitDialog(HWND dialog, AboutData& data) {
    FitClientArea(dialog, ClientWidth, ClientHeight);
    SetFonts(dialog, data, GetDpiForWindow(dialog));
    SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, data.versionLine.c_str());
    SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(data.picture), 0);
}

// Panel2: raised, with a bevel of three pixels at 100 %.
void PaintPanel(HWND dialog) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(dialog, &paint);
    RECT r{};
    GetClientRect(dialog, &r);
    const int bevel = MulDiv(BevelWidth, static_cast<int>(GetDpiForWindow(dialog)), USER_DEFAULT_SCREEN_DPI);
    for (int i = 0; i < bevel; ++i) {
        const RECT top{r.left, r.top, r.right - 1, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom - 1};
        const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
        FillRect(dc, &top, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        FillRect(dc, &left, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        FillRect(dc, &bottom, GetSysColorBrush(COLOR_BTNSHADOW));
        FillRect(dc, &right, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&r, -1, -1);
    }
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        OnInitDialog(dialog, *reinterpret_cast<AboutData*>(lp));
        return TRUE;
    case WM_PAINT: PaintPanel(dialog); return TRUE;
    case WM_DPICHANGED:
        SetFonts(dialog, *reinterpret_cast<AboutData*>(GetWindowLongPtrW(dialog, DWLP_USER)), LOWORD(wp));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dialog, IDOK);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void ShowAboutBox(HWND owner, const std::string& versionText, HICON picture) {
    AboutData data{Widen("Routavista Monitor Ver" + versionText + " "), picture, {}, {}};
    if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc,
                        reinterpret_cast<LPARAM>(&data)) == -1) {
        LogLastError(L"DialogBoxParamW", L"about window");
        throw std::runtime_error("バージョン情報を表示できません。");
    }
}

}  // namespace rm::win
