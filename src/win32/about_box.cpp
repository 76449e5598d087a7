#include "about_box.h"

#include <utility>

#include "dialog.h"
#include "handles.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int BevelWidth = 3;

HFONT TimesNewRoman(int height, bool italic) {
    return CreateFontW(-height, 0, 0, 0, FW_NORMAL, italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_ROMAN, L"Times New Roman");
}

class AboutBox : public Dialog {
public:
    AboutBox(std::wstring versionLine, HICON picture)
        : Dialog({IDD_ABOUT, 330, 123}), versionLine_(std::move(versionLine)), picture_(picture) {}

    void Show(HWND owner) { ShowModal(owner, "バージョン情報を表示できません。"); }

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM) override {
        switch (msg) {
        case WM_INITDIALOG: OnInitDialog(); return TRUE;
        case WM_PAINT: OnPaint(); return TRUE;
        case WM_DPICHANGED: SetFonts(); return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) End(IDOK);
            return TRUE;
        default: return FALSE;
        }
    }

    void OnInitDialog() {
        SetFonts();
        SetDlgItemTextW(Handle(), IDC_ABOUT_VERSION, versionLine_.c_str());
        SendDlgItemMessageW(Handle(), IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(picture_), 0);
    }

    // The dialog's own font follows the scale in the base; these two are ours.
    void SetFonts() {
        OwnedFont version(TimesNewRoman(Scale(21), true)), button(TimesNewRoman(Scale(12), false));
        SendDlgItemMessageW(Handle(), IDC_ABOUT_VERSION, WM_SETFONT, reinterpret_cast<WPARAM>(version.get()), TRUE);
        SendDlgItemMessageW(Handle(), IDOK, WM_SETFONT, reinterpret_cast<WPARAM>(button.get()), TRUE);
        versionFont_ = std::move(version);
        buttonFont_ = std::move(button);
    }

    // Frame: raised, with a bevel of three pixels at 100 %.
    void OnPaint() {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(Handle(), &paint);
        RECT r{};
        GetClientRect(Handle(), &r);
        for (int i = 0; i < Scale(BevelWidth); ++i) {
            const RECT top{r.left, r.top, r.right - 1, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom - 1};
            const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
            FillRect(dc, &top, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            FillRect(dc, &left, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            FillRect(dc, &bottom, GetSysColorBrush(COLOR_BTNSHADOW));
            FillRect(dc, &right, GetSysColorBrush(COLOR_BTNSHADOW));
            InflateRect(&r, -1, -1);
        }
        EndPaint(Handle(), &paint);
    }

    const std::wstring versionLine_;
    const HICON picture_;
    OwnedFont versionFont_, buttonFont_;
};

}  // namespace

void ShowAboutBox(HWND owner, const std::string& versionText, HICON picture) {
    AboutBox(Widen("Routavista Monitor Ver" + versionText + " "), picture).Show(owner);
}

}  // namespace rm::win
