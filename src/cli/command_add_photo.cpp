// tavo-cli add-photo: pictures into a tree's gallery, as the photo editor's "Ajouter" adds them.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <ostream>

#include "cards/card_file.h"
#include "cli/cli.h"
#include "common/dates.h"
#include "imaging/picture_decoders.h"
#include "photos/gallery_file.h"
#include "photos/gallery_pictures.h"

namespace tavo::cli {

namespace {

// Characters of a UTF-8 text.
std::size_t characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char ch : text)
        if ((ch & 0xC0) != 0x80) ++n;
    return n;
}

// The date the file was last changed, in local time, as dd/mm/yyyy.
std::string modificationDate(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) throw IoError("examine", file, std::strerror(errno));
    std::tm tm{};
    ::localtime_r(&st.st_mtime, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    return shortDate(t);
}

// The photo's date when none is given: the camera's EXIF date (JPEG, TIFF or HEIF) when it is a
// valid date, else the file's modification date. EXIF trouble never refuses a picture that
// decodes.
std::string pictureDate(const fs::path& file) {
    if (const auto date = exifPhotoDate(file); date && isValidDate(*date)) return *date;
    return modificationDate(file);
}

int runAddPhoto(const Context& ctx, const Args& args) {
    const std::string id = existingTree(ctx, args.operands[0]);
    const std::optional<std::string> givenDate = args.value("date");
    // The editor's boxes hold at most 10 and 100 characters; a longer text is refused rather
    // than stored cut short.
    if (givenDate && (givenDate->size() > PhotoRecord::kDateCapacity || !isValidDate(*givenDate)))
        throw RefusedInput("--date \"" + *givenDate + "\" is not a valid date (dd/mm/yyyy)");
    const std::string comment = args.value("comment").value_or(std::string());
    if (characters(comment) > PhotoRecord::kCommentCapacity)
        throw RefusedInput("--comment holds " + std::to_string(characters(comment)) +
                           " characters; a photo's comment holds at most 100");
    GalleryFile gallery(ctx.data(), id);
    int status = kOk;
    for (std::size_t i = 1; i < args.operands.size(); ++i) {
        const fs::path file = args.operands[i];
        // The stored photo is made first: a picture that cannot be read is skipped with the
        // gallery untouched, and the others still go in.
        Bytes photo;
        try {
            photo = storedGalleryPhoto(file);
        } catch (const Error& e) {
            ctx.report(std::string(e.what()) + "; not added");
            status = kProblem;
            continue;
        }
        const std::string date = givenDate ? *givenDate : pictureDate(file);
        const NewPhoto plan = planNewPhoto(gallery, date, comment);
        commitNewPhoto(gallery, plan, photo);
        ctx.out << "GALERIES/" << plan.record.fileName << '\t' << plan.record.date << '\t'
                << file.string() << '\n';
    }
    return status;
}

}  // namespace

Command addPhotoCommand() {
    return {"add-photo",
            "ID FILE... [--date dd/mm/yyyy] [--comment TEXT]",
            "Add pictures to a tree's gallery",
            "Each JPEG picture is stored as the photo editor's \"Ajouter\" stores it: under the\n"
            "next photo number, scaled to 600 pixels on its longer side, its record placed in\n"
            "date order. Prints one line per photo added: the stored photo, its date and the\n"
            "picture it came from. A picture that cannot be read is reported and skipped\n"
            "(exit status 1); the others are added.\n"
            "\n"
            "  --date dd/mm/yyyy  the date of every photo added; without it, the date the\n"
            "                     camera recorded (EXIF), else the file's modification date\n"
            "  --comment TEXT     the comment of every photo added (at most 100 characters)\n",
            {{"date", true}, {"comment", true}},
            2,
            kAnyNumber,
            FolderNeed::DataSet,
            true,
            runAddPhoto};
}

}  // namespace tavo::cli
