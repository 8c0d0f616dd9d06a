#include "common/safe_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "common/errors.h"
#include "common/fault_point.h"
#include "common/file_io.h"

namespace tavo {
namespace fs = std::filesystem;

namespace {

std::string reason(int err) {
    return std::strerror(err);
}

constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// A fresh file at `path`: whatever stood there (a stale temporary file, a planted link) is
// removed first, without following it.
int createFresh(const fs::path& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw IoError("create", path, reason(errno));
    const int fd = ::open(path.c_str(), kCreateFlags, 0644);
    if (fd < 0) throw IoError("create", path, reason(errno));
    return fd;
}

// A fresh file of a name no one else uses, beside `target`.
int createUnique(const fs::path& target, fs::path& made) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%06x", static_cast<unsigned>(random() & 0xFFFFFF));
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "." + std::string.
        std::string name = ".";
        name += target.filename().string();
        name += suffix;
        made = target.parent_path() / name;
        const int fd = ::open(made.c_str(), kCreateFlags, 0644);
        if (fd >= 0) return fd;
        if (errno != EEXIST) throw IoError("create", made, reason(errno));
    }
    throw IoError("create", target, reason(EEXIST));
}

}  // namespace

SafeReplace::SafeReplace(fs::path target, fs::path tmp) : target_(std::move(target)) {
    struct stat st {};
    if (::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        // A file the user made read-only stays as it is.
        if ((st.st_mode & 0222) == 0) throw IoError("write", target_, reason(EACCES));
        mode_ = st.st_mode & 07777;
        keepMode_ = true;
    }
    if (tmp.empty()) {
        fd_ = io::Fd(createUnique(target_, tmp_));
    } else {
        tmp_ = std::move(tmp);
        fd_ = io::Fd(createFresh(tmp_));
    }
}

SafeReplace::~SafeReplace() {
    discard();
}

void SafeReplace::discard() noexcept {
    fd_.close();
    if (!committed_ && !tmp_.empty()) ::unlink(tmp_.c_str());
}

void SafeReplace::write(const void* data, std::size_t size) {
    try {
        io::writeAll(fd_.get(), data, size, tmp_);
    } catch (...) {
        discard();
        throw;
    }
}

void SafeReplace::writeWith(const std::function<void(const fs::path& tmp)>& writer) {
    fd_.close();
    try {
        writer(tmp_);
        if (!keepMode_) {
            // A library writing by path chooses its own permissions: give the usual ones.
            mode_ = 0644;
            keepMode_ = true;
        }
        // The writer may have replaced the file: open what is there now, never through a link.
        fd_ = io::Fd(::open(tmp_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd_.valid()) throw IoError("open", tmp_, reason(errno));
    } catch (...) {
        discard();
        throw;
    }
}

void SafeReplace::finish() {
    if (finished_) return;
    try {
        if (keepMode_ && ::fchmod(fd_.get(), mode_) != 0)
            throw IoError("write", tmp_, reason(errno));
        if (::fsync(fd_.get()) != 0) throw IoError("flush", tmp_, reason(errno));
        if (fd_.close() != 0) throw IoError("close", tmp_, reason(errno));
    } catch (...) {
        discard();
        throw;
    }
    finished_ = true;
}

void SafeReplace::commit() {
    finish();
    if (FaultPoint* faults = installedFaultPoint()) faults->beforeReplace(target_);
    if (::rename(tmp_.c_str(), target_.c_str()) != 0) {
        const int e = errno;
        discard();
        throw IoError("rename", tmp_, reason(e));
    }
    committed_ = true;
    io::syncFolder(target_.parent_path());
}

void replaceFile(const fs::path& target, const Bytes& content, const fs::path& tmp) {
    SafeReplace replace(target, tmp);
    replace.write(content);
    replace.commit();
}

}  // namespace tavo
