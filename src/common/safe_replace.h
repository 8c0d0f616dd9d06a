#pragma once
// The one way a whole file is written. The new content goes to a temporary file created afresh
// (O_CREAT|O_EXCL|O_NOFOLLOW: never through a link planted in the folder), is flushed to the
// disk, then renamed over the target, whose folder is flushed in turn: a crash at any instant
// leaves the old file or the new one, whole. The new file keeps the target's permissions, and a
// target the user made read-only is refused. On failure, or when the object dies uncommitted,
// the temporary file is removed and the target is untouched.
#include <cstddef>
#include <filesystem>
#include <functional>

#include "common/file_io.h"
#include "common/fixed_string.h"

namespace tavo {

class SafeReplace {
  public:
    // `tmp` names the temporary file (DATA.TMP of the data folder, for instance; a stale entry
    // of that name is removed first, a link without following it). Without it, a unique name
    // beside the target is used.
    explicit SafeReplace(std::filesystem::path target, std::filesystem::path tmp = {});
    ~SafeReplace();
    SafeReplace(const SafeReplace&) = delete;
    SafeReplace& operator=(const SafeReplace&) = delete;

    // Appends to the new content.
    void write(const void* data, std::size_t size);
    void write(const Bytes& bytes) { write(bytes.data(), bytes.size()); }
    // Lets a library that writes by path fill the temporary file instead.
    void writeWith(const std::function<void(const std::filesystem::path& tmp)>& writer);
    // Flushes the new content to the disk and closes it: only the rename is left.
    void finish();
    // Finishes if needed, then renames over the target and flushes the folder.
    void commit();

    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& tmpPath() const { return tmp_; }

  private:
    void discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path tmp_;
    io::Fd fd_;
    bool finished_ = false;
    bool committed_ = false;
    // The target's permissions, given to the new file; a new target gets the usual ones.
    unsigned mode_ = 0;
    bool keepMode_ = false;
};

// Replaces `target` with `content` through SafeReplace.
void replaceFile(const std::filesystem::path& target, const Bytes& content,
                 const std::filesystem::path& tmp = {});

}  // namespace tavo
