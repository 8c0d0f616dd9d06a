#include "works/works_file.h"

#include <algorithm>
#include <numeric>
#include <span>

#include "common/dates.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/record_file.h"
#include "common/safe_replace.h"

namespace tavo {
namespace {

constexpr std::size_t kLine = WorksLine::kSize;

// The key is taken from the stored Windows-1252 characters, so that a character position is
// one byte, whatever the date text holds.
std::string keyOfRecord(std::span<const std::uint8_t> record) {
    const std::size_t len =
        std::min<std::size_t>(record[WorksLine::kDateOffset], WorksLine::kDateCapacity);
    const auto* text = reinterpret_cast<const char*>(record.data() + WorksLine::kDateOffset + 1);
    return storedDateKey(std::string_view(text, len));
}

std::ptrdiff_t offsetOf(std::size_t index) {
    return static_cast<std::ptrdiff_t>(index * kLine);
}

// The records of `all` in a stable order of their date keys.
Bytes sortedByDate(const Bytes& all) {
    const std::size_t n = all.size() / kLine;
    std::vector<std::string> keys;
    keys.reserve(n);
    for (std::size_t i = 0; i < n; ++i) keys.push_back(keyOfRecord(recordAt(all, kLine, i)));
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    Bytes out;
    out.reserve(n * kLine);
    for (std::size_t i : order) {
        const auto rec = recordAt(all, kLine, i);
        out.insert(out.end(), rec.begin(), rec.end());
    }
    return out;
}

[[noreturn]] void noSuchLine(const char* operation, const std::filesystem::path& file,
                             std::size_t record) {
    throw IoError(operation, file, "no line " + std::to_string(record + 1));
}

}  // namespace

WorksFile::WorksFile(const DataPaths& paths, const std::string& treeId) {
    if (!isBareFileName(treeId)) throw RefusedError("Unsafe tree identifier \"" + treeId + "\"");
    file_ = paths.works(treeId);
    dataTmp_ = paths.dataTmp();
    sortTmp_ = paths.worksTmp(treeId);
}

void WorksFile::createEmpty() const {
    RecordFile f(file_, kLine, RecordFile::Mode::Create);
    f.close();
}

std::size_t WorksFile::count() const {
    return countRecords(file_, kLine);
}

std::vector<WorksLine> WorksFile::readAll() const {
    return readEveryRecord(file_, kLine, decodeWorksLine);
}

WorksLine WorksFile::readLine(std::size_t record) const {
    RecordFile f(file_, kLine, RecordFile::Mode::Read);
    if (record >= f.count()) noSuchLine("read", file_, record);
    return decodeWorksLine(f.read(record));
}

void WorksFile::add(const WorksLine& line) const {
    const Bytes record = encodeWorksLine(line);
    const std::string key = keyOfRecord(record);
    {
        // The common case: dated on or after the last line, so only the end of the file moves.
        RecordFile f(file_, kLine, RecordFile::Mode::ReadWrite);
        const std::size_t n = f.count();
        if (n == 0 || !(key < keyOfRecord(f.read(n - 1)))) {
            f.append(record);
            f.close();
            return;
        }
    }
    // Earlier than the last line: before the first line whose key is greater, which exists.
    Bytes all = readWholeRecords(file_, kLine);
    const std::size_t n = all.size() / kLine;
    std::size_t at = 0;
    while (at < n && !(key < keyOfRecord(recordAt(all, kLine, at)))) ++at;
    all.insert(all.begin() + offsetOf(at), record.begin(), record.end());
    replaceFile(file_, all, dataTmp_);
}

void WorksFile::change(std::size_t record, const WorksLine& line,
                       std::string_view previousDate) const {
    const Bytes changed = encodeWorksLine(line);
    const bool dateChanged = fitFixed(line.date, WorksLine::kDateCapacity) !=
                             fitFixed(previousDate, WorksLine::kDateCapacity);
    if (!dateChanged) {
        RecordFile f(file_, kLine, RecordFile::Mode::ReadWrite);
        if (record >= f.count()) noSuchLine("write", file_, record);
        f.overwrite(record, changed);
        f.close();
        return;
    }
    // The changed line and the new order land in one rewrite, so a failure leaves the log
    // exactly as it was.
    Bytes all = readWholeRecords(file_, kLine);
    if (record >= all.size() / kLine) noSuchLine("write", file_, record);
    std::copy(changed.begin(), changed.end(), all.begin() + offsetOf(record));
    replaceFile(file_, sortedByDate(all), sortTmp_);
}

void WorksFile::remove(std::size_t record) const {
    removeRecordThroughTmp(file_, dataTmp_, kLine, record);
}

void WorksFile::resortByDate() const {
    replaceFile(file_, sortedByDate(readWholeRecords(file_, kLine)), sortTmp_);
}

void WorksFile::deleteFile() const {
    io::removeFile(file_);
}

}  // namespace tavo
