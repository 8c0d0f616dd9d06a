#include "common/ini_file.h"
#include "common/safe_replace.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "common/record_file.h"

namespace tavo::ini {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The bytes of the file; nothing when it does not exist. IoError when it exists but cannot be
// read.
std::optional<Bytes> readIfPresent(const std::filesystem::path& file) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) return std::nullopt;
    return io::readFile(file);
}

// Lines of Windows-1252 text, without their line ends.
std::vector<std::string> splitLines(const Bytes& bytes) {
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

// Lines of the file; nothing when it is missing or cannot be read.
std::optional<std::vector<std::string>> readLines(const std::filesystem::path& file) {
    try {
        if (auto bytes = readIfPresent(file)) return splitLines(*bytes);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<std::string_view> keyName(std::string_view line) {
    const auto t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return trim(t.substr(0, eq));
}

std::optional<std::string> findValue(const std::filesystem::path& file, const std::string& section,
                                     const std::string& key) {
    const auto lines = readLines(file);
    if (!lines) return std::nullopt;
    const std::string sec = cp1252::fromUtf8(section), k = cp1252::fromUtf8(key);
    bool inSection = false;
    for (const auto& line : *lines) {
        if (auto s = sectionName(line)) {
            inSection = equalNoCase(*s, sec);
            continue;
        }
        if (!inSection) continue;
        if (auto name = keyName(line); name && equalNoCase(*name, k)) {
            auto value = trim(std::string_view(line).substr(line.find('=') + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return cp1252::toUtf8(value);
        }
    }
    return std::nullopt;
}

}  // namespace

std::string readString(const std::filesystem::path& file, const std::string& section,
                       const std::string& key, const std::string& fallback) {
    return findValue(file, section, key).value_or(fallback);
}

long readInt(const std::filesystem::path& file, const std::string& section, const std::string& key,
             long fallback) {
    const auto v = findValue(file, section, key);
    if (!v) return fallback;
    std::size_t i = 0;
    bool negative = false;
    if (i < v->size() && ((*v)[i] == '-' || (*v)[i] == '+')) negative = (*v)[i++] == '-';
    long n = 0;
    for (; i < v->size() && std::isdigit(static_cast<unsigned char>((*v)[i])); ++i) {
        if (n > 100000000000L) break;  // absurd values stop growing instead of overflowing
        n = n * 10 + ((*v)[i] - '0');
    }
    return negative ? -n : n;
}

void writeString(const std::filesystem::path& file, const std::string& section,
                 const std::string& key, const std::string& value) {
    // A file that exists but cannot be read is never replaced by one holding this key alone.
    const std::optional<Bytes> old = readIfPresent(file);
    std::vector<std::string> lines = old ? splitLines(*old) : std::vector<std::string>{};
    const std::string sec = cp1252::fromUtf8(section), k = cp1252::fromUtf8(key),
                      v = cp1252::fromUtf8(value);
    const std::string entry = k + "=" + v;

    std::optional<std::size_t> sectionLine, lastKeyLine, keyLine;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto s = sectionName(lines[i])) {
            inSection = !sectionLine && equalNoCase(*s, sec);
            if (inSection) sectionLine = i;
            continue;
        }
        if (!inSection) continue;
        if (auto name = keyName(lines[i])) {
            lastKeyLine = i;
            if (!keyLine && equalNoCase(*name, k)) keyLine = i;
        }
    }
    if (keyLine) {
        const std::string_view old = lines[*keyLine];
        const auto eq = old.find('=');
        lines[*keyLine] = std::string(trim(old.substr(0, eq))) + "=" + v;
    } else if (sectionLine) {
        lines.insert(
            lines.begin() + static_cast<std::ptrdiff_t>(lastKeyLine.value_or(*sectionLine) + 1),
            entry);
    } else {
        lines.push_back("[" + sec + "]");
        lines.push_back(entry);
    }

    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    Bytes content(text.begin(), text.end());
    // A write that changes nothing leaves the file alone: the keys rewritten at every activation
    // then cost no disk write, and a folder that refuses writes reports nothing to lose.
    if (old && *old == content) return;
    auto tmp = file;
    tmp += ".tmp";
    replaceFile(file, content, tmp);
}

}  // namespace tavo::ini
