// RMonitor.exe: one copy per program file, no task-bar button, a message loop.
#include <exception>

#include <windows.h>
#include <commctrl.h>

#include "main_window.h"
#include "platform_ports.h"
#include "single_instance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const auto instanceLock = rm::win::SingleInstance::Acquire();
    if (!instanceLock) return 0;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    try {
        rm::win::MainWindow main(instance);
        if (!main.Create()) return 1;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } catch (const std::exception& e) {
        // Only the endpoints' creation can fail this way: the main window cannot exist.
        rm::win::ShowMessageBox(nullptr, e.what(), MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
