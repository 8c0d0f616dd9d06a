#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "common/errors.h"
#include "common/fault_point.h"
#include "common/regular_file.h"

namespace tavo::io {
namespace {

std::string reason(int err) {
    return std::strerror(err);
}

// How many bytes an injected failure lets through first; std::nullopt when no write fails now.
std::optional<std::size_t> injectedFailure(const fs::path& path, std::size_t size) {
    FaultPoint* faults = installedFaultPoint();
    if (!faults) return std::nullopt;
    const auto part = faults->beforeWrite(path, size);
    if (part) return std::min(size, *part);
    return std::nullopt;
}

}  // namespace

Fd::~Fd() {
    close();
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

int Fd::close() {
    return fd_ >= 0 ? ::close(release()) : 0;
}

void writeAll(int fd, const void* data, std::size_t size, const fs::path& path) {
    if (const auto part = injectedFailure(path, size)) {
        if (*part > 0 && ::write(fd, data, *part) < 0) throw IoError("write", path, reason(errno));
        throw IoError("write", path, reason(ENOSPC));
    }
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError("write", path, reason(errno));
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

void pwriteAll(int fd, const void* data, std::size_t size, std::uint64_t offset,
               const fs::path& path) {
    if (const auto part = injectedFailure(path, size)) {
        if (*part > 0 && ::pwrite(fd, data, *part, static_cast<off_t>(offset)) < 0)
            throw IoError("write", path, reason(errno));
        throw IoError("write", path, reason(ENOSPC));
    }
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError("write", path, reason(errno));
        }
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

void preadAll(int fd, void* data, std::size_t size, std::uint64_t offset, const fs::path& path) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError("read", path, reason(errno));
        }
        if (n == 0) throw IoError("read", path, "read beyond end of file");
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

Bytes readFile(const fs::path& path, std::uint64_t maxBytes) {
    struct stat st {};
    const Fd fd(openRegular(path, OpenFor::Read, maxBytes, st));
    Bytes out(static_cast<std::size_t>(st.st_size));
    if (!out.empty()) preadAll(fd.get(), out.data(), out.size(), 0, path);
    return out;
}

void writeFile(const fs::path& path, const void* data, std::size_t size) {
    // Created afresh: a stale entry of that name goes first, and a link planted there is removed,
    // never written through.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw IoError("create", path, reason(errno));
    createFile(path, data, size);
}

void createFile(const fs::path& path, const void* data, std::size_t size) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.valid()) throw IoError("create", path, reason(errno));
    writeAll(fd.get(), data, size, path);
    if (::fsync(fd.get()) != 0) throw IoError("flush", path, reason(errno));
    if (fd.close() != 0) throw IoError("close", path, reason(errno));
}

void syncFolder(const fs::path& folder) {
    const Fd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // The data is already renamed in place; a folder we cannot open is no loss.
    if (!fd.valid()) return;
    ::fsync(fd.get());
}

void removeIfExists(const fs::path& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw IoError("delete", path, reason(errno));
}

void removeFile(const fs::path& path) {
    if (::unlink(path.c_str()) != 0) throw IoError("delete", path, reason(errno));
}

}  // namespace tavo::io
