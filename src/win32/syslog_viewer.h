// Tsyslogform: the window that lists the received syslog lines.
#pragma once

#include <functional>

#include <windows.h>

#include "handles.h"
#include "state/view.h"
#include "window.h"

namespace rm::win {

class SyslogViewer : public Window {
public:
    // Called when the user closes (hides) the window.
    explicit SyslogViewer(std::function<void()> onHidden) : onHidden_(std::move(onHidden)) {}

    // Created hidden at start; lives until the program ends.
    bool Create();
    void Render(const SyslogViewerView& view);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnSize();
    void OnClose();

    std::function<void()> onHidden_;
    HWND memo_ = nullptr;
    OwnedFont font_;
    int raised_ = 0;
};

}  // namespace rm::win
