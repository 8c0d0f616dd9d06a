#include "safety/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "common/errors.h"
#include "common/fault_point.h"
#include "common/file_io.h"
#include "common/safe_replace.h"

namespace tavo {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
// Deeper than any data folder; stops a loop of linked folders.
constexpr int kMaxDepth = 32;

std::string reason(int err) {
    return std::strerror(err);
}

// Opens a regular file for reading. O_NONBLOCK keeps a FIFO from blocking the open; the type is
// then checked on the open descriptor so nothing can swap the file in between.
io::Fd openRegular(const fs::path& path, struct stat& st) {
    io::Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) throw IoError("open", path, reason(errno));
    if (::fstat(fd.get(), &st) != 0) throw IoError("size", path, reason(errno));
    if (!S_ISREG(st.st_mode)) throw IoError("copy", path, "not a regular file");
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// Reads up to `size` bytes; fewer only at the end of the file.
std::size_t readSome(int fd, char* data, std::size_t size, const fs::path& path) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError("read", path, reason(errno));
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// Reads the copy back from the disk and compares it with the source, size and content.
void verifyCopy(const fs::path& source, const fs::path& dest) {
    struct stat sst {};
    struct stat dst {};
    io::Fd in(openRegular(source, sst));
    io::Fd out(openRegular(dest, dst));
    // Drop the cached pages so the comparison reads what reached the disk.
    ::posix_fadvise(out.get(), 0, 0, POSIX_FADV_DONTNEED);
    if (sst.st_size != dst.st_size)
        throw IoError("verify", dest, "the copy differs in size from its source");
    std::vector<char> a(kChunk);
    std::vector<char> b(kChunk);
    for (;;) {
        const std::size_t na = readSome(in.get(), a.data(), a.size(), source);
        const std::size_t nb = readSome(out.get(), b.data(), b.size(), dest);
        if (na != nb || std::memcmp(a.data(), b.data(), na) != 0)
            throw IoError("verify", dest, "the copy differs in content from its source");
        if (na < a.size()) return;
    }
}

void copyFolderAt(const fs::path& source, const fs::path& dest, int depth) {
    if (depth > kMaxDepth) throw IoError("copy", source, "folders nested too deep");
    std::error_code ec;
    if (!fs::is_directory(source, ec)) throw IoError("copy", source, "not a folder");
    if (entryExists(dest) && !fs::is_directory(dest, ec))
        throw IoError("create folder", dest, "a file of that name exists");
    fs::create_directories(dest, ec);
    if (ec) throw IoError("create folder", dest, ec.message());

    fs::directory_iterator it(source, ec);
    if (ec) throw IoError("list", source, ec.message());
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        const fs::path from = it->path();
        const fs::path to = dest / from.filename();
        // Follows links: a linked file or folder is copied as its content.
        std::error_code typeError;
        if (fs::is_directory(from, typeError))
            copyFolderAt(from, to, depth + 1);
        else
            copyFileOrThrow(from, to);
    }
    if (ec) throw IoError("list", source, ec.message());
    io::syncFolder(dest);
}

CopyResult attempt(const std::function<void()>& copy) {
    try {
        copy();
        return {};
    } catch (const Error& e) {
        return {false, e.what()};
    } catch (const fs::filesystem_error& e) {
        return {false, e.what()};
    }
}

}  // namespace

bool entryExists(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

bool isSameOrInside(const fs::path& inner, const fs::path& outer) {
    std::error_code ec;
    const fs::path in = fs::weakly_canonical(fs::absolute(inner), ec);
    if (ec) throw IoError("resolve", inner, ec.message());
    const fs::path out = fs::weakly_canonical(fs::absolute(outer), ec);
    if (ec) throw IoError("resolve", outer, ec.message());
    auto i = in.begin();
    for (auto o = out.begin(); o != out.end(); ++o, ++i) {
        if (o->empty()) continue;  // trailing separator of a folder path
        if (i == in.end() || *i != *o) return false;
    }
    return true;
}

void copyFileOrThrow(const fs::path& source, const fs::path& dest) {
    struct stat sst {};
    io::Fd in(openRegular(source, sst));

    struct stat dst {};
    if (::stat(dest.c_str(), &dst) == 0 && dst.st_dev == sst.st_dev && dst.st_ino == sst.st_ino)
        throw IoError("copy", dest, "the destination is the source itself");

    // Written under a temporary name and renamed once read back equal: a copy cut short (a
    // full disk, a kill) never stays behind under its own name looking whole.
    SafeReplace out(dest);
    std::vector<char> buffer(kChunk);
    for (;;) {
        const std::size_t n = readSome(in.get(), buffer.data(), buffer.size(), source);
        if (n > 0) out.write(buffer.data(), n);
        if (n < buffer.size()) break;
    }
    out.finish();
    if (FaultPoint* faults = installedFaultPoint()) faults->afterCopy(out.tmpPath());
    verifyCopy(source, out.tmpPath());
    out.commit();
}

void copyFolderOrThrow(const fs::path& source, const fs::path& dest) {
    if (isSameOrInside(dest, source))
        throw IoError("copy", dest, "the destination lies inside the folder copied");
    copyFolderAt(source, dest, 0);
    io::syncFolder(dest.parent_path());
}

CopyResult copyFile(const fs::path& source, const fs::path& dest) {
    return attempt([&] { copyFileOrThrow(source, dest); });
}

CopyResult copyFolder(const fs::path& source, const fs::path& dest) {
    return attempt([&] { copyFolderOrThrow(source, dest); });
}

void renameEntry(const fs::path& from, const fs::path& to) {
    if (FaultPoint* faults = installedFaultPoint()) faults->beforeRename(from, to);
    if (::rename(from.c_str(), to.c_str()) != 0) throw IoError("rename", from, reason(errno));
    io::syncFolder(from.parent_path());
    if (to.parent_path() != from.parent_path()) io::syncFolder(to.parent_path());
}

}  // namespace tavo
