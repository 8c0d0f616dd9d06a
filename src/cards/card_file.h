#pragma once
// The tree card file FICHES/<id>.SIG (one 1234-byte record, no header) and the tree identifier
// that names the four files of a tree.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "cards/card_record.h"
#include "common/clock.h"
#include "common/fixed_string.h"
#include "common/paths.h"

namespace tavo {

// ---- Record layout -------------------------------------------------------------------------

// Offsets and capacities of the fixed-string fields (each field is 1 length byte + capacity).
namespace card_layout {
inline constexpr std::size_t kCreationDate = 0, kCreationDateCap = 10;
inline constexpr std::size_t kTreeName = 11, kNameCap = 100;
inline constexpr std::size_t kBotanicalName = 112;
inline constexpr std::size_t kCultivar = 213;
inline constexpr std::size_t kCommonName = 314;
inline constexpr std::size_t kEnglishName = 415;
inline constexpr std::size_t kProvenance = 516;
inline constexpr std::size_t kAcquisitionDate = 617, kDateCap = 10;
inline constexpr std::size_t kAge = 628, kAgeCap = 3;
inline constexpr std::size_t kAgeEstimated = 632, kAgeEstimatedCap = 1;
inline constexpr std::size_t kState = 634, kStateCap = 40;
inline constexpr std::size_t kPrice = 675, kPriceCap = 15;
inline constexpr std::size_t kNotes1 = 691, kNotes2 = 942, kNotesPartCap = 250;
inline constexpr std::size_t kReserved = 1193, kReservedCap = 40;
}  // namespace card_layout

// Longest notes text kept: two parts of 250 characters.
inline constexpr std::size_t kNotesCap = 2 * card_layout::kNotesPartCap;

// The 1234-byte record of `card`. Every text is cut to its field's capacity (in Windows-1252
// characters); the notes are split into characters 1-250 and 251-500; bytes behind a text are 0.
Bytes encodeCard(const TreeCard& card);

// The card held in the first 1234 bytes of `record` (RefusedError when shorter). Damaged length
// bytes are clamped to the capacity; the two notes parts are joined without separator.
TreeCard decodeCard(std::span<const std::uint8_t> record);

// The card as it reads back once stored: every field cut to its capacity.
TreeCard fitCard(const TreeCard& card);

// ---- Card file -----------------------------------------------------------------------------

// Reads FICHES/<id>.SIG. IoError when the file is missing or holds less than one record.
TreeCard readCard(const DataPaths& data, const std::string& id);

// Writes the card of a new tree as FICHES/<id>.SIG, flushed to disk. Never replaces a file:
// RefusedError when the card already exists (pick the identifier with newTreeId).
void createCard(const DataPaths& data, const std::string& id, const TreeCard& card);

// Writes `card` over the first record of the existing FICHES/<id>.SIG. The creation date and
// the reserved field keep the bytes the file holds; anything behind the first record stays, so
// the file keeps its length. The file is replaced whole through DATA.TMP, never left half
// written. IoError when the card does not exist.
void rewriteCard(const DataPaths& data, const std::string& id, const TreeCard& card);

// The content a card file holding `old` takes when `card` is written over its first record, as
// rewriteCard writes it.
Bytes changedCardFile(const Bytes& old, const TreeCard& card);

// Creates the empty works file FICHES/<id>.TRX and gallery GALERIES/<id>.GAL of a new tree.
void createEmptyTreeFiles(const DataPaths& data, const std::string& id);

// ---- Tree identifier -----------------------------------------------------------------------

// Day of the year, 1 to 366.
int dayOfYear(const LocalTime& t);

// `t` plus one millisecond, carried into seconds, minutes, hours, days, months and years.
LocalTime nextMillisecond(LocalTime t);

// The 14-digit identifier of a tree created at `t`: characters 9-10 of the short date
// (the last two digits of the year), day of year (3), hour (2), minute (2), second (2),
// millisecond (3). 3 February 2026 14:05:09.042 gives "26034140509042".
std::string makeTreeId(const LocalTime& t);

// The identifier's parts joined and framed by colons: ":26:034:14:05:09:042:".
std::string treeIdPartsText(const std::string& id);

// True when none of the four files of tree `id` exists (card, works file, gallery, reference
// photo).
bool isTreeIdFree(const DataPaths& data, const std::string& id);

struct NewTreeId {
    std::string id;
    LocalTime time;  // the instant the identifier was made from (gives the creation date)
};

// The identifier for a new tree: made from the clock's time; when a tree of that identifier
// already exists (two creations within one millisecond, or a clock set back), the next
// millisecond is taken until a free identifier is found, so creating a card never replaces a
// tree. RefusedError if no free identifier is found within one second.
NewTreeId newTreeId(const DataPaths& data, const Clock& clock = localNow);

// The tree identifier named by a reference photo's file name: its first 14 characters (the
// file-name part of the name cut to 21 characters).
std::string treeIdFromPhotoName(const std::string& fileName);

}  // namespace tavo
