// Text for other programs, through the clipboard.
#pragma once

#include <string>

#include <windows.h>

namespace rmview::win {

// False when another program holds the clipboard or memory runs out.
bool PutOnClipboard(HWND owner, const std::wstring& text);

}  // namespace rmview::win
