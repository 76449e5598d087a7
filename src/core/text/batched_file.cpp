#include "text/batched_file.h"

#include <utility>

namespace rm {

bool BatchedFile::Add(const std::filesystem::path& file, std::string_view line, std::int64_t now) {
    bool written = true;
    if (file != file_) {
        // The old day's lines get their last try; what it refuses is lost.
        written = Close();
        dropped_ += waiting_.size();
        waiting_.clear();
        file_ = file;
    }
    if (waiting_.empty()) firstWaiting_ = now;
    waiting_.append(line).append("\r\n");
    active_ = true;
    if (waiting_.size() > MaxWaitingBytes) {
        const std::size_t cut = waiting_.find("\r\n", waiting_.size() - MaxWaitingBytes) + 2;
        dropped_ += cut;
        waiting_.erase(0, cut);
    }
    if (waiting_.size() >= BatchBytes || now - firstWaiting_ >= MaxWaitMilliseconds) written = Flush() && written;
    return written;
}

bool BatchedFile::Flush() {
    if (waiting_.empty()) return true;
    if (!out_) {
        out_ = std::make_unique<DurableFile>(file_, DurableFile::Mode::Append);
        if (!out_->IsOpen()) {
            out_.reset();
            return false;
        }
        // A full disk may have cut the last line: the next one starts on a line of its own.
        if (!out_->EndsWithLineEnd()) waiting_.insert(0, "\r\n");
    }
    // Plain flush, no sync: a line lost in a power cut is no harm here, and
    // bursts must not wait for the disk.
    if (!out_->Write(waiting_) || !out_->Flush()) {
        out_.reset();
        return false;
    }
    waiting_.clear();
    return true;
}

bool BatchedFile::Close() {
    const bool written = Flush();
    const bool closed = !out_ || out_->Close();
    out_.reset();
    return written && closed;
}

bool BatchedFile::TakeActivity() { return std::exchange(active_, false); }

std::size_t BatchedFile::TakeDropped() { return std::exchange(dropped_, 0); }

}  // namespace rm
