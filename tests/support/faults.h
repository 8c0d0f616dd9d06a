#pragma once
// The tests' fault point: a disk that fills up at the N-th write, a device that changes a copy, a
// rename that fails or a process killed before it. Installed on first use.
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/fault_point.h"

namespace tavo::test {

class ScriptedFaults : public FaultPoint {
  public:
    std::optional<std::size_t> beforeWrite(const std::filesystem::path&, std::size_t) override {
        endIfDue();
        if (countdown > 0 && --countdown == 0) return writtenFirst;
        return std::nullopt;
    }
    void afterCopy(const std::filesystem::path& written) override {
        if (copied) copied(written);
    }
    void beforeRename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        endIfDue();
        if (renaming) renaming(from, to);
    }
    void beforeReplace(const std::filesystem::path&) override { endIfDue(); }
    void endIfDue() {
        if (endAt > 0 && --endAt == 0) std::_Exit(9);
    }

    long endAt =
        0;  // ends the process (exit code 9) before the endAt-th write or rename, as a kill
    int countdown = 0;
    std::size_t writtenFirst = 0;
    std::function<void(const std::filesystem::path&)> copied;
    std::function<void(const std::filesystem::path&, const std::filesystem::path&)> renaming;
};

inline ScriptedFaults& faults() {
    static ScriptedFaults instance;
    installFaultPoint(&instance);
    return instance;
}

// The `n`-th write from now (1 = the next one) fails as if the disk were full; 0 disarms. With
// `writtenFirst`, that write first really writes up to that many of its bytes, as a disk that
// fills up in the middle of a write does.
inline void failNthWrite(int n, std::size_t writtenFirst = 0) {
    faults().countdown = n;
    faults().writtenFirst = writtenFirst;
}

// Runs after each file copy is written and flushed (under its temporary name), before it is
// read back and compared; it may change the written file. An empty function removes it.
inline void setAfterFileCopyHook(std::function<void(const std::filesystem::path&)> hook) {
    faults().copied = std::move(hook);
}

// The name a copy written under `written` (a temporary name) will have once renamed.
inline std::string copiedName(const std::filesystem::path& written) {
    const std::string name = written.filename().string();
    const auto dot = name.rfind('.');
    return name.size() > 1 && name[0] == '.' && dot > 0 ? name.substr(1, dot - 1) : name;
}

// Runs before each rename of a data-folder entry; it may throw, or end the process.
inline void setBeforeRenameHook(
    std::function<void(const std::filesystem::path&, const std::filesystem::path&)> hook) {
    faults().renaming = std::move(hook);
}

}  // namespace tavo::test
