#pragma once
// The folder an export or import writes into. It must be new or empty; every entry written is
// remembered so that a failed or cancelled run can take all of it away again.
#include <filesystem>
#include <string_view>
#include <vector>

#include "common/fixed_string.h"

namespace tavo {

// Why a folder cannot take a run, checked before anything is written (the constructor checks
// again and refuses with the same reasons).
enum class FolderRefusal { None, InsideDataFolder, NotAFolder, NotEmpty };
FolderRefusal folderRefusal(const std::filesystem::path& root,
                            const std::filesystem::path& forbidden = {});

class OutputFolder {
  public:
    // How sure a finished run must be that its files reached the disk.
    enum class Durability {
        // An export is a copy the user can make again: written as `cp` writes, no flush.
        Copy,
        // An imported data folder must survive a crash once the import said it was done: every
        // file and folder is flushed before commit() returns.
        DataFolder,
    };

    // Refuses (RefusedError) a folder that holds anything, a path that is not a folder, and a
    // folder inside `forbidden` (the data folder) when it is given.
    OutputFolder(std::filesystem::path root, Durability durability,
                 const std::filesystem::path& forbidden = {});
    // Removes everything written unless commit() was called.
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // A sub-folder (relative path), made once.
    void makeFolder(const std::filesystem::path& rel);
    // A new file (relative path); never replaces one.
    void write(const std::filesystem::path& rel, std::string_view bytes);
    void write(const std::filesystem::path& rel, const Bytes& bytes);
    // A copy of a regular file, byte for byte.
    void copy(const std::filesystem::path& source, const std::filesystem::path& rel);
    // Keeps what was written.
    void commit();
    // Takes away what was written (a folder this object created included).
    void discard();

  private:
    std::filesystem::path root_;
    Durability durability_;
    bool createdRoot_ = false;
    bool committed_ = false;
    std::vector<std::filesystem::path> written_;  // in order of creation
};

}  // namespace tavo
