#include <zip.h>

#include <gtest/gtest.h>
#include <cstdio>

#include "common/errors.h"
#include "safety/data_set.h"
#include "safety/tree_archive.h"
#include "support/zip_reading.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> names(const std::vector<ZipEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.name);
    return out;
}

const std::string id = kTreeId;

class TreeArchive : public ::testing::Test {
  protected:
    void SetUp() override {
        makeDataSet(dir_ / "data");
        writeBytes(dir_ / "data/GALERIES" / (id + "-003.JPG"), std::string(5000, 'p'));
        fs::create_directory(dir_ / "out");
    }
    fs::path data() const { return dir_ / "data"; }
    fs::path out() const { return dir_ / "out"; }
    TempDir dir_;
};

}  // namespace

TEST_F(TreeArchive, HoldsTheTreeFilesInOrderThenThePhotos) {
    const fs::path cwd = fs::current_path();
    const std::vector<std::string> photos = {id + "-003.JPG", id + "-001.JPG", id + "-002.JPG"};
    const fs::path zip = makeTreeArchive(DataPaths{data()}, id, photos, out());
    EXPECT_EQ(zip, out() / ("Tavo-" + id + ".zip"));
    EXPECT_EQ(fs::current_path(), cwd);

    const std::vector<std::string> expected = {id + ".JPG",    id + ".SIG",     id + ".TRX",
                                               id + ".GAL",    id + "-003.JPG", id + "-001.JPG",
                                               id + "-002.JPG"};
    const auto entries = readZip(zip);
    EXPECT_EQ(names(entries), expected);
    const std::vector<fs::path> sources = {
        data() / "IMGREF" / expected[0],   data() / "FICHES" / expected[1],
        data() / "FICHES" / expected[2],   data() / "GALERIES" / expected[3],
        data() / "GALERIES" / expected[4], data() / "GALERIES" / expected[5],
        data() / "GALERIES" / expected[6]};
    for (std::size_t i = 0; i < entries.size() && i < sources.size(); ++i) {
        EXPECT_EQ(entries[i].method, ZIP_CM_DEFLATE) << entries[i].name;
        EXPECT_EQ(entries[i].content, readText(sources[i])) << entries[i].name;
    }
    if (fs::exists("/usr/bin/unzip")) {
        EXPECT_EQ(unzipListNames(zip), expected);
        EXPECT_EQ(std::system(("unzip -tq '" + zip.string() + "' >/dev/null").c_str()), 0);
    }

    // Made afresh: a second run replaces the first, and no temporary file stays.
    makeTreeArchive(DataPaths{data()}, id, {id + "-002.JPG"}, out());
    EXPECT_EQ(names(readZip(zip)).size(), 5u);
    EXPECT_EQ(listFolder(out()), std::vector<std::string>{"Tavo-" + id + ".zip"});
}

TEST_F(TreeArchive, LeavesOutMissingFilesAndUnsafeNames) {
    fs::remove(data() / "FICHES" / (id + ".TRX"));
    fs::remove(data() / "IMGREF" / (id + ".JPG"));
    const std::vector<std::string> photos = {
        "../Tavo.ini", "/etc/hostname", "vieux/ancien.JPG", "",
        "..",          id + "-009.JPG", id + "-002.JPG",    id + "-002.JPG"};
    const fs::path zip = makeTreeArchive(DataPaths{data()}, id, photos, out());
    EXPECT_EQ(names(readZip(zip)),
              (std::vector<std::string>{id + ".SIG", id + ".GAL", id + "-002.JPG"}));
    EXPECT_THROW(makeTreeArchive(DataPaths{data()}, "../x", {}, out()), RefusedError);
}

TEST_F(TreeArchive, ATreeWithoutWorksOrPhotosAndATreeWithoutFiles) {
    const std::string young = "20200101000000";
    writeBytes(data() / "IMGREF" / (young + ".JPG"), "ref");
    writeBytes(data() / "FICHES" / (young + ".SIG"), std::string(1234, 's'));
    writeBytes(data() / "FICHES" / (young + ".TRX"), "");
    writeBytes(data() / "GALERIES" / (young + ".GAL"), "");
    const auto entries = readZip(makeTreeArchive(DataPaths{data()}, young, {}, out()));
    EXPECT_EQ(names(entries), (std::vector<std::string>{young + ".JPG", young + ".SIG",
                                                        young + ".TRX", young + ".GAL"}));
    EXPECT_EQ(entries[2].content, "");

    EXPECT_TRUE(readZip(makeTreeArchive(DataPaths{data()}, "20210101000000", {}, out())).empty());
}

TEST_F(TreeArchive, AFailedRunLeavesNoPartialArchive) {
    const fs::path zip = makeTreeArchive(DataPaths{data()}, id, {}, out());
    const std::string first = readText(zip);
    // A photo that exists but whose reading fails part-way.
    fs::create_symlink("/proc/self/mem", data() / "GALERIES/bad.JPG");
    EXPECT_THROW(makeTreeArchive(DataPaths{data()}, id, {id + "-001.JPG", "bad.JPG"}, out()),
                 IoError);
    EXPECT_EQ(listFolder(out()), std::vector<std::string>{"Tavo-" + id + ".zip"});
    EXPECT_EQ(readText(zip), first);

    EXPECT_THROW(makeTreeArchive(DataPaths{data()}, id, {}, dir_ / "no-such-folder"), IoError);
}
