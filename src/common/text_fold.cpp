#include "common/text_fold.h"

#include <array>
#include <cstdint>

namespace tavo {
namespace {

// Folds of U+00C0 to U+00FF, the Latin-1 letters (× and ÷ stay as they are).
constexpr std::array<const char*, 64> kLatin1 = {
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y",
};

// The fold of code point `cp`, or nullptr when it stays as it is.
const char* foldOf(std::uint32_t cp) {
    if (cp >= 0xC0 && cp <= 0xFF) return kLatin1[cp - 0xC0];
    switch (cp) {
        case 0xAA:
            return "a";  // ª
        case 0xBA:
            return "o";  // º
        case 0x0152:
        case 0x0153:
            return "oe";  // Œ œ
        case 0x0160:
        case 0x0161:
            return "s";  // Š š
        case 0x0178:
            return "y";  // Ÿ
        case 0x017D:
        case 0x017E:
            return "z";  // Ž ž
        case 0x0192:
            return "f";  // ƒ
        case 0x2018:
        case 0x2019:
            return "'";  // ‘ ’
        default:
            return nullptr;
    }
}

// Length of the UTF-8 sequence starting at s[i] and its code point; a malformed byte counts as a
// sequence of one that folds to itself.
std::size_t decode(std::string_view s, std::size_t i, std::uint32_t& cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (len == 1 || i + len > s.size()) {
        cp = 0xFFFFFFFF;
        return 1;
    }
    cp = b & (0x3F >> (len - 1));
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            cp = 0xFFFFFFFF;
            return 1;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    return len;
}

}  // namespace

std::string foldForCompare(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += (b >= 'A' && b <= 'Z') ? static_cast<char>(b + ('a' - 'A')) : utf8[i];
            ++i;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t len = decode(utf8, i, cp);
        if (const char* f = foldOf(cp))
            out += f;
        else
            out.append(utf8.substr(i, len));
        i += len;
    }
    return out;
}

std::string foldLabel(std::string_view utf8) {
    const auto blankAt = [&](std::size_t i) {
        if (utf8[i] == ' ' || utf8[i] == '\t') return std::size_t{1};
        if (utf8.substr(i, 2) == "\xC2\xA0") return std::size_t{2};
        return std::size_t{0};
    };
    std::size_t first = 0;
    while (first < utf8.size() && blankAt(first) > 0) first += blankAt(first);
    std::size_t last = utf8.size();
    while (last > first) {
        if (utf8[last - 1] == ' ' || utf8[last - 1] == '\t') {
            --last;
        } else if (last - first >= 2 && utf8.substr(last - 2, 2) == "\xC2\xA0") {
            last -= 2;
        } else {
            break;
        }
    }
    return foldForCompare(utf8.substr(first, last - first));
}

}  // namespace tavo
