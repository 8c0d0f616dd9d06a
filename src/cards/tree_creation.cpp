#include "cards/tree_creation.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/settings.h"
#include "cards/card_file.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/record_file.h"

namespace tavo {
namespace {

std::filesystem::path photoTmp(const DataPaths& data, const std::string& id) {
    auto tmp = data.referencePhoto(id);
    tmp += ".tmp";
    return tmp;
}

void renameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw IoError("rename", from, std::strerror(errno));
    io::syncFolder(to.parent_path());
}

}  // namespace

long createTree(const DataPaths& data, const std::string& id, const TreeCard& card,
                const Bytes& referenceJpeg, const CounterNotice& notice) {
    if (!isTreeIdFree(data, id))
        throw RefusedError("A tree of identifier " + id + " already exists; nothing was created.");
    try {
        createCard(data, id, card);
        createEmptyTreeFiles(data, id);
        safeRewrite(data.referencePhoto(id), photoTmp(data, id), referenceJpeg);
        const long counter = settings::cardCounter(data.root);
        if (notice) notice(counter);
        settings::setCardCounter(data.root, counter + 1);
        return counter + 1;
    } catch (...) {
        // The identifier was free, so every file of the tree found now was made above.
        for (const auto& made : {data.referencePhoto(id), data.gallery(id), data.works(id),
                                 data.card(id), photoTmp(data, id)}) {
            try {
                io::removeIfExists(made);
            } catch (...) {
                // The error that stopped the creation is the one to report.
            }
        }
        throw;
    }
}

void saveCardChanges(const DataPaths& data, const std::string& id, const TreeCard& card,
                     const Bytes* newReferenceJpeg) {
    const auto cardPath = data.card(id);
    const Bytes content = changedCardFile(io::readFile(cardPath), card);
    const auto cardTmp = data.dataTmp();
    try {
        io::writeFile(cardTmp, content);
        if (newReferenceJpeg) io::writeFile(photoTmp(data, id), *newReferenceJpeg);
    } catch (...) {
        ::unlink(cardTmp.c_str());
        ::unlink(photoTmp(data, id).c_str());
        throw;
    }
    // Both are whole on the disk: only the renames are left.
    try {
        if (newReferenceJpeg) renameOver(photoTmp(data, id), data.referencePhoto(id));
        renameOver(cardTmp, cardPath);
    } catch (...) {
        ::unlink(cardTmp.c_str());
        ::unlink(photoTmp(data, id).c_str());
        throw;
    }
}

}  // namespace tavo
