#pragma once
// Settings file with the semantics of Windows private-profile files, stored in Windows-1252 with
// CR LF line ends. Sections and keys match without regard to letter case; each call opens the
// file afresh and releases it at once.
#include <filesystem>
#include <string>

namespace tavo::ini {

// The value of `key` in `section`, trimmed; `fallback` when the file, section or key is missing.
std::string readString(const std::filesystem::path& file, const std::string& section,
                       const std::string& key, const std::string& fallback);

// The leading decimal number of the value (an optional sign, then digits); `fallback` when the
// key is missing; 0 when the value does not start with a number.
long readInt(const std::filesystem::path& file, const std::string& section, const std::string& key,
             long fallback);

// Writes one key: an existing key is rewritten in place, a new key is appended to its section,
// a new section is appended to the file, a missing file is created. The file is replaced whole
// through a temporary file, so a failure never leaves it half written. When the file already
// reads exactly as the write would leave it, nothing is written. IoError when the file exists
// but cannot be read (it is then left alone) or cannot be replaced.
void writeString(const std::filesystem::path& file, const std::string& section,
                 const std::string& key, const std::string& value);

}  // namespace tavo::ini
