#pragma once
// Writing a tree's card and reference photo from the card form: a new tree with its four files
// and one more on the card counter, or the changes of an existing card. Each is all or nothing,
// so a full disk or a folder that refuses writes never leaves half a tree behind.
#include <functional>
#include <string>

#include "cards/card_record.h"
#include "common/fixed_string.h"
#include "common/paths.h"

namespace tavo {

// Called once the new tree's files are written, with the card counter read from Tavo.ini, just
// before the counter raised by one is written.
using CounterNotice = std::function<void(long counterRead)>;

// Creates tree `id`: the card FICHES/<id>.SIG, the empty works file FICHES/<id>.TRX and gallery
// GALERIES/<id>.GAL, the reference photo IMGREF/<id>.JPG (`referenceJpeg`, the encoded picture,
// written under a temporary name and renamed), then raises Fichiers/Fiche of Tavo.ini by one.
// Returns the raised counter.
// When a step fails, the files this call made are removed again before the error is thrown, so
// neither a card without its photo (a tree the chooser never lists) nor a tree the counter misses
// stays behind. RefusedError, with nothing made, when a file of tree `id` already exists.
long createTree(const DataPaths& data, const std::string& id, const TreeCard& card,
                const Bytes& referenceJpeg, const CounterNotice& notice = {});

// Saves the changed card of the existing tree `id` and, when `newReferenceJpeg` is given, its new
// reference photo: both or neither. The new card file and photo are written in full to DATA.TMP
// and IMGREF/<id>.JPG.tmp first and renamed over the old ones only when both are on the disk; a
// failed write removes the temporary files and leaves the card and photo as they were. The
// creation date and the reserved field keep the bytes the card file holds.
void saveCardChanges(const DataPaths& data, const std::string& id, const TreeCard& card,
                     const Bytes* newReferenceJpeg);

}  // namespace tavo
