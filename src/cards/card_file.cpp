#include "cards/card_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "common/cp1252.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/record_file.h"
#include "common/safe_replace.h"

namespace tavo {

namespace L = card_layout;

// ---- Record layout -------------------------------------------------------------------------

Bytes encodeCard(const TreeCard& c) {
    Bytes r(TreeCard::kSize, 0);
    writeFixed(r, L::kCreationDate, L::kCreationDateCap, c.creationDate);
    writeFixed(r, L::kTreeName, L::kNameCap, c.treeName);
    writeFixed(r, L::kBotanicalName, L::kNameCap, c.botanicalName);
    writeFixed(r, L::kCultivar, L::kNameCap, c.cultivar);
    writeFixed(r, L::kCommonName, L::kNameCap, c.commonName);
    writeFixed(r, L::kEnglishName, L::kNameCap, c.englishName);
    writeFixed(r, L::kProvenance, L::kNameCap, c.provenance);
    writeFixed(r, L::kAcquisitionDate, L::kDateCap, c.acquisitionDate);
    writeFixed(r, L::kAge, L::kAgeCap, c.age);
    writeFixed(r, L::kAgeEstimated, L::kAgeEstimatedCap, c.ageEstimated);
    writeFixed(r, L::kState, L::kStateCap, c.state);
    writeFixed(r, L::kPrice, L::kPriceCap, c.price);
    // Split on Windows-1252 characters, the unit the two fields count in.
    const std::string notes = cp1252::fromUtf8(c.notes);
    const auto part = [&](std::size_t from) {
        return from < notes.size() ? cp1252::toUtf8(notes.substr(from, L::kNotesPartCap))
                                   : std::string();
    };
    writeFixed(r, L::kNotes1, L::kNotesPartCap, part(0));
    writeFixed(r, L::kNotes2, L::kNotesPartCap, part(L::kNotesPartCap));
    writeFixed(r, L::kReserved, L::kReservedCap, c.reserved);
    return r;
}

TreeCard decodeCard(std::span<const std::uint8_t> r) {
    if (r.size() < TreeCard::kSize) throw RefusedError("A tree card record is 1234 bytes long");
    TreeCard c;
    c.creationDate = readFixed(r, L::kCreationDate, L::kCreationDateCap);
    c.treeName = readFixed(r, L::kTreeName, L::kNameCap);
    c.botanicalName = readFixed(r, L::kBotanicalName, L::kNameCap);
    c.cultivar = readFixed(r, L::kCultivar, L::kNameCap);
    c.commonName = readFixed(r, L::kCommonName, L::kNameCap);
    c.englishName = readFixed(r, L::kEnglishName, L::kNameCap);
    c.provenance = readFixed(r, L::kProvenance, L::kNameCap);
    c.acquisitionDate = readFixed(r, L::kAcquisitionDate, L::kDateCap);
    c.age = readFixed(r, L::kAge, L::kAgeCap);
    c.ageEstimated = readFixed(r, L::kAgeEstimated, L::kAgeEstimatedCap);
    c.state = readFixed(r, L::kState, L::kStateCap);
    c.price = readFixed(r, L::kPrice, L::kPriceCap);
    c.notes =
        readFixed(r, L::kNotes1, L::kNotesPartCap) + readFixed(r, L::kNotes2, L::kNotesPartCap);
    c.reserved = readFixed(r, L::kReserved, L::kReservedCap);
    return c;
}

TreeCard fitCard(const TreeCard& card) {
    return decodeCard(encodeCard(card));
}

// ---- Card file -----------------------------------------------------------------------------

namespace {

// Creates `path` with `content`, flushed to disk; refuses to replace an existing file. The
// content is written under a temporary name and linked into place whole, so a program killed
// half-way leaves a temporary file (which the check removes), never a short card.
void createExclusive(const std::filesystem::path& path, const Bytes& content) {
    if (content.empty()) {
        // An empty file is whole the moment it exists.
        io::Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!fd.valid()) {
            if (errno == EEXIST)
                throw RefusedError("The file \"" + path.string() + "\" already exists");
            throw IoError("create", path, std::strerror(errno));
        }
        if (fd.close() != 0) throw IoError("close", path, std::strerror(errno));
        return;
    }
    std::filesystem::path tmp = path;
    // Piece by piece: GCC 12 warns falsely on "literal" + std::string&& in release builds.
    tmp += ".";
    tmp += std::to_string(::getpid());
    tmp += ".tmp";
    ::unlink(tmp.c_str());
    try {
        io::createFile(tmp, content);
    } catch (...) {
        ::unlink(tmp.c_str());
        throw;
    }
    if (::link(tmp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        if (e == EEXIST) throw RefusedError("The file \"" + path.string() + "\" already exists");
        throw IoError("create", path, std::strerror(e));
    }
    ::unlink(tmp.c_str());
}

}  // namespace

TreeCard readCard(const DataPaths& data, const std::string& id) {
    RecordFile f(data.card(id), TreeCard::kSize, RecordFile::Mode::Read);
    const Bytes record = f.read(0);
    f.close();
    return decodeCard(record);
}

void createCard(const DataPaths& data, const std::string& id, const TreeCard& card) {
    createExclusive(data.card(id), encodeCard(card));
    io::syncFolder(data.fiches());
}

void rewriteCard(const DataPaths& data, const std::string& id, const TreeCard& card) {
    const auto path = data.card(id);
    replaceFile(path, changedCardFile(io::readFile(path), card), data.dataTmp());
}

Bytes changedCardFile(const Bytes& old, const TreeCard& card) {
    Bytes content = encodeCard(card);
    if (old.size() >= TreeCard::kSize) {
        // Set once at creation, never changed afterwards.
        const auto keep = [&](std::size_t offset, std::size_t capacity) {
            std::copy_n(old.begin() + static_cast<std::ptrdiff_t>(offset), capacity + 1,
                        content.begin() + static_cast<std::ptrdiff_t>(offset));
        };
        keep(L::kCreationDate, L::kCreationDateCap);
        keep(L::kReserved, L::kReservedCap);
        content.insert(content.end(), old.begin() + TreeCard::kSize, old.end());
    }
    return content;
}

void createEmptyTreeFiles(const DataPaths& data, const std::string& id) {
    createExclusive(data.works(id), {});
    io::syncFolder(data.fiches());
    createExclusive(data.gallery(id), {});
    io::syncFolder(data.galeries());
}

// ---- Tree identifier -----------------------------------------------------------------------

namespace {

int daysInMonth(int year, int month) {
    const std::chrono::year_month_day_last last{std::chrono::year{year} / month /
                                                std::chrono::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

std::string pad(int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    return buf;
}

}  // namespace

int dayOfYear(const LocalTime& t) {
    int n = t.day;
    for (int m = 1; m < t.month; ++m) n += daysInMonth(t.year, m);
    return n;
}

LocalTime nextMillisecond(LocalTime t) {
    if (++t.millisecond < 1000) return t;
    t.millisecond = 0;
    if (++t.second < 60) return t;
    t.second = 0;
    if (++t.minute < 60) return t;
    t.minute = 0;
    if (++t.hour < 24) return t;
    t.hour = 0;
    if (++t.day <= daysInMonth(t.year, t.month)) return t;
    t.day = 1;
    if (++t.month <= 12) return t;
    t.month = 1;
    ++t.year;
    return t;
}

std::string makeTreeId(const LocalTime& t) {
    const std::string date = shortDate(t);
    const std::string yearDigits = date.size() >= 10 ? date.substr(8, 2) : std::string();
    return yearDigits + pad(dayOfYear(t), 3) + pad(t.hour, 2) + pad(t.minute, 2) +
           pad(t.second, 2) + pad(t.millisecond, 3);
}

std::string treeIdPartsText(const std::string& id) {
    static constexpr int kWidths[] = {2, 3, 2, 2, 2, 3};
    std::string out = ":";
    std::size_t pos = 0;
    for (int w : kWidths) {
        if (pos < id.size()) out += id.substr(pos, static_cast<std::size_t>(w));
        out += ":";
        pos += static_cast<std::size_t>(w);
    }
    return out;
}

bool isTreeIdFree(const DataPaths& data, const std::string& id) {
    for (const auto& p :
         {data.card(id), data.works(id), data.gallery(id), data.referencePhoto(id)}) {
        std::error_code ec;
        const bool exists = std::filesystem::exists(p, ec);
        if (ec) throw IoError("examine", p, ec.message());
        if (exists) return false;
    }
    return true;
}

NewTreeId newTreeId(const DataPaths& data, const Clock& clock) {
    const LocalTime start = clock();
    LocalTime t = start;
    for (int tries = 0; tries < 1000; ++tries, t = nextMillisecond(t)) {
        std::string id = makeTreeId(t);
        if (isTreeIdFree(data, id)) return {std::move(id), t};
    }
    throw RefusedError("No free tree identifier within one second of " + makeTreeId(start));
}

std::string treeIdFromPhotoName(const std::string& fileName) {
    const std::string hint = cp1252::left(fileName, 21);
    const std::string name = std::filesystem::path(hint).filename().string();
    return cp1252::left(name, 14);
}

}  // namespace tavo
