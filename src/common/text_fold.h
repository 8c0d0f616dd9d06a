#pragma once
// Text compared the way people read it: "Érable" and "erable" are the same word.
#include <string>
#include <string_view>

namespace tavo {

// `utf8` lowercased with its accents removed, for comparing and searching. Every letter of
// Windows-1252 folds to plain ASCII ("É" to "e", "Œ" to "oe", "ß" to "ss", "Ÿ" to "y"); typographic
// apostrophes become "'". Other characters are kept as they are. The fold works character by
// character, so folding each character of a text on its own and joining the pieces gives the
// fold of the whole text.
std::string foldForCompare(std::string_view utf8);

// A label typed by hand ("Rempotage", "rempotage ", "REMPÔTAGE") as the keeper means it: folded,
// with blanks (spaces, tabs, no-break spaces) trimmed at both ends.
std::string foldLabel(std::string_view utf8);

}  // namespace tavo
