#include "photos/exif.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "common/cp1252.h"
#include "common/errors.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

// An APP1 segment holds at most 65535 bytes, so no text of a sound file is longer; the cap keeps
// a hostile count from making the reader scan or keep a whole large file.
constexpr std::uint64_t kMaxTextBytes = 65535;
// The marker search reads 2 bytes at a time, at most this many times.
constexpr int kMarkerSearchReads = 1001;
// JFIF files are taken to carry an 18-byte APP0 segment, so APP1 starts here.
constexpr std::uint64_t kAfterJfifApp0 = 20;

// The picture file, read through a few cached blocks: the EXIF data of a camera file sits in its
// first kilobytes, and scattered hostile offsets cost one small read each, never more.
class ByteFile {
  public:
    explicit ByteFile(const fs::path& path) : path_(path), data_(kSlots * kBlock) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) throw IoError("open", path, std::strerror(errno));
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            const int err = errno;
            ::close(fd_);
            throw IoError("open", path, std::strerror(err));
        }
        // A pipe or a device could block or never end.
        if (!S_ISREG(st.st_mode)) {
            ::close(fd_);
            throw IoError("open", path, "not a regular file");
        }
        size_ = static_cast<std::uint64_t>(st.st_size);
    }
    ~ByteFile() { ::close(fd_); }
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    std::uint64_t size() const { return size_; }

    // Copies `n` bytes at `offset` into `out`; false when they pass the end of the file.
    bool fetch(std::uint64_t offset, std::size_t n, std::uint8_t* out) {
        if (offset > size_ || n > size_ - offset) return false;
        while (n > 0) {
            const std::uint64_t start = offset - offset % kBlock;
            std::size_t len = 0;
            const std::uint8_t* p = block(start, len);
            const auto within = static_cast<std::size_t>(offset - start);
            if (within >= len) return false;  // the file shrank while being read
            const std::size_t take = std::min(n, len - within);
            std::memcpy(out, p + within, take);
            out += take;
            offset += take;
            n -= take;
        }
        return true;
    }

  private:
    static constexpr std::size_t kBlock = 4096;
    static constexpr std::size_t kSlots = 8;
    struct Slot {
        std::uint64_t start = std::numeric_limits<std::uint64_t>::max();
        std::size_t len = 0;
    };

    const std::uint8_t* block(std::uint64_t start, std::size_t& len) {
        for (std::size_t i = 0; i < kSlots; ++i) {
            if (slots_[i].start == start) {
                len = slots_[i].len;
                return data_.data() + i * kBlock;
            }
        }
        const std::size_t i = next_;
        next_ = (next_ + 1) % kSlots;
        std::uint8_t* p = data_.data() + i * kBlock;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size_ - start));
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = ::pread(fd_, p + got, want - got, static_cast<off_t>(start + got));
            if (n < 0) {
                if (errno == EINTR) continue;
                slots_[i] = Slot{};
                throw IoError("read", path_, std::strerror(errno));
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        slots_[i] = Slot{start, got};
        len = got;
        return p;
    }

    const fs::path& path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::array<Slot, kSlots> slots_{};
    std::vector<std::uint8_t> data_;
    std::size_t next_ = 0;
};

std::string orientationDesc(std::uint8_t v) {
    switch (v) {
        case 1:
            return "Normal";
        case 2:
            return "Mirrored";
        case 3:
            return "Rotated 180";
        case 4:
            return "Rotated 180, mirrored";
        case 5:
            return "Rotated 90 left, mirrored";
        case 6:
            return "Rotated 90 right";
        case 7:
            return "Rotated 90 right, mirrored";
        case 8:
            return "Rotated 90 left";
        default:
            return "Unknown";
    }
}

std::string exposureProgramDesc(std::uint8_t v) {
    switch (v) {
        case 1:
            return "Manual Control";
        case 2:
            return "Normal Program";
        case 3:
            return "Aperture Priority";
        case 4:
            return "Shutter Priority";
        case 5:
            return "Creative Program";
        case 6:
            return "Action Program";
        case 7:
            return "Portrait Mode";
        case 8:
            return "Landscape Mode";
        default:
            return "Unknown";
    }
}

std::string meteringModeDesc(std::uint8_t v) {
    switch (v) {
        case 1:
            return "Average";
        case 2:
            return "Center Weighted Average";
        case 3:
            return "Spot";
        case 4:
            return "Multi Spot";
        case 5:
            return "Pattern";
        case 6:
            return "Partial";
        case 255:
            return "Other";
        default:
            return "Unknown";
    }
}

