// Version, processor and computer name, from the machine's settings.
#include <windows.h>

#include <string>

#include "machine/machine.h"

namespace {

const w32::MachineSettings& Settings() { return w32::Machine::Current().Settings(); }

// What the running program is told: a program without a manifest naming the
// later versions sees Windows 8 (6.2, build 9200) on anything newer.
void ReportedVersion(DWORD& major, DWORD& minor, DWORD& build) {
    const auto& s = Settings();
    major = s.osMajor;
    minor = s.osMinor;
    build = s.osBuild;
    bool newerThan8 = s.osMajor > 6 || (s.osMajor == 6 && s.osMinor > 2);
    if (newerThan8 && !s.programManifestsVersion) {
        major = 6;
        minor = 2;
        build = 9200;
    }
}

}  // namespace

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info) {
    if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW) &&
                  info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXW))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const auto& s = Settings();
    ReportedVersion(info->dwMajorVersion, info->dwMinorVersion, info->dwBuildNumber);
    info->dwPlatformId = s.platformId;
    std::u16string servicePack;
    if (s.servicePackMajor) servicePack = u"Service Pack " + std::u16string(1, char16_t(u'0' + s.servicePackMajor % 10));
    lstrcpynW(info->szCSDVersion, servicePack.c_str(), 128);
    if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXW)) {
        auto* ex = reinterpret_cast<LPOSVERSIONINFOEXW>(info);
        ex->wServicePackMajor = s.servicePackMajor;
        ex->wServicePackMinor = 0;
        ex->wSuiteMask = VER_SUITE_SINGLEUSERTS;
        ex->wProductType = s.productType;
        ex->wReserved = 0;
    }
    return TRUE;
}

DWORD WINAPI GetVersion(void) {
    DWORD major, minor, build;
    ReportedVersion(major, minor, build);
    return (major & 0xFF) | ((minor & 0xFF) << 8) | ((build & 0x7FFF) << 16);
}

void WINAPI GetNativeSystemInfo(LPSYSTEM_INFO info) {
    if (!info) return;
    *info = SYSTEM_INFO{};
    bool is64 = Settings().is64Bit;
    info->wProcessorArchitecture = is64 ? PROCESSOR_ARCHITECTURE_AMD64 : PROCESSOR_ARCHITECTURE_INTEL;
    info->dwPageSize = 4096;
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(0x10000);
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(is64 ? 0x7FFFFFFEFFFFull : 0x7FFEFFFFull);
    info->dwActiveProcessorMask = 0x3;
    info->dwNumberOfProcessors = 2;
    info->dwProcessorType = is64 ? 8664 : 586;
    info->dwAllocationGranularity = 65536;
    info->wProcessorLevel = 6;
    info->wProcessorRevision = 0x9E0A;
}

// The calling process is a native process of the machine.
void WINAPI GetSystemInfo(LPSYSTEM_INFO info) { GetNativeSystemInfo(info); }

BOOL WINAPI IsWow64Process(HANDLE, PBOOL wow64) {
    if (!wow64) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *wow64 = FALSE;
    return TRUE;
}

BOOL WINAPI GetComputerNameW(LPWSTR buffer, LPDWORD size) {
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::u16string& name = Settings().computerName;
    if (!buffer || *size < name.size() + 1) {
        *size = DWORD(name.size() + 1);
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    lstrcpynW(buffer, name.c_str(), int(name.size() + 1));
    *size = DWORD(name.size());
    return TRUE;
}
