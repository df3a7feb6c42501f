// A machine for the file tests, with helpers that set up and inspect files
// on the host side, so that a test checks the Win32 functions against what
// is really on disk.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/machine_fixture.h"

namespace tam::test {

class FileTest : public MachineTest {
protected:
    // Writes a file (and its folders) directly on the host.
    void PutHostFile(std::u16string_view path, const std::string& bytes) {
        auto host = HostPath(path);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary) << bytes;
    }

    // The bytes of a file on the host; empty if missing.
    std::string HostContents(std::u16string_view path) const {
        std::ifstream in(HostPath(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool HostExists(std::u16string_view path) const { return std::filesystem::exists(HostPath(path)); }

    // The names in a host folder, as they are spelled there.
    std::vector<std::string> HostNames(std::u16string_view folder) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(HostPath(folder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Closes a handle when the scope ends.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (handle_ != INVALID_HANDLE_VALUE && handle_) CloseHandle(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now; false when CloseHandle fails.
    bool Close() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != FALSE;
    }

private:
    HANDLE handle_;
};

inline HANDLE OpenForRead(LPCWSTR path, DWORD share = FILE_SHARE_READ) {
    return CreateFileW(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

inline HANDLE OpenForWrite(LPCWSTR path, DWORD disposition = OPEN_EXISTING, DWORD share = 0) {
    return CreateFileW(path, GENERIC_WRITE, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace tam::test
