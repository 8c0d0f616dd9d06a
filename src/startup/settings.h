#pragma once
// Tavo.ini: what the main window reads and writes at creation, activation and program end.
#include <string>

#include "common/paths.h"

namespace tavo::settings {

inline constexpr const char* kNoLanguage = "Langage non trouvée";

// Language name from Interface/Langage, or "Langage non trouvée".
std::string readLanguageName(const DataPaths& data);

// The settings part of an activation. When Tavo.ini exists, rewrites Auteur and VersionN and
// returns false; otherwise creates it with the seven first-start keys and returns true. The
// first-start file appears whole or not at all. IoError when a write fails.
bool activate(const DataPaths& data, const std::string& version, const std::string& today);

// True when any FICHES/*.SIG file exists.
bool anyCardExists(const DataPaths& data);

// Program end: writes Interface/Langage.
void writeLanguageName(const DataPaths& data, const std::string& language);

// The card counter Fichiers/Fiche (0 when missing) and its update.
long cardCounter(const DataPaths& data);
void setCardCounter(const DataPaths& data, long value);

}  // namespace tavo::settings
