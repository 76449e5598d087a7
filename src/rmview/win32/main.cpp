// RMView.exe: the connection history of the program folder as a graph.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "commands.h"
#include "diagnostics.h"
#include "graph_window.h"
#include "program_path.h"
#include "system_dlls.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    // Before COM and the common dialogs load DLLs of their own.
    rm::win::SearchDllsInSystemOnly();
    // The PNG encoder is a COM object.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        rm::win::LogText(L"CoInitializeEx failed");
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    SYSTEMTIME today;
    GetLocalTime(&today);
    rmview::win::GraphWindow window(true);
    if (!window.Create(rm::win::ProgramPath().parent_path(), {today.wYear, today.wMonth})) return 1;
    ShowWindow(window.Handle(), show);
    // The first picture before the first message.
    UpdateWindow(window.Handle());
    const HACCEL keys = rmview::win::BuildAccelerators();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window.Handle(), keys, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyAcceleratorTable(keys);
    CoUninitialize();
    return 0;
}