std::string lightSourceDesc(std::uint8_t v) {
    switch (v) {
        case 1:
            return "Daylight";
        case 2:
            return "Flourescent";
        case 3:
            return "Tungsten";
        case 10:
            return "Flash";
        case 17:
            return "Standard Light A";
        case 18:
            return "Standard Light B";
        case 19:
            return "Standard Light C";
        case 20:
            return "D55";
        case 21:
            return "D65";
        case 22:
            return "D75";
        case 255:
            return "Other";
        default:
            return "Unknown";
    }
}

std::string flashDesc(std::uint8_t v) {
    switch (v) {
        case 1:
            return "Flash";
        case 5:
            return "Flash No Strobe";
        case 7:
            return "Flash Strobe";
        case 25:
            return "Flash (Auto)";
        default:
            return "No Flash";
    }
}

// Two decimals, rounded half up in exact integer arithmetic, then one trailing "0" removed.
std::string rationalDecimal(std::uint32_t num, std::uint32_t den) {
    if (den == 0) return {};
    const std::uint64_t hundredths =
        (static_cast<std::uint64_t>(num) * 200 + den) / (2 * static_cast<std::uint64_t>(den));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llu.%02llu", static_cast<unsigned long long>(hundredths / 100),
                  static_cast<unsigned long long>(hundredths % 100));
    std::string s = buf;
    if (s.back() == '0') s.pop_back();
    return s;
}

std::string rationalFraction(std::uint32_t num, std::uint32_t den) {
    if (den == 1000000) return "0";
    return std::to_string(num) + "/" + std::to_string(den);
}

// The APEX time value v gives an exposure of 1/2^v seconds.
std::string shutterSpeed(std::uint32_t num, std::uint32_t den) {
    const float v = den == 0 ? 0.0f : static_cast<float>(static_cast<double>(num) / den);
    if (v >= 65535.0f) return "1 seconds";
    // Rounded to the nearest, a half to the even neighbour; beyond 64 bits it cannot be written.
    const long double power = std::nearbyint(std::exp2(static_cast<long double>(v)));
    if (!(power < 9223372036854775808.0L)) return {};
    return "1/" + std::to_string(static_cast<long long>(power)) + " seconds";
}

}  // namespace

// Walks the structure of one file into a TExif. Reads that shape the walk (markers, headers,
// entry counts, entries) throw past the end of the file. Reads of values at offsets are noted
// during the walk and done once at its end: they never move the walk's position and their
// failure only empties their own property, so the outcome is the same, and a hostile file with
// thousands of entries pointing at long texts costs no more than one that names each once.
class TExif::Reader {
  public:
    Reader(TExif& exif, ByteFile& file, const fs::path& path)
        : exif_(exif), file_(file), path_(path) {}

    void walk() {
        std::uint8_t b[12];
        read(b, 2);
        if (b[0] != 0xFF || b[1] != 0xD8) return;

        std::uint8_t header[9];
        read(header, 9);
        if (isMarker(header, 0xE0)) {
            pos_ = kAfterJfifApp0;
            read(header, 9);
        }
        if (!isMarker(header, 0xE1)) {
            bool found = false;
            for (int i = 0; i < kMarkerSearchReads; ++i) {
                read(b, 2);
                if (isMarker(b, 0xE1)) {
                    found = true;
                    break;
                }
                if (pos_ >= file_.size()) break;
            }
            if (!found) return;
            pos_ -= 2;
            read(header, 9);
        }
        exif_.valid_ = true;

        // The 9 bytes end on the first of the two zero bytes after "Exif".
        base_ = pos_ + 1;
        pos_ = base_;
        read(b, 8);
        motorola_ = b[0] == 'M' && b[1] == 'M';
        pos_ = base_ + u32(b + 4);

        read(b, 2);
        unsigned count = u16(b);
        if (count == 0) count = 100;
        for (unsigned i = 0; i < count; ++i) {
            read(b, 12);
            const Entry e = entry(b);
            if (e.tag == 0) break;
            ifd0(e);
        }

        if (exifOffset_ > 0) {
            pos_ = base_ + exifOffset_;
            read(b, 2);
            count = u16(b);
            for (unsigned i = 0; i < count; ++i) {
                read(b, 12);
                const Entry e = entry(b);
                if (e.tag == 0) break;
                exifIfd(e);
            }
        }
    }

