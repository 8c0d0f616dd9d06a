#include "lists/list_files.h"

#include <system_error>

#include "common/errors.h"
#include "common/record_file.h"

namespace tavo {
Bytes encodeLabelEntry(std::string_view label) {
    Bytes record(kLabelEntrySize, 0);
    writeFixed(record, 0, kLabelCapacity, label);
    return record;
}

std::string decodeLabelEntry(std::span<const std::uint8_t> record) {
    if (record.size() < kLabelEntrySize) throw ConversionError("label entry too short");
    return readFixed(record, 0, kLabelCapacity);
}

Bytes encodeBotanicalName(const BotanicalName& entry) {
    Bytes record(BotanicalName::kSize, 0);  // the reserved bytes stay zero
    writeFixed(record, BotanicalName::kLatinOffset, BotanicalName::kCapacity, entry.latin);
    writeFixed(record, BotanicalName::kCommonOffset, BotanicalName::kCapacity, entry.common);
    writeFixed(record, BotanicalName::kEnglishOffset, BotanicalName::kCapacity, entry.english);
    return record;
}

BotanicalName decodeBotanicalName(std::span<const std::uint8_t> record) {
    if (record.size() < BotanicalName::kSize)
        throw ConversionError("botanical name entry too short");
    return {readFixed(record, BotanicalName::kLatinOffset, BotanicalName::kCapacity),
            readFixed(record, BotanicalName::kCommonOffset, BotanicalName::kCapacity),
            readFixed(record, BotanicalName::kEnglishOffset, BotanicalName::kCapacity)};
}

ListFileBase::ListFileBase(std::filesystem::path file, std::filesystem::path dataTmp,
                           std::size_t recordSize)
    : file_(std::move(file)), dataTmp_(std::move(dataTmp)), recordSize_(recordSize) {}

bool ListFileBase::createIfMissing() const {
    std::error_code ec;
    const bool exists = std::filesystem::exists(file_, ec);
    if (ec) throw IoError("examine", file_, ec.message());
    if (exists) return false;
    RecordFile f(file_, recordSize_, RecordFile::Mode::Create);
    f.close();
    return true;
}

std::size_t ListFileBase::count() const {
    return countRecords(file_, recordSize_);
}

void ListFileBase::remove(std::size_t index) const {
    removeRecordThroughTmp(file_, dataTmp_, recordSize_, index);
}

void ListFileBase::appendRecord(const Bytes& record) const {
    RecordFile f(file_, recordSize_, RecordFile::Mode::ReadWrite);
    f.append(record);
    f.close();
}

void ListFileBase::overwriteRecord(std::size_t index, const Bytes& record) const {
    RecordFile f(file_, recordSize_, RecordFile::Mode::ReadWrite);
    // Writing past the end would grow the list with a gap; an entry to replace must exist.
    if (index >= f.count()) throw IoError("write", file_, "no entry " + std::to_string(index));
    f.overwrite(index, record);
    f.close();
}

LabelListFile LabelListFile::interventionTypes(const DataPaths& paths) {
    return LabelListFile(paths.typesList(), paths.dataTmp(), kLabelEntrySize);
}

LabelListFile LabelListFile::acquisitionStates(const DataPaths& paths) {
    return LabelListFile(paths.statesList(), paths.dataTmp(), kLabelEntrySize);
}

std::vector<std::string> LabelListFile::readAll() const {
    return readEntries(decodeLabelEntry);
}

void LabelListFile::append(std::string_view label) const {
    appendRecord(encodeLabelEntry(label));
}

void LabelListFile::overwrite(std::size_t index, std::string_view label) const {
    overwriteRecord(index, encodeLabelEntry(label));
}

BotanicalNameListFile::BotanicalNameListFile(const DataPaths& paths)
    : ListFileBase(paths.namesList(), paths.dataTmp(), BotanicalName::kSize) {}

std::vector<BotanicalName> BotanicalNameListFile::readAll() const {
    return readEntries(decodeBotanicalName);
}

void BotanicalNameListFile::append(const BotanicalName& entry) const {
    appendRecord(encodeBotanicalName(entry));
}

void BotanicalNameListFile::overwrite(std::size_t index, const BotanicalName& entry) const {
    overwriteRecord(index, encodeBotanicalName(entry));
}

}  // namespace tavo
