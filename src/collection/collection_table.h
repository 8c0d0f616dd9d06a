#pragma once
// The collection as a table: what each column shows, how each column sorts, and the totals
// under the table.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_file.h"
#include "collection/collection_index.h"

namespace tavo {

enum class Column {
    Thumbnail,  // sorts by identifier, that is by creation time
    TreeName,
    BotanicalName,
    Cultivar,
    Age,
    AcquisitionDate,
    State,
    Provenance,
    Price,
    WorksCount,
    LastWorks,
    PhotoCount,
    LastPhotoDate,
};
inline constexpr int kColumnCount = 13;

// -1, 0 or 1 as name `a` sorts before, with or after `b`: letter case and accents do not count
// ("Érable" = "erable"), and numbers inside compare as numbers ("Pin 2" before "Pin 10").
int compareNames(std::string_view a, std::string_view b);

// The age of a tree today: the age at acquisition plus the whole years since the acquisition
// date. Only an age written as a whole number grows; any other text is shown as it is.
struct AgeToday {
    std::optional<int> years;
    std::string text;  // "~" in front when the age at acquisition was estimated
};
AgeToday ageToday(const TreeCard& card, const LocalTime& today);

// The price as a number of cents, read from free text: "150", "150 €", "1 200,50", "1.200,50",
// "1,200.50", "€ 80.5". Empty when the text holds no number.
std::optional<long long> priceCents(std::string_view text);

// The text shown in a cell (the thumbnail's cell shows nothing; the last intervention shows
// its date and type).
std::string cellText(const TreeEntry& tree, Column column, const LocalTime& today);

// `rows` (positions in `trees`) in the order of `column`: dates as dates, numbers as numbers,
// texts with their accents and letter case folded ("Érable" beside "Erable"). Cells with no
// value (no date, no number, no text) come last in both orders; ties go by tree name, then by
// identifier, so the order never depends on the rows' former order.
std::vector<std::size_t> sortRows(const std::vector<TreeEntry>& trees,
                                  std::vector<std::size_t> rows, Column column, bool ascending,
                                  const LocalTime& today);

// The footer of the table.
struct Totals {
    std::size_t shown = 0;
    std::size_t all = 0;
    long long priceCents = 0;  // acquisition prices of the trees shown that hold a number
};
Totals totals(const std::vector<TreeEntry>& trees, const std::vector<std::size_t>& rows);

// A sum of cents as text with two decimals and the given decimal separator: "1234,50".
std::string centsText(long long cents, char decimalSeparator);

}  // namespace tavo
