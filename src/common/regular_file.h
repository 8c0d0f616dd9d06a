#pragma once
// The one way data files are opened: only regular files, never blocking on a FIFO or a device,
// never writing through a link, and never larger than a data file can sensibly be.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>

namespace tavo::io {

// No record file, settings file or list of the program comes near this; a bigger file is
// damaged or planted, and reading it whole would exhaust memory.
inline constexpr std::uint64_t kMaxDataFileBytes = 64ull << 20;

// How a data file is opened.
enum class OpenFor {
    Read,       // existing file, read only; a link is followed
    ReadWrite,  // existing file; a link is refused
    Create,     // created or truncated, read and write; a link is refused
};

// Opens `path` and returns its descriptor (the caller closes it), with `st` describing the open
// file. IoError naming the file when it is missing, a link where writing is asked, anything but a
// regular file (FIFO, device, folder, socket), or bigger than `maxBytes`. O_NONBLOCK keeps the
// open itself from hanging on a FIFO; the type is checked on the open descriptor, so nothing can
// be swapped in between.
int openRegular(const std::filesystem::path& path, OpenFor mode, std::uint64_t maxBytes,
                struct stat& st);
inline int openRegular(const std::filesystem::path& path, OpenFor mode,
                       std::uint64_t maxBytes = kMaxDataFileBytes) {
    struct stat st {};
    return openRegular(path, mode, maxBytes, st);
}

}  // namespace tavo::io
