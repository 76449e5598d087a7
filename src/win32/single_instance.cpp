#include "single_instance.h"

#include <string>

#include "app_messages.h"
#include "diagnostics.h"
#include "panel_window.h"
#include "program_path.h"
#include "state/state.h"
#include "wide.h"

namespace rm::win {

std::optional<SingleInstance> SingleInstance::Acquire() {
    // Atom names are limited to 255 characters.
    const std::wstring name = ProgramPath().filename().wstring().substr(0, 255);
    // A stale atom left by a crash does not count without the window.
    if (GlobalFindAtomW(name.c_str()) != 0 && FindWindowW(nullptr, Widen(AppTitle).c_str()) != nullptr) {
        return std::nullopt;
    }
    const ATOM atom = GlobalAddAtomW(name.c_str());
    if (atom == 0) return std::nullopt;
    return SingleInstance(atom);
}

void TellRunningCopy() {
    const HWND running = FindWindowW(PanelClassName, Widen(AppTitle).c_str());
    if (!running || !PostMessageW(running, StartedAgainMessage, 0, 0)) {
        LogLastError(L"PostMessageW", L"the running copy's main window");
    }
}

SingleInstance::~SingleInstance() {
    if (atom_ != 0) GlobalDeleteAtom(atom_);
}

}  // namespace rm::win
