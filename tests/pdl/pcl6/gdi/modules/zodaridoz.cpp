// A stand-in of the outside image-processing library "Zodaridoz.DLL" for the
// rendering DLL's tests, with the entry points of pcl6/gdi/ips.h. By default
// every adjustment returns its input unchanged. Each call writes a line
// "zodaridoz <function> <arguments>" to the debug log, so that a test sees
// what the driver asked for.
//
// The machine's environment variable TAM_ZODARIDOZ, read at every call,
// selects another behaviour:
//   levels   each level is added to its component (colours: level k to
//            component k; greys: the sum of the three levels), clamped to 0..255
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "pcl6/gdi/ips.h"

namespace {

bool AddsLevels() {
    WCHAR buffer[64];
    const DWORD length = GetEnvironmentVariableW(u"TAM_ZODARIDOZ", buffer, 64);
    if (!length || length >= 64) return false;
    std::u16string words = u" " + std::u16string(buffer, length) + u" ";
    return words.find(u" levels ") != std::u16string::npos;
}

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    char line[256] = "zodaridoz ";
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + 10, sizeof(line) - 12, format, args);
    va_end(args);
    std::strcat(line, "\n");
    OutputDebugStringA(line);
}

BYTE Clamp(int value) { return BYTE(value < 0 ? 0 : value > 255 ? 255 : value); }

bool AdjustGreys(BYTE* grey, INT count, INT level1, INT level2, INT level3) {
    if (!grey || count < 0) return false;
    if (AddsLevels())
        for (INT i = 0; i < count; ++i) grey[i] = Clamp(grey[i] + level1 + level2 + level3);
    return true;
}

// The profiles the stand-in opened; a handle is the address of one.
struct Profile {
    std::string name;
};

}  // namespace

extern "C" {

WINBASEAPI BOOL WINAPI ColorAdjustmentN(const BYTE* in, BYTE* out, INT count, INT level1, INT level2, INT level3) {
    Log("ColorAdjustmentN count=%d levels=%d,%d,%d", count, level1, level2, level3);
    if (!in || !out || count < 0) return FALSE;
    const bool adjust = AddsLevels();
    const INT levels[3] = {level1, level2, level3};
    for (INT i = 0; i < 3 * count; ++i) out[i] = adjust ? Clamp(in[i] + levels[i % 3]) : in[i];
    return TRUE;
}

WINBASEAPI BOOL WINAPI GrayAdjustmentN(BYTE* grey, INT count, INT level1, INT level2, INT level3) {
    Log("GrayAdjustmentN count=%d levels=%d,%d,%d", count, level1, level2, level3);
    return AdjustGreys(grey, count, level1, level2, level3);
}

WINBASEAPI BOOL WINAPI GrayAdjustmentTRC(BYTE* grey, INT count, INT curve, INT level1, INT level2, INT level3) {
    Log("GrayAdjustmentTRC count=%d curve=%d levels=%d,%d,%d", count, curve, level1, level2, level3);
    return AdjustGreys(grey, count, level1, level2, level3);
}

WINBASEAPI LPVOID WINAPI StartRGBProfile(LPCSTR profile) {
    Log("StartRGBProfile %s", profile ? profile : "(null)");
    return profile ? new Profile{profile} : nullptr;
}

WINBASEAPI BOOL WINAPI ApplyRGBProfile(LPVOID profile, const BYTE* in, BYTE* out, INT count) {
    Log("ApplyRGBProfile count=%d", count);
    if (!profile || !in || !out || count < 0) return FALSE;
    for (INT i = 0; i < 3 * count; ++i) out[i] = in[i];
    return TRUE;
}

WINBASEAPI BOOL WINAPI EndRGBProfile(LPVOID profile) {
    Log("EndRGBProfile");
    if (!profile) return FALSE;
    delete static_cast<Profile*>(profile);
    return TRUE;
}

}  // extern "C"

// The stand-in keeps the driver's declared interface.
static_assert(std::is_same_v<decltype(&ColorAdjustmentN), PFN_ColorAdjustmentN>);
static_assert(std::is_same_v<decltype(&GrayAdjustmentN), PFN_GrayAdjustmentN>);
static_assert(std::is_same_v<decltype(&GrayAdjustmentTRC), PFN_GrayAdjustmentTRC>);
static_assert(std::is_same_v<decltype(&StartRGBProfile), PFN_StartRGBProfile>);
static_assert(std::is_same_v<decltype(&ApplyRGBProfile), PFN_ApplyRGBProfile>);
static_assert(std::is_same_v<decltype(&EndRGBProfile), PFN_EndRGBProfile>);
