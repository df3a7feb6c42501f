// The buffer protocol of the spooler's Get and Enum functions: the caller's
// buffer receives an array of fixed records at its start, and the strings
// and DEVMODEs the records point to are packed at its end, as Windows does.
// A buffer that is too small (or none) gets nothing but the size needed.
//
// Every item is placed on an 8-byte boundary (relative to the buffer's
// start) so that the records and a DEVMODE are aligned when the caller's
// buffer is; the size needed counts that padding.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace w32::spool {

class Packer {
public:
    // Measures what `fixedSize` bytes of records and their data need.
    explicit Packer(size_t fixedSize) : fixed_(fixedSize) {}
    // Fills a buffer at least as large as a measuring pass said.
    Packer(BYTE* buffer, size_t size, size_t fixedSize) : buffer_(buffer), fixed_(fixedSize), top_(size & ~size_t(7)) {}

    // A NUL-terminated copy (null while measuring).
    LPWSTR String(std::u16string_view text) { return static_cast<LPWSTR>(Place(text.data(), text.size() * 2, 2)); }
    // Null for an empty string.
    LPWSTR OptionalString(std::u16string_view text) { return text.empty() ? nullptr : String(text); }
    // A list of NUL-terminated strings ending in an empty one; null for an empty list.
    LPWSTR MultiString(const std::vector<std::u16string>& items) {
        if (items.empty()) return nullptr;
        std::u16string text;
        for (const auto& item : items) {
            text += item;
            text += u'\0';
        }
        return static_cast<LPWSTR>(Place(text.data(), text.size() * 2, 2));
    }
    // A copy of bytes; null for none.
    void* Bytes(const std::vector<BYTE>& data) { return data.empty() ? nullptr : Place(data.data(), data.size(), 0); }

    size_t Needed() const { return (fixed_ + data_ + 7) & ~size_t(7); }

private:
    // Copies `size` bytes and `terminator` zero bytes below the last item.
    void* Place(const void* data, size_t size, size_t terminator) {
        size_t total = (size + terminator + 7) & ~size_t(7);
        data_ += total;
        if (!buffer_) return nullptr;
        top_ -= total;
        BYTE* target = buffer_ + top_;
        if (size) std::memcpy(target, data, size);
        std::memset(target + size, 0, total - size);
        return target;
    }

    BYTE* buffer_ = nullptr;
    size_t fixed_ = 0;
    size_t data_ = 0;
    size_t top_ = 0;
};

// Checks the buffer arguments of a Get or Enum function: RPC_X_NULL_REF_POINTER
// for a missing count, ERROR_INVALID_USER_BUFFER for a size without a buffer.
inline DWORD CheckBufferArguments(LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned, bool wantsReturned) {
    if (!needed || (wantsReturned && !returned)) return RPC_X_NULL_REF_POINTER;
    if (!buffer && size) return ERROR_INVALID_USER_BUFFER;
    return ERROR_SUCCESS;
}

// The protocol of the functions that fill a buffer with one item (a folder's
// path, printer data, a list of key names): *needed is its size in bytes
// always; a buffer too small for it gets nothing and `shortError`.
inline DWORD CopyToBuffer(const void* data, size_t bytes, LPBYTE buffer, DWORD size, LPDWORD needed, DWORD shortError) {
    *needed = DWORD(bytes);
    if (size < bytes) return shortError;
    if (bytes) std::memcpy(buffer, data, bytes);
    return ERROR_SUCCESS;
}

// Packs one record per item: `fill(packer, item, record)` sets a record's
// members. Gives ERROR_INSUFFICIENT_BUFFER (with *needed set and *returned
// 0) when the buffer is too small.
template <class Record, class Item, class Fill>
DWORD PackRecords(const std::vector<Item>& items, Fill fill, LPBYTE buffer, DWORD size, LPDWORD needed,
                  LPDWORD returned) {
    const size_t fixed = sizeof(Record) * items.size();
    Packer measure(fixed);
    for (const auto& item : items) {
        Record scratch{};
        fill(measure, item, scratch);
    }
    if (returned) *returned = 0;
    if (measure.Needed() > 0xFFFFFFFFu) return ERROR_NOT_ENOUGH_MEMORY;
    *needed = DWORD(measure.Needed());
    if (size < measure.Needed()) return ERROR_INSUFFICIENT_BUFFER;
    Packer packer(buffer, size, fixed);
    for (size_t i = 0; i < items.size(); ++i) {
        Record record{};
        fill(packer, items[i], record);
        // The caller's buffer need not be aligned for the record.
        std::memcpy(buffer + i * sizeof(Record), &record, sizeof(Record));
    }
    if (returned) *returned = DWORD(items.size());
    return ERROR_SUCCESS;
}

}  // namespace w32::spool
