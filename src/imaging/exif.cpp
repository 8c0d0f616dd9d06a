#include "imaging/exif.h"

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
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/errors.h"
#include "common/file_io.h"

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
    explicit ByteFile(const fs::path& path)
        : path_(path), data_(std::make_unique_for_overwrite<std::uint8_t[]>(kSlots * kBlock)) {
        fd_ = io::Fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd_.valid()) throw IoError("open", path, std::strerror(errno));
        struct stat st {};
        if (::fstat(fd_.get(), &st) != 0) {
            const int err = errno;
            fd_.close();
            throw IoError("open", path, std::strerror(err));
        }
        // A pipe or a device could block or never end.
        if (!S_ISREG(st.st_mode)) {
            fd_.close();
            throw IoError("open", path, "not a regular file");
        }
        size_ = static_cast<std::uint64_t>(st.st_size);
    }
    // Bytes already in memory, such as the EXIF block another container format holds.
    ByteFile(std::span<const std::uint8_t> bytes, const fs::path& name)
        : path_(name), memory_(bytes), size_(bytes.size()) {}
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    std::uint64_t size() const { return size_; }

    // Copies `n` bytes at `offset` into `out`; false when they pass the end of the file.
    bool fetch(std::uint64_t offset, std::size_t n, std::uint8_t* out) {
        if (offset > size_ || n > size_ - offset) return false;
        while (n > 0) {
            std::size_t available = 0;
            const std::uint8_t* p = at(offset, available);
            if (!p) return false;
            const std::size_t take = std::min(n, available);
            std::memcpy(out, p, take);
            out += take;
            offset += take;
            n -= take;
        }
        return true;
    }

    // The bytes from `offset` up to the end of their cached block (at least one of them), or
    // nullptr at or past the end of the file.
    const std::uint8_t* at(std::uint64_t offset, std::size_t& available) {
        if (offset >= size_) return nullptr;
        if (!fd_.valid()) {
            available = static_cast<std::size_t>(size_ - offset);
            return memory_.data() + offset;
        }
        const std::uint64_t start = offset - offset % kBlock;
        std::size_t len = 0;
        const std::uint8_t* p = block(start, len);
        const auto within = static_cast<std::size_t>(offset - start);
        if (within >= len) return nullptr;  // the file shrank while being read
        available = len - within;
        return p + within;
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
                return data_.get() + i * kBlock;
            }
        }
        const std::size_t i = next_;
        next_ = (next_ + 1) % kSlots;
        std::uint8_t* p = data_.get() + i * kBlock;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size_ - start));
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n =
                ::pread(fd_.get(), p + got, want - got, static_cast<off_t>(start + got));
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
    io::Fd fd_;
    std::span<const std::uint8_t> memory_;
    std::uint64_t size_ = 0;
    std::array<Slot, kSlots> slots_{};
    std::unique_ptr<std::uint8_t[]> data_;  // kSlots blocks, filled as they are read
    std::size_t next_ = 0;
};

struct Wording {
    std::uint8_t value;
    const char* text;
};

template <std::size_t N>
std::string word(const Wording (&table)[N], std::uint8_t value, const char* otherwise) {
    for (const Wording& w : table)
        if (w.value == value) return w.text;
    return otherwise;
}

