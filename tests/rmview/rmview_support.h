// Records as the monitor writes them, and a program folder to read them from.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "history_records.h"

namespace rmview::test {

// yyyy/mm/dd hh:nn:ss as the viewer counts time.
inline LocalSeconds At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(mo)),
                                           std::chrono::day(static_cast<unsigned>(d))};
    return std::chrono::sys_days(date).time_since_epoch().count() * 86400 + h * 3600 + mi * 60 + s;
}

class ProgramFolder {
public:
    ProgramFolder() {
        std::mt19937_64 random{std::random_device{}()};
        path_ = std::filesystem::temp_directory_path() / ("rmview-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_ / "log");
    }
    ~ProgramFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void Write(const char* name, const std::string& bytes) const {
        std::ofstream(path_ / "log" / name, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path path_;
};

}  // namespace rmview::test
