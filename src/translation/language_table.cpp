#include "translation/language_table.h"

#include <iterator>
#include <string_view>

#include "common/cp1252.h"
#include "common/errors.h"
#include "common/file_io.h"

namespace tavo {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// A decimal number as the file writes it: leading blanks, an optional sign, digits, nothing
// after them. Throws ConversionError otherwise.
int parseNumber(std::string_view field, std::string_view line) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    if (i == field.size())
        throw ConversionError("'" + cp1252::toUtf8(field) + "' is not a valid integer value (" +
                              cp1252::toUtf8(line) + ")");
    int n = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            throw ConversionError("'" + cp1252::toUtf8(field) + "' is not a valid integer value (" +
                                  cp1252::toUtf8(line) + ")");
        n = n * 10 + (field[i] - '0');
    }
    return negative ? -n : n;
}

}  // namespace

std::string joinLanguagePath(const std::string& pathFiles, const std::string& languageFile) {
    if (pathFiles.empty()) return languageFile;
    if (pathFiles.back() == '/' || pathFiles.back() == '\\') return pathFiles + languageFile;
    return pathFiles + "/" + languageFile;
}

void LanguageTable::store(int section, int key, std::string text) {
    if (section + 1 > sectionCount_) sectionCount_ = section + 1;
    Section& s = sections_[section];
    if (key + 1 > s.keyCount) s.keyCount = key + 1;
    s.texts[key] = std::move(text);
}

bool LanguageTable::load(const std::filesystem::path& file) {
    // Through the data-file reader, so a FIFO or a huge file in place of a language file is
    // refused instead of hanging or exhausting memory.
    std::string bytes;
    try {
        const Bytes raw = io::readFile(file);
        bytes.assign(raw.begin(), raw.end());
    } catch (const IoError&) {
        return false;
    }

    sections_.clear();
    sectionCount_ = 0;
    store(0, 0, {});

    const std::string_view all(
        bytes.data(), bytes.find('\x1A') == std::string::npos ? bytes.size() : bytes.find('\x1A'));
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t end = all.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view raw = all.substr(pos, end - pos);
        pos = end;
        if (pos < all.size())
            pos += (all[pos] == '\r' && pos + 1 < all.size() && all[pos + 1] == '\n') ? 2 : 1;

        const std::string_view line = trim(raw);
        if (line.empty() || line.front() != '#') continue;
        if (line.size() < 7)
            throw ConversionError("Language file line too short: '" + cp1252::toUtf8(line) + "'");
        const int section = parseNumber(line.substr(1, 4), line);
        const int key = parseNumber(line.substr(6, 4), line);
        if (section < 0 || key < 0) continue;  // outside the format: ignored, nothing else touched
        const std::string_view text = line.size() > 12 ? trim(line.substr(12)) : std::string_view{};
        store(section, key, cp1252::toUtf8(text));
    }
    return true;
}

std::optional<std::string> LanguageTable::find(int section, int key) const {
    if (section < 0 || key < 0 || section >= sectionCount_) return std::nullopt;
    const auto it = sections_.find(section);
    if (it == sections_.end() || it->second.keyCount == 0 || key >= it->second.keyCount)
        return std::nullopt;
    const auto t = it->second.texts.find(key);
    return t == it->second.texts.end() ? std::string{} : t->second;
}

}  // namespace tavo
