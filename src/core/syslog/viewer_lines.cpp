#include "syslog/viewer_lines.h"

#include <utility>

namespace rm {
namespace {

std::size_t HeldLines(const SyslogViewerView& viewer) { return viewer.Lines.size() - viewer.Separators.size(); }

// Drops the oldest lines, each with its separator, down to MaxViewerLines.
void DropOldestLines(SyslogViewerView& viewer) {
    const std::uint64_t first = viewer.Added - viewer.Lines.size();
    std::size_t lines = HeldLines(viewer), rows = 0;
    for (; rows < viewer.Lines.size(); ++rows) {
        if (!viewer.Separators.empty() && viewer.Separators.front() == first + rows) {
            viewer.Separators.pop_front();
        } else if (lines > MaxViewerLines) {
            --lines;
        } else {
            break;
        }
    }
    viewer.Lines.erase(viewer.Lines.begin(), viewer.Lines.begin() + static_cast<std::ptrdiff_t>(rows));
}

}  // namespace

void AppendViewerLine(SyslogViewerView& viewer, std::string line) {
    viewer.Lines.push_back(std::move(line));
    ++viewer.Added;
    if (HeldLines(viewer) > MaxViewerLines + ViewerTrimStep) DropOldestLines(viewer);
}

void AppendViewerSeparator(SyslogViewerView& viewer) {
    viewer.Separators.push_back(viewer.Added);
    viewer.Lines.emplace_back(ViewerSeparator);
    ++viewer.Added;
}

void ClearViewerLines(SyslogViewerView& viewer) {
    viewer.Lines.clear();
    viewer.Separators.clear();
}

}  // namespace rm
