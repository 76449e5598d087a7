// An appending file that stays open while lines arrive and takes them in
// batches: bursts cost one write each, not one open and close per line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "text/durable_file.h"

namespace rm {

class BatchedFile {
public:
    // More than this waiting is written at once.
    static constexpr std::size_t BatchBytes = 64 * 1024;
    // And a line waits no longer than this, even when lines never pause.
    static constexpr std::int64_t MaxWaitMilliseconds = 500;

    // At most this much waits for a file that refuses it; older lines go.
    static constexpr std::size_t MaxWaitingBytes = 4 * 1024 * 1024;

    // Keeps the line (and CR LF) for the given file; a line for another file
    // (a new day) first writes what waits for the old one. now is a
    // monotonic clock in milliseconds. False when a write it made failed.
    bool Add(const std::filesystem::path& file, std::string_view line, std::int64_t now);
    // Writes what waits; false when the file did not take it. The lines then
    // wait for the next try, and a line cut by the failure is ended first.
    bool Flush();
    // Flushes and closes the file; the next line opens it again.
    bool Close();
    bool IsOpen() const { return out_ != nullptr; }
    const std::filesystem::path& Path() const { return file_; }
    // Lines added since the last call.
    bool TakeActivity();
    // Bytes dropped since the last call: the file refused them too long.
    std::size_t TakeDropped();

private:
    std::filesystem::path file_;
    std::unique_ptr<DurableFile> out_;
    std::string waiting_;
    std::int64_t firstWaiting_ = 0;
    std::size_t dropped_ = 0;
    bool active_ = false;
};

}  // namespace rm
