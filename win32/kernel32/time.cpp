// Time of day, tick counts and the performance counter from the machine
// clock, and the conversions between FILETIME and SYSTEMTIME.
#include <windows.h>

#include "kernel32/waitable.h"
#include "machine/machine.h"

namespace w32 {
namespace {

constexpr ULONGLONG kTicksPerMillisecond = 10000;  // FILETIME units
constexpr ULONGLONG kMillisecondsPerDay = 86400000;
constexpr ULONGLONG kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;
// Days since 0000-03-01 of a proleptic Gregorian date, and back: years that
// start in March put the leap day last.
constexpr LONGLONG DaysFromCivil(LONGLONG year, unsigned month, unsigned day) {
    year -= month <= 2;
    const LONGLONG era = year / 400;
    const unsigned yearOfEra = unsigned(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

constexpr LONGLONG kDaysTo1601 = DaysFromCivil(1601, 1, 1);
static_assert(DaysFromCivil(1970, 1, 1) - kDaysTo1601 == 134774);

void CivilFromDays(LONGLONG days, WORD& year, WORD& month, WORD& day) {
    const LONGLONG era = days / 146097;
    const unsigned dayOfEra = unsigned(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = WORD(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = WORD(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = WORD(yearOfEra + era * 400 + (month <= 2));
}

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

void ToSystemTime(ULONGLONG fileTime, SYSTEMTIME& time) {
    const ULONGLONG milliseconds = fileTime / kTicksPerMillisecond;
    const ULONGLONG days = milliseconds / kMillisecondsPerDay;
    ULONGLONG rest = milliseconds % kMillisecondsPerDay;
    CivilFromDays(LONGLONG(days) + kDaysTo1601, time.wYear, time.wMonth, time.wDay);
    time.wDayOfWeek = WORD((days + 1) % 7);  // 1601-01-01 was a Monday
    time.wHour = WORD(rest / 3600000);
    rest %= 3600000;
    time.wMinute = WORD(rest / 60000);
    rest %= 60000;
    time.wSecond = WORD(rest / 1000);
    time.wMilliseconds = WORD(rest % 1000);
}

ULONGLONG FromFileTime(const FILETIME& time) { return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

void ToFileTime(ULONGLONG value, FILETIME& time) {
    time.dwLowDateTime = DWORD(value);
    time.dwHighDateTime = DWORD(value >> 32);
}

// The machine's offset of local time from UTC, in FILETIME units.
LONGLONG LocalBias() {
    return LONGLONG(Machine::Current().Settings().timeZoneBiasMinutes) * 60 * 1000 * LONGLONG(kTicksPerMillisecond);
}

// Shifts a time by the local bias; false when that leaves the FILETIME range.
bool Shift(const FILETIME* from, FILETIME* to, LONGLONG offset) {
    if (!from || !to) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const LONGLONG value = LONGLONG(FromFileTime(*from));
    if (value < 0 || (offset < 0 && value < -offset) || (offset > 0 && value > LONGLONG(kLargestFileTime) - offset)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    ToFileTime(ULONGLONG(value + offset), *to);
    return true;
}

}  // namespace
}  // namespace w32

DWORD WINAPI GetTickCount(void) { return DWORD(w32::CurrentClock().TickCount()); }

ULONGLONG WINAPI GetTickCount64(void) { return w32::CurrentClock().TickCount(); }

void WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime) {
    if (lpSystemTimeAsFileTime) w32::ToFileTime(w32::CurrentClock().NowFileTime(), *lpSystemTimeAsFileTime);
}

void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
    if (lpSystemTime) w32::ToSystemTime(w32::CurrentClock().NowFileTime(), *lpSystemTime);
}

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    if (lpSystemTime) w32::ToSystemTime(w32::CurrentClock().NowFileTime() + w32::LocalBias(), *lpSystemTime);
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
    if (!lpFileTime || !lpSystemTime || w32::FromFileTime(*lpFileTime) > w32::kLargestFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    w32::ToSystemTime(w32::FromFileTime(*lpFileTime), *lpSystemTime);
    return TRUE;
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime) {
    if (!lpSystemTime || !lpFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const SYSTEMTIME& t = *lpSystemTime;
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > w32::DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 ||
        t.wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const ULONGLONG days = ULONGLONG(w32::DaysFromCivil(t.wYear, t.wMonth, t.wDay) - w32::kDaysTo1601);
    const ULONGLONG milliseconds = days * w32::kMillisecondsPerDay + t.wHour * 3600000ull + t.wMinute * 60000ull +
                                   t.wSecond * 1000ull + t.wMilliseconds;
    w32::ToFileTime(milliseconds * w32::kTicksPerMillisecond, *lpFileTime);
    return TRUE;
}

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime) {
    return w32::Shift(lpFileTime, lpLocalFileTime, w32::LocalBias());
}

BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime) {
    return w32::Shift(lpLocalFileTime, lpFileTime, -w32::LocalBias());
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpPerformanceCount->QuadPart = LONGLONG(w32::CurrentClock().PerformanceCounter());
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = LONGLONG(w32::Clock::kPerformanceFrequency);
    return TRUE;
}
