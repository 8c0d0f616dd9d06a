#include "trees/tree_creation.h"

#include "cards/card_file.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/record_file.h"
#include "common/safe_replace.h"
#include "startup/settings.h"

namespace tavo {
namespace {

std::filesystem::path photoTmp(const DataPaths& data, const std::string& id) {
    auto tmp = data.referencePhoto(id);
    tmp += ".tmp";
    return tmp;
}

}  // namespace

long createTree(const DataPaths& data, const std::string& id, const TreeCard& card,
                const Bytes& referenceJpeg, const CounterNotice& notice) {
    if (!isTreeIdFree(data, id))
        throw RefusedError("A tree of identifier " + id + " already exists; nothing was created.");
    try {
        createCard(data, id, card);
        createEmptyTreeFiles(data, id);
        replaceFile(data.referencePhoto(id), referenceJpeg, photoTmp(data, id));
        const long counter = settings::cardCounter(data);
        if (notice) notice(counter);
        settings::setCardCounter(data, counter + 1);
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
    SafeReplace newCard(cardPath, data.dataTmp());
    newCard.write(content);
    newCard.finish();
    if (newReferenceJpeg) {
        SafeReplace newPhoto(data.referencePhoto(id), photoTmp(data, id));
        newPhoto.write(*newReferenceJpeg);
        // Both are whole on the disk: only the renames are left.
        newPhoto.commit();
    }
    newCard.commit();
}

}  // namespace tavo
