// What the syslog viewer's line view shows and how the user works it, for
// the Windows tests: its text, scroll bars, font and picture, keys, clicks
// and the clipboard.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "pump.h"

namespace rm::win {

inline std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"(clipboard closed)";
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// The text split at its line breaks; nothing after a final one.
inline std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Through WM_GETTEXT, as screen readers and other programs read it.
inline std::wstring ViewText(HWND view) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(view)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(view, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline SCROLLINFO ScrollBar(HWND view, int bar) {
    SCROLLINFO info{sizeof info, SIF_ALL};
    GetScrollInfo(view, bar, &info);
    return info;
}

inline LOGFONTW ViewFont(HWND view) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(view, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

// A line's height in the view's font.
inline int LineHeight(HWND view) {
    HDC dc = GetDC(view);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(view, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(view, dc);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

// The key pressed in the view with the given keys held down.
inline void Press(HWND view, UINT key, const std::vector<BYTE>& held = {}) {
    BYTE before[256] = {};
    GetKeyboardState(before);
    BYTE during[256];
    std::copy(std::begin(before), std::end(before), std::begin(during));
    for (BYTE k : held) during[k] = 0x80;
    SetKeyboardState(during);
    SendMessageW(view, WM_KEYDOWN, key, 1);
    SendMessageW(view, WM_KEYUP, key, 0xC0000001);
    SetKeyboardState(before);
}

// A left click in the middle of the given row of lines.
inline void Click(HWND view, int row, bool shift = false) {
    const LPARAM at = MAKELPARAM(10, row * LineHeight(view) + LineHeight(view) / 2);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), at);
    SendMessageW(view, WM_LBUTTONUP, shift ? MK_SHIFT : 0, at);
}

// A right click on the row; another thread plays the user in the menu that
// opens: reads its items (greyed ones marked), then picks the one at position
// pick (-1: Escape).
inline std::vector<std::wstring> RightClick(HWND view, int row, int pick) {
    std::vector<std::wstring> seen;
    std::thread player([&] {
        const HWND shown = WaitFor([] {
            const HWND found = FindWindowW(L"#32768", nullptr);
            return IsWindowVisible(found) ? found : nullptr;
        });
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t caption[64] = {};
            GetMenuStringW(menu, i, caption, 64, MF_BYPOSITION);
            seen.push_back(caption + std::wstring(GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED ? L" (greyed)" : L""));
        }
        for (int i = 0; i <= pick; ++i) PostMessageW(shown, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(shown, WM_KEYDOWN, pick < 0 ? VK_ESCAPE : VK_RETURN, 0);
    });
    const LPARAM at = MAKELPARAM(10, row * LineHeight(view) + LineHeight(view) / 2);
    SendMessageW(view, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageW(view, WM_RBUTTONUP, 0, at);
    player.join();
    return seen;
}

// What the view paints of its inside, drawn into a bitmap.
class Picture {
public:
    explicit Picture(HWND view) {
        RECT client{};
        GetClientRect(view, &client);
        width_ = client.right;
        height_ = client.bottom;
        HDC dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageW(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        if (pixels) pixels_.assign(pixels, pixels + static_cast<std::size_t>(width_) * height_);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool operator==(const Picture&) const = default;

    // Pixels of the band of rows [top, top + height) that have the colour.
    int Count(int top, int height, COLORREF colour) const {
        const std::uint32_t wanted = GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
        int count = 0;
        for (int y = std::max(top, 0); y < std::min(top + height, height_); ++y) {
            for (int x = 0; x < width_; ++x) count += (pixels_[y * width_ + x] & 0xFFFFFF) == wanted;
        }
        return count;
    }
    int Width() const { return width_; }

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace rm::win
