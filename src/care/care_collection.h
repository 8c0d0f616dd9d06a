#pragma once
// The logs of the whole collection, read from a data folder for the care plan.
#include <string>
#include <vector>

#include "care/care_plan.h"
#include "common/paths.h"

namespace tavo {

struct CollectionLogs {
    // Every tree with a card, by identifier.
    std::vector<TreeLog> trees;
    // Trees whose card or works log could not be read: "<id>: <reason>". Such a tree is still
    // listed with what could be read (an empty name, an empty log), so one damaged file hides
    // nothing else.
    std::vector<std::string> problems;
};

// Reads the card and works log of every tree of the data folder: the trees are the cards
// FICHES/<id>.SIG. A missing FICHES folder holds no tree. IoError when the folder cannot be
// listed.
CollectionLogs readCollectionLogs(const DataPaths& data);

// The works panel's line for tree `treeId` on `today` ("Next: Repotting around 04/2026 (every 2
// years)"), learned from the whole collection, since a tree's lone line borrows the collection's
// interval; empty when nothing is expected. Damaged trees only teach less.
std::string treeNextLine(const DataPaths& data, const std::string& treeId, const CareWords& words,
                         Day today);

}  // namespace tavo
