#pragma once
// Texts and paths across the window boundary: the core speaks UTF-8 std::string and
// std::filesystem::path, the windows QString.
#include <QString>
#include <filesystem>
#include <string>

namespace tavo {

inline QString toQString(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string toUtf8String(const QString& s) {
    return s.toStdString();
}
inline std::filesystem::path toPath(const QString& s) {
    return std::filesystem::path(s.toStdString());
}
inline QString toQString(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

}  // namespace tavo
