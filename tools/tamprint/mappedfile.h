// A file mapped for reading, so that a long job is decoded without being
// read into memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tamprint {

class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // Maps the whole file; an empty file maps to no bytes.
    bool Map(const std::filesystem::path& path, std::string& error);

    std::span<const uint8_t> Bytes() const;

private:
    void* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace tamprint
