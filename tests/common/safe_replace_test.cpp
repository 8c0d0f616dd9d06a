#include "common/safe_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "common/errors.h"
#include "support/faults.h"
#include "support/temp_dir.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

unsigned modeOf(const fs::path& p) {
    struct stat st {};
    ::lstat(p.c_str(), &st);
    return st.st_mode & 07777;
}

// What stands in the folder before the replace, what the replace does, and what must hold after.
TEST(SafeReplace, ReplacesWholeOrLeavesEverythingAsItWas) {
    const struct Case {
        const char* name;
        std::function<void(const fs::path& dir)> before;
        bool succeeds;
        std::string targetAfter;
    } cases[] = {
        {"a stale temporary file is replaced",
         [](const fs::path& d) { test::writeBytes(d / "DATA.TMP", std::string(1000, 'z')); }, true,
         "new"},
        {"a link planted as the temporary file is not followed",
         [](const fs::path& d) { fs::create_symlink(d / "outside", d / "DATA.TMP"); }, true, "new"},
        {"a read-only target is refused",
         [](const fs::path& d) { fs::permissions(d / "target", fs::perms::owner_read); }, false,
         "old"},
        {"a failed write keeps the target", [](const fs::path&) { test::failNthWrite(1, 2); },
         false, "old"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::writeBytes(dir / "outside", "outside");
        test::writeBytes(dir / "target", "old");
        fs::permissions(dir / "target", fs::perms(0640));
        c.before(dir.path());
        try {
            replaceFile(dir / "target", Bytes{'n', 'e', 'w'}, dir / "DATA.TMP");
            EXPECT_TRUE(c.succeeds) << c.name;
        } catch (const IoError&) {
            EXPECT_FALSE(c.succeeds) << c.name;
        }
        test::failNthWrite(0);
        EXPECT_EQ(test::readText(dir / "target"), c.targetAfter) << c.name;
        EXPECT_EQ(test::readText(dir / "outside"), "outside") << c.name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "DATA.TMP"))) << c.name;
        if (c.succeeds) {
            EXPECT_EQ(modeOf(dir / "target"), 0640u) << c.name;
        }
    }

    // A rename onto a folder fails: the temporary file goes, the folder stays.
    TempDir dir;
    fs::create_directories(dir / "target/inside");
    EXPECT_THROW(replaceFile(dir / "target", Bytes{'n'}, dir / "DATA.TMP"), IoError);
    EXPECT_FALSE(fs::exists(dir / "DATA.TMP"));
    EXPECT_TRUE(fs::is_directory(dir / "target/inside"));
    // Without a name given, the temporary file is unique and gone after.
    replaceFile(dir / "fresh", Bytes{'x'});
    EXPECT_EQ(test::listFolder(dir.path()), (std::vector<std::string>{"fresh", "target"}));
}

}  // namespace
}  // namespace tavo
