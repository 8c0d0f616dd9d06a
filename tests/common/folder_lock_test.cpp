#include "common/folder_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

using namespace tavo;
namespace fs = std::filesystem;

namespace {

std::string thisHost() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

}  // namespace

TEST(FolderLock, OneWriterAtATimeAcrossProcessesAndAKilledHolderIsTakenOver) {
    test::TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        auto attempt = FolderLock::take(DataPaths{dir.path()});
        const char ok = attempt.lock ? '1' : '0';
        if (::write(ready[1], &ok, 1) != 1) ::_exit(2);
        ::pause();  // holds the lock until killed
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    auto second = FolderLock::take(DataPaths{dir.path()});
    EXPECT_EQ(second.lock, nullptr);
    EXPECT_EQ(second.holder.pid, child);
    EXPECT_EQ(second.holder.host, thisHost());
    EXPECT_FALSE(second.holder.started.empty());
    EXPECT_EQ(FolderLock::holderOf(DataPaths{dir.path()}).pid, child);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(fs::exists(dir / FolderLock::kFileName));  // left behind by the kill
    EXPECT_EQ(FolderLock::holderOf(DataPaths{dir.path()}).pid, 0);

    {
        auto third = FolderLock::take(DataPaths{dir.path()});
        ASSERT_NE(third.lock, nullptr);
        EXPECT_TRUE(third.tookOverStale);
        EXPECT_EQ(third.holder.pid, child);
        EXPECT_NE(
            test::readText(dir / FolderLock::kFileName).find("pid=" + std::to_string(::getpid())),
            std::string::npos);
        EXPECT_EQ(FolderLock::take(DataPaths{dir.path()}).holder.pid, ::getpid());
    }
    EXPECT_FALSE(fs::exists(dir / FolderLock::kFileName));  // released on exit
    EXPECT_EQ(test::listFolder(dir.path()), std::vector<std::string>{});
}

TEST(FolderLock, LockFilesLeftBehindAreTakenOverOnlyFromThisHost) {
    struct Case {
        std::string content;
        bool takenOver;
    };
    const Case cases[] = {
        {"host=" + thisHost() + "\npid=999999\nstarted=2026-01-01 10:00:00\n", true},
        {"", true},  // made, never written: a program killed at once
        {"host=another-machine\npid=42\nstarted=2026-01-01 10:00:00\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        test::TempDir dir;
        test::writeBytes(dir / FolderLock::kFileName, c.content);
        auto attempt = FolderLock::take(DataPaths{dir.path()});
        EXPECT_EQ(attempt.lock != nullptr, c.takenOver);
        if (!c.takenOver) {
            EXPECT_EQ(attempt.holder.describe(),
                      "process 42 on host \"another-machine\", since 2026-01-01 10:00:00");
            EXPECT_EQ(test::readText(dir / FolderLock::kFileName), c.content);
        }
    }
}
