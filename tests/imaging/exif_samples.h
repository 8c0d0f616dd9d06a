#pragma once
// Hand-built JPEG files with an EXIF APP1 segment, byte by byte: the tests, the seed corpus of
// the fuzzer and the benchmark all make their samples here.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavo::test::exif {

using Bytes = std::vector<std::uint8_t>;

enum class Ifd { Zero, Exif };

// Tag numbers the reader knows.
enum Tag : std::uint16_t {
    kImageDescription = 270,
    kMake = 271,
    kModel = 272,
    kOrientation = 274,
    kXResolution = 282,
    kYResolution = 283,
    kSoftware = 305,
    kDateTime = 306,
    kArtist = 315,
    kCopyright = 33432,
    kExposureTime = 33434,
    kFNumber = 33437,
    kExifPointer = 34665,
    kExposureProgram = 34850,
    kIsoSpeed = 34855,
    kDateTimeOriginal = 36867,
    kDateTimeDigitized = 36868,
    kCompressedBits = 37122,
    kShutterSpeed = 37377,
    kAperture = 37378,
    kMaxAperture = 37381,
    kMeteringMode = 37383,
    kLightSource = 37384,
    kFlash = 37385,
    kUserComment = 37510,
    kPixelX = 40962,
    kPixelY = 40963,
};

// A TIFF structure: header, IFD0, the Exif IFD (when it has entries, IFD0 gets a pointer to it
// as its last entry), then the values too long for an entry, in the order they were added.
class Tiff {
  public:
    explicit Tiff(bool motorola) : mm_(motorola) {}

    // ASCII text with its zero byte; `count` overrides the stored count.
    Tiff& text(Ifd ifd, std::uint16_t tag, const std::string& s,
               std::optional<std::uint32_t> count = {}) {
        Bytes payload(s.begin(), s.end());
        payload.push_back(0);
        return add(ifd, tag, 2, count.value_or(static_cast<std::uint32_t>(payload.size())),
                   payload);
    }
    // Bytes stored as they are (no zero added), with the given count.
    Tiff& bytesAt(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                  const Bytes& payload) {
        return add(ifd, tag, type, count, payload);
    }
    Tiff& rational(Ifd ifd, std::uint16_t tag, std::uint32_t num, std::uint32_t den) {
        Bytes payload;
        put32(payload, num);
        put32(payload, den);
        return add(ifd, tag, 5, 1, payload);
    }
    Tiff& shortValue(Ifd ifd, std::uint16_t tag, std::uint16_t v) {
        Bytes field;
        put16(field, v);
        put16(field, 0);
        return inlineEntry(ifd, tag, 3, field);
    }
    Tiff& byteValue(Ifd ifd, std::uint16_t tag, std::uint8_t v) {
        return inlineEntry(ifd, tag, 1, Bytes{v, 0, 0, 0});
    }
    Tiff& longValue(Ifd ifd, std::uint16_t tag, std::uint32_t v) {
        Bytes field;
        put32(field, v);
        return inlineEntry(ifd, tag, 4, field);
    }
    // An entry written as given: the value field holds `field` in the file's byte order.
    Tiff& raw(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
              std::uint32_t field) {
        Entry e{tag, type, count, {}, {}};
        Bytes f;
        put32(f, field);
        std::copy(f.begin(), f.end(), e.field.begin());
        list(ifd).push_back(e);
        return *this;
    }
    // Entry counts written instead of the real ones; IFD0 offset written instead of 8.
    Tiff& ifd0Count(std::uint16_t n) { return ifd0Count_ = n, *this; }
    Tiff& exifCount(std::uint16_t n) { return exifCount_ = n, *this; }
    Tiff& ifd0Offset(std::uint32_t off) { return ifd0Offset_ = off, *this; }
    Tiff& noExifPointer() { return exifPointer_ = false, *this; }
    // The next-IFD field written after each directory (0: none).
    Tiff& nextIfd(std::uint32_t off) { return next_ = off, *this; }

    Bytes build() const {
        std::vector<Entry> zero = ifd0_;
        const bool pointer = exifPointer_ && !exif_.empty();
        if (pointer) zero.push_back(Entry{kExifPointer, 4, 1, {}, {}});
        const std::uint32_t ifd0At = 8;
        const auto exifAt = static_cast<std::uint32_t>(ifd0At + 2 + 12 * zero.size() + 4);
        std::uint32_t dataAt =
            pointer ? static_cast<std::uint32_t>(exifAt + 2 + 12 * exif_.size() + 4) : exifAt;
        if (pointer) {
            Bytes f;
            put32(f, exifAt);
            std::copy(f.begin(), f.end(), zero.back().field.begin());
        }

        Bytes data;
        auto place = [&](std::vector<Entry>& entries) {
            for (Entry& e : entries) {
                if (e.payload.empty()) continue;
                Bytes f;
                put32(f, static_cast<std::uint32_t>(dataAt + data.size()));
                std::copy(f.begin(), f.end(), e.field.begin());
                data.insert(data.end(), e.payload.begin(), e.payload.end());
                if (data.size() % 2) data.push_back(0);
            }
        };
        std::vector<Entry> exif = exif_;
        place(zero);
        place(exif);

        Bytes out;
        out.push_back(mm_ ? 'M' : 'I');
        out.push_back(mm_ ? 'M' : 'I');
        put16(out, 42);
        put32(out, ifd0Offset_.value_or(ifd0At));
        writeIfd(out, zero, ifd0Count_);
        if (pointer) writeIfd(out, exif, exifCount_);
        out.insert(out.end(), data.begin(), data.end());
        return out;
    }

