#include "care/care_collection.h"

#include <algorithm>
#include <system_error>

#include "cards/card_file.h"
#include "common/errors.h"
#include "works/works_file.h"

namespace tavo {

CollectionLogs readCollectionLogs(const DataPaths& data) {
    CollectionLogs out;
    const fs::path folder = data.fiches();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return out;
    fs::directory_iterator it(folder, ec);
    if (ec) throw IoError("list", folder, ec.message());
    std::vector<std::string> ids;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() == ".SIG" && it->is_regular_file(ec)) ids.push_back(p.stem().string());
    }
    if (ec) throw IoError("list", folder, ec.message());
    std::sort(ids.begin(), ids.end());

    for (const std::string& id : ids) {
        TreeLog log;
        log.id = id;
        try {
            log.name = readCard(data, id).treeName;
        } catch (const Error& e) {
            out.problems.push_back(id + ": " + e.what());
        }
        try {
            log.lines = WorksFile(data, id).readAll();
        } catch (const Error& e) {
            out.problems.push_back(id + ": " + e.what());
        }
        out.trees.push_back(std::move(log));
    }
    return out;
}

std::string treeNextLine(const DataPaths& data, const std::string& treeId, const CareWords& words,
                         Day today) {
    return nextLineText(computeCarePlan(readCollectionLogs(data).trees, today), treeId, words);
}

}  // namespace tavo
