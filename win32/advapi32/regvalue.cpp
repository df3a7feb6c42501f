// Registry values: setting, reading (with the Win32 size protocols),
// enumerating and deleting them.
#include <cstring>

#include "advapi32/regkey.h"
#include "kernel32/envexpand.h"

using namespace w32;
using namespace w32::reg;

namespace {

// Hands a value's data to a caller: *lpcbData is the buffer size on entry
// and the data size on return. No buffer: only the size. Too small a buffer:
// ERROR_MORE_DATA with the size needed, the buffer untouched.
LONG HandOut(DWORD type, const std::vector<BYTE>& data, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (lpType) *lpType = type;
    if (!lpcbData) return ERROR_SUCCESS;
    DWORD size = DWORD(data.size());
    if (lpData) {
        if (*lpcbData < size) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size) std::memcpy(lpData, data.data(), size);
    }
    *lpcbData = size;
    return ERROR_SUCCESS;
}

std::u16string TextOf(const std::vector<BYTE>& data) {
    std::u16string text(data.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * 2);
    return text;
}

std::vector<BYTE> BytesOf(const std::u16string& text) {
    std::vector<BYTE> bytes(text.size() * 2);
    if (!bytes.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

// The RRF_RT_* bit of a value type; 0 for types only RRF_RT_ANY accepts.
DWORD TypeFlag(DWORD type) {
    switch (type) {
        case REG_NONE: return RRF_RT_REG_NONE;
        case REG_SZ: return RRF_RT_REG_SZ;
        case REG_EXPAND_SZ: return RRF_RT_REG_EXPAND_SZ;
        case REG_BINARY: return RRF_RT_REG_BINARY;
        case REG_DWORD: return RRF_RT_REG_DWORD;
        case REG_MULTI_SZ: return RRF_RT_REG_MULTI_SZ;
        case REG_QWORD: return RRF_RT_REG_QWORD;
        default: return 0;
    }
}

LONG GetValue(HKEY hkey, LPCWSTR lpSubKey, LPCWSTR lpValue, DWORD dwFlags, LPDWORD pdwType, PVOID pvData,
              LPDWORD pcbData) {
    const DWORD accepted = dwFlags & RRF_RT_ANY;
    if (!accepted || (pvData && !pcbData)) return ERROR_INVALID_PARAMETER;
    // A REG_EXPAND_SZ value is read expanded (as REG_SZ) unless RRF_NOEXPAND says otherwise.
    if ((accepted & RRF_RT_REG_EXPAND_SZ) && !(dwFlags & RRF_NOEXPAND) && accepted != RRF_RT_ANY)
        return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hkey)) return status;
    REGSAM view = (dwFlags & RRF_SUBKEY_WOW6432KEY) ? KEY_WOW64_32KEY
                  : (dwFlags & RRF_SUBKEY_WOW6464KEY) ? KEY_WOW64_64KEY
                                                       : 0;
    KeyObjectPtr object;
    if (LONG status = OpenForCall(call, lpSubKey, KEY_QUERY_VALUE | view, object)) return status;
    if (!(object->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const RegistryValue* value = object->Primary()->FindValue(lpValue ? lpValue : u"");
    if (!value) return ERROR_FILE_NOT_FOUND;

    DWORD type = value->type;
    std::vector<BYTE> data = value->data;
    if (type == REG_EXPAND_SZ && !(dwFlags & RRF_NOEXPAND)) {
        std::u16string text = TextOf(data);
        text = ExpandEnvironmentText(text.substr(0, text.find(u'\0')));
        data = BytesOf(text);
        type = REG_SZ;
    }
    DWORD flag = TypeFlag(type);
    if (flag ? !(accepted & flag) : accepted != RRF_RT_ANY) return ERROR_UNSUPPORTED_TYPE;
    // The fixed-size types must have their size; binary data stands in for
    // them only when the caller asked for RRF_RT_DWORD or RRF_RT_QWORD alone.
    if ((type == REG_DWORD && data.size() != 4) || (type == REG_QWORD && data.size() != 8) ||
        (type == REG_BINARY && accepted == RRF_RT_DWORD && data.size() != 4) ||
        (type == REG_BINARY && accepted == RRF_RT_QWORD && data.size() != 8))
        return ERROR_DATATYPE_MISMATCH;
    // Strings come back terminated (a list with its final empty string) even
    // when they were stored without.
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::u16string text = TextOf(data);
        if (text.empty() || text.back() != u'\0') text.push_back(u'\0');
        if (type == REG_MULTI_SZ && (text.size() < 2 || text[text.size() - 2] != u'\0')) text.push_back(u'\0');
        data = BytesOf(text);
    }
    return HandOut(type, data, pdwType, static_cast<LPBYTE>(pvData), pcbData);
}

}  // namespace

