// Feeds arbitrary bytes to the picture decoders as a picture file, fitted for storing and
// reduced for a thumbnail. The only outcomes allowed besides a normal return are the program's
// own errors (a picture refused as damaged, unknown or too large); a crash, a sanitizer report,
// another exception or a run that does not end is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/errors.h"
#include "imaging/picture_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = ::memfd_create("fuzz-pictures", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::ftruncate(fd, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    for (const int side : {600, 0}) {
        try {
            const tavo::ScaledPicture p = tavo::loadFittedPicture(path, side);
            // The fit always has the size the stored photo is encoded at.
            const tavo::Size want = side > 0 ? tavo::boxFitSize(p.original, side) : p.original;
            if (p.image.size() != want) std::abort();
        } catch (const tavo::Error&) {
        }
    }
    try {
        (void)tavo::loadUprightPicture(path, 150);
    } catch (const tavo::Error&) {
    }
    return 0;
}