    // Reads the values noted during the walk into their properties.
    void resolve() {
        for (std::size_t s = 0; s < kSlotCount; ++s) {
            const Pending& p = pending_[s];
            if (!p.set) continue;
            switch (kTargets[s].kind) {
                case Kind::Text:
                    exif_.*kTargets[s].text = text(p.offset, p.count);
                    break;
                case Kind::Numerator: {
                    std::uint8_t b[4];
                    exif_.*kTargets[s].number = file_.fetch(p.offset, 4, b) ? u32(b) : 0;
                    break;
                }
                case Kind::Fraction:
                case Kind::Decimal:
                case Kind::Shutter: {
                    std::uint8_t b[8];
                    std::string& out = exif_.*kTargets[s].text;
                    if (!file_.fetch(p.offset, 8, b)) {
                        out.clear();
                    } else if (kTargets[s].kind == Kind::Fraction) {
                        out = rationalFraction(u32(b), u32(b + 4)) + " seconds";
                    } else if (kTargets[s].kind == Kind::Decimal) {
                        out = rationalDecimal(u32(b), u32(b + 4));
                    } else {
                        out = shutterSpeed(u32(b), u32(b + 4));
                    }
                    break;
                }
            }
        }
    }

  private:
    struct Entry {
        std::uint16_t tag;
        std::uint32_t count;
        std::uint32_t value;
    };

    enum class Kind { Text, Fraction, Decimal, Shutter, Numerator };
    enum Slot : std::size_t {
        kImageDescription,
        kMake,
        kModel,
        kRightsNotice,
        kDateTime,
        kSoftware,
        kArtist,
        kDateTimeOriginal,
        kDateTimeDigitized,
        kUserComment,
        kExposureTime,
        kFNumber,
        kApertureValue,
        kMaxApertureValue,
        kCompressedBitsPerPixel,
        kShutterSpeedValue,
        kXResolution,
        kYResolution,
        kSlotCount
    };
    struct Target {
        Kind kind;
        std::string TExif::*text;
        std::uint32_t TExif::*number;
    };
    static constexpr Target kTargets[kSlotCount] = {
        {Kind::Text, &TExif::imageDescription_, nullptr},
        {Kind::Text, &TExif::make_, nullptr},
        {Kind::Text, &TExif::model_, nullptr},
        {Kind::Text, &TExif::rightsNotice_, nullptr},
        {Kind::Text, &TExif::dateTime_, nullptr},
        {Kind::Text, &TExif::software_, nullptr},
        {Kind::Text, &TExif::artist_, nullptr},
        {Kind::Text, &TExif::dateTimeOriginal_, nullptr},
        {Kind::Text, &TExif::dateTimeDigitized_, nullptr},
        {Kind::Text, &TExif::userComment_, nullptr},
        {Kind::Fraction, &TExif::exposureTime_, nullptr},
        {Kind::Decimal, &TExif::fNumber_, nullptr},
        {Kind::Decimal, &TExif::apertureValue_, nullptr},
        {Kind::Decimal, &TExif::maxApertureValue_, nullptr},
        {Kind::Decimal, &TExif::compressedBitsPerPixel_, nullptr},
        {Kind::Shutter, &TExif::shutterSpeedValue_, nullptr},
        {Kind::Numerator, nullptr, &TExif::xResolution_},
        {Kind::Numerator, nullptr, &TExif::yResolution_},
    };
    struct Pending {
        bool set = false;
        std::uint64_t offset = 0;
        std::uint32_t count = 0;
    };

    static bool isMarker(const std::uint8_t* b, std::uint8_t code) {
        return b[0] == 0xFF && b[1] == code;
    }

    void read(std::uint8_t* out, std::size_t n) {
        if (!file_.fetch(pos_, n, out)) throw IoError("read", path_, "read beyond end of file");
        pos_ += n;
    }

    std::uint16_t u16(const std::uint8_t* b) const {
        return motorola_ ? static_cast<std::uint16_t>(b[0] << 8 | b[1])
                         : static_cast<std::uint16_t>(b[1] << 8 | b[0]);
    }
    std::uint32_t u32(const std::uint8_t* b) const {
        return motorola_ ? std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 |
                               std::uint32_t{b[2]} << 8 | b[3]
                         : std::uint32_t{b[3]} << 24 | std::uint32_t{b[2]} << 16 |
                               std::uint32_t{b[1]} << 8 | b[0];
    }

    // BYTE and SHORT values sit in the first bytes of the value field; every other type is
    // taken as the whole field.
    Entry entry(const std::uint8_t* b) const {
        const std::uint16_t type = u16(b + 2);
        std::uint32_t value = 0;
        if (type == 1) {
            value = b[8];
        } else if (type == 3) {
            value = u16(b + 8);
        } else {
            value = u32(b + 8);
        }
        return Entry{u16(b), u32(b + 4), value};
    }

