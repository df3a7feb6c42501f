// A fresh machine per test, with helpers that keep registry tests short.
// Keys opened through the helpers are closed when the test ends.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/machine_fixture.h"

namespace tam::test {

class RegistryTest : public MachineTest {
protected:
    void TearDown() override {
        for (HKEY key : opened_) RegCloseKey(key);
        opened_.clear();
        MachineTest::TearDown();
    }

    HKEY Create(HKEY parent, const std::u16string& path, REGSAM sam = KEY_ALL_ACCESS, DWORD options = 0) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        LONG status = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, options, sam, nullptr, &key, &disposition);
        EXPECT_EQ(status, ERROR_SUCCESS) << "creating " << w32::ToUtf8(path);
        if (key) opened_.push_back(key);
        return key;
    }

    // Creates a key (and the keys on its way) and closes it.
    static void Make(HKEY parent, const std::u16string& path, REGSAM sam = KEY_ALL_ACCESS, DWORD options = 0) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(parent, path.c_str(), 0, nullptr, options, sam, nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << "creating " << w32::ToUtf8(path);
        if (key) RegCloseKey(key);
    }

    // Null when the key cannot be opened.
    HKEY Open(HKEY parent, const std::u16string& path, REGSAM sam = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, path.c_str(), 0, sam, &key) != ERROR_SUCCESS) return nullptr;
        opened_.push_back(key);
        return key;
    }

    void Track(HKEY key) { opened_.push_back(key); }

    static void Set(HKEY key, const std::u16string& name, DWORD type, const void* data, DWORD size) {
        EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS)
            << "setting " << w32::ToUtf8(name);
    }
    static void SetString(HKEY key, const std::u16string& name, const std::u16string& value, DWORD type = REG_SZ) {
        Set(key, name, type, value.c_str(), DWORD((value.size() + 1) * sizeof(WCHAR)));
    }
    static void SetDword(HKEY key, const std::u16string& name, DWORD value) {
        Set(key, name, REG_DWORD, &value, sizeof(value));
    }

    // The value's bytes and type through RegQueryValueExW; empty on failure.
    static std::vector<BYTE> Query(HKEY key, const std::u16string& name, DWORD* type = nullptr) {
        DWORD size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS) return {};
        std::vector<BYTE> data(size);
        EXPECT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, type, data.data(), &size), ERROR_SUCCESS);
        data.resize(size);
        return data;
    }
    // A string value without its terminator.
    static std::u16string QueryString(HKEY key, const std::u16string& name) {
        std::vector<BYTE> data = Query(key, name);
        std::u16string text(data.size() / 2, u'\0');
        if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * 2);
        while (!text.empty() && text.back() == 0) text.pop_back();
        return text;
    }

    static std::vector<std::u16string> SubkeyNames(HKEY key) {
        return Names([&](DWORD i, WCHAR* name, DWORD* length) {
            return RegEnumKeyExW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

    static std::vector<std::u16string> ValueNames(HKEY key) {
        return Names([&](DWORD i, WCHAR* name, DWORD* length) {
            return RegEnumValueW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

private:
    // The names `enumerate(index, name, &length)` gives, index by index, until
    // ERROR_NO_MORE_ITEMS.
    template <class Enumerate>
    static std::vector<std::u16string> Names(Enumerate enumerate) {
        std::vector<std::u16string> names;
        for (DWORD i = 0;; ++i) {
            WCHAR name[256];
            DWORD length = 256;
            LONG status = enumerate(i, name, &length);
            if (status == ERROR_NO_MORE_ITEMS) break;
            EXPECT_EQ(status, ERROR_SUCCESS);
            if (status != ERROR_SUCCESS) break;
            names.emplace_back(name, length);
        }
        return names;
    }

    std::vector<HKEY> opened_;
};

inline std::vector<BYTE> Bytes(const void* data, size_t size) {
    const BYTE* p = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(p, p + size);
}

}  // namespace tam::test
