// SyslogViewer's commands, and the viewer's life with syslog recording.
#pragma once

#include <string>
#include <string_view>

#include "monitor.h"
#include "steps/task.h"
#include "state/viewer_menu.h"

namespace rm {

// How the bytes of a line are put in a text: as received (for a file), or
// with control bytes as marks (for another program, which would cut the text
// at a NUL).
enum class LineBytes { Raw, Marked };

// Every line of the viewer, each after prefix and ended by CR LF.
std::string ViewerLinesText(const SyslogViewerView& viewer, std::string_view prefix = "",
                            LineBytes bytes = LineBytes::Raw);

// What the settings dialog does with its syslog check box: the setting
// becomes "on" or "off" whatever text it held; a viewer is released when
// recording goes off, and a new, empty one made when it comes on.
void SwitchSyslogRecording(Monitor& m, bool on);

// Performs the click of an item of the viewer's menu bar.
Task<> ViewerMenuClick(Monitor& m, ViewerItem item);

void CopyViewerLog(Monitor& m);
void CopyViewerLogQuoted(Monitor& m);
Task<> SaveViewerLog(Monitor& m);
void CloseViewer(Monitor& m);
void ChangeViewerFont(Monitor& m);
void ShowViewerHelp(Monitor& m);

}  // namespace rm
