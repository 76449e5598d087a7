// What the user sees, as plain data. The Win32 layer renders it after
// every event; tests read it directly.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "state/menus.h"
#include "state/state.h"

namespace rm {

enum class FontColour { WindowText, Blue, Red };
enum class TrayIconKind { Program, Connected };

inline constexpr int PanelWidth = 61;
inline constexpr int PanelHeight = 16;

struct PanelView {
    bool Shown = false;
    std::string Caption = "未接続";
    std::string Hint = AppTitle;
    FontColour Colour = FontColour::WindowText;
};

struct TrayView {
    bool Visible = true;
    TrayIconKind Icon = TrayIconKind::Program;
    std::string Tip = AppTitle;
    PopupMenu LeftButton = PopupMenu::ConnectMenu;
    PopupMenu RightButton = PopupMenu::MainMenu;
    // A notification shown once from the icon; empty for none.
    std::string Balloon;
};

// The viewer's font, chosen in its font dialog; not stored, so every start
// begins with the fixed-pitch one.
struct ViewerFont {
    std::string Face = "ＭＳ ゴシック";
    int Points = 9;
    bool Bold = false, Italic = false;
    int Charset = 128;  // Shift-JIS
    // Asked for as fixed pitch only when it is: a proportional face asked for
    // so would be replaced by another font.
    bool FixedPitch = true;
    bool operator==(const ViewerFont&) const = default;
};

struct SyslogViewerView {
    // Released when syslog recording is switched off; a new, empty one
    // comes when it is switched on again.
    bool Exists = true;
    bool Shown = false;
    // Counts the requests to bring the window to the front.
    int Raised = 0;
    // The newest lines, oldest first, each row of the window one; with
    // SyslogLineBreaks a "---" row follows each line (see
    // syslog/viewer_lines.h for the bound).
    std::vector<std::string> Lines;
    // Every row this viewer was given, also those dropped since: the window
    // takes the ones it has not shown yet from the end of Lines.
    std::uint64_t Added = 0;
    // The rows of Lines that are "---" separators, as numbers counted like
    // Added: a line from the router may read "---" too.
    std::deque<std::uint64_t> Separators;
    ViewerFont Font;
};

// MemoSendDialog: shown modally by WriteMemo; the memo text stays for next time.
struct MemoSendView {
    bool Open = false;
    std::string Text;
    // The destination box: its list and its edit text.
    std::vector<std::string> Destinations;
    // The peer index (last octet) whose reply put each entry there: one entry
    // per peer, however many names it sends.
    std::vector<int> DestinationPeers;
    std::string Destination;
    // Counts the core's changes to the destination box, so a window showing
    // it knows when the user's typing must give way.
    int DestinationChanges = 0;
};

// MemoReceiveWindow: the memos received since the user last pressed "閉じる", the
// newest MaxMemoBytes of them (lan/memos.h).
struct MemoReceiveView {
    bool Shown = false;
    int Raised = 0;
    std::vector<std::string> Lines;
    // Every line added since the window was last emptied, also those dropped
    // since: the window appends only what it has not shown yet.
    std::uint64_t Added = 0;
    // Bytes of Lines, and the older lines dropped to stay within the bound.
    std::size_t Bytes = 0;
    std::uint64_t Dropped = 0;
    // Counts the emptyings by "閉じる".
    int Emptied = 0;
};

// A box that a datagram opened. It runs no message loop of its own, so the
// next datagram of its kind adds to the box shown instead of opening another.
struct NoticeView {
    bool Shown = false;
    std::string Text;
    // What it stands for: memos, or history lines received.
    int Count = 0;
    // Who sent them, each once, in the order they came; at most
    // MaxNoticeSenders, and whether more came.
    std::vector<std::string> Senders;
    bool MoreSenders = false;
};

inline constexpr std::size_t MaxNoticeSenders = 64;

struct ViewModel {
    PanelView Panel;
    TrayView Tray;
    Menus Menu;
    SyslogViewerView Viewer;
    MemoSendView MemoSend;
    MemoReceiveView MemoReceive;
    NoticeView MemoNotice, LogNotice, LaunchNotice;
    // The main window is to close, which ends the program.
    bool ExitRequested = false;
};

}  // namespace rm
