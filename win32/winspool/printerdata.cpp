// Printer data: named, typed values kept below a printer's key. The plain
// functions use its PrinterDriverData key; the Ex functions name a key below
// the printer's key ("PrinterDriverData" being the same as the plain ones).
// Reading needs any handle to the printer; changing needs one opened with
// PRINTER_ACCESS_ADMINISTER.
#include <windows.h>

#include "machine/paths.h"
#include "machine/unicode.h"
#include "winspool/packer.h"
#include "winspool/printhandle.h"
#include "winspool/spooler.h"
#include "winspool/store.h"

using namespace w32::spool;
using w32::RegistryKeyPtr;
using w32::RegistryValue;

namespace {

// A key path below the printer's key: ERROR_INVALID_PARAMETER when it names none.
DWORD SplitKeyName(LPCWSTR keyName, std::vector<std::u16string>& parts) {
    parts.clear();
    std::u16string part;
    for (const WCHAR* p = keyName; p && *p; ++p) {
        if (*p != u'\\') {
            part += *p;
            continue;
        }
        if (!part.empty()) parts.push_back(std::move(part));
        part.clear();
    }
    if (!part.empty()) parts.push_back(std::move(part));
    for (const auto& name : parts)
        if (name.size() > w32::kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    return parts.empty() ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

RegistryKeyPtr FindBelow(const RegistryKeyPtr& printer, const std::vector<std::u16string>& parts) {
    RegistryKeyPtr key = printer;
    for (const auto& name : parts) {
        key = key->FindSubkey(name);
        if (!key) break;
    }
    return key;
}

DWORD EnsureBelow(Call& call, const RegistryKeyPtr& printer, const std::vector<std::u16string>& parts,
                  RegistryKeyPtr& key) {
    key = printer;
    for (const auto& name : parts) {
        RegistryKeyPtr next;
        if (DWORD status = CreateSubkey(call, key, name, next)) return status;
        key = next;
    }
    return ERROR_SUCCESS;
}

// The handle's printer, and its right to change the printer's data when asked.
DWORD ResolveForData(Call& call, HANDLE hPrinter, bool change, PrinterHandlePtr& handle, RegistryKeyPtr& printer) {
    if (DWORD status = ResolveHandle(call, hPrinter, handle, printer)) return status;
    if (change && !(handle->access & (handle->server ? SERVER_ACCESS_ADMINISTER : PRINTER_ACCESS_ADMINISTER)))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// The size protocol of printer data: the type and size always; the bytes
// when they fit, else ERROR_MORE_DATA.
DWORD CopyValue(DWORD type, const std::vector<BYTE>& data, LPDWORD pType, LPBYTE pData, DWORD nSize,
                LPDWORD pcbNeeded) {
    if (pType) *pType = type;
    return CopyToBuffer(data.data(), data.size(), pData, nSize, pcbNeeded, ERROR_MORE_DATA);
}

std::vector<BYTE> StringBytes(std::u16string_view text) {
    std::vector<BYTE> bytes((text.size() + 1) * sizeof(WCHAR), 0);
    if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size() * sizeof(WCHAR));
    return bytes;
}

// What a handle to the print server answers.
DWORD ServerValue(Call& call, std::u16string_view name, DWORD& type, std::vector<BYTE>& data) {
    auto dword = [&](DWORD value) {
        type = REG_DWORD;
        data.resize(sizeof(DWORD));
        std::memcpy(data.data(), &value, sizeof(DWORD));
    };
    if (w32::NamesEqual(name, SPLREG_DEFAULT_SPOOL_DIRECTORY)) {
        type = REG_SZ;
        data = StringBytes(ReadString(call.Find(kPrintersKey), u"DefaultSpoolDirectory"));
    } else if (w32::NamesEqual(name, SPLREG_ARCHITECTURE)) {
        type = REG_SZ;
        data = StringBytes(LocalEnvironmentName());
    } else if (w32::NamesEqual(name, SPLREG_MAJOR_VERSION)) {
        dword(3);
    } else if (w32::NamesEqual(name, SPLREG_MINOR_VERSION)) {
        dword(0);
    } else {
        return ERROR_INVALID_PARAMETER;
    }
    return ERROR_SUCCESS;
}

DWORD GetImpl(Call& call, HANDLE hPrinter, LPCWSTR keyName, LPCWSTR valueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
              LPDWORD pcbNeeded) {
    if (DWORD status = CheckBufferArguments(pData, nSize, pcbNeeded, nullptr, false)) return status;
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolveForData(call, hPrinter, false, handle, printer)) return status;
    if (!valueName) return ERROR_INVALID_PARAMETER;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (handle->server) {
        if (DWORD status = ServerValue(call, valueName, type, data)) return status;
        return CopyValue(type, data, pType, pData, nSize, pcbNeeded);
    }
    std::vector<std::u16string> parts;
    if (DWORD status = SplitKeyName(keyName, parts)) return status;
    RegistryKeyPtr key = FindBelow(printer, parts);
    const RegistryValue* value = key ? key->FindValue(valueName) : nullptr;
    if (!value) return ERROR_FILE_NOT_FOUND;
    return CopyValue(value->type, value->data, pType, pData, nSize, pcbNeeded);
}

DWORD SetImpl(Call& call, HANDLE hPrinter, LPCWSTR keyName, LPCWSTR valueName, DWORD type, const BYTE* data,
              DWORD size) {
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolveForData(call, hPrinter, true, handle, printer)) return status;
    // The server's settings are fixed here.
    if (handle->server) return ERROR_NOT_SUPPORTED;
    if (!valueName || (!data && size)) return ERROR_INVALID_PARAMETER;
    if (w32::WideLength(valueName) > w32::kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string> parts;
    if (DWORD status = SplitKeyName(keyName, parts)) return status;
    RegistryKeyPtr key;
    if (DWORD status = EnsureBelow(call, printer, parts, key)) return status;
    return DWORD(call.registry().SetValue(key, valueName, type, data, size));
}

DWORD DeleteValueImpl(Call& call, HANDLE hPrinter, LPCWSTR keyName, LPCWSTR valueName) {
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolveForData(call, hPrinter, true, handle, printer)) return status;
    if (handle->server) return ERROR_NOT_SUPPORTED;
    if (!valueName) return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string> parts;
    if (DWORD status = SplitKeyName(keyName, parts)) return status;
    RegistryKeyPtr key = FindBelow(printer, parts);
    if (!key || !key->FindValue(valueName)) return ERROR_FILE_NOT_FOUND;
    return DWORD(call.registry().DeleteValue(key, valueName));
}

DWORD EnumDataImpl(Call& call, HANDLE hPrinter, DWORD index, LPWSTR pValueName, DWORD cbValueName, LPDWORD pcbValueName,
                   LPDWORD pType, LPBYTE pData, DWORD cbData, LPDWORD pcbData) {
    if (!pcbValueName || !pcbData) return RPC_X_NULL_REF_POINTER;
    if ((!pValueName && cbValueName) || (!pData && cbData)) return ERROR_INVALID_USER_BUFFER;
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, printer)) return status;
    RegistryKeyPtr key = printer->FindSubkey(kPrinterDataKey);
    size_t count = key ? key->ValueCount() : 0;
    if (index >= count) return ERROR_NO_MORE_ITEMS;
    // Both sizes zero asks for the largest name and data of the key.
    if (cbValueName == 0 && cbData == 0) {
        *pcbValueName = DWORD((key->LongestValueName() + 1) * sizeof(WCHAR));
        *pcbData = DWORD(key->LargestValueData());
        return ERROR_SUCCESS;
    }
    const RegistryValue* value = key->ValueAt(index);
    DWORD nameBytes = DWORD((value->name.size() + 1) * sizeof(WCHAR));
    *pcbValueName = nameBytes;
    *pcbData = DWORD(value->data.size());
    if (pType) *pType = value->type;
    if (cbValueName < nameBytes || cbData < value->data.size()) return ERROR_MORE_DATA;
    std::memcpy(pValueName, value->name.c_str(), nameBytes);
    if (!value->data.empty()) std::memcpy(pData, value->data.data(), value->data.size());
    return ERROR_SUCCESS;
}

