#include "exchange/collection_data.h"

#include <algorithm>
#include <span>

#include "cards/card_record.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/record_file.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {

namespace fs = std::filesystem;

namespace {

// Record files beyond this are damaged or not ours; refused before anything is allocated.
constexpr std::uintmax_t kMaxRecordFile = 64u << 20;

bool isRegular(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(fs::status(p, ec));
}

// The whole records of a file; a tail shorter than a record is reported and left out.
std::vector<Bytes> readRecords(const fs::path& p, std::size_t size, CollectionData& out) {
    std::vector<Bytes> records;
    if (!isRegular(p)) {
        if (fs::exists(fs::symlink_status(p))) throw IoError("read", p, "not a regular file");
        return records;
    }
    std::error_code ec;
    if (fs::file_size(p, ec) > kMaxRecordFile) throw IoError("read", p, "file too large");
    std::size_t tail = 0;
    records = readEveryRecord(
        p, size, [](std::span<const std::uint8_t> r) { return Bytes(r.begin(), r.end()); }, &tail);
    if (tail)
        out.warnings.push_back(p.filename().string() + ": " + std::to_string(tail) +
                               " bytes after the last whole record left out");
    return records;
}

std::optional<std::vector<Bytes>> readList(const fs::path& p, std::size_t size,
                                           CollectionData& out) {
    if (!fs::exists(fs::symlink_status(p))) return std::nullopt;
    return readRecords(p, size, out);
}

}  // namespace

bool isTreeId(const std::string& id) {
    return id.size() == 14 &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

CollectionData readCollection(const DataPaths& data, const std::vector<std::string>& only) {
    CollectionData out;
    std::vector<std::string> ids;
    if (only.empty()) {
        std::error_code ec;
        fs::directory_iterator it(data.fiches(), ec);
        if (ec) throw IoError("list", data.fiches(), ec.message());
        for (const auto& e : it) {
            const fs::path& p = e.path();
            if (p.extension() != ".SIG") continue;
            if (isTreeId(p.stem().string()))
                ids.push_back(p.stem().string());
            else
                out.warnings.push_back(p.filename().string() + ": not named by a tree identifier");
        }
    } else {
        for (const auto& id : only) {
            if (!isTreeId(id) || !isRegular(data.card(id)))
                throw RefusedError("No tree of identifier \"" + id + "\"");
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
        }
    }
    std::sort(ids.begin(), ids.end());

    for (const auto& id : ids) {
        TreeData t;
        t.id = id;
        auto card = readRecords(data.card(id), TreeCard::kSize, out);
        if (card.empty()) {
            out.warnings.push_back(id + ".SIG: shorter than a card, tree left out");
            continue;
        }
        if (card.size() > 1)
            out.warnings.push_back(id + ".SIG: records after the first one left out");
        t.card = std::move(card.front());
        t.works = readRecords(data.works(id), WorksLine::kSize, out);
        t.photos = readRecords(data.gallery(id), PhotoRecord::kSize, out);
        if (isRegular(data.referencePhoto(id))) t.referencePhoto = data.referencePhoto(id);
        out.trees.push_back(std::move(t));
    }
    out.types = readList(data.typesList(), kLabelEntrySize, out);
    out.states = readList(data.statesList(), kLabelEntrySize, out);
    out.names = readList(data.namesList(), BotanicalName::kSize, out);
    if (isRegular(data.settings())) {
        const Bytes ini = io::readFile(data.settings());
        out.settings = std::string(ini.begin(), ini.end());
    }
    return out;
}

}  // namespace tavo
