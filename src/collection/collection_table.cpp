#include "collection/collection_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/dates.h"
#include "common/text_fold.h"

namespace tavo {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// One cell's place in the order: missing values go last whatever the direction.
struct SortKey {
    bool missing = true;
    long long number = 0;
    std::string text;
};

SortKey textKey(const std::string& s) {
    SortKey k;
    k.text = foldForCompare(s);
    k.missing = k.text.empty();
    return k;
}

SortKey numberKey(std::optional<long long> n) {
    SortKey k;
    k.missing = !n;
    k.number = n.value_or(0);
    return k;
}

SortKey dateKey(const std::string& date) {
    const auto d = parseDate(date);
    return numberKey(d ? std::optional<long long>(dayNumber(*d)) : std::nullopt);
}

SortKey keyOf(const TreeEntry& t, Column column, const LocalTime& today) {
    switch (column) {
        case Column::Thumbnail: {
            SortKey k;
            k.missing = false;
            k.text = t.id;
            return k;
        }
        case Column::TreeName:
            return textKey(t.displayName());
        case Column::BotanicalName:
            return textKey(t.card.botanicalName);
        case Column::Cultivar:
            return textKey(t.card.cultivar);
        case Column::Age: {
            const AgeToday a = ageToday(t.card, today);
            return numberKey(a.years ? std::optional<long long>(*a.years) : std::nullopt);
        }
        case Column::AcquisitionDate:
            return dateKey(t.card.acquisitionDate);
        case Column::State:
            return textKey(t.card.state);
        case Column::Provenance:
            return textKey(t.card.provenance);
        case Column::Price:
            return numberKey(priceCents(t.card.price));
        case Column::WorksCount:
            return numberKey(static_cast<long long>(t.worksCount));
        case Column::LastWorks:
            return dateKey(t.lastWorksDate);
        case Column::PhotoCount:
            return numberKey(static_cast<long long>(t.photoCount));
        case Column::LastPhotoDate:
            return dateKey(t.lastPhotoDate);
    }
    return {};
}

// Folded texts in reading order: a run of digits counts as its number, so "pin 2" comes
// before "pin 10".
int compareFolded(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei])) ++ei;
            while (ej < b.size() && isDigit(b[ej])) ++ej;
            // Leading zeros do not count; then the longer run is the larger number.
            std::size_t zi = i, zj = j;
            while (zi + 1 < ei && a[zi] == '0') ++zi;
            while (zj + 1 < ej && b[zj] == '0') ++zj;
            if (ei - zi != ej - zj) return ei - zi < ej - zj ? -1 : 1;
            if (const int c = a.substr(zi, ei - zi).compare(b.substr(zj, ej - zj)); c != 0)
                return c < 0 ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

// -1, 0 or 1 as a sorts before, with or after b.
int compareValues(const SortKey& a, const SortKey& b) {
    if (a.number != b.number) return a.number < b.number ? -1 : 1;
    return compareFolded(a.text, b.text);
}

}  // namespace

int compareNames(std::string_view a, std::string_view b) {
    return compareFolded(foldForCompare(a), foldForCompare(b));
}

AgeToday ageToday(const TreeCard& card, const LocalTime& today) {
    AgeToday out;
    const std::string_view age = trimmed(card.age);
    const std::string mark = card.ageEstimated == "O" ? "~" : "";
    const bool whole = !age.empty() && std::all_of(age.begin(), age.end(), isDigit);
    if (!whole) {
        out.text = age.empty() ? std::string() : mark + std::string(age);
        return out;
    }
    int years = std::atoi(std::string(age).c_str());
    if (const auto d = parseDate(card.acquisitionDate))
        years += std::max(wholeYears(*d, today.date()), 0);
    out.years = years;
    out.text = mark + std::to_string(years);
    return out;
}

