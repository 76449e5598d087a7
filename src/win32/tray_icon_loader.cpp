#include "tray_icon_loader.h"

#include <commctrl.h>

#include <string>

#include "diagnostics.h"

namespace rm::win {

OwnedIcon LoadTrayIcon(HINSTANCE instance, int resourceId) {
    const wchar_t* name = MAKEINTRESOURCEW(resourceId);
    const std::wstring about = L"icon " + std::to_wstring(resourceId);
    HICON icon = nullptr;
    const HRESULT result = LoadIconMetric(instance, name, LIM_SMALL, &icon);
    if (SUCCEEDED(result)) return OwnedIcon(icon);
    LogError(L"LoadIconMetric", about, static_cast<DWORD>(result));
    // The system DPI is right at least on the primary screen.
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, GetDpiForSystem());
    OwnedIcon fallback(static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!fallback) LogLastError(L"LoadImageW", about);
    return fallback;
}

}  // namespace rm::win
