#pragma once
// The text table of the translator: sections of numbered texts read from a language file.
// Stored sparsely, so a file naming huge section or key numbers costs only what it holds.
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>

namespace tavo {

class LanguageTable {
  public:
    // Reads a language file. Returns false, keeping the table as it was, when the file cannot
    // be opened. A malformed section or key number throws ConversionError; the entries read
    // before that line stay in the (new) table.
    bool load(const std::filesystem::path& file);

    // The stored text, possibly empty, or nothing when the entry is missing: the section is
    // beyond the table or holds no key, or the key is above its section's largest key.
    std::optional<std::string> find(int section, int key) const;

    bool empty() const { return sectionCount_ == 0; }

  private:
    struct Section {
        int keyCount = 0;
        std::unordered_map<int, std::string> texts;
    };
    void store(int section, int key, std::string text);

    int sectionCount_ = 0;
    std::unordered_map<int, Section> sections_;
};

// The language file path of a translator: `pathFiles` + "/" + `languageFile`, with no second
// separator when `pathFiles` already ends with one and `languageFile` alone when it is empty.
std::string joinLanguagePath(const std::string& pathFiles, const std::string& languageFile);

}  // namespace tavo
