#include "common/text_fold.h"

#include <cstdint>

namespace tavo {
namespace {

// Folded form of the Latin-1 letters U+00C0..U+00FF; nullptr where the character is no letter
// (× and ÷), which then stays as it is.
const char* const kLatin1[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",   // C0
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",  // D0
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",   // E0
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y",   // F0
};

// The letters Windows-1252 holds beyond Latin-1 (bytes 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F).
const char* foldBeyondLatin1(std::uint32_t cp) {
    switch (cp) {
        case 0x0152:  // Œ
        case 0x0153:  // œ
            return "oe";
        case 0x0160:  // Š
        case 0x0161:  // š
            return "s";
        case 0x017D:  // Ž
        case 0x017E:  // ž
            return "z";
        case 0x0178:  // Ÿ
            return "y";
        default:
            return nullptr;
    }
}

// Decodes the well-formed UTF-8 sequence at `s[i]` into `cp`; its length, or 0 when malformed.
std::size_t decode(std::string_view s, std::size_t i, std::uint32_t& cp) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n = 0;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if ((c & 0xE0) == 0xC0)
        n = 2;
    else if ((c & 0xF0) == 0xE0)
        n = 3;
    else if ((c & 0xF8) == 0xF0)
        n = 4;
    else
        return 0;
    if (i + n > s.size()) return 0;
    cp = c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    return n;
}

bool isBlank(std::uint32_t cp) {
    return cp == ' ' || cp == '\t' || cp == 0xA0;
}

}  // namespace

std::string foldForCompare(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t keep = 0;  // length of `out` up to its last non-blank character
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = 0;
        std::size_t n = decode(utf8, i, cp);
        if (n == 0) {
            out += utf8[i];
            keep = out.size();
            ++i;
            continue;
        }
        if (isBlank(cp)) {
            if (!out.empty()) out += ' ';
        } else {
            const char* folded = nullptr;
            if (cp >= 0xC0 && cp <= 0xFF)
                folded = kLatin1[cp - 0xC0];
            else if (cp > 0xFF)
                folded = foldBeyondLatin1(cp);
            if (cp < 0x80)
                out +=
                    (cp >= 'A' && cp <= 'Z') ? static_cast<char>(cp + 32) : static_cast<char>(cp);
            else if (folded)
                out += folded;
            else
                out.append(utf8.substr(i, n));
            keep = out.size();
        }
        i += n;
    }
    out.resize(keep);
    return out;
}

}  // namespace tavo
