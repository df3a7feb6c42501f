// The spooler's job file mapped for the decoder.
#include "mappedfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tamprint {

MappedFile::~MappedFile() {
    if (data_ && data_ != MAP_FAILED) munmap(data_, size_);
}

bool MappedFile::Map(const std::filesystem::path& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = "cannot read the spooler's job file " + path.string() + ": " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return false;
    }
    size_ = size_t(info.st_size);
    if (size_ > 0) data_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (data_ == MAP_FAILED) {
        error = "cannot read the spooler's job file " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::span<const uint8_t> MappedFile::Bytes() const {
    return size_ ? std::span<const uint8_t>(static_cast<const uint8_t*>(data_), size_) : std::span<const uint8_t>();
}

}  // namespace tamprint
