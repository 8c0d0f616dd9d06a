#include "exchange/output_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/errors.h"
#include "common/file_io.h"

namespace tavo {

namespace fs = std::filesystem;

namespace {

bool isInside(const fs::path& inner, const fs::path& outer) {
    const fs::path a = fs::weakly_canonical(inner), b = fs::weakly_canonical(outer);
    auto i = a.begin();
    for (auto o = b.begin(); o != b.end(); ++o, ++i) {
        if (o->empty()) continue;  // trailing separator
        if (i == a.end() || *i != *o) return false;
    }
    return true;
}

}  // namespace

FolderRefusal folderRefusal(const fs::path& root, const fs::path& forbidden) {
    if (!forbidden.empty() && isInside(root, forbidden)) return FolderRefusal::InsideDataFolder;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(root, ec))) return FolderRefusal::None;
    if (!fs::is_directory(fs::status(root, ec))) return FolderRefusal::NotAFolder;
    if (!fs::is_empty(root, ec) || ec) return FolderRefusal::NotEmpty;
    return FolderRefusal::None;
}

OutputFolder::OutputFolder(fs::path root, Durability durability, const fs::path& forbidden)
    : root_(std::move(root)), durability_(durability) {
    switch (folderRefusal(root_, forbidden)) {
        case FolderRefusal::InsideDataFolder:
            throw RefusedError("The folder \"" + root_.string() + "\" lies inside the data folder");
        case FolderRefusal::NotAFolder:
            throw RefusedError("\"" + root_.string() + "\" is not a folder");
        case FolderRefusal::NotEmpty:
            throw RefusedError("The folder \"" + root_.string() + "\" is not empty");
        case FolderRefusal::None:
            break;
    }
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(root_, ec))) {
        if (!fs::create_directories(root_, ec) || ec)
            throw IoError("create folder", root_, ec.message());
        createdRoot_ = true;
    }
}

OutputFolder::~OutputFolder() {
    if (!committed_) discard();
}

void OutputFolder::makeFolder(const fs::path& rel) {
    const fs::path p = root_ / rel;
    if (::mkdir(p.c_str(), 0755) != 0) {
        if (errno == EEXIST && fs::is_directory(fs::symlink_status(p))) return;
        throw IoError("create folder", p, std::strerror(errno));
    }
    written_.push_back(p);
}

void OutputFolder::write(const fs::path& rel, std::string_view bytes) {
    const fs::path p = root_ / rel;
    io::Fd fd(::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.valid()) throw IoError("create", p, std::strerror(errno));
    written_.push_back(p);
    io::writeAll(fd.get(), bytes.data(), bytes.size(), p);
    if (durability_ == Durability::DataFolder && ::fsync(fd.get()) != 0)
        throw IoError("flush", p, std::strerror(errno));
    if (fd.close() != 0) throw IoError("close", p, std::strerror(errno));
}

void OutputFolder::write(const fs::path& rel, const Bytes& bytes) {
    write(rel, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void OutputFolder::copy(const fs::path& source, const fs::path& rel) {
    io::Fd in(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!in.valid()) throw IoError("open", source, std::strerror(errno));
    struct stat st {};
    if (::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw IoError("copy", source, "not a regular file");
    const fs::path p = root_ / rel;
    io::Fd out(::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!out.valid()) throw IoError("create", p, std::strerror(errno));
    written_.push_back(p);
    // The kernel copies (or shares) the blocks; photos are thousands of files.
    auto left = static_cast<std::size_t>(st.st_size);
    while (left > 0) {
        const ssize_t n = ::copy_file_range(in.get(), nullptr, out.get(), nullptr, left, 0);
        if (n < 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            const Bytes rest = io::readFile(source);
            const auto done = static_cast<std::size_t>(st.st_size) - left;
            io::pwriteAll(out.get(), rest.data() + done, rest.size() - done, done, p);
            break;
        }
        if (n < 0) throw IoError("copy", p, std::strerror(errno));
        if (n == 0) throw IoError("copy", source, "file shorter than announced");
        left -= static_cast<std::size_t>(n);
    }
    if (durability_ == Durability::DataFolder && ::fsync(out.get()) != 0)
        throw IoError("flush", p, std::strerror(errno));
    in.close();
    if (out.close() != 0) throw IoError("close", p, std::strerror(errno));
}

void OutputFolder::commit() {
    if (durability_ == Durability::DataFolder) {
        // The files are flushed; their names live in the folders, which are flushed last.
        for (const auto& p : written_)
            if (fs::is_directory(fs::symlink_status(p))) io::syncFolder(p);
        io::syncFolder(root_);
        io::syncFolder(root_.parent_path());
    }
    committed_ = true;
}

void OutputFolder::discard() {
    std::error_code ec;
    for (auto it = written_.rbegin(); it != written_.rend(); ++it) fs::remove(*it, ec);
    written_.clear();
    if (createdRoot_) fs::remove(root_, ec);
    committed_ = true;
}

}  // namespace tavo
