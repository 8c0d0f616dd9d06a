#pragma once
// The works log of one tree: FICHES/<id>.TRX, a headerless file of 318-byte works lines kept in
// ascending order of their dates' sortable keys; lines with equal keys stay in the order they
// were added. Every operation opens the file, works and closes it again; nothing is cached.
//
// Lines are addressed by their 0-based record number here. The editor's selected line number
// (1-based, the grid row) is that number + 1.
//
// Failures throw IoError (missing file, disk full, ...). A whole-file rewrite goes through a
// temporary file renamed over the log, so a failure leaves the log as it was and removes the
// temporary file.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/paths.h"
#include "works/works_line.h"

namespace tavo {

class WorksFile {
  public:
    // The log of tree `treeId` in the data folder of `paths`. RefusedError when the identifier
    // could not safely name a file.
    WorksFile(const DataPaths& paths, const std::string& treeId);

    // Creates the log empty (0 bytes), truncating an existing one.
    void createEmpty() const;

    // Number of lines; IoError when the log is missing.
    std::size_t count() const;

    // Every line in file order (which is date order).
    std::vector<WorksLine> readAll() const;

    // Line `record`; IoError when it does not exist.
    WorksLine readLine(std::size_t record) const;

    // Adds a line in date order: after every line whose date key is equal to or smaller than
    // its own. A line dated on or after the last line is appended, touching only the end of
    // the file; an earlier one rewrites the log through DATA.TMP. The texts are cut to their
    // capacities (date 10, type 50, comment 255). The date is expected to have passed the
    // date check already.
    void add(const WorksLine& line) const;

    // Replaces line `record` (which must exist) by `line`, texts cut to their capacities, the
    // date not checked. When the stored date text of the line differs from `previousDate`
    // (the date the line had when the editor opened; exact text comparison), the whole log is
    // re-sorted by date through FICHES/<id>.TMP, in one safe rewrite; otherwise only that
    // record is written and the order is left as it is.
    void change(std::size_t record, const WorksLine& line, std::string_view previousDate) const;

    // Removes line `record` through DATA.TMP; the other lines keep their order. A record
    // beyond the end removes nothing.
    void remove(std::size_t record) const;

    // Stable sort of the whole log by date key, through FICHES/<id>.TMP.
    void resortByDate() const;

    // Deletes the log; IoError when it does not exist.
    void deleteFile() const;

    const std::filesystem::path& path() const { return file_; }

  private:
    std::filesystem::path file_;     // FICHES/<id>.TRX
    std::filesystem::path dataTmp_;  // DATA.TMP: ordered insertion and removal
    std::filesystem::path sortTmp_;  // FICHES/<id>.TMP: date re-sort
};

}  // namespace tavo