std::optional<long long> priceCents(std::string_view text) {
    // The first number of the text, with its grouping blanks and separators.
    std::size_t i = 0;
    while (i < text.size() && !isDigit(text[i])) ++i;
    if (i == text.size()) return std::nullopt;
    std::string n;  // digits, '.' and ','
    while (i < text.size()) {
        const char c = text[i];
        if (isDigit(c) || c == '.' || c == ',') {
            n += c;
            ++i;
            continue;
        }
        // Blanks that group thousands: space, apostrophe, no-break spaces.
        std::size_t skip = 0;
        if (c == ' ' || c == '\'')
            skip = 1;
        else if (text.substr(i, 2) == "\xC2\xA0")
            skip = 2;
        else if (text.substr(i, 3) == "\xE2\x80\xAF")
            skip = 3;
        if (skip == 0 || i + skip >= text.size() || !isDigit(text[i + skip])) break;
        i += skip;
    }
    while (!n.empty() && !isDigit(n.back())) n.pop_back();

    const std::size_t lastDot = n.rfind('.'), lastComma = n.rfind(',');
    std::size_t decimal = std::string::npos;
    if (lastDot != std::string::npos && lastComma != std::string::npos) {
        decimal = std::max(lastDot, lastComma);
    } else if (lastComma != std::string::npos) {
        if (n.find(',') == lastComma) decimal = lastComma;
    } else if (lastDot != std::string::npos) {
        // "1.500" groups thousands; "12.5" and "12.50" have decimals.
        if (n.find('.') == lastDot && n.size() - lastDot - 1 != 3) decimal = lastDot;
    }
    std::string whole, fraction;
    for (std::size_t k = 0; k < n.size(); ++k) {
        if (!isDigit(n[k])) continue;
        (decimal != std::string::npos && k > decimal ? fraction : whole) += n[k];
    }
    if (whole.size() > 15) return std::nullopt;
    long long cents = std::atoll(whole.c_str()) * 100;
    fraction += "000";
    cents += (fraction[0] - '0') * 10 + (fraction[1] - '0') + (fraction[2] >= '5' ? 1 : 0);
    return cents;
}

std::string cellText(const TreeEntry& t, Column column, const LocalTime& today) {
    switch (column) {
        case Column::Thumbnail:
            return {};
        case Column::TreeName:
            return t.displayName();
        case Column::BotanicalName:
            return t.card.botanicalName;
        case Column::Cultivar:
            return t.card.cultivar;
        case Column::Age:
            return ageToday(t.card, today).text;
        case Column::AcquisitionDate:
            return t.card.acquisitionDate;
        case Column::State:
            return t.card.state;
        case Column::Provenance:
            return t.card.provenance;
        case Column::Price:
            return t.card.price;
        case Column::WorksCount:
            return std::to_string(t.worksCount);
        case Column::LastWorks:
            if (t.lastWorksDate.empty() || t.lastWorksType.empty())
                return t.lastWorksDate + t.lastWorksType;
            return t.lastWorksDate + " " + t.lastWorksType;
        case Column::PhotoCount:
            return std::to_string(t.photoCount);
        case Column::LastPhotoDate:
            return t.lastPhotoDate;
    }
    return {};
}

std::vector<std::size_t> sortRows(const std::vector<TreeEntry>& trees,
                                  std::vector<std::size_t> rows, Column column, bool ascending,
                                  const LocalTime& today) {
    struct Row {
        std::size_t at;
        SortKey key, name;
    };
    std::vector<Row> keyed;
    keyed.reserve(rows.size());
    for (std::size_t r : rows)
        keyed.push_back({r, keyOf(trees[r], column, today), textKey(trees[r].displayName())});
    std::sort(keyed.begin(), keyed.end(), [&](const Row& a, const Row& b) {
        if (a.key.missing != b.key.missing) return b.key.missing;
        if (!a.key.missing) {
            const int c = compareValues(a.key, b.key);
            if (c != 0) return ascending ? c < 0 : c > 0;
        }
        const int n = compareValues(a.name, b.name);
        if (n != 0) return n < 0;
        return trees[a.at].id < trees[b.at].id;
    });
    for (std::size_t k = 0; k < keyed.size(); ++k) rows[k] = keyed[k].at;
    return rows;
}

Totals totals(const std::vector<TreeEntry>& trees, const std::vector<std::size_t>& rows) {
    Totals t;
    t.shown = rows.size();
    t.all = trees.size();
    for (std::size_t r : rows)
        if (const auto c = priceCents(trees[r].card.price)) t.priceCents += *c;
    return t;
}

std::string centsText(long long cents, char decimalSeparator) {
    const unsigned long long v = cents < 0 ? 0ULL - static_cast<unsigned long long>(cents)
                                           : static_cast<unsigned long long>(cents);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s%llu%c%02llu", cents < 0 ? "-" : "", v / 100,
                  decimalSeparator, v % 100);
    return buf;
}

}  // namespace tavo
