#pragma once
// Things a hostile or damaged data folder can hold in place of a data file, and a guard that
// turns a read that would hang into a failed test instead of a stuck run.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace tavo::test {

enum class Hostile { Fifo, Folder, Device, Oversized };

inline const char* hostileName(Hostile h) {
    switch (h) {
        case Hostile::Fifo:
            return "FIFO";
        case Hostile::Folder:
            return "folder";
        case Hostile::Device:
            return "device";
        case Hostile::Oversized:
            return "oversized file";
    }
    return "?";
}

// Puts `h` at `p` (which must not exist yet). The oversized file is sparse: it takes no room.
inline void plant(Hostile h, const std::filesystem::path& p) {
    namespace fs = std::filesystem;
    switch (h) {
        case Hostile::Fifo:
            ::mkfifo(p.c_str(), 0644);
            break;
        case Hostile::Folder:
            fs::create_directory(p);
            break;
        case Hostile::Device:
            fs::create_symlink("/dev/zero", p);  // a link to a device reads as the device
            break;
        case Hostile::Oversized: {
            const int fd = ::creat(p.c_str(), 0644);
            if (fd >= 0) {
                if (::ftruncate(fd, (64ll << 20) + 1) != 0) {
                }
                ::close(fd);
            }
            break;
        }
    }
}

// While alive, a call blocked in open or read for more than `seconds` is interrupted (EINTR), so
// a reader that would hang fails with a reason the test can see instead of stopping the run.
class HangGuard {
  public:
    explicit HangGuard(unsigned seconds = 3) {
        struct sigaction sa {};
        sa.sa_handler = [](int) {};
        ::sigaction(SIGALRM, &sa, &old_);  // no SA_RESTART: the blocked call returns EINTR
        ::alarm(seconds);
    }
    ~HangGuard() {
        ::alarm(0);
        ::sigaction(SIGALRM, &old_, nullptr);
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

  private:
    struct sigaction old_ {};
};

}  // namespace tavo::test
