// Files whose bytes must reach the disk, not only the system's cache: a
// power cut after a save or an append must not lose it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace rm {

class DurableFile {
public:
    enum class Mode { Create, Append };
    // Opened shared: others may read the file while it is open.
    DurableFile(const std::filesystem::path& file, Mode mode);
    ~DurableFile();
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    bool Write(std::string_view bytes);
    // Hands everything written to the system; it reaches the disk later.
    bool Flush();
    // Hands everything written to the disk; false when that failed.
    bool Sync();
    // Whether an opened-for-append file ends with CR LF, or is empty.
    bool EndsWithLineEnd();
    // Closes; false when the last bytes could not be written.
    bool Close();

    // The call that hands a file's bytes to the disk. Tests put their own in
    // to see that it is made, and what its failure does.
    using SyncCall = bool (*)(std::FILE* file);
    static SyncCall SetSyncCall(SyncCall call);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace rm
