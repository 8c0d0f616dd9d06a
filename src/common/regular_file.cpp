#include "common/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/errors.h"
#include "common/file_io.h"

namespace tavo::io {

namespace {
// A cap in the largest whole unit: "64 MiB", "4 KiB", "100 bytes", never a cap rounded to 0.
std::string sizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

}  // namespace

int openRegular(const std::filesystem::path& path, OpenFor mode, std::uint64_t maxBytes,
                struct stat& st) {
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (mode) {
        case OpenFor::Read:
            flags |= O_RDONLY;
            break;
        case OpenFor::ReadWrite:
            flags |= O_RDWR | O_NOFOLLOW;
            break;
        case OpenFor::Create:
            flags |= O_RDWR | O_NOFOLLOW | O_CREAT;
            break;
    }
    const char* operation = mode == OpenFor::Create ? "create" : "open";
    Fd fd(::open(path.c_str(), flags, 0644));
    if (!fd.valid()) {
        const int e = errno;
        if (e == ELOOP && mode != OpenFor::Read)
            throw IoError(operation, path, "it is a link; data are not written through links");
        throw IoError(operation, path, std::strerror(e));
    }
    const auto refuse = [&](const std::string& why) { throw IoError(operation, path, why); };
    if (::fstat(fd.get(), &st) != 0) refuse(std::strerror(errno));
    if (!S_ISREG(st.st_mode)) refuse("it is " + kindOf(st.st_mode) + ", not a regular file");
    // Truncating comes after the type check: O_TRUNC on the open could hit a device.
    if (mode == OpenFor::Create) {
        if (::ftruncate(fd.get(), 0) != 0) refuse(std::strerror(errno));
        st.st_size = 0;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        refuse("the file holds " + std::to_string(st.st_size) + " bytes, more than the " +
               sizeText(maxBytes) + " a file of its kind may hold");
    const int fl = ::fcntl(fd.get(), F_GETFL);
    if (fl >= 0) ::fcntl(fd.get(), F_SETFL, fl & ~O_NONBLOCK);
    return fd.release();
}

}  // namespace tavo::io
