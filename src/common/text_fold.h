#pragma once
// Texts typed by hand ("Rempotage", "rempotage ", "REMPÔTAGE") compared as the keeper means them.
#include <string>
#include <string_view>

namespace tavo {

// `utf8` made comparable: every letter of Windows-1252 lowercased and stripped of its accent
// ("É" -> "e", "Œ" -> "oe", "ß" -> "ss"), blanks (spaces, tabs, no-break spaces) trimmed at both
// ends. Characters outside Windows-1252 are kept as they are; malformed bytes are kept too, so
// two different texts never fold to one by accident of encoding.
std::string foldForCompare(std::string_view utf8);

}  // namespace tavo
