#pragma once
// The EXIF data a camera stores in a JPEG's APP1 segment: a TIFF structure whose image file
// directories hold tagged entries. The photo editor takes Valid and DateTimeOriginal to pre-fill
// a photo's date; the other properties are read too.
//
// The file may come from anywhere, so every byte is treated as hostile: each offset and count is
// checked against the file size in 64-bit arithmetic before use, no text is longer than one APP1
// segment could hold (65535 bytes), every loop has a fixed bound and nothing recurses.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace tavo {

class TExif {
  public:
    TExif() = default;

    // Reads the EXIF data of the file at `path` into the properties. A missing file changes
    // nothing. A file that is no JPEG or has no APP1 segment named "Exif" leaves Valid false and
    // everything empty. A read beyond the end of the file while walking the structure (segment or
    // TIFF header, entry count, entry) throws IoError, keeping the properties read before it; a
    // value that lies beyond the end only leaves its own property empty or 0.
    void ReadFromFile(const std::filesystem::path& path);

    // The same for a TIFF file, whose first directory holds the picture's own tags, and for
    // the bytes of an EXIF block kept without its JPEG segment (as HEIF files keep it). Valid
    // once the TIFF byte-order mark is read; the file must exist.
    void ReadFromTiffFile(const std::filesystem::path& path);
    void ReadFromTiffBytes(std::span<const std::uint8_t> bytes, const std::filesystem::path& name);

    // Texts are UTF-8, converted from the Windows-1252 bytes of the file.
    const std::string& ImageDescription() const { return imageDescription_; }
    const std::string& Make() const { return make_; }
    const std::string& Model() const { return model_; }
    std::uint8_t Orientation() const { return orientation_; }
    const std::string& OrientationDesc() const { return orientationDesc_; }
    const std::string& RightsNotice() const { return rightsNotice_; }
    bool Valid() const { return valid_; }
    const std::string& DateTime() const { return dateTime_; }
    const std::string& DateTimeOriginal() const { return dateTimeOriginal_; }
    const std::string& DateTimeDigitized() const { return dateTimeDigitized_; }
    const std::string& UserComment() const { return userComment_; }
    const std::string& ExposureTime() const { return exposureTime_; }
    const std::string& FNumber() const { return fNumber_; }
    const std::string& ShutterSpeedValue() const { return shutterSpeedValue_; }
    const std::string& ApertureValue() const { return apertureValue_; }
    const std::string& MaxApertureValue() const { return maxApertureValue_; }
    std::uint8_t ExposureProgram() const { return exposureProgram_; }
    const std::string& ExposureProgramDesc() const { return exposureProgramDesc_; }
    std::uint32_t PixelXDimension() const { return pixelXDimension_; }
    std::uint32_t PixelYDimension() const { return pixelYDimension_; }
    std::uint32_t XResolution() const { return xResolution_; }
    std::uint32_t YResolution() const { return yResolution_; }
    std::uint8_t MeteringMode() const { return meteringMode_; }
    const std::string& MeteringModeDesc() const { return meteringModeDesc_; }
    std::uint8_t LightSource() const { return lightSource_; }
    const std::string& LightSourceDesc() const { return lightSourceDesc_; }
    std::uint8_t Flash() const { return flash_; }
    const std::string& FlashDesc() const { return flashDesc_; }
    std::uint16_t ISOSpeedRatings() const { return isoSpeedRatings_; }
    const std::string& Software() const { return software_; }
    const std::string& Artist() const { return artist_; }
    const std::string& CompressedBitsPerPixel() const { return compressedBitsPerPixel_; }

  private:
    class Reader;

    std::string imageDescription_;
    std::string make_;
    std::string model_;
    std::uint8_t orientation_ = 0;
    std::string orientationDesc_;
    std::string rightsNotice_;
    bool valid_ = false;
    std::string dateTime_;
    std::string dateTimeOriginal_;
    std::string dateTimeDigitized_;
    std::string userComment_;
    std::string exposureTime_;
    std::string fNumber_;
    std::string shutterSpeedValue_;
    std::string apertureValue_;
    std::string maxApertureValue_;
    std::uint8_t exposureProgram_ = 0;
    std::string exposureProgramDesc_;
    std::uint32_t pixelXDimension_ = 0;
    std::uint32_t pixelYDimension_ = 0;
    std::uint32_t xResolution_ = 0;
    std::uint32_t yResolution_ = 0;
    std::uint8_t meteringMode_ = 0;
    std::string meteringModeDesc_;
    std::uint8_t lightSource_ = 0;
    std::string lightSourceDesc_;
    std::uint8_t flash_ = 0;
    std::string flashDesc_;
    std::uint16_t isoSpeedRatings_ = 0;
    std::string software_;
    std::string artist_;
    std::string compressedBitsPerPixel_;
};

// The photo date "dd/mm/yyyy" taken from an EXIF date "yyyy:mm:dd hh:mm:ss": characters 9-10,
// "/", characters 6-7, "/", characters 1-4. Pieces beyond the end of the text are empty, so an
// empty text gives "//".
std::string photoDateFromExif(std::string_view exifDate);

}  // namespace tavo
