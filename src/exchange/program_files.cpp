#include <system_error>

#include "common/paths.h"
#include "exchange/exchange.h"
#include "safety/file_copy.h"

namespace tavo::exchange {

namespace fs = std::filesystem;

void addProgramFiles(const DataPaths& source, const DataPaths& target) {
    std::error_code ec;
    for (fs::directory_iterator it(source.root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != ".lng" || !it->is_regular_file(ec)) continue;
        const fs::path copy = target.languageFile(p.stem().string());
        if (!safety::entryExists(copy)) safety::copyFileOrThrow(p, copy);
    }
    // The help pages go whole or not at all: a folder the user made there is left alone.
    if (fs::is_directory(source.helpFolder(), ec) && !safety::entryExists(target.helpFolder()))
        safety::copyFolderOrThrow(source.helpFolder(), target.helpFolder());
    if (fs::is_regular_file(source.defaultPicture(), ec) &&
        !safety::entryExists(target.defaultPicture()))
        safety::copyFileOrThrow(source.defaultPicture(), target.defaultPicture());
}

}  // namespace tavo::exchange
