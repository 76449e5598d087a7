#include "common_dialogs.h"

#include <commdlg.h>

#include <string>

#include "diagnostics.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int FontSizeMin = 8, FontSizeMax = 30;

// Points in the screen's logical pixels, as the font dialog reckons.
int ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int perInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return perInch;
}

void LogDialogError(const wchar_t* dialog) {
    // Zero is a cancel; anything else a dialog that could not open.
    if (const DWORD error = CommDlgExtendedError()) LogError(dialog, L"common dialog", error);
}

}  // namespace

std::optional<std::filesystem::path> ShowSaveDialog(HWND owner) {
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{sizeof dialog};
    dialog.hwndOwner = owner;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    // The program finds its files through its own folder; the dialog must
    // not move the current one all the same.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) {
        LogDialogError(L"GetSaveFileNameW");
        return std::nullopt;
    }
    file.resize(wcslen(file.c_str()));
    return std::filesystem::path(file);
}

std::optional<ViewerFont> ShowFontDialog(HWND owner, const ViewerFont& current) {
    const int perInch = ScreenPixelsPerInch();
    LOGFONTW font{};
    font.lfHeight = -MulDiv(current.Points, perInch, 72);
    font.lfWeight = current.Bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = current.Italic;
    font.lfCharSet = static_cast<BYTE>(current.Charset);
    const std::wstring face = Widen(current.Face);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);

    CHOOSEFONTW dialog{sizeof dialog};
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE | CF_FORCEFONTEXIST | CF_SCRIPTSONLY |
                   CF_NOVECTORFONTS;
    dialog.nSizeMin = FontSizeMin;
    dialog.nSizeMax = FontSizeMax;
    if (!ChooseFontW(&dialog)) {
        LogDialogError(L"ChooseFontW");
        return std::nullopt;
    }
    ViewerFont chosen;
    chosen.Face = Narrow(font.lfFaceName);
    chosen.Points = dialog.iPointSize > 0 ? (dialog.iPointSize + 5) / 10 : MulDiv(-font.lfHeight, 72, perInch);
    chosen.Bold = font.lfWeight >= FW_BOLD;
    chosen.Italic = font.lfItalic != 0;
    chosen.Charset = font.lfCharSet;
    chosen.FixedPitch = (font.lfPitchAndFamily & 0x03) == FIXED_PITCH;
    return chosen;
}

}  // namespace rm::win
