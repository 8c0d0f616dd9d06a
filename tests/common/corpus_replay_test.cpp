// Replays the fuzz seed corpora (hostile and well-formed samples) through the same readers as
// the fuzz programs, so every sample found once stays covered by the ordinary tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../fuzz/targets.h"

namespace {

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <class Reader>
int replay(const char* name, Reader reader) {
    int samples = 0;
    const auto dir = std::filesystem::path(TAVO_SOURCE_DIR) / "fuzz" / "corpus" / name;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().string());
        const auto bytes = bytesOf(entry.path());
        reader(std::span<const std::uint8_t>(bytes));
        // Every prefix too: files cut short are the commonest damage.
        for (std::size_t n = 0; n < bytes.size(); n += 1 + bytes.size() / 64)
            reader(std::span<const std::uint8_t>(bytes).first(n));
        ++samples;
    }
    return samples;
}

}  // namespace

TEST(CorpusReplay, LanguageFiles) {
    EXPECT_GE(replay("language", tavo::fuzz::languageFile), 4);
}
TEST(CorpusReplay, SettingsFiles) {
    EXPECT_GE(replay("settings", tavo::fuzz::settingsFile), 2);
}
TEST(CorpusReplay, RecordFiles) {
    EXPECT_GE(replay("records", tavo::fuzz::records), 4);
}
TEST(CorpusReplay, CollectionDocuments) {
    EXPECT_GE(replay("json", tavo::fuzz::collectionDocument), 2);
}
