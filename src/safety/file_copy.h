#pragma once
// File and folder copies for the backup, the restore and their staging folders.
//
// Every copy goes through io::writeAll (so tests can make a write fail), is flushed to disk, and
// is then read back and compared with its source: a copy that reports success is a verified copy.
// Nothing here shows anything; failures come back as a result or as an IoError.
#include <filesystem>
#include <functional>
#include <string>

namespace tavo {

namespace fs = std::filesystem;

// The yes/no answer of a copy, with the reason of a failure (what a platform copy would report
// in its own error box before the program's message).
struct CopyResult {
    bool ok = true;
    std::string error;  // empty on success
    explicit operator bool() const { return ok; }
};

// Copies one regular file to `dest` (created or overwritten), flushes it to disk and checks the
// copy against the source byte for byte. A copy that fails once `dest` was opened (a full disk,
// a copy that reads back different) is removed, so no partial copy stays behind. A source that is
// not a regular file (a folder, a FIFO, a dangling link) and a destination that is the source
// itself are failures.
CopyResult copyFile(const fs::path& source, const fs::path& dest);

// Copies the folder `source` with all its content, sub-folders included, to `dest`: `dest` is
// created when missing, files already there are overwritten, other files there are kept. Every
// file is copied as by copyFile. A destination inside the source is a failure (it would grow
// without end). The first failure stops the copy; what was copied so far stays.
CopyResult copyFolder(const fs::path& source, const fs::path& dest);

// Throwing forms of the two copies: IoError naming the operation and the path that failed.
void copyFileOrThrow(const fs::path& source, const fs::path& dest);
void copyFolderOrThrow(const fs::path& source, const fs::path& dest);

// True when `inner` is `outer` or lies below it, comparing canonical paths (links resolved,
// "." and ".." removed). Parts of `inner` that do not exist yet are taken as written.
bool isSameOrInside(const fs::path& inner, const fs::path& outer);

// True when something (a file, a folder, even a dangling link) exists at `p`.
bool entryExists(const fs::path& p);

// Renames `from` to `to` (same file system), reporting failure as an IoError, and flushes both
// folders so the rename survives a crash.
void renameEntry(const fs::path& from, const fs::path& to);

}  // namespace tavo
