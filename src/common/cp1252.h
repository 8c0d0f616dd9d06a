#pragma once
// Windows-1252 exists only at the file boundary; everything inside the program is UTF-8.
#include <string>
#include <string_view>

namespace tavo::cp1252 {

// Every byte maps to one character; the five bytes Windows leaves undefined map to the C1
// control characters of the same value, so a round trip never loses a byte.
std::string toUtf8(std::string_view bytes);

// A character outside Windows-1252, and any malformed UTF-8 sequence, becomes "?".
std::string fromUtf8(std::string_view utf8);

// Number of characters in a UTF-8 text (malformed bytes count one each).
std::size_t length(std::string_view utf8);

// The first `count` characters of a UTF-8 text, never cut inside a character.
std::string left(std::string_view utf8, std::size_t count);

// Characters `from` (0-based) up to the end, never cut inside a character.
std::string mid(std::string_view utf8, std::size_t from);

}  // namespace tavo::cp1252
