#pragma once
// The seed corpus of the EXIF fuzzer, kept in tests/fixtures/exif/ and replayed by the tests:
// sound camera layouts and hostile ones (offsets and counts at their limits, loops, files cut
// short). make_exif_samples writes them; a test checks the stored files still match.
#include <string>
#include <utility>
#include <vector>

#include "imaging/exif_samples.h"

namespace tavo::test::exif {

inline std::vector<std::pair<std::string, Bytes>> seedSamples() {
    std::vector<std::pair<std::string, Bytes>> s;
    s.emplace_back("camera-mm.jpg", cameraJpeg(typicalCamera(true).build()));
    s.emplace_back("camera-ii.jpg", cameraJpeg(typicalCamera(false).build()));
    s.emplace_back("jfif-ii.jpg", jfifJpeg(typicalCamera(false).build()));

    {  // APP1 behind a table segment, found by the marker search (odd offset 27)
        Bytes b = soi();
        append(b, segment(0xDB, 21));
        append(b, app1(typicalCamera(true).build()));
        append(b, eoi());
        s.emplace_back("searched-app1.jpg", b);
    }
    {  // no APP1 at all; the search ends at the end of the file
        Bytes b = soi();
        append(b, jfifApp0());
        append(b, segment(0xDB, 67));
        append(b, eoi());
        s.emplace_back("no-app1.jpg", b);
    }
    {  // APP1 further than the search reaches
        Bytes b = soi();
        append(b, jfifApp0());
        append(b, segment(0xFE, 2101));
        append(b, app1(typicalCamera(false).build()));
        s.emplace_back("app1-out-of-reach.jpg", b);
    }
    s.emplace_back("not-jpeg.bin", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
    s.emplace_back("soi-only.jpg", soi());
    {  // APP0 announced, file ends before offset 20
        Bytes b = soi();
        append(b, Bytes{0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1});
        s.emplace_back("app0-cut.jpg", b);
    }
    {  // FF E1 as the very last two bytes
        Bytes b = soi();
        append(b, segment(0xDB, 19));
        append(b, Bytes{0xFF, 0xE1});
        s.emplace_back("marker-at-end.jpg", b);
    }

    s.emplace_back("ifd0-offset-max.jpg",
                   cameraJpeg(typicalCamera(true).ifd0Offset(0xFFFFFFFF).build()));
    s.emplace_back("ifd0-count-zero.jpg", cameraJpeg(Tiff(false)
                                                         .text(Ifd::Zero, kMake, "Nikon")
                                                         .shortValue(Ifd::Zero, kOrientation, 1)
                                                         .ifd0Count(0)
                                                         .build()));
    {  // 65535 entries announced, one present, then non-zero bytes up to the end
        Tiff t(true);
        t.text(Ifd::Zero, kModel, "E4500").ifd0Count(65535).noExifPointer().nextIfd(0x5A5A5A5A);
        Bytes b = cameraJpeg(t.build());
        b.insert(b.end(), 100, 0x5A);
        s.emplace_back("ifd0-count-65535.jpg", b);
    }
    s.emplace_back("exif-count-65535.jpg", cameraJpeg(Tiff(false)
                                                          .shortValue(Ifd::Zero, kOrientation, 8)
                                                          .shortValue(Ifd::Exif, kIsoSpeed, 400)
                                                          .longValue(Ifd::Exif, kPixelX, 1600)
                                                          .exifCount(65535)
                                                          .nextIfd(0x01010101)
                                                          .build()));
    s.emplace_back("exif-offset-max.jpg",
                   cameraJpeg(Tiff(true)
                                  .text(Ifd::Zero, kMake, "Canon")
                                  .raw(Ifd::Zero, kExifPointer, 4, 1, 0xFFFFFFF0)
                                  .build()));
    s.emplace_back("exif-is-ifd0.jpg", cameraJpeg(Tiff(false)
                                                      .text(Ifd::Zero, kMake, "Canon")
                                                      .raw(Ifd::Zero, kExifPointer, 4, 1, 8)
                                                      .build()));
    s.emplace_back("value-offsets-max.jpg",
                   cameraJpeg(Tiff(true)
                                  .raw(Ifd::Zero, kMake, 2, 20, 0xFFFFFFFF)
                                  .raw(Ifd::Zero, kModel, 2, 0xFFFFFFFF, 0x80000000)
                                  .raw(Ifd::Zero, kXResolution, 5, 1, 0xFFFFFFFC)
                                  .raw(Ifd::Exif, kFNumber, 5, 1, 0xFFFFFFF9)
                                  .raw(Ifd::Exif, kExposureTime, 5, 1, 0x7FFFFFF6)
                                  .raw(Ifd::Exif, kDateTimeOriginal, 2, 20, 0xFFFFFFF6)
                                  .shortValue(Ifd::Exif, kIsoSpeed, 200)
                                  .build()));
    s.emplace_back("text-count-max.jpg",
                   cameraJpeg(Tiff(false)
                                  .bytesAt(Ifd::Zero, kMake, 2, 0xFFFFFFFF, Bytes{'O', 'l', 0})
                                  .bytesAt(Ifd::Zero, kArtist, 2, 0xFFFFFFFF, Bytes(64, 'A'))
                                  .build()));
    s.emplace_back("rational-extremes.jpg",
                   cameraJpeg(Tiff(true)
                                  .rational(Ifd::Exif, kFNumber, 0xFFFFFFFF, 1)
                                  .rational(Ifd::Exif, kAperture, 7, 0)
                                  .rational(Ifd::Exif, kExposureTime, 0xFFFFFFFF, 0)
                                  .rational(Ifd::Exif, kShutterSpeed, 100, 1)
                                  .rational(Ifd::Exif, kMaxAperture, 1, 0xFFFFFFFF)
                                  .build()));
    {  // the camera sample cut inside its Exif IFD
        Bytes b = cameraJpeg(typicalCamera(true).build());
        b.resize(240);
        s.emplace_back("camera-cut.jpg", b);
    }
    return s;
}

}  // namespace tavo::test::exif
