// RMonitor.exe: one copy per program file, no task-bar button, a message loop.
#include <exception>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "app.h"
#include "diagnostics.h"
#include "dialog.h"
#include "message_box.h"
#include "program_path.h"
#include "single_instance.h"
#include "system_dlls.h"
#include "wide.h"

namespace {

// The one switch: /debuglog also writes the diagnostic log to log\debug.log.
void ReadSwitches() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; args && i < count; ++i) {
        if (lstrcmpiW(args[i], L"/debuglog") == 0) {
            rm::win::StartDebugLog(rm::win::ProgramPath().parent_path() / "log" / "debug.log");
        }
    }
    LocalFree(args);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    rm::win::SearchDllsInSystemOnly();
    ReadSwitches();
    const auto instanceLock = rm::win::SingleInstance::Acquire();
    if (!instanceLock) {
        rm::win::TellRunningCopy();
        return 0;
    }

    // ShellExecuteW asks for COM on the calling thread.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        rm::win::LogText(L"CoInitializeEx failed");
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    try {
        rm::win::App app;
        if (!app.Start()) return 1;
        rm::win::RunMessageLoop();
    } catch (const std::exception& e) {
        // Only the creation of the endpoints and the step timer can fail this
        // way: no window of the program is there to show a box of its own.
        rm::win::LogText(L"start failed: " + rm::win::Widen(e.what()));
        rm::win::ShowMessageBox(nullptr, e.what(), MB_OK | MB_ICONERROR);
        return 1;
    }
    CoUninitialize();
    return 0;
}
