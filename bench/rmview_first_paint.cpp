// How soon RMView.exe shows its first picture: started as a new process in a
// program folder of its own, with no history and with 100,000 records. The
// window is found as soon as it is visible; RMView paints it before it takes
// its first message, so the answer to a message sent then marks the picture.
// Run under Wine: winebox.py run -- rmview_first_paint.exe RMView.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "history_sample.h"

namespace {

namespace fs = std::filesystem;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Times {
    double shown = -1, painted = -1;
};

Times StartOnce(const fs::path& exe) {
    std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, exe.parent_path().c_str(),
                        &startup, &process)) {
        return {};
    }
    Times times;
    HWND window = nullptr;
    const ULONGLONG giveUp = GetTickCount64() + 30000;
    while (GetTickCount64() < giveUp) {
        window = FindWindowW(L"TRMViewForm", nullptr);
        if (window && IsWindowVisible(window)) break;
        window = nullptr;
        Sleep(1);
    }
    if (window) {
        QueryPerformanceCounter(&now);
        times.shown = Milliseconds(start, now);
        DWORD_PTR ignored;
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored)) {
            QueryPerformanceCounter(&now);
            times.painted = Milliseconds(start, now);
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return times;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: rmview_first_paint RMView.exe [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    const fs::path folder = fs::temp_directory_path() / ("rmview-first-paint-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder / "log");
    const fs::path exe = folder / "RMView.exe";
    fs::copy_file(argv[1], exe, fs::copy_options::overwrite_existing);
    // One start to warm Wine's own services and the file cache.
    StartOnce(exe);

    std::printf("%-16s %8s %18s %18s\n", "history", "runs", "window shown (ms)", "first picture (ms)");
    int failures = 0;
    for (const int records : {0, 100000}) {
        fs::remove(folder / "log" / "Rmonitor.csv");
        if (records > 0) {
            std::ofstream(folder / "log" / "Rmonitor.csv", std::ios::binary) << rmview::bench::SampleHistory(records);
        }
        std::vector<double> shown, painted;
        for (int i = 0; i < runs; ++i) {
            const Times t = StartOnce(exe);
            if (t.painted < 0) {
                ++failures;
                continue;
            }
            shown.push_back(t.shown);
            painted.push_back(t.painted);
        }
        std::printf("%-16s %8d %18.0f %18.0f\n", records ? "100,000 records" : "none", static_cast<int>(painted.size()),
                    Median(shown), Median(painted));
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return failures ? 1 : 0;
}
