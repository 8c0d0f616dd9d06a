#include "startup/settings.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/ini_file.h"
#include "common/paths.h"
#include "common/safe_replace.h"

namespace tavo::settings {

std::string readLanguageName(const DataPaths& data) {
    return ini::readString(data.settings(), "Interface", "Langage", kNoLanguage);
}

bool activate(const DataPaths& data, const std::string& version, const std::string& today) {
    const auto file = data.settings();
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        ini::writeString(file, "Intro", "Auteur", "Vendrane");
        ini::writeString(file, "Creation", "VersionN", version);
        return false;
    }
    // The seven keys land together: a first start cut short must not leave a settings file
    // without its counter or language, which every later start would take as it stands.
    // A file left by a start that was killed is replaced.
    auto fresh = file;
    fresh += ".new";
    SafeReplace replace(file, fresh);
    replace.writeWith([&](const std::filesystem::path& keys) {
        ini::writeString(keys, "Intro", "Auteur", "Vendrane");
        ini::writeString(keys, "Creation", "Date", today);
        ini::writeString(keys, "Creation", "VersionC", version);
        ini::writeString(keys, "Creation", "VersionN", version);
        ini::writeString(keys, "Fichiers", "Fiche", "1");
        ini::writeString(keys, "Fichiers", "Photo", "1");
        ini::writeString(keys, "Interface", "Langage", "Français");
    });
    replace.commit();
    return true;
}

bool anyCardExists(const DataPaths& data) {
    std::error_code ec;
    std::filesystem::directory_iterator it(data.fiches(), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const auto& p = it->path();
        if (p.extension() == ".SIG") return true;
    }
    return false;
}

void writeLanguageName(const DataPaths& data, const std::string& language) {
    ini::writeString(data.settings(), "Interface", "Langage", language);
}

long cardCounter(const DataPaths& data) {
    return ini::readInt(data.settings(), "Fichiers", "Fiche", 0);
}

void setCardCounter(const DataPaths& data, long value) {
    ini::writeString(data.settings(), "Fichiers", "Fiche", std::to_string(value));
}

}  // namespace tavo::settings
