#include "text/batched_file.h"

#include <utility>

namespace rm {

void BatchedFile::Add(const std::filesystem::path& file, std::string_view line, std::int64_t now) {
    if (file != file_) {
        Close();
        file_ = file;
    }
    if (waiting_.empty()) firstWaiting_ = now;
    waiting_.append(line).append("\r\n");
    active_ = true;
    if (waiting_.size() >= BatchBytes || now - firstWaiting_ >= MaxWaitMilliseconds) Flush();
}

bool BatchedFile::Flush() {
    if (waiting_.empty()) return true;
    if (!out_) {
        out_ = std::make_unique<DurableFile>(file_, DurableFile::Mode::Append);
        if (!out_->IsOpen()) out_.reset();
    }
    // Plain flush, no sync: a line lost in a power cut is no harm here, and
    // bursts must not wait for the disk.
    const bool written = out_ && out_->Write(waiting_) && out_->Flush();
    waiting_.clear();
    if (!written) out_.reset();
    return written;
}

bool BatchedFile::Close() {
    const bool written = Flush();
    const bool closed = !out_ || out_->Close();
    out_.reset();
    return written && closed;
}

bool BatchedFile::TakeActivity() { return std::exchange(active_, false); }

}  // namespace rm
