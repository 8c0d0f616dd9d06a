#include <system_error>

#include "common/paths.h"
#include "exchange/exchange.h"
#include "safety/file_copy.h"

namespace tavo::exchange {

namespace fs = std::filesystem;

void addProgramFiles(const fs::path& from, const fs::path& to) {
    const DataPaths source{from}, target{to};
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() == ".lng" && it->is_regular_file(ec) &&
            !safety::entryExists(to / p.filename()))
            safety::copyFileOrThrow(p, to / p.filename());
    }
    // The help pages go whole or not at all: a folder the user made there is left alone.
    const fs::path help = from / "Aide";
    if (fs::is_directory(help, ec) && !safety::entryExists(to / "Aide"))
        safety::copyFolderOrThrow(help, to / "Aide");
    if (fs::is_regular_file(source.defaultPicture(), ec) &&
        !safety::entryExists(target.defaultPicture()))
        safety::copyFileOrThrow(source.defaultPicture(), target.defaultPicture());
}

}  // namespace tavo::exchange