constexpr Wording kOrientations[] = {
    {1, "Normal"},
    {2, "Mirrored"},
    {3, "Rotated 180"},
    {4, "Rotated 180, mirrored"},
    {5, "Rotated 90 left, mirrored"},
    {6, "Rotated 90 right"},
    {7, "Rotated 90 right, mirrored"},
    {8, "Rotated 90 left"},
};
constexpr Wording kExposurePrograms[] = {
    {0, "Unknown"},           {1, "Manual Control"},   {2, "Normal Program"},
    {3, "Aperture Priority"}, {4, "Shutter Priority"}, {5, "Creative Program"},
    {6, "Action Program"},    {7, "Portrait Mode"},    {8, "Landscape Mode"},
};
constexpr Wording kMeteringModes[] = {
    {0, "Unknown"}, {1, "Average"},    {2, "Center Weighted Average"},
    {3, "Spot"},    {4, "Multi Spot"}, {5, "Pattern"},
    {6, "Partial"}, {255, "Other"},
};
constexpr Wording kLightSources[] = {
    {0, "Unknown"},
    {1, "Daylight"},
    {2, "Flourescent"},
    {3, "Tungsten"},
    {10, "Flash"},
    {17, "Standard Light A"},
    {18, "Standard Light B"},
    {19, "Standard Light C"},
    {20, "D55"},
    {21, "D65"},
    {22, "D75"},
    {255, "Other"},
};
constexpr Wording kFlashes[] = {
    {0, "No Flash"},     {1, "Flash"},         {5, "Flash No Strobe"},
    {7, "Flash Strobe"}, {25, "Flash (Auto)"},
};

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

    // A JPEG: the TIFF structure follows the identifier of its EXIF APP1 segment.
    void walkJpeg() {
        std::uint8_t b[2];
        read(b, 2);
        if (b[0] != 0xFF || b[1] != 0xD8) return;

        std::uint8_t header[9];
        read(header, 9);
        if (isMarker(header, 0xE0)) {
            pos_ = kAfterJfifApp0;
            read(header, 9);
        }
        if (!isExifApp1(header)) {
            // Other APP1 segments (XMP, for one) are stepped over whole.
            if (isMarker(header, 0xE1)) skipSegment(header);
            bool found = false;
            for (int i = 0; i < kMarkerSearchReads; ++i) {
                // A file without EXIF data simply ends here.
                if (pos_ + 2 > file_.size()) break;
                read(b, 2);
                if (isMarker(b, 0xE1)) {
                    pos_ -= 2;
                    read(header, 9);
                    if (isExifApp1(header)) {
                        found = true;
                        break;
                    }
                    skipSegment(header);
                    continue;
                }
                if (pos_ >= file_.size()) break;
            }
            if (!found) return;
        }
        exif_.valid_ = true;

        // The 9 bytes end on the first of the two zero bytes after "Exif".
        walkTiff(pos_ + 1);
    }

    // A TIFF file or a bare EXIF block: the structure starts at the first byte. Valid once its
    // byte-order mark is seen.
    void walkTiffFile() {
        std::uint8_t b[4];
        read(b, 4);
        const bool intel = b[0] == 'I' && b[1] == 'I' && b[2] == 42 && b[3] == 0;
        const bool motorola = b[0] == 'M' && b[1] == 'M' && b[2] == 0 && b[3] == 42;
        if (!intel && !motorola) return;
        exif_.valid_ = true;
        walkTiff(0);
    }

    // A TIFF structure starting at `base`: the whole of a TIFF file, or an EXIF block.
    void walkTiff(std::uint64_t base) {
        std::uint8_t b[12];
        base_ = base;
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

    // Walks the structure one way, then reads the values noted; the values met before a
    // failure still reach their properties.
    void run(void (Reader::*walk)()) {
        try {
            (this->*walk)();
        } catch (const IoError&) {
            resolve();
            throw;
        }
        resolve();
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

    // The 9 bytes of a segment's start (marker, length, 5 bytes) name EXIF data when they are
    // an APP1 marker and "Exif" with both of its zero bytes; the second one is the next byte.
    bool isExifApp1(const std::uint8_t* header) {
        if (!isMarker(header, 0xE1) || std::memcmp(header + 4, "Exif", 5) != 0) return false;
        std::uint8_t second = 1;
        if (!file_.fetch(pos_, 1, &second)) throw IoError("read", path_, "read beyond end of file");
        return second == 0;
    }

    // Moves past the segment whose first 9 bytes were just read, and never backwards.
    void skipSegment(const std::uint8_t* header) {
        const std::uint64_t start = pos_ - 9;
        const std::uint64_t length = std::uint64_t{header[2]} << 8 | header[3];
        pos_ = std::max(pos_, start + 2 + length);
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
        static constexpr std::pair<std::uint16_t, Slot> kValues[] = {
            {270, kImageDescription}, {271, kMake},        {272, kModel},
            {305, kSoftware},         {306, kDateTime},    {315, kArtist},
            {33432, kRightsNotice},   {282, kXResolution}, {283, kYResolution},
        };
        if (noteValue(kValues, e)) return;
        if (e.tag == 274) {
            exif_.orientation_ = static_cast<std::uint8_t>(e.value);
            exif_.orientationDesc_ = word(kOrientations, exif_.orientation_, "Unknown");
        } else if (e.tag == 34665) {
            exifOffset_ = e.value;
        }
    }

    void exifIfd(const Entry& e) {
        static constexpr std::pair<std::uint16_t, Slot> kValues[] = {
            {36867, kDateTimeOriginal},  {36868, kDateTimeDigitized},
            {37510, kUserComment},       {33434, kExposureTime},
            {33437, kFNumber},           {37378, kApertureValue},
            {37381, kMaxApertureValue},  {37122, kCompressedBitsPerPixel},
            {37377, kShutterSpeedValue},
        };
        if (noteValue(kValues, e)) return;
        const auto low = static_cast<std::uint8_t>(e.value);
        switch (e.tag) {
            case 34850:
                exif_.exposureProgram_ = low;
                exif_.exposureProgramDesc_ = word(kExposurePrograms, low, "Unknown");
                break;
            case 37383:
                exif_.meteringMode_ = low;
                exif_.meteringModeDesc_ = word(kMeteringModes, low, "Unknown");
                break;
            case 37384:
                exif_.lightSource_ = low;
                exif_.lightSourceDesc_ = word(kLightSources, low, "Unknown");
                break;
            case 37385:
                exif_.flash_ = low;
                exif_.flashDesc_ = word(kFlashes, low, "No Flash");
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

    // Notes the value of an entry whose tag is in `table`; false for any other tag.
    template <std::size_t N>
    bool noteValue(const std::pair<std::uint16_t, Slot> (&table)[N], const Entry& e) {
        for (const auto& [tag, slot] : table) {
            if (tag == e.tag) {
                note(slot, e);
                return true;
            }
        }
        return false;
    }

    // Bytes from `offset` up to and including a zero byte, or all n of them when none is zero
    // (cameras do not always count the zero); trailing characters of code 32 or less removed.
    // A text that runs past the end of the file reads as empty.
    std::string text(std::uint64_t offset, std::uint32_t n) {
        if (n == 0) return {};
        const std::uint64_t limit = std::min<std::uint64_t>(n, kMaxTextBytes);
        std::string bytes;
        while (bytes.size() < limit) {
            std::size_t available = 0;
            const std::uint8_t* p = file_.at(offset + bytes.size(), available);
            if (!p) return {};
            std::size_t take =
                static_cast<std::size_t>(std::min<std::uint64_t>(available, limit - bytes.size()));
            const void* zero = std::memchr(p, 0, take);
            if (zero)
                take = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - p) + 1;
            bytes.append(reinterpret_cast<const char*>(p), take);
            if (zero) break;
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
    reader.run(&Reader::walkJpeg);
}

void TExif::ReadFromTiffFile(const std::filesystem::path& path) {
    *this = TExif();
    ByteFile file(path);
    Reader reader(*this, file, path);
    reader.run(&Reader::walkTiffFile);
}

void TExif::ReadFromTiffBytes(std::span<const std::uint8_t> bytes,
                              const std::filesystem::path& name) {
    *this = TExif();
    ByteFile file(bytes, name);
    Reader reader(*this, file, name);
    reader.run(&Reader::walkTiffFile);
}

std::string photoDateFromExif(std::string_view exifDate) {
    // Positions count characters of the stored text, one byte each in Windows-1252.
    const std::string bytes = cp1252::fromUtf8(exifDate);
    const auto piece = [&](std::size_t from, std::size_t count) {
        return from < bytes.size() ? bytes.substr(from, count) : std::string();
    };
    return cp1252::toUtf8(piece(8, 2) + "/" + piece(5, 2) + "/" + piece(0, 4));
}

}  // namespace tavo
