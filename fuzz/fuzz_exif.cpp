// Feeds arbitrary bytes to the EXIF reader as a picture file. The only outcome allowed besides
// a normal return is the I/O error of a file that ends too soon; anything else (a crash, a
// sanitizer report, another exception, a run that does not end) is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/errors.h"
#include "imaging/exif.h"

namespace {

// One in-memory file reused by every run, reached through its /proc path like any picture.
int memoryFile() {
    static const int fd = [] {
        const int f = ::memfd_create("fuzz-exif", MFD_CLOEXEC);
        if (f < 0) std::abort();
        return f;
    }();
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = memoryFile();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::ftruncate(fd, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }

    tavo::TExif exif;
    try {
        exif.ReadFromFile(path);
    } catch (const tavo::IoError&) {
    }
    // No text can be longer than the capped byte count, even after UTF-8 conversion.
    if (exif.UserComment().size() > 3 * 65535 || exif.Make().size() > 3 * 65535) std::abort();

    // The same bytes as the EXIF block of a HEIF picture, read from memory.
    tavo::TExif block;
    try {
        block.ReadFromTiffBytes({data, size}, "block");
    } catch (const tavo::IoError&) {
    }
    if (block.UserComment().size() > 3 * 65535) std::abort();
    return 0;
}
