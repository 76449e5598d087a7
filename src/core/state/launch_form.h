// What the launcher entry dialog LaunchEntryDialog shows and takes back.
#pragma once

#include <string>

namespace rm {

struct LaunchForm {
    std::string Title;  // read-only in the dialog
    std::string ProgramFile, Arguments, WorkFolder;
    // The two drop-down lists: item 1 "on", item 0 "off".
    bool StartOnConnect = true, CloseOnDisconnect = true;
};

}  // namespace rm
