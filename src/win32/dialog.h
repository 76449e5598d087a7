// The base of every dialog of ours, beside Window: a resource template with
// one guarded procedure (no exception ever crossing into Windows), the client
// area in pixels at the dialog's scale, the program's icon at the sizes of
// that scale, a DPI change followed, and the dialog shown modal or modeless.
// A modeless dialog takes its keys (Tab, Enter, Esc) in every message loop of
// its thread: the loops of ours ask TakeDialogMessage, and the modal loops
// that Windows runs for boxes and dialogs reach it through a message filter.
#pragma once

#include <windows.h>

#include <string>

#include "handles.h"
#include "window.h"

namespace rm::win {

struct DialogTemplate {
    int Id;
    // The client area in pixels at 100 %, its controls moved and sized in
    // proportion; 0 keeps the template's size in units of its font.
    int ClientWidth = 0, ClientHeight = 0;
    // Built in memory instead of taken from the resources by Id: the dialog
    // then works in every program that links it.
    const DLGTEMPLATE* InMemory = nullptr;
};

class Dialog {
public:
    explicit Dialog(DialogTemplate layout) : layout_(layout) {}
    // A modeless dialog is ended by its subclass's destructor, while its
    // handlers can still see the end; one still there is only let go.
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    HWND Handle() const { return hwnd_; }

protected:
    // Runs the dialog's own loop until End; returns End's value. Throws
    // failure (after a diagnostic) when the dialog cannot be shown.
    INT_PTR ShowModal(HWND owner, const char* failure);
    void End(INT_PTR result);
    // Creates the dialog beside the other windows, hidden unless its template
    // says WS_VISIBLE; false (after a diagnostic) when it cannot be.
    bool CreateModeless(HWND owner);
    void Destroy();

    // One switch per dialog; FALSE leaves the message to the dialog manager.
    // WM_INITDIALOG comes once the client area is fitted and the icons are
    // taken, WM_DPICHANGED once the dialog has the suggested rectangle and
    // its controls the template's font at the new scale.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the dialog is gone (WM_NCDESTROY).
    virtual void OnDestroyed() {}
    // Called before the client area is fitted, for the dialogs inside this
    // one that its template does not hold (pages): they are fitted with it.
    virtual void OnCreateChildren() {}

    std::string Text(int control) const;
    std::string Text(HWND control) const;
    void SetText(int control, const std::string& text);
    void SetText(HWND control, const std::string& text);
    // The dots per inch of the dialog's screen, and pixels at 100 % in
    // pixels at that scale.
    UINT Dpi() const { return dpi_; }
    int Scale(int pixels) const { return ScaleToDpi(pixels, dpi_); }

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
    void OnInitDialog();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void TakeIcons();

    const DialogTemplate layout_;
    HWND hwnd_ = nullptr;
    bool modeless_ = false;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    // The template's font as the dialog manager made it, at the scale the
    // dialog was created at, and made again at a later scale.
    LOGFONTW face_{};
    UINT faceDpi_ = 0;
    OwnedFont font_;
};

// Keyboard input for the modeless dialogs of this thread: true when one of
// them took the message, which is then neither translated nor dispatched.
bool TakeDialogMessage(MSG& msg);

// The thread's message loop, until WM_QUIT.
void RunMessageLoop();

}  // namespace rm::win
