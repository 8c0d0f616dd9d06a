#include "startup/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_dir.h"
#include "tavo_version.h"

using namespace tavo;
using Action = StartOptions::Action;
using Args = std::vector<std::string>;

TEST(CommandLine, DataFolderIsTakenOutAndToolkitOptionsStay) {
    StartOptions o = parseStartOptions({"tavo", "--data-folder", "/srv/bonsai", "-platform",
                                        "offscreen", "--style", "Fusion", "--reverse"});
    EXPECT_EQ(o.action, Action::Run);
    EXPECT_EQ(o.dataFolder, "/srv/bonsai");
    EXPECT_EQ(o.toolkitArgs,
              (Args{"tavo", "-platform", "offscreen", "--style", "Fusion", "--reverse"}));

    o = parseStartOptions({"/usr/bin/tavo", "--data-folder=My Bonsai", "--", "--data-folder", "x"});
    EXPECT_EQ(o.dataFolder, "My Bonsai");
    EXPECT_EQ(o.toolkitArgs, (Args{"/usr/bin/tavo", "--data-folder", "x"}));

    // A style named like our option is the toolkit's value, not ours.
    o = parseStartOptions({"tavo", "--style", "--data-folder"});
    EXPECT_TRUE(o.dataFolder.empty());

    o = parseStartOptions({});
    EXPECT_EQ(o.toolkitArgs, Args{"tavo"});
}

TEST(CommandLine, HelpWinsOverVersionAndMistakesAreRefused) {
    EXPECT_EQ(parseStartOptions({"tavo", "--version", "-h"}).action, Action::Help);
    EXPECT_EQ(parseStartOptions({"tavo", "--version"}).action, Action::Version);
    for (const Args& bad : {Args{"tavo", "--data-folder"}, Args{"tavo", "--data-folder="},
                            Args{"tavo", "--data-foldr", "x"}, Args{"tavo", "--verbose"}}) {
        const StartOptions o = parseStartOptions(bad);
        EXPECT_EQ(o.action, Action::Usage) << bad.back();
        EXPECT_FALSE(o.error.empty());
    }
}

struct ApplyTest : ::testing::Test {
    std::ostringstream out, err;
    std::filesystem::path previous = std::filesystem::current_path();
    ~ApplyTest() override { std::filesystem::current_path(previous); }
    int apply(const Args& args) { return applyStartOptions(parseStartOptions(args), out, err); }
};

TEST_F(ApplyTest, HelpVersionAndRefusalAnswerOnTheTerminal) {
    EXPECT_EQ(apply({"tavo", "--help"}), 0);
    EXPECT_NE(out.str().find("Usage: tavo [--data-folder DIR]"), std::string::npos);
    out.str("");
    EXPECT_EQ(apply({"tavo", "--version"}), 0);
    EXPECT_EQ(out.str(), std::string("Tavo ") + TAVO_VERSION + "\n");
    EXPECT_EQ(apply({"tavo", "--bogus"}), 2);
    EXPECT_EQ(err.str(), "tavo: unknown option --bogus\nTry 'tavo --help' for more information.\n");
    EXPECT_EQ(std::filesystem::current_path(), previous);
}

TEST_F(ApplyTest, DataFolderBecomesTheCurrentDirectory) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "my data");
    EXPECT_EQ(apply({"tavo"}), -1);
    EXPECT_EQ(std::filesystem::current_path(), previous);
    EXPECT_EQ(apply({"tavo", "--data-folder", (dir / "my data").string()}), -1);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir / "my data"));
    EXPECT_TRUE(out.str().empty() && err.str().empty());

    // A missing folder or a file stops the program before any window, where it was.
    test::writeBytes(dir / "file", "x");
    for (const char* bad : {"missing", "file"}) {
        err.str("");
        std::filesystem::current_path(previous);
        EXPECT_EQ(apply({"tavo", "--data-folder", (dir / bad).string()}), 1);
        EXPECT_NE(err.str().find((dir / bad).string()), std::string::npos) << err.str();
        EXPECT_EQ(std::filesystem::current_path(), previous);
    }
}
