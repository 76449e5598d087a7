#include "syslog/viewer_lines.h"

#include <utility>

namespace rm {

void AppendViewerLine(SyslogViewerView& viewer, std::string line) {
    viewer.Lines.push_back(std::move(line));
    ++viewer.Added;
    if (viewer.Lines.size() > MaxViewerLines + ViewerTrimStep) {
        viewer.Lines.erase(viewer.Lines.begin(),
                           viewer.Lines.begin() + static_cast<std::ptrdiff_t>(viewer.Lines.size() - MaxViewerLines));
    }
}

}  // namespace rm
