#include "text/durable_file.h"

#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rm {
namespace {

bool SystemSync(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

DurableFile::SyncCall syncCall = SystemSync;

}  // namespace

DurableFile::SyncCall DurableFile::SetSyncCall(SyncCall call) { return std::exchange(syncCall, call); }

DurableFile::DurableFile(const std::filesystem::path& file, Mode mode) {
    // Read access too, so an append can look at the last bytes.
#ifdef _WIN32
    file_ = _wfopen(file.c_str(), mode == Mode::Create ? L"wb" : L"ab+");
#else
    file_ = std::fopen(file.c_str(), mode == Mode::Create ? "wb" : "ab+");
#endif
    // Every write is one whole buffer already: a stream buffer would only copy it.
    if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
}

DurableFile::~DurableFile() { Close(); }

bool DurableFile::Write(std::string_view bytes) {
    return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool DurableFile::Flush() { return file_ && std::fflush(file_) == 0; }

bool DurableFile::Sync() { return file_ && std::fflush(file_) == 0 && syncCall(file_); }

bool DurableFile::EndsWithLineEnd() {
    if (!file_ || std::fseek(file_, 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file_);
    if (size == 0) return true;
    if (size < 2 || std::fseek(file_, -2, SEEK_END) != 0) return false;
    char last[2] = {};
    const bool read = std::fread(last, 1, 2, file_) == 2;
    std::fseek(file_, 0, SEEK_END);
    return read && last[0] == '\r' && last[1] == '\n';
}

bool DurableFile::Close() {
    if (!file_) return true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

}  // namespace rm
