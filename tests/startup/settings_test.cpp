#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/file_io.h"
#include "startup/settings.h"
#include "support/faults.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;

TEST(Settings, FirstStartWritesTheSevenKeysExactly) {
    TempDir dir;
    EXPECT_TRUE(settings::activate(DataPaths{dir.path()}, "0.9.7.0", "07/12/2026"));
    EXPECT_EQ(test::readText(dir / "Tavo.ini"),
              "[Intro]\r\nAuteur=Vendrane\r\n"
              "[Creation]\r\nDate=07/12/2026\r\nVersionC=0.9.7.0\r\nVersionN=0.9.7.0\r\n"
              "[Fichiers]\r\nFiche=1\r\nPhoto=1\r\n"
              "[Interface]\r\nLangage=Fran\xE7"
              "ais\r\n");
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir.path()}), "Français");
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 1);
}

TEST(Settings, LaterActivationRewritesOnlyAuteurAndVersionN) {
    TempDir dir;
    settings::activate(DataPaths{dir.path()}, "0.9.6.0", "01/01/2025");
    EXPECT_FALSE(settings::activate(DataPaths{dir.path()}, "0.9.7.0", "07/12/2026"));
    const auto text = test::readText(dir / "Tavo.ini");
    EXPECT_NE(text.find("Date=01/01/2025\r\nVersionC=0.9.6.0\r\nVersionN=0.9.7.0\r\n"),
              std::string::npos);
}

TEST(Settings, MissingInterfaceSectionGivesNoLanguage) {
    TempDir dir;
    test::writeBytes(dir / "Tavo.ini", "[Intro]\r\nAuteur=Vendrane\r\n");
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir.path()}), "Langage non trouvée");
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir / "nowhere"}), "Langage non trouvée");
}

TEST(Settings, ProgramEndWritesLanguageAndCardsAreFound) {
    TempDir dir;
    dir.makeDataFolders();
    settings::activate(DataPaths{dir.path()}, "1.0.0.0", "x");
    settings::writeLanguageName(DataPaths{dir.path()}, "English");
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir.path()}), "English");
    EXPECT_FALSE(settings::anyCardExists(DataPaths{dir.path()}));
    test::writeBytes(dir / "FICHES/26034140509042.SIG", std::string(1234, '\0'));
    EXPECT_TRUE(settings::anyCardExists(DataPaths{dir.path()}));
    settings::setCardCounter(DataPaths{dir.path()}, 2);
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 2);
}

TEST(Settings, AFirstStartCutShortLeavesNoSettingsFile) {
    TempDir dir;
    test::writeBytes(dir / "Tavo.ini.new", "[Fichiers]\r\nFiche=99\r\n");  // left by a kill
    // The seven keys are seven writes; each fails in turn, before or after some of its bytes.
    for (int n = 1; n <= 7; ++n) {
        test::failNthWrite(n, static_cast<std::size_t>(n % 2) * 9);
        EXPECT_THROW(settings::activate(DataPaths{dir.path()}, "1.0.0.0", "01/02/2026"), IoError)
            << n;
        test::failNthWrite(0);
        EXPECT_EQ(test::listFolder(dir.path()), std::vector<std::string>{}) << n;
    }
    EXPECT_TRUE(settings::activate(DataPaths{dir.path()}, "1.0.0.0", "01/02/2026"));
    EXPECT_EQ(test::listFolder(dir.path()), std::vector<std::string>{"Tavo.ini"});
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 1);
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir.path()}), "Français");
}
