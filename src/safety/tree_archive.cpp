#include "safety/tree_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <system_error>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "common/safe_replace.h"
#include "photos/gallery_file.h"

namespace tavo {
namespace {

#ifdef ZIP_LENGTH_TO_END
constexpr zip_int64_t kWholeFile = ZIP_LENGTH_TO_END;
#else
constexpr zip_int64_t kWholeFile = -1;
#endif

// The zip facility's normal Deflate level.
constexpr zip_uint32_t kNormalLevel = 6;

// The archive of a tree whose files are all missing: only the end-of-central-directory record
// (libzip writes no file at all for an archive without entries).
constexpr unsigned char kEmptyZip[22] = {'P', 'K', 5, 6};

std::string zipReason(zip_t* za) {
    return zip_error_strerror(zip_get_error(za));
}

void writeZip(const fs::path& zipPath, const std::vector<ArchiveEntry>& entries,
              const fs::path& shownPath) {
    int err = 0;
    zip_t* za = zip_open(zipPath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, err);
        const std::string why = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        throw IoError("create archive", shownPath, why);
    }
    try {
        for (const ArchiveEntry& e : entries) {
            zip_source_t* src = zip_source_file(za, e.source.c_str(), 0, kWholeFile);
            if (!src) throw IoError("read", e.source, zipReason(za));
            const zip_int64_t index = zip_file_add(za, e.name.c_str(), src, ZIP_FL_ENC_UTF_8);
            if (index < 0) {
                zip_source_free(src);
                throw IoError("add to archive", e.source, zipReason(za));
            }
            if (zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                         kNormalLevel) != 0)
                throw IoError("add to archive", e.source, zipReason(za));
        }
        // The files are read here.
        if (zip_close(za) != 0) throw IoError("write archive", shownPath, zipReason(za));
    } catch (...) {
        zip_discard(za);
        throw;
    }
}

}  // namespace

std::string treeArchiveName(const std::string& treeId) {
    return "Tavo-" + treeId + ".zip";
}

std::vector<ArchiveEntry> treeArchiveEntries(const DataPaths& data, const std::string& treeId,
                                             const std::vector<std::string>& galleryPhotos) {
    if (!isBareFileName(treeId))
        throw RefusedError("Identifiant d'arbre invalide : \"" + treeId + "\"");
    // Each file is stored under the name it has in the data folder.
    std::vector<ArchiveEntry> planned;
    for (const fs::path& file :
         {data.referencePhoto(treeId), data.card(treeId), data.works(treeId), data.gallery(treeId)})
        planned.push_back({file, file.filename().string()});
    for (const std::string& photo : galleryPhotos)
        if (isBareFileName(photo)) planned.push_back({data.galeries() / photo, photo});

    std::vector<ArchiveEntry> entries;
    std::set<std::string> names;
    for (ArchiveEntry& e : planned) {
        std::error_code ec;
        const fs::file_status st = fs::status(e.source, ec);
        if (st.type() == fs::file_type::not_found) continue;
        if (ec) throw IoError("open", e.source, ec.message());
        if (st.type() != fs::file_type::regular) throw IoError("read", e.source, "not a file");
        if (!names.insert(e.name).second) continue;  // one photo named twice is packed once
        entries.push_back(std::move(e));
    }
    return entries;
}

fs::path makeTreeArchive(const DataPaths& data, const std::string& treeId,
                         const std::vector<std::string>& galleryPhotos,
                         const fs::path& targetFolder) {
    const std::vector<ArchiveEntry> entries = treeArchiveEntries(data, treeId, galleryPhotos);
    const std::string name = treeArchiveName(treeId);
    const fs::path target = targetFolder / name;

    // An existing archive stays until the new one is whole.
    SafeReplace archive(target);
    if (entries.empty())
        archive.write(kEmptyZip, sizeof kEmptyZip);
    else
        archive.writeWith([&](const fs::path& tmp) { writeZip(tmp, entries, target); });
    archive.commit();
    return target;
}

fs::path makeTreeArchive(const DataPaths& data, const std::string& treeId,
                         const fs::path& targetFolder) {
    std::vector<std::string> photos;
    for (const PhotoRecord& record : GalleryFile(data, treeId).readAll())
        photos.push_back(record.fileName);
    return makeTreeArchive(data, treeId, photos, targetFolder);
}

}  // namespace tavo
