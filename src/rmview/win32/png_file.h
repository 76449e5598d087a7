// Pictures saved as PNG through the Windows Imaging Component, which comes
// with Windows; the calling thread has COM initialised.
#pragma once

#include <filesystem>

#include <windows.h>

namespace rmview::win {

// A top-down 32-bit picture, blue green red and a byte that is ignored.
bool SavePng(const std::filesystem::path& file, const void* pixels, UINT width, UINT height);

}  // namespace rmview::win
