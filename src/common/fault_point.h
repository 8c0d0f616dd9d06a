#pragma once
// The one place where tests inject faults into file operations: a disk that fills up in the
// middle of a write, a device that changes what it stores, a rename that fails or a process
// killed before it. The program never installs one.
#include <cstddef>
#include <filesystem>
#include <optional>

namespace tavo {

class FaultPoint {
  public:
    virtual ~FaultPoint() = default;
    // Before `size` bytes are written to `path`: how many of them reach the file before the
    // write fails as on a full disk, or std::nullopt to let the write through.
    virtual std::optional<std::size_t> beforeWrite(const std::filesystem::path& path,
                                                   std::size_t size) = 0;
    // After a copy is written and flushed, before it is read back and compared.
    virtual void afterCopy(const std::filesystem::path& written) = 0;
    // Before an entry of the data folder is renamed (it may throw, or end the process).
    virtual void beforeRename(const std::filesystem::path& from,
                              const std::filesystem::path& to) = 0;
    // When a whole-file replacement is flushed under its temporary name, before it is renamed
    // over `target` (it may end the process, to leave that state behind).
    virtual void beforeReplace(const std::filesystem::path& target) { (void)target; }
};

// The installed fault point, or nullptr (always, in the program).
FaultPoint* installedFaultPoint();
// Installs `point` (nullptr removes it); tests only.
void installFaultPoint(FaultPoint* point);

}  // namespace tavo
