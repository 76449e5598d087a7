// Any bytes read as RVlaunch.ini: reading never fails, every text it sets is
// UTF-8, a file that is not a launcher file leaves the entries alone, and
// what is written from the result reads back to the same entries (and so
// writes the same bytes again).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/launcher_file.h"
#include "fuzz_checks.h"

namespace {

bool SameEntries(const rm::LaunchEntries& a, const rm::LaunchEntries& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].Title != b[i].Title || a[i].ProgramFile != b[i].ProgramFile || a[i].Arguments != b[i].Arguments ||
            a[i].WorkFolder != b[i].WorkFolder || a[i].StartOnConnect != b[i].StartOnConnect ||
            a[i].CloseOnDisconnect != b[i].CloseOnDisconnect) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rm::LaunchEntries entries{};
    const bool read = rm::ApplyLauncherText(entries, bytes);
    if (!read || !bytes.starts_with("RouLaunch")) Check(SameEntries(entries, rm::LaunchEntries{}));
    for (const rm::LaunchEntryTexts& entry : entries) {
        for (const std::string* text : {&entry.Title, &entry.ProgramFile, &entry.Arguments, &entry.WorkFolder,
                                        &entry.StartOnConnect, &entry.CloseOnDisconnect}) {
            Check(IsUtf8(*text));
        }
    }

    const std::string saved = rm::LauncherFileText(entries, "2.04");
    rm::LaunchEntries again{};
    Check(rm::ApplyLauncherText(again, saved));
    Check(SameEntries(again, entries));
    return 0;
}
