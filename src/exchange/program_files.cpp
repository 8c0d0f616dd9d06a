#include <system_error>

#include "common/paths.h"
#include "exchange/exchange.h"
#include "safety/file_copy.h"

namespace tavo {

namespace fs = std::filesystem;

void addProgramFiles(const DataPaths& source, const DataPaths& target) {
    std::error_code ec;
    for (fs::directory_iterator it(source.root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != ".lng" || !it->is_regular_file(ec)) continue;
        const fs::path copy = target.languageFile(p.stem().string());
        if (!entryExists(copy)) copyFileOrThrow(p, copy);
    }
    // The help pages go whole or not at all: a folder the user made there is left alone.
    if (fs::is_directory(source.helpFolder(), ec) && !entryExists(target.helpFolder()))
        copyFolderOrThrow(source.helpFolder(), target.helpFolder());
    if (fs::is_regular_file(source.defaultPicture(), ec) && !entryExists(target.defaultPicture()))
        copyFileOrThrow(source.defaultPicture(), target.defaultPicture());
}

}  // namespace tavo
