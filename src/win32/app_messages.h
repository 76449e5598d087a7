// The program's private window messages, all in one range so none collides
// with a control's or with another's.
#pragma once

#include <windows.h>

namespace rm::win {

inline constexpr UINT FirstAppMessage = WM_APP + 0x300;

// UDP endpoint: a datagram was queued by the receiving thread.
inline constexpr UINT DatagramQueuedMessage = FirstAppMessage + 0;
// UDP endpoint: a host lookup finished (WSAAsyncGetHostByName).
inline constexpr UINT HostLookupDoneMessage = FirstAppMessage + 1;
// Tray icon: mouse activity on an icon (Shell_NotifyIcon callback).
inline constexpr UINT TrayCallbackMessage = FirstAppMessage + 2;
// Tray icon: the double-click time after a single click has passed.
inline constexpr UINT SingleClickDoneMessage = FirstAppMessage + 3;
// Main window: the program was started again, and that copy ended at once.
// Posted by that copy.
inline constexpr UINT StartedAgainMessage = FirstAppMessage + 4;
// Step timer: a step asked for with no delay (its number in lParam).
inline constexpr UINT StepQueuedMessage = FirstAppMessage + 5;
// Step timer: the earliest timed step is due.
inline constexpr UINT StepDueMessage = FirstAppMessage + 6;

}  // namespace rm::win
