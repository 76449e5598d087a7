// The DLLs the programs load from System32 only, used the way the program does.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "system_dlls.h"

namespace rm::win {
namespace {

namespace fs = std::filesystem;

// A tenth of a second of silence, 8 kHz, 8 bits, mono.
void WriteWave(const fs::path& file) {
    const std::uint32_t samples = 800;
    std::string bytes = "RIFF....WAVEfmt ";
    auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(16, 4);
    put(WAVE_FORMAT_PCM, 2);
    put(1, 2);
    put(8000, 4);
    put(8000, 4);
    put(1, 2);
    put(8, 2);
    bytes += "data";
    put(samples, 4);
    bytes.append(samples, static_cast<char>(0x80));
    const std::uint32_t riff = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>((riff >> (8 * i)) & 0xFF);
    std::ofstream(file, std::ios::binary) << bytes;
}

fs::path LoadedFrom(const wchar_t* dll) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(dll), path, MAX_PATH);
    return path;
}

fs::path SystemFolder() {
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

TEST(SystemDlls, AWaveFilePlaysThroughWinmmFromSystem32) {
    const fs::path folder = fs::temp_directory_path() / ("rm-sound-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    WriteWave(folder / L"接続.wav");
    EXPECT_TRUE(PlaySystemSound((folder / L"接続.wav").c_str(), SND_FILENAME | SND_SYNC | SND_NODEFAULT));
    EXPECT_FALSE(PlaySystemSound((folder / L"ない.wav").c_str(), SND_FILENAME | SND_SYNC | SND_NODEFAULT));
    fs::remove_all(folder);
    EXPECT_TRUE(fs::equivalent(LoadedFrom(L"winmm.dll").parent_path(), SystemFolder()));
}

// The settings dialog colours its labels for a themed page by it. Wine's
// prefixes start with its Light theme on.
TEST(SystemDlls, WhetherThemedIsAskedOfUxthemeFromSystem32) {
    EXPECT_TRUE(AppThemed());
    EXPECT_TRUE(fs::equivalent(LoadedFrom(L"uxtheme.dll").parent_path(), SystemFolder()));
}

}  // namespace
}  // namespace rm::win