void FillValue(Packer& p, const RegistryValue& value, PRINTER_ENUM_VALUESW& out) {
    out.pValueName = p.String(value.name);
    out.cbValueName = DWORD((value.name.size() + 1) * sizeof(WCHAR));
    out.dwType = value.type;
    out.pData = static_cast<LPBYTE>(p.Bytes(value.data));
    out.cbData = DWORD(value.data.size());
}

DWORD EnumDataExImpl(Call& call, HANDLE hPrinter, LPCWSTR keyName, LPBYTE buffer, DWORD size, LPDWORD needed,
                     LPDWORD returned) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, returned, true)) return status;
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, printer)) return status;
    std::vector<std::u16string> parts;
    if (DWORD status = SplitKeyName(keyName, parts)) return status;
    RegistryKeyPtr key = FindBelow(printer, parts);
    if (!key) return ERROR_FILE_NOT_FOUND;
    std::vector<RegistryValue> values;
    for (size_t i = 0; i < key->ValueCount(); ++i) values.push_back(*key->ValueAt(i));
    DWORD status = PackRecords<PRINTER_ENUM_VALUESW>(values, FillValue, buffer, size, needed, returned);
    // Printer data reports a short buffer as the registry does.
    return status == ERROR_INSUFFICIENT_BUFFER ? ERROR_MORE_DATA : status;
}