LSTATUS WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                              DWORD cbData) {
    if (!lpData && cbData) return ERROR_NOACCESS;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    if (LONG status = call.Require(KEY_SET_VALUE)) return status;
    return call.Finish(
        call.registry().SetValue(call.object().Primary(), lpValueName ? lpValueName : u"", dwType, lpData, cbData));
}

LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    if (LONG status = call.Require(KEY_QUERY_VALUE)) return status;
    const RegistryValue* value = call.object().Primary()->FindValue(lpValueName ? lpValueName : u"");
    if (!value) return ERROR_FILE_NOT_FOUND;
    // Data comes back exactly as stored: a string stored without its
    // terminator comes back without one.
    return HandOut(value->type, value->data, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegGetValueW(HKEY hkey, LPCWSTR lpSubKey, LPCWSTR lpValue, DWORD dwFlags, LPDWORD pdwType,
                            PVOID pvData, LPDWORD pcbData) {
    DWORD bufferSize = pcbData ? *pcbData : 0;
    LONG status = GetValue(hkey, lpSubKey, lpValue, dwFlags, pdwType, pvData, pcbData);
    if (status != ERROR_SUCCESS && (dwFlags & RRF_ZEROONFAILURE) && pvData && bufferSize)
        std::memset(pvData, 0, bufferSize);
    return status;
}

LSTATUS WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    if (LONG status = call.Require(KEY_QUERY_VALUE)) return status;
    const RegistryValue* value = call.object().Primary()->ValueAt(dwIndex);
    if (!value) return ERROR_NO_MORE_ITEMS;
    // A name that does not fit with its terminator: ERROR_MORE_DATA, nothing written.
    if (*lpcchValueName <= value->name.size()) return ERROR_MORE_DATA;
    std::copy(value->name.begin(), value->name.end(), lpValueName);
    lpValueName[value->name.size()] = 0;
    *lpcchValueName = DWORD(value->name.size());
    return HandOut(value->type, value->data, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    if (LONG status = call.Require(KEY_SET_VALUE)) return status;
    return call.Finish(call.registry().DeleteValue(call.object().Primary(), lpValueName ? lpValueName : u""));
}

// Sets the default value of a subkey (made if missing) to a string.
LSTATUS WINAPI RegSetValueW(HKEY hKey, LPCWSTR lpSubKey, DWORD dwType, LPCWSTR lpData, DWORD) {
    if (dwType != REG_SZ || !lpData) return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    KeyObjectPtr object = call.objectPtr();
    if (lpSubKey && *lpSubKey) {
        std::vector<std::u16string> parts;
        if (LONG status = SplitPath(lpSubKey, parts)) return status;
        CreateOptions options;
        options.parentMayCreate = (call.object().access & KEY_CREATE_SUB_KEY) != 0;
        if (LONG status = Walk(call, parts, false, &options, object, nullptr)) return call.Finish(status);
        if (LONG status = GrantAccess(call.registry(), *object, KEY_SET_VALUE, object->access))
            return call.Finish(status);
    } else if (LONG status = call.Require(KEY_SET_VALUE)) {
        return status;
    }
    if (!MayWrite(call.registry(), *object->Primary())) return call.Finish(ERROR_ACCESS_DENIED);
    std::u16string text(lpData);
    return call.Finish(
        call.registry().SetValue(object->Primary(), u"", REG_SZ, text.c_str(), (text.size() + 1) * sizeof(WCHAR)));
}

// Reads the default value of a subkey as a string. A key whose default value
// was never set reads as the empty string, as on Windows; a default value
// that is not a string is ERROR_INVALID_DATA.
LSTATUS WINAPI RegQueryValueW(HKEY hKey, LPCWSTR lpSubKey, LPWSTR lpData, PLONG lpcbData) {
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    KeyObjectPtr object;
    if (LONG status = OpenForCall(call, lpSubKey, KEY_QUERY_VALUE, object)) return status;
    if (!(object->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const RegistryValue* value = object->Primary()->FindValue(u"");
    std::vector<BYTE> empty(2, 0);
    if (value && value->type != REG_SZ && value->type != REG_EXPAND_SZ && value->type != REG_MULTI_SZ)
        return ERROR_INVALID_DATA;
    const std::vector<BYTE>& data = value ? value->data : empty;
    if (!lpcbData) return ERROR_SUCCESS;
    if (*lpcbData < 0) return ERROR_INVALID_PARAMETER;
    DWORD size = DWORD(*lpcbData);
    LONG status = HandOut(REG_SZ, data, nullptr, reinterpret_cast<LPBYTE>(lpData), &size);
    *lpcbData = LONG(size);
    return status;
}
