#include "exchange/record_fidelity.h"

#include <algorithm>

#include "common/errors.h"

namespace tavo {

namespace {

constexpr FieldArea kCard[] = {
    {"creation_date", 0, 10},
    {"name", 11, 100},
    {"botanical_name", 112, 100},
    {"cultivar", 213, 100},
    {"common_name", 314, 100},
    {"english_name", 415, 100},
    {"provenance", 516, 100},
    {"acquisition_date", 617, 10},
    {"age", 628, 3},
    {"age_estimated", 632, 1},
    {"state", 634, 40},
    {"price", 675, 15},
    {"notes_1", 691, 250},
    {"notes_2", 942, 250},
    {"reserved", 1193, 40},
};
constexpr FieldArea kWorksLine[] = {{"date", 0, 10}, {"type", 11, 50}, {"comment", 62, 255}};
constexpr FieldArea kPhoto[] = {{"file_name", 0, 22}, {"date", 23, 10}, {"comment", 34, 100}};
constexpr FieldArea kLabel[] = {{"label", 0, 50}};
constexpr FieldArea kBotanical[] = {
    {"latin", 0, 150}, {"common", 151, 150}, {"english", 302, 150}, {"reserved", 453, 251, true}};

// First byte of an area that belongs to no text, and the end of the area.
std::pair<std::size_t, std::size_t> slack(const FieldArea& a, const Bytes& record) {
    if (a.plain) return {a.offset, a.offset + a.capacity};
    const std::size_t len = std::min<std::size_t>(record[a.offset], a.capacity);
    return {a.offset + 1 + len, a.offset + 1 + a.capacity};
}

}  // namespace

std::span<const FieldArea> cardAreas() {
    return kCard;
}
std::span<const FieldArea> worksLineAreas() {
    return kWorksLine;
}
std::span<const FieldArea> photoAreas() {
    return kPhoto;
}
std::span<const FieldArea> labelAreas() {
    return kLabel;
}
std::span<const FieldArea> botanicalNameAreas() {
    return kBotanical;
}

std::string toHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (auto b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

bool fromHex(std::string_view hex, Bytes& out) {
    if (hex.size() % 2) return false;
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

Fidelity fidelityOf(std::span<const FieldArea> areas, const Bytes& rebuilt, const Bytes& actual) {
    Fidelity f;
    for (const auto& a : areas) {
        const auto [from, to] = slack(a, actual);
        std::size_t end = to;
        while (end > from && actual[end - 1] == 0) --end;
        if (end > from)
            f.filler.emplace_back(
                a.name, toHex(std::span<const std::uint8_t>(actual.data() + from, end - from)));
    }
    if (applyFiller(areas, rebuilt, f.filler) != actual) {
        f.filler.clear();
        f.raw = toHex(actual);
    }
    return f;
}

Bytes applyFiller(std::span<const FieldArea> areas, Bytes rebuilt,
                  const std::vector<std::pair<std::string, std::string>>& filler) {
    for (const auto& entry : filler) {
        // Named apart: a lambda may not capture a structured binding with every compiler.
        const std::string& name = entry.first;
        const std::string& hex = entry.second;
        const auto a = std::find_if(areas.begin(), areas.end(),
                                    [&](const FieldArea& x) { return name == x.name; });
        Bytes bytes;
        if (a == areas.end() || !fromHex(hex, bytes))
            throw RefusedError(name + ": not a filler of this record");
        const auto [from, to] = slack(*a, rebuilt);
        if (bytes.size() > to - from) throw RefusedError(name + ": filler longer than the field");
        std::copy(bytes.begin(), bytes.end(), rebuilt.begin() + static_cast<std::ptrdiff_t>(from));
    }
    return rebuilt;
}

}  // namespace tavo
