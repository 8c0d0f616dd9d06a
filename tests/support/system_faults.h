#pragma once
// Ways to make the system itself refuse writes, for tests that check what a full disk or a
// read-only folder does to the data. Each tries the real fault first and says when it is not
// available here, so the caller can fall back to an injected write error.
//
//   - A full disk: a small tmpfs mounted in a private mount namespace of the test process (root
//     with CAP_SYS_ADMIN, as the CI sandbox runs), then filled up.
//   - A read-only folder: a read-only bind mount over it; else, for root without mounts, the
//     file-system user of the calling thread switched to "nobody" (root ignores permission
//     bits, nobody does not); else, for an ordinary user, the write bits taken away.
#include <fcntl.h>
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace tavo::test {

// Mounts made from here on are seen by this process alone and vanish with it, even when a test
// dies before its clean-up. True when the process has its own mount namespace.
inline bool privateMountNamespace() {
    static const bool done = [] {
        if (::unshare(CLONE_NEWNS) != 0) return false;
        return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }();
    return done;
}

// Mounts a tmpfs of `bytes` on the existing folder `at`. False when mounting is refused.
inline bool mountSmallDisk(const std::filesystem::path& at, std::size_t bytes) {
    if (!privateMountNamespace()) return false;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    return ::mount("tavo-test", at.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

inline void unmount(const std::filesystem::path& at) {
    ::umount2(at.c_str(), MNT_DETACH);
}

// Fills the file system of `filler`'s folder up to its last byte with the file `filler`.
// Returns the number of bytes written.
inline std::size_t fillDisk(const std::filesystem::path& filler) {
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    std::size_t total = 0;
    const std::vector<char> block(4096, '\x55');
    for (std::size_t chunk = block.size(); chunk > 0; chunk /= 2) {
        for (;;) {
            const ssize_t n = ::write(fd, block.data(), chunk);
            if (n <= 0) break;
            total += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return total;
}

// Switches the file-system user of the calling thread to "nobody" for its lifetime, so that
// permission bits apply to a process run as root. active() is false when this is not possible
// or not needed (the process is not root).
class ActAsNobody {
  public:
    static constexpr uid_t kNobody = 65534;
    ActAsNobody() {
        if (::geteuid() != 0) return;
        ::setfsgid(kNobody);
        ::setfsuid(kNobody);
        active_ = static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1))) == kNobody;
    }
    ~ActAsNobody() {
        if (::geteuid() != 0) return;
        ::setfsuid(0);
        ::setfsgid(0);
    }
    ActAsNobody(const ActAsNobody&) = delete;
    ActAsNobody& operator=(const ActAsNobody&) = delete;
    bool active() const { return active_; }

  private:
    bool active_ = false;
};

}  // namespace tavo::test
