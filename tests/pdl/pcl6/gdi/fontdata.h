// Writes the rendering DLL's font-substitution file on a test machine.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace tam::test {

// One 1026-byte entry: a face name and the resident font replacing it.
inline std::vector<BYTE> FontEntry(std::u16string_view face, WORD residentIndex) {
    std::vector<BYTE> entry(1026, 0);
    for (size_t i = 0; i < face.size() && i < 256; ++i) {
        entry[2 * i] = BYTE(face[i]);
        entry[2 * i + 1] = BYTE(face[i] >> 8);
    }
    entry[512] = BYTE(residentIndex);
    entry[513] = BYTE(residentIndex >> 8);
    return entry;
}

// "%APPDATA%\Korvan\Tamkit\Tamkitfont.dat" with these bytes.
inline void WriteFontData(const std::vector<BYTE>& bytes) {
    WCHAR folder[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder), S_OK);
    std::u16string path = std::u16string(folder) + u"\\Korvan\\Tamkit";
    const int created = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    ASSERT_TRUE(created == ERROR_SUCCESS || created == ERROR_ALREADY_EXISTS);
    path += u"\\Tamkitfont.dat";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
    CloseHandle(file);
}

// A file of a count followed by entries.
inline std::vector<BYTE> FontFile(UINT32 count, const std::vector<std::vector<BYTE>>& entries) {
    std::vector<BYTE> bytes = {BYTE(count), BYTE(count >> 8), BYTE(count >> 16), BYTE(count >> 24)};
    for (const auto& entry : entries) bytes.insert(bytes.end(), entry.begin(), entry.end());
    return bytes;
}

}  // namespace tam::test
