#include "common/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/regular_file.h"
#include "common/safe_replace.h"

namespace tavo {

RecordFile::RecordFile(const std::filesystem::path& path, std::size_t recordSize, Mode mode)
    : path_(path), recordSize_(recordSize) {
    switch (mode) {
        case Mode::Create:
            fd_ = io::Fd(io::openRegular(path, io::OpenFor::Create));
            break;
        case Mode::Read:
            fd_ = io::Fd(io::openRegular(path, io::OpenFor::Read));
            break;
        case Mode::ReadWrite:
            fd_ = io::Fd(io::openRegular(path, io::OpenFor::ReadWrite));
            break;
    }
    writable_ = mode != Mode::Read;
}

std::size_t RecordFile::count() const {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) throw IoError("size", path_, std::strerror(errno));
    return static_cast<std::size_t>(st.st_size) / recordSize_;
}

Bytes RecordFile::read(std::size_t index) const {
    Bytes out(recordSize_);
    io::preadAll(fd_.get(), out.data(), out.size(), static_cast<std::uint64_t>(index) * recordSize_,
                 path_);
    return out;
}

std::vector<Bytes> RecordFile::readAll() const {
    const std::size_t n = count();
    Bytes all(n * recordSize_);
    if (!all.empty()) io::preadAll(fd_.get(), all.data(), all.size(), 0, path_);
    std::vector<Bytes> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        out.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(i * recordSize_),
                         all.begin() + static_cast<std::ptrdiff_t>((i + 1) * recordSize_));
    return out;
}

void RecordFile::write(std::size_t index, const Bytes& record) {
    if (record.size() != recordSize_) throw IoError("write", path_, "wrong record size");
    io::pwriteAll(fd_.get(), record.data(), record.size(),
                  static_cast<std::uint64_t>(index) * recordSize_, path_);
}

void RecordFile::append(const Bytes& record) {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) throw IoError("size", path_, std::strerror(errno));
    const auto oldSize = static_cast<std::uint64_t>(st.st_size);
    const std::size_t n = static_cast<std::size_t>(oldSize) / recordSize_;
    const std::uint64_t end = static_cast<std::uint64_t>(n) * recordSize_;
    Bytes tail(static_cast<std::size_t>(oldSize - end));
    if (!tail.empty()) io::preadAll(fd_.get(), tail.data(), tail.size(), end, path_);
    try {
        write(n, record);
        if (::fsync(fd_.get()) != 0) throw IoError("flush", path_, std::strerror(errno));
    } catch (...) {
        // Cutting and rewriting bytes the file already held needs no new room on the disk.
        if (::ftruncate(fd_.get(), static_cast<off_t>(oldSize)) == 0 && !tail.empty()) {
            const ssize_t restored =
                ::pwrite(fd_.get(), tail.data(), tail.size(), static_cast<off_t>(end));
            (void)restored;  // the error being thrown says what went wrong
        }
        throw;
    }
}

void RecordFile::overwrite(std::size_t index, const Bytes& record) {
    if (index >= count()) throw IoError("write", path_, "no record " + std::to_string(index + 1));
    const Bytes old = read(index);
    try {
        write(index, record);
        if (::fsync(fd_.get()) != 0) throw IoError("flush", path_, std::strerror(errno));
    } catch (...) {
        // Bytes the file already holds take no new room on the disk.
        const ssize_t restored =
            ::pwrite(fd_.get(), old.data(), old.size(), static_cast<off_t>(index * recordSize_));
        (void)restored;  // the error being thrown says what went wrong
        throw;
    }
}

void RecordFile::truncate(std::size_t records) {
    if (::ftruncate(fd_.get(), static_cast<off_t>(records * recordSize_)) != 0)
        throw IoError("truncate", path_, std::strerror(errno));
}

void RecordFile::close() {
    if (!fd_.valid()) return;
    if (writable_ && ::fsync(fd_.get()) != 0) {
        const int e = errno;
        fd_.close();
        throw IoError("flush", path_, std::strerror(e));
    }
    if (fd_.close() != 0) throw IoError("close", path_, std::strerror(errno));
}

std::size_t countRecords(const std::filesystem::path& path, std::size_t recordSize) {
    RecordFile f(path, recordSize, RecordFile::Mode::Read);
    return f.count();
}

Bytes readWholeRecords(const std::filesystem::path& path, std::size_t recordSize,
                       std::size_t* tailBytes) {
    Bytes all = io::readFile(path);
    if (tailBytes) *tailBytes = all.size() % recordSize;
    all.resize(all.size() / recordSize * recordSize);
    return all;
}

void removeRecordThroughTmp(const std::filesystem::path& file, const std::filesystem::path& tmp,
                            std::size_t recordSize, std::size_t index) {
    Bytes all = readWholeRecords(file, recordSize);
    const std::size_t n = all.size() / recordSize;
    if (index < n) {
        const auto first = all.begin() + static_cast<std::ptrdiff_t>(index * recordSize);
        all.erase(first, first + static_cast<std::ptrdiff_t>(recordSize));
    }
    replaceFile(file, all, tmp);
}

}  // namespace tavo