// The names of a key's subkeys as a list of NUL-terminated strings ending in
// an empty one. An empty key name is the printer's own key.
DWORD EnumKeyImpl(Call& call, HANDLE hPrinter, LPCWSTR keyName, LPWSTR pSubkey, DWORD cbSubkey, LPDWORD pcbSubkey) {
    if (!pcbSubkey) return RPC_X_NULL_REF_POINTER;
    if (!keyName) return ERROR_INVALID_PARAMETER;
    if (!pSubkey && cbSubkey) return ERROR_INVALID_USER_BUFFER;
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, printer)) return status;
    std::vector<std::u16string> parts;
    RegistryKeyPtr key = printer;
    if (*keyName) {
        if (DWORD status = SplitKeyName(keyName, parts)) return status;
        key = FindBelow(printer, parts);
        if (!key) return ERROR_FILE_NOT_FOUND;
    }
    std::u16string list;
    for (size_t i = 0; i < key->SubkeyCount(); ++i) {
        list += key->SubkeyAt(i)->Name();
        list += u'\0';
    }
    list += u'\0';
    return CopyToBuffer(list.data(), list.size() * sizeof(WCHAR), reinterpret_cast<LPBYTE>(pSubkey), cbSubkey,
                        pcbSubkey, ERROR_MORE_DATA);
}

DWORD DeleteKeyImpl(Call& call, HANDLE hPrinter, LPCWSTR keyName) {
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolveForData(call, hPrinter, true, handle, printer)) return status;
    if (handle->server) return ERROR_NOT_SUPPORTED;
    std::vector<std::u16string> parts;
    if (DWORD status = SplitKeyName(keyName, parts)) return status;
    RegistryKeyPtr key = FindBelow(printer, parts);
    if (!key) return ERROR_FILE_NOT_FOUND;
    return DWORD(call.registry().DeleteTree(key, true));
}

}  // namespace

DWORD WINAPI GetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                             LPDWORD pcbNeeded) {
    return GetPrinterDataExW(hPrinter, kPrinterDataKey.data(), pValueName, pType, pData, nSize, pcbNeeded);
}

DWORD WINAPI GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData,
                               DWORD nSize, LPDWORD pcbNeeded) {
    return RunStatus(
        [&](Call& call) { return GetImpl(call, hPrinter, pKeyName, pValueName, pType, pData, nSize, pcbNeeded); });
}

DWORD WINAPI SetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData) {
    return SetPrinterDataExW(hPrinter, kPrinterDataKey.data(), pValueName, Type, pData, cbData);
}

DWORD WINAPI SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type, LPBYTE pData,
                               DWORD cbData) {
    return RunStatus([&](Call& call) { return SetImpl(call, hPrinter, pKeyName, pValueName, Type, pData, cbData); });
}

DWORD WINAPI EnumPrinterDataW(HANDLE hPrinter, DWORD dwIndex, LPWSTR pValueName, DWORD cbValueName,
                              LPDWORD pcbValueName, LPDWORD pType, LPBYTE pData, DWORD cbData, LPDWORD pcbData) {
    return RunStatus([&](Call& call) {
        return EnumDataImpl(call, hPrinter, dwIndex, pValueName, cbValueName, pcbValueName, pType, pData, cbData,
                            pcbData);
    });
}

DWORD WINAPI EnumPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPBYTE pEnumValues, DWORD cbEnumValues,
                                LPDWORD pcbEnumValues, LPDWORD pnEnumValues) {
    return RunStatus([&](Call& call) {
        return EnumDataExImpl(call, hPrinter, pKeyName, pEnumValues, cbEnumValues, pcbEnumValues, pnEnumValues);
    });
}

DWORD WINAPI EnumPrinterKeyW(HANDLE hPrinter, LPCWSTR pKeyName, LPWSTR pSubkey, DWORD cbSubkey, LPDWORD pcbSubkey) {
    return RunStatus([&](Call& call) { return EnumKeyImpl(call, hPrinter, pKeyName, pSubkey, cbSubkey, pcbSubkey); });
}

DWORD WINAPI DeletePrinterDataW(HANDLE hPrinter, LPCWSTR pValueName) {
    return DeletePrinterDataExW(hPrinter, kPrinterDataKey.data(), pValueName);
}

DWORD WINAPI DeletePrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName) {
    return RunStatus([&](Call& call) { return DeleteValueImpl(call, hPrinter, pKeyName, pValueName); });
}

DWORD WINAPI DeletePrinterKeyW(HANDLE hPrinter, LPCWSTR pKeyName) {
    return RunStatus([&](Call& call) { return DeleteKeyImpl(call, hPrinter, pKeyName); });
}
