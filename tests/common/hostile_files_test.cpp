// Readers and writers of data files facing what a hostile or damaged data folder holds in place
// of a file: each must fail at once with an I/O error naming the file, never hang or exhaust
// memory, and never write through a link.
#include <gtest/gtest.h>

#include <functional>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/ini_file.h"
#include "common/record_file.h"
#include "common/regular_file.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

using namespace tavo;
using test::Hostile;
namespace fs = std::filesystem;

TEST(HostileDataFiles, EveryReaderRefusesAtOnceWithTheFileNamed) {
    const std::pair<const char*, std::function<void(const fs::path&)>> readers[] = {
        {"readFile", [](const fs::path& p) { io::readFile(p); }},
        {"count", [](const fs::path& p) { countRecords(p, 318); }},
        {"read records", [](const fs::path& p) { readWholeRecords(p, 135); }},
        {"open to write",
         [](const fs::path& p) { RecordFile(p, 51, RecordFile::Mode::ReadWrite); }},
        {"create", [](const fs::path& p) { RecordFile(p, 51, RecordFile::Mode::Create); }},
        {"settings write", [](const fs::path& p) { ini::writeString(p, "Intro", "Auteur", "x"); }},
    };
    for (const Hostile h : {Hostile::Fifo, Hostile::Folder, Hostile::Device, Hostile::Oversized}) {
        for (const auto& [name, read] : readers) {
            if (h == Hostile::Oversized && std::string(name) == "create") continue;  // emptied
            SCOPED_TRACE(std::string(name) + " on a " + test::hostileName(h));
            test::TempDir dir;
            const fs::path file = dir / "DATA.SIG";
            test::plant(h, file);
            test::HangGuard guard;
            try {
                read(file);
                ADD_FAILURE() << "accepted";
            } catch (const IoError& e) {
                const std::string what = e.what();
                EXPECT_NE(what.find("DATA.SIG"), std::string::npos) << what;
                EXPECT_EQ(what.find("Interrupted"), std::string::npos) << what;  // it hung
                if (h == Hostile::Oversized) {
                    EXPECT_NE(what.find("MiB"), std::string::npos) << what;
                }
            }
        }
    }
}

TEST(HostileDataFiles, ACapUnderAMebibyteIsNamedInItsOwnUnit) {
    test::TempDir dir;
    test::writeBytes(dir / "Tavo.lock", std::string(5000, 'x'));
    try {
        io::Fd fd(io::openRegular(dir / "Tavo.lock", io::OpenFor::Read, 4096));
        ADD_FAILURE() << "accepted";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("more than the 4 KiB"), std::string::npos) << e.what();
    }
}

TEST(HostileDataFiles, ReadingFollowsALinkButWritingRefusesIt) {
    test::TempDir dir;
    const fs::path outside = dir / "outside.LIB";
    const fs::path link = dir / "Types.LIB";
    test::writeBytes(outside, std::string(51, 'A'));
    fs::create_symlink(outside, link);

    EXPECT_EQ(countRecords(link, 51), 1u);
    for (const auto mode : {RecordFile::Mode::ReadWrite, RecordFile::Mode::Create}) {
        try {
            RecordFile f(link, 51, mode);
            f.append(Bytes(51, 'B'));
            ADD_FAILURE() << "wrote through the link";
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find("link"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(test::readText(outside), std::string(51, 'A'));
}
