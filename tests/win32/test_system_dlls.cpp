// The DLLs the programs load from System32 only, used the way the program does.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/commands.h"
#include "fakes.h"
#include "pump.h"
#include "resource.h"
#include "settings_dialog.h"
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

// Wine's prefixes start with its Light theme on, whose pages are white: the
// settings dialog's labels show the page's colour, not the dialog's grey.
TEST(SystemDlls, ThemedPagesShowTheirLabelsOnThePagesColour) {
    ASSERT_NE(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE));
    test::FakeMonitor f;
    f.dialogs.onSettingsDialog = [](SettingsForm& form, SettingsFormEvents& events) {
        ShowSettingsBox(nullptr, form, events);
    };
    COLORREF behindLabel = CLR_INVALID;
    std::thread user([&] {
        const HWND dialog = WaitFor([] {
            const HWND found = FindWindowW(L"#32770", L"設定");
            return IsWindowVisible(found) ? found : nullptr;
        });
        if (!dialog) return;
        // Right of its text, "RoutavistaのIPアドレス".
        const HWND label = GetDlgItem(GetDlgItem(dialog, IDD_SETTINGS_BASIC), IDC_OPT_ROUTER_ADDRESS_LABEL);
        RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT r{};
        GetClientRect(label, &r);
        const HDC dc = GetDC(label);
        behindLabel = GetPixel(dc, r.right - 2, r.bottom / 2);
        ReleaseDC(label, dc);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    f.Run(MenuClick(f.m, Item::OpenSettings));
    user.join();
    EXPECT_EQ(behindLabel, GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(fs::equivalent(LoadedFrom(L"uxtheme.dll").parent_path(), SystemFolder()));
}

}  // namespace
}  // namespace rm::win