  private:
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        std::array<std::uint8_t, 4> field;
        Bytes payload;
    };

    std::vector<Entry>& list(Ifd ifd) { return ifd == Ifd::Zero ? ifd0_ : exif_; }

    Tiff& add(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
              const Bytes& payload) {
        list(ifd).push_back(Entry{tag, type, count, {}, payload});
        return *this;
    }
    Tiff& inlineEntry(Ifd ifd, std::uint16_t tag, std::uint16_t type, const Bytes& field) {
        Entry e{tag, type, 1, {}, {}};
        std::copy(field.begin(), field.end(), e.field.begin());
        list(ifd).push_back(e);
        return *this;
    }

    void writeIfd(Bytes& out, const std::vector<Entry>& entries,
                  std::optional<std::uint16_t> count) const {
        put16(out, count.value_or(static_cast<std::uint16_t>(entries.size())));
        for (const Entry& e : entries) {
            put16(out, e.tag);
            put16(out, e.type);
            put32(out, e.count);
            out.insert(out.end(), e.field.begin(), e.field.end());
        }
        put32(out, next_);
    }

    void put16(Bytes& b, std::uint16_t v) const {
        if (mm_) {
            b.push_back(static_cast<std::uint8_t>(v >> 8));
            b.push_back(static_cast<std::uint8_t>(v));
        } else {
            b.push_back(static_cast<std::uint8_t>(v));
            b.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    }
    void put32(Bytes& b, std::uint32_t v) const {
        if (mm_) {
            put16(b, static_cast<std::uint16_t>(v >> 16));
            put16(b, static_cast<std::uint16_t>(v));
        } else {
            put16(b, static_cast<std::uint16_t>(v));
            put16(b, static_cast<std::uint16_t>(v >> 16));
        }
    }

    bool mm_;
    std::vector<Entry> ifd0_;
    std::vector<Entry> exif_;
    std::optional<std::uint16_t> ifd0Count_;
    std::optional<std::uint16_t> exifCount_;
    std::optional<std::uint32_t> ifd0Offset_;
    bool exifPointer_ = true;
    std::uint32_t next_ = 0;
};

inline void append(Bytes& to, const Bytes& from) {
    to.insert(to.end(), from.begin(), from.end());
}

// APP1: FF E1, the big-endian segment length, "Exif" and two zero bytes, the TIFF structure.
inline Bytes app1(const Bytes& tiff) {
    const std::size_t length = 2 + 6 + tiff.size();
    Bytes b{0xFF,
            0xE1,
            static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length),
            'E',
            'x',
            'i',
            'f',
            0,
            0};
    append(b, tiff);
    return b;
}

// The standard JFIF APP0 segment: 2 marker bytes and a length of 16, 18 bytes in all.
inline Bytes jfifApp0() {
    return {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
}

// A segment with the given marker and `size` payload bytes of filler.
inline Bytes segment(std::uint8_t marker, std::size_t size) {
    const std::size_t length = size + 2;
    Bytes b{0xFF, marker, static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length)};
    for (std::size_t i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(0x20 + i % 64));
    return b;
}

inline Bytes soi() {
    return {0xFF, 0xD8};
}
inline Bytes eoi() {
    return {0xFF, 0xD9};
}

// FF D8 FF E1 ...: the layout most cameras write.
inline Bytes cameraJpeg(const Bytes& tiff) {
    Bytes b = soi();
    append(b, app1(tiff));
    append(b, eoi());
    return b;
}

// FF D8, a JFIF APP0, then APP1.
inline Bytes jfifJpeg(const Bytes& tiff) {
    Bytes b = soi();
    append(b, jfifApp0());
    append(b, app1(tiff));
    append(b, eoi());
    return b;
}

// The values a camera typically records, in either byte order.
inline Tiff typicalCamera(bool motorola) {
    Tiff t(motorola);
    t.text(Ifd::Zero, kImageDescription, "Juniperus chinensis, spring")
        .text(Ifd::Zero, kMake, "Canon")
        .text(Ifd::Zero, kModel, "Canon EOS 350D DIGITAL")
        .shortValue(Ifd::Zero, kOrientation, 6)
        .rational(Ifd::Zero, kXResolution, 72, 1)
        .rational(Ifd::Zero, kYResolution, 180, 1)
        .text(Ifd::Zero, kSoftware, "Firmware 1.0.2")
        .text(Ifd::Zero, kDateTime, "2005:07:15 08:00:00")
        .text(Ifd::Zero, kArtist, "M. Durand")
        .text(Ifd::Zero, kCopyright, "(c) 2005")
        .rational(Ifd::Exif, kExposureTime, 1, 60)
        .rational(Ifd::Exif, kFNumber, 28, 10)
        .shortValue(Ifd::Exif, kExposureProgram, 2)
        .shortValue(Ifd::Exif, kIsoSpeed, 400)
        .text(Ifd::Exif, kDateTimeOriginal, "2005:07:14 10:20:30")
        .text(Ifd::Exif, kDateTimeDigitized, "2005:07:14 10:20:31")
        .rational(Ifd::Exif, kCompressedBits, 3, 1)
        .rational(Ifd::Exif, kShutterSpeed, 6970, 1000)
        .rational(Ifd::Exif, kAperture, 297, 100)
        .rational(Ifd::Exif, kMaxAperture, 56, 10)
        .shortValue(Ifd::Exif, kMeteringMode, 5)
        .shortValue(Ifd::Exif, kLightSource, 2)
        .shortValue(Ifd::Exif, kFlash, 16)
        .text(Ifd::Exif, kUserComment, "first repotting")
        .shortValue(Ifd::Exif, kPixelX, 1600)
        .longValue(Ifd::Exif, kPixelY, 1200);
    return t;
}

}  // namespace tavo::test::exif
