// Disconnect after download: the browser's download windows and the
// terminal's "BYE" control keep the line up while the watch is armed.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Looks at the other programs' windows; true while a download runs.
bool DownloadRunning(Monitor& m);

// Arms the watch when there is a download to watch, or disarms it.
void DisconnectAfterDownload(Monitor& m);

// The tick's part while armed: once no download is left, closes the setup
// utility and disconnects.
Task<> WatchDownloads(Monitor& m);

}  // namespace rm
