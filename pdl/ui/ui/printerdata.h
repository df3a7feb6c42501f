// Records the user interface keeps in the printer's own data (the spooler's
// per-printer store): each record is a pair of values, a REG_DWORD size value
// holding the byte length of a REG_BINARY data value.
#pragma once
#include <windows.h>

#include <cstddef>

// The record DrvUpgradePrinter keeps in slot 0 ("PrinterData").
#pragma pack(push, 1)
struct DriverDataRecord {
    UINT16 version;  // 0x600
    UINT16 size;     // 8, the record's own size
    UINT32 reserved;
};
#pragma pack(pop)
static_assert(sizeof(DriverDataRecord) == 8);
static_assert(offsetof(DriverDataRecord, size) == 2);
static_assert(offsetof(DriverDataRecord, reserved) == 4);

#define DRIVER_DATA_VERSION 0x600

// The five value pairs, by slot.
enum PrinterDataSlotIndex {
    PRINTER_DATA_DRIVER = 0,       // the DriverDataRecord
    PRINTER_DATA_DEVICE = 1,       // not used by the user interface
    PRINTER_DATA_USER_DEVMODE = 2, // one user's devmode (public part, then private)
    PRINTER_DATA_CUSTOM_PAPER = 3, // not used by the user interface
    PRINTER_DATA_FONT = 4,         // not used by the user interface
    PRINTER_DATA_SLOT_COUNT
};

struct PrinterDataSlot {
    LPCWSTR sizeName;
    LPCWSTR dataName;
};
extern const PrinterDataSlot g_PrinterDataSlots[PRINTER_DATA_SLOT_COUNT];

// Characters of the buffers the value names are built in.
#define PRINTER_DATA_NAME_CHARS 260
// Characters of the user-name suffix, without its terminator.
#define USER_NAME_SUFFIX_CHARS 31

// The user's logon name (with "\" and the computer name when asked), cut to
// its first 31 characters, into a buffer of `bufferChars` characters (at
// least 32). FALSE, with the buffer empty, when a name cannot be read.
BOOL GetUserNameSuffix(LPWSTR buffer, DWORD bufferChars, BOOL withComputer);

// The data value of `slot` in a new block (Util_GlobalAlloc; the caller frees
// it with Util_GlobalFree(nullptr, block)), its length being the slot's size
// value; the length goes to `size` when given. Bytes the stored data does not
// reach are zero. Null when the size value is missing or 0, when the data
// value is missing or longer than the size value says, or when memory runs
// out. Slot 2's names carry the user's name.
LPBYTE ReadPrinterDataBlock(HANDLE printer, DWORD* size, int slot);

// Writes the size value and then, when that succeeded, the data value of
// `slot`. TRUE when both were written; otherwise FALSE with the last error
// set to the spooler's answer.
BOOL WritePrinterDataBlock(HANDLE printer, const void* data, DWORD size, int slot);

// The printer's DriverDataRecord in a new block freed with
// Util_GlobalFree(nullptr, block): the stored bytes (at most 8, the rest zero),
// or {0x600, 8, 0} when there is none; null only when memory runs out.
DriverDataRecord* ReadDriverData(HANDLE printer);

// Writes `size` bytes of `record` as the printer's DriverDataRecord.
BOOL WriteDriverData(HANDLE printer, const DriverDataRecord* record, DWORD size);
