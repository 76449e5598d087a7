// The size in pixels of an icon's picture, for the tests of the icons windows take.
#pragma once

#include <windows.h>

namespace rm::win {

inline SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    BITMAP picture{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof picture, &picture);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {picture.bmWidth, info.hbmColor ? picture.bmHeight : picture.bmHeight / 2};
}

}  // namespace rm::win