    // Notes a value at TIFF base + offset; 64-bit arithmetic, so no offset wraps around.
    void note(Slot s, const Entry& e) { pending_[s] = Pending{true, base_ + e.value, e.count}; }

    void ifd0(const Entry& e) {
        switch (e.tag) {
            case 270:
                note(kImageDescription, e);
                break;
            case 271:
                note(kMake, e);
                break;
            case 272:
                note(kModel, e);
                break;
            case 305:
                note(kSoftware, e);
                break;
            case 306:
                note(kDateTime, e);
                break;
            case 315:
                note(kArtist, e);
                break;
            case 33432:
                note(kRightsNotice, e);
                break;
            case 274:
                exif_.orientation_ = static_cast<std::uint8_t>(e.value);
                exif_.orientationDesc_ = orientationDesc(exif_.orientation_);
                break;
            case 282:
                note(kXResolution, e);
                break;
            case 283:
                note(kYResolution, e);
                break;
            case 34665:
                exifOffset_ = e.value;
                break;
            default:
                break;
        }
    }

    void exifIfd(const Entry& e) {
        switch (e.tag) {
            case 36867:
                note(kDateTimeOriginal, e);
                break;
            case 36868:
                note(kDateTimeDigitized, e);
                break;
            case 37510:
                note(kUserComment, e);
                break;
            case 33434:
                note(kExposureTime, e);
                break;
            case 33437:
                note(kFNumber, e);
                break;
            case 37378:
                note(kApertureValue, e);
                break;
            case 37381:
                note(kMaxApertureValue, e);
                break;
            case 37122:
                note(kCompressedBitsPerPixel, e);
                break;
            case 37377:
                note(kShutterSpeedValue, e);
                break;
            case 34850:
                exif_.exposureProgram_ = static_cast<std::uint8_t>(e.value);
                exif_.exposureProgramDesc_ = exposureProgramDesc(exif_.exposureProgram_);
                break;
            case 37383:
                exif_.meteringMode_ = static_cast<std::uint8_t>(e.value);
                exif_.meteringModeDesc_ = meteringModeDesc(exif_.meteringMode_);
                break;
            case 37384:
                exif_.lightSource_ = static_cast<std::uint8_t>(e.value);
                exif_.lightSourceDesc_ = lightSourceDesc(exif_.lightSource_);
                break;
            case 37385:
                exif_.flash_ = static_cast<std::uint8_t>(e.value);
                exif_.flashDesc_ = flashDesc(exif_.flash_);
                break;
            case 34855:
                exif_.isoSpeedRatings_ = static_cast<std::uint16_t>(e.value);
                break;
            case 40962:
                exif_.pixelXDimension_ = e.value;
                break;
            case 40963:
                exif_.pixelYDimension_ = e.value;
                break;
            default:
                break;
        }
    }

    // Bytes from `offset` up to and including a zero byte, or n - 1 of them (at least one);
    // trailing characters of code 32 or less removed. A text that runs past the end of the file
    // reads as empty.
    std::string text(std::uint64_t offset, std::uint32_t n) {
        if (n == 0) return {};
        const std::uint64_t limit = std::min<std::uint64_t>(n <= 1 ? 1 : n - 1, kMaxTextBytes);
        std::string bytes;
        for (std::uint64_t i = 0; i < limit; ++i) {
            std::uint8_t c = 0;
            if (!file_.fetch(offset + i, 1, &c)) return {};
            bytes += static_cast<char>(c);
            if (c == 0) break;
        }
        while (!bytes.empty() && static_cast<std::uint8_t>(bytes.back()) <= 32) bytes.pop_back();
        return cp1252::toUtf8(bytes);
    }

    TExif& exif_;
    ByteFile& file_;
    const fs::path& path_;
    std::uint64_t pos_ = 0;
    std::uint64_t base_ = 0;
    bool motorola_ = false;
    std::uint32_t exifOffset_ = 0;
    std::array<Pending, kSlotCount> pending_{};
};

void TExif::ReadFromFile(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return;
    *this = TExif();
    ByteFile file(path);
    Reader reader(*this, file, path);
    try {
        reader.walk();
    } catch (const IoError&) {
        // The values met before the failure still reach their properties.
        reader.resolve();
        throw;
    }
    reader.resolve();
}

}  // namespace tavo
