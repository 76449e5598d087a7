"""The program's tray menus as they open now, read from outside with the
window helper (wintool): for the end-to-end tests and the demo run."""

TRAY_CALLBACK_CLASS = "RoutavistaTrayCallback"
MAIN_CLASS = "RoutavistaMonitorMain"
TRAY_MESSAGE = 0x8302  # TrayCallbackMessage (app_messages.h), with the icon number and the mouse message
FIRST_ICON = 1
WM_CANCELMODE = 0x1F
WM_LBUTTONDOWN = 0x201
WM_RBUTTONDOWN = 0x204


class MenuNotShown(Exception):
    pass


def read_tray_menu(tool, mouse_message, while_open=None):
    """(caption, state, command id) of each item of the menu that a button
    opens on the tray icon, top first; a separator's caption is empty, a
    state is "enabled", "grayed" or "disabled" with ",checked" and the like
    after it. Closes the menu again. tool(*args) runs wintool and gives
    (exit code, output)."""
    def windows_of(class_name):
        _, out = tool("list")
        return [line.split("\t")[0] for line in out.splitlines() if line.split("\t")[2:3] == [class_name]]

    callback = windows_of(TRAY_CALLBACK_CLASS)
    if not callback:
        raise MenuNotShown("the program's tray icon is not there")
    # Posted: the handler returns only when the menu closes, so a send
    # would wait for its whole time-out.
    tool("post", callback[0], TRAY_MESSAGE, FIRST_ICON, mouse_message)
    code, out = tool("menu", "--timeout", 10000)
    if code != 0:
        raise MenuNotShown("no menu opened")
    if while_open:
        while_open()
    tool("send", windows_of(MAIN_CLASS)[0], WM_CANCELMODE)
    if tool("wait-gone", "--class", "#32768", "--visible", "--timeout", 10000)[0] != 0:
        raise MenuNotShown("the menu stayed open")
    return [(cols[4], cols[3], int(cols[2])) for cols in (line.split("\t") for line in out.splitlines())
            if len(cols) >= 5]


def open_tray_menu(tool, mouse_message, while_open=None):
    """(caption, state) of each item, as read_tray_menu reads them."""
    return [(caption, state) for caption, state, _ in read_tray_menu(tool, mouse_message, while_open)]
