#pragma once
// One writer per data folder. The program that holds the lock keeps the file Tavo.lock in the
// data folder open with an exclusive flock on it; the file says who holds it (host, process,
// start time). The lock file appears whole or not at all: it is written under a private name,
// locked, then linked to its real name.
//
// A lock file whose flock is free on this host belongs to a program that is gone (the kernel
// drops a flock when its process dies), so it is stale and is taken over. A lock file written on
// another host cannot be checked from here and is taken as held.
#include <filesystem>
#include <memory>
#include <string>

#include "common/file_io.h"
#include "common/paths.h"

namespace tavo {

// Who holds (or held) a lock.
struct LockHolder {
    std::string host;
    long pid = 0;
    std::string started;  // local time "yyyy-mm-dd hh:mm:ss"

    // "process 1234 on host \"atelier\", since 2026-12-08 01:35:18"
    std::string describe() const;
};

class FolderLock {
  public:
    static constexpr const char* kFileName = DataPaths::kLockFileName;

    // The outcome of an attempt: `lock` is set when this process now holds the lock; otherwise
    // `holder` says who does.
    struct Attempt {
        std::unique_ptr<FolderLock> lock;
        LockHolder holder;
        bool tookOverStale = false;  // a lock left by a program that is gone was taken over
    };

    // Tries once to take the lock of the data folder `data`, without waiting. IoError when the lock
    // file cannot be made or read (a read-only folder, a link or a FIFO planted in its place).
    static Attempt take(const DataPaths& data);

    // Who holds the lock of the data folder `data` now; empty host and pid 0 when nobody does.
    static LockHolder holderOf(const DataPaths& data);

    ~FolderLock();  // releases the lock and removes the lock file
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    const DataPaths& data() const { return data_; }
    const LockHolder& holder() const { return holder_; }

  private:
    FolderLock(DataPaths data, int fd, LockHolder holder);
    DataPaths data_;
    io::Fd fd_;  // holds the lock until the object dies
    LockHolder holder_;
};

}  // namespace tavo
