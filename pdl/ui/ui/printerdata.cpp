// Records kept as pairs of printer-data values: a size value (REG_DWORD)
// and a data value (REG_BINARY) of that many bytes. The per-user slot's two
// names end with the user's name, so that each user keeps a record of their
// own.
#include "ui/ui/printerdata.h"

#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <memory>
#include <new>

#include "pcl6/intrface/util.h"

const PrinterDataSlot g_PrinterDataSlots[PRINTER_DATA_SLOT_COUNT] = {
    {u"PrinterDataSize", u"PrinterData"},
    {u"DeviceDataSize", u"DeviceData"},
    {u"PrivateDevmodeDataSize", u"PrivateDevmodeData"},
    {u"CustomPaperSize", u"CustomPaperData"},
    {u"FontDataSize", u"FontData"},
};

namespace {

// A name the layer returns in a buffer it sizes: asked for the size first.
template <class Query>
bool ReadName(Query query, std::unique_ptr<WCHAR[]>& name) {
    DWORD chars = 0;
    query(nullptr, &chars);
    if (chars == 0) return false;
    // One more than asked for: the computer name's answer leaves out the NUL.
    name.reset(new (std::nothrow) WCHAR[chars + 1]);
    if (!name) return false;
    DWORD size = chars + 1;
    if (!query(name.get(), &size)) return false;
    name[chars] = 0;
    return true;
}

// The slot's two value names in buffers of 260 characters.
bool BuildValueNames(int slot, LPWSTR sizeName, LPWSTR dataName) {
    if (slot < 0 || slot >= PRINTER_DATA_SLOT_COUNT) return false;
    lstrcpynW(sizeName, g_PrinterDataSlots[slot].sizeName, PRINTER_DATA_NAME_CHARS);
    lstrcpynW(dataName, g_PrinterDataSlots[slot].dataName, PRINTER_DATA_NAME_CHARS);
    if (slot != PRINTER_DATA_USER_DEVMODE) return true;
    // Without the user's name the record cannot be told apart from another
    // user's: no name, no record.
    WCHAR suffix[USER_NAME_SUFFIX_CHARS + 1];
    if (!GetUserNameSuffix(suffix, ARRAYSIZE(suffix), FALSE)) return false;
    const int sizeLength = lstrlenW(sizeName), dataLength = lstrlenW(dataName);
    lstrcpynW(sizeName + sizeLength, suffix, PRINTER_DATA_NAME_CHARS - sizeLength);
    lstrcpynW(dataName + dataLength, suffix, PRINTER_DATA_NAME_CHARS - dataLength);
    return true;
}

}  // namespace

BOOL GetUserNameSuffix(LPWSTR buffer, DWORD bufferChars, BOOL withComputer) {
    if (!buffer || bufferChars <= USER_NAME_SUFFIX_CHARS) return FALSE;
    buffer[0] = 0;
    std::unique_ptr<WCHAR[]> user;
    if (!ReadName([](LPWSTR name, LPDWORD size) { return GetUserNameW(name, size); }, user)) return FALSE;
    std::unique_ptr<WCHAR[]> computer;
    if (withComputer &&
        !ReadName([](LPWSTR name, LPDWORD size) { return GetComputerNameW(name, size); }, computer))
        return FALSE;
    // The name is cut after the computer name has been added.
    lstrcpynW(buffer, user.get(), USER_NAME_SUFFIX_CHARS + 1);
    if (withComputer) {
        int length = lstrlenW(buffer);
        if (length < USER_NAME_SUFFIX_CHARS) {
            buffer[length++] = u'\\';
            buffer[length] = 0;
            lstrcpynW(buffer + length, computer.get(), USER_NAME_SUFFIX_CHARS + 1 - length);
        }
    }
    return TRUE;
}

LPBYTE ReadPrinterDataBlock(HANDLE printer, DWORD* size, int slot) {
    WCHAR sizeName[PRINTER_DATA_NAME_CHARS], dataName[PRINTER_DATA_NAME_CHARS];
    if (!BuildValueNames(slot, sizeName, dataName)) return nullptr;

    DWORD blockSize = 0, type = 0, needed = 0;
    if (GetPrinterDataW(printer, sizeName, &type, reinterpret_cast<LPBYTE>(&blockSize), sizeof(blockSize),
                        &needed) != ERROR_SUCCESS ||
        blockSize == 0)
        return nullptr;
    auto* block = static_cast<LPBYTE>(Util_GlobalAlloc(nullptr, blockSize));
    if (!block) return nullptr;
    // Exactly the size value's bytes: stored data that is longer does not
    // fit and gives no record.
    needed = 0;
    if (GetPrinterDataW(printer, dataName, &type, block, blockSize, &needed) != ERROR_SUCCESS) {
        Util_GlobalFree(nullptr, block);
        return nullptr;
    }
    // Stored data shorter than its size value keeps the size value as its
    // length; the bytes it does not reach are zero, never what the block
    // held before.
    if (needed < blockSize) std::memset(block + needed, 0, blockSize - needed);
    if (size) *size = blockSize;
    return block;
}

BOOL WritePrinterDataBlock(HANDLE printer, const void* data, DWORD size, int slot) {
    WCHAR sizeName[PRINTER_DATA_NAME_CHARS], dataName[PRINTER_DATA_NAME_CHARS];
    if (!BuildValueNames(slot, sizeName, dataName)) return FALSE;
    DWORD status = SetPrinterDataW(printer, sizeName, REG_DWORD, reinterpret_cast<LPBYTE>(&size), sizeof(size));
    if (status == ERROR_SUCCESS)
        status = SetPrinterDataW(printer, dataName, REG_BINARY, static_cast<LPBYTE>(const_cast<void*>(data)), size);
    if (status == ERROR_SUCCESS) return TRUE;
    SetLastError(status);
    return FALSE;
}

DriverDataRecord* ReadDriverData(HANDLE printer) {
    auto* record = static_cast<DriverDataRecord*>(Util_GlobalAlloc(nullptr, sizeof(DriverDataRecord)));
    if (!record) return nullptr;
    DWORD size = 0;
    LPBYTE stored = ReadPrinterDataBlock(printer, &size, PRINTER_DATA_DRIVER);
    if (stored) {
        // An older, shorter record leaves the rest zero.
        std::memcpy(record, stored, size < sizeof(*record) ? size : sizeof(*record));
        Util_GlobalFree(nullptr, stored);
    } else {
        record->version = DRIVER_DATA_VERSION;
        record->size = sizeof(DriverDataRecord);
        record->reserved = 0;
    }
    return record;
}

BOOL WriteDriverData(HANDLE printer, const DriverDataRecord* record, DWORD size) {
    if (!record || size > sizeof(DriverDataRecord)) return FALSE;
    return WritePrinterDataBlock(printer, record, size, PRINTER_DATA_DRIVER);
}
