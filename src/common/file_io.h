#pragma once
// Low-level file access that reports every failure as an IoError naming the operation and path.
// All writes of the program pass through writeAll and pwriteAll, where the fault point of the
// tests can make a write fail.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/fixed_string.h"
#include "common/regular_file.h"

namespace tavo::io {

namespace fs = std::filesystem;

// A file descriptor closed on every path out. The only place of the core that calls ::close.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now and returns what ::close returned (errno says why it failed): a file just
    // written must hear about a failure the close reports. Holding nothing, returns 0.
    int close();

  private:
    int fd_ = -1;
};

// Writes every byte or throws.
void writeAll(int fd, const void* data, std::size_t size, const fs::path& path);
void preadAll(int fd, void* data, std::size_t size, std::uint64_t offset, const fs::path& path);
void pwriteAll(int fd, const void* data, std::size_t size, std::uint64_t offset,
               const fs::path& path);

// Whole-file helpers. readFile refuses what is not a regular file or is bigger than `maxBytes`
// (see regular_file.h).
Bytes readFile(const fs::path& path, std::uint64_t maxBytes = kMaxDataFileBytes);
// Writes a new file, flushed to disk; whatever stood at `path` is replaced, a link without
// being followed. Files that exist are rewritten through SafeReplace instead.
void writeFile(const fs::path& path, const void* data, std::size_t size);
inline void writeFile(const fs::path& path, const Bytes& bytes) {
    writeFile(path, bytes.data(), bytes.size());
}
// Writes a new file, flushed to disk, where nothing stands yet: whatever stands at `path` (a
// file, a link, anything) is left alone and IoError says so.
void createFile(const fs::path& path, const void* data, std::size_t size);
inline void createFile(const fs::path& path, const Bytes& bytes) {
    createFile(path, bytes.data(), bytes.size());
}
void syncFolder(const fs::path& folder);
// Removes a file; a missing file is not an error.
void removeIfExists(const fs::path& path);
// Removes a file that must exist.
void removeFile(const fs::path& path);

}  // namespace tavo::io
