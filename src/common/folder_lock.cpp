#include "common/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "common/clock.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/regular_file.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

// A lock file is a few lines; anything bigger was not written by this program.
constexpr std::uint64_t kMaxLockFileBytes = 4096;

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "?";
    return name;
}

std::string nowText() {
    const LocalTime t = localNow();
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string contentOf(const LockHolder& h) {
    return "host=" + h.host + "\npid=" + std::to_string(h.pid) + "\nstarted=" + h.started + "\n";
}

LockHolder parse(const std::string& text) {
    LockHolder h;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "host") h.host = value;
        if (key == "pid") h.pid = std::strtol(value.c_str(), nullptr, 10);
        if (key == "started") h.started = value;
    }
    return h;
}

std::string readAll(int fd, const fs::path& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw IoError("size", path, std::strerror(errno));
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    if (!text.empty()) io::preadAll(fd, text.data(), text.size(), 0, path);
    return text;
}

void rewrite(int fd, const LockHolder& h, const fs::path& path) {
    const std::string text = contentOf(h);
    if (::ftruncate(fd, 0) != 0) throw IoError("truncate", path, std::strerror(errno));
    io::pwriteAll(fd, text.data(), text.size(), 0, path);
    if (::fsync(fd) != 0) throw IoError("flush", path, std::strerror(errno));
}

// True when `fd` is still the file named `path` (it was not removed or replaced meanwhile).
bool stillNamed(int fd, const fs::path& path) {
    struct stat a {};
    struct stat b {};
    return ::fstat(fd, &a) == 0 && ::lstat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

}  // namespace

std::string LockHolder::describe() const {
    std::string s = "process " + std::to_string(pid) + " on host \"" + host + "\"";
    if (!started.empty()) s += ", since " + started;
    return s;
}

FolderLock::FolderLock(DataPaths data, int fd, LockHolder holder)
    : data_(std::move(data)), fd_(fd), holder_(std::move(holder)) {}

FolderLock::~FolderLock() {
    const fs::path path = data_.lockFile();
    // Removed only while it is still ours: it could have been replaced by hand.
    if (stillNamed(fd_.get(), path)) ::unlink(path.c_str());
}

FolderLock::Attempt FolderLock::take(const DataPaths& data) {
    const fs::path path = data.lockFile();
    const LockHolder me{hostName(), static_cast<long>(::getpid()), nowText()};
    // A few rounds: the file may be removed or replaced between two of our steps.
    for (int round = 0; round < 5; ++round) {
        // 1. A new lock file: written and locked under a private name, then linked into place.
        fs::path mine = path;
        mine += ".";
        mine += std::to_string(me.pid);
        mine += ".tmp";
        ::unlink(mine.c_str());
        io::Fd made(::open(mine.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (made.get() < 0) throw IoError("create", mine, std::strerror(errno));
        try {
            if (::flock(made.get(), LOCK_EX | LOCK_NB) != 0)
                throw IoError("lock", mine, std::strerror(errno));
            rewrite(made.get(), me, mine);
        } catch (...) {
            ::unlink(mine.c_str());
            throw;
        }
        const int linked = ::link(mine.c_str(), path.c_str());
        const int linkError = errno;
        ::unlink(mine.c_str());
        if (linked == 0) {
            io::syncFolder(data.root);
            return {
                std::unique_ptr<FolderLock>(new FolderLock(data, made.release(), me)), {}, false};
        }
        if (linkError != EEXIST) throw IoError("create", path, std::strerror(linkError));

        // 2. A lock file exists: held, or left by a program that is gone.
        io::Fd existing(io::openRegular(path, io::OpenFor::ReadWrite, kMaxLockFileBytes));
        if (::flock(existing.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) throw IoError("lock", path, std::strerror(errno));
            return {nullptr, parse(readAll(existing.get(), path)), false};
        }
        if (!stillNamed(existing.get(), path)) continue;  // released meanwhile: try again
        const LockHolder previous = parse(readAll(existing.get(), path));
        if (!previous.host.empty() && previous.host != me.host) return {nullptr, previous, false};
        rewrite(existing.get(), me, path);
        return {std::unique_ptr<FolderLock>(new FolderLock(data, existing.release(), me)), previous,
                true};
    }
    throw IoError("lock", path, "the lock file keeps changing");
}

LockHolder FolderLock::holderOf(const DataPaths& data) {
    const fs::path path = data.lockFile();
    std::error_code ec;
    if (fs::symlink_status(path, ec).type() == fs::file_type::not_found) return {};
    io::Fd fd(io::openRegular(path, io::OpenFor::Read, kMaxLockFileBytes));
    if (::flock(fd.get(), LOCK_SH | LOCK_NB) == 0) return {};  // nobody holds it
    return parse(readAll(fd.get(), path));
}

}  // namespace tavo
