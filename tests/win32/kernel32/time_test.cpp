#include <gtest/gtest.h>
#include <windows.h>

#include "support/machine_fixture.h"

namespace {

struct Moment {
    WORD year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

void ExpectMoment(const SYSTEMTIME& t, const Moment& m) {
    EXPECT_EQ(t.wYear, m.year);
    EXPECT_EQ(t.wMonth, m.month);
    EXPECT_EQ(t.wDayOfWeek, m.dayOfWeek);
    EXPECT_EQ(t.wDay, m.day);
    EXPECT_EQ(t.wHour, m.hour);
    EXPECT_EQ(t.wMinute, m.minute);
    EXPECT_EQ(t.wSecond, m.second);
    EXPECT_EQ(t.wMilliseconds, m.milliseconds);
}

FILETIME MakeFileTime(ULONGLONG value) { return FILETIME{DWORD(value), DWORD(value >> 32)}; }
ULONGLONG Value(const FILETIME& time) { return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

class Time : public tam::test::MachineTest {};

TEST_F(Time, VirtualClockStartsAtItsFixedMomentAndMovesByAdvances) {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    ExpectMoment(now, {2026, 6, 1, 1, 9, 0, 0, 0});  // a Monday
    EXPECT_EQ(GetTickCount(), 600000u);
    FILETIME file{};
    GetSystemTimeAsFileTime(&file);
    EXPECT_EQ(Value(file), 134247780000000000ull);
    LARGE_INTEGER frequency{}, before{}, after{};
    EXPECT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 10000000);
    EXPECT_TRUE(QueryPerformanceCounter(&before));

    machine().TheClock().Advance(90061001);  // a day, an hour, a minute, a second and a millisecond
    GetSystemTime(&now);
    ExpectMoment(now, {2026, 6, 2, 2, 10, 1, 1, 1});
    EXPECT_EQ(GetTickCount64(), 600000u + 90061001u);
    EXPECT_TRUE(QueryPerformanceCounter(&after));
    EXPECT_EQ(after.QuadPart - before.QuadPart, 90061001ll * 10000);
    GetLocalTime(&now);
    ExpectMoment(now, {2026, 6, 2, 2, 10, 1, 1, 1});  // no bias on this machine
}

TEST_F(Time, TickCountWrapsAfterFortyNineDays) {
    machine().TheClock().Advance(0x100000000ull - 600000 + 5);
    EXPECT_EQ(GetTickCount(), 5u);
    EXPECT_EQ(GetTickCount64(), 0x100000005ull);
}

class LocalTime : public tam::test::MachineTest, public testing::WithParamInterface<std::pair<LONG, Moment>> {
protected:
    w32::MachineSettings MakeSettings() const override {
        auto settings = MachineTest::MakeSettings();
        settings.timeZoneBiasMinutes = GetParam().first;
        return settings;
    }
};

TEST_P(LocalTime, IsUtcPlusTheMachineBias) {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    ExpectMoment(local, GetParam().second);
    FILETIME utc{}, shifted{}, back{};
    GetSystemTimeAsFileTime(&utc);
    EXPECT_TRUE(FileTimeToLocalFileTime(&utc, &shifted));
    EXPECT_EQ(LONGLONG(Value(shifted) - Value(utc)), LONGLONG(GetParam().first) * 600000000);
    EXPECT_TRUE(LocalFileTimeToFileTime(&shifted, &back));
    EXPECT_EQ(Value(back), Value(utc));
}

INSTANTIATE_TEST_SUITE_P(Biases, LocalTime,
                         testing::Values(std::pair<LONG, Moment>{120, {2026, 6, 1, 1, 11, 0, 0, 0}},
                                         std::pair<LONG, Moment>{-570, {2026, 5, 0, 31, 23, 30, 0, 0}},
                                         std::pair<LONG, Moment>{0, {2026, 6, 1, 1, 9, 0, 0, 0}}));

struct ConversionCase {
    ULONGLONG fileTime;
    Moment moment;
    bool convertsBack;  // SystemTimeToFileTime takes years up to 30827 only
};
const ConversionCase kConversions[] = {
    {0, {1601, 1, 1, 1, 0, 0, 0, 0}, true},
    {116444736000000000ull, {1970, 1, 4, 1, 0, 0, 0, 0}, true},
    {125911583999990000ull, {1999, 12, 5, 31, 23, 59, 59, 999}, true},
    {125963423999990000ull, {2000, 2, 2, 29, 23, 59, 59, 999}, true},  // a leap day of a 400th year
    {157520160000000000ull, {2100, 3, 1, 1, 0, 0, 0, 0}, true},        // 2100 has no 29 February
    {134247780000000000ull, {2026, 6, 1, 1, 9, 0, 0, 0}, true},
    {9223149887999990000ull, {30827, 12, 5, 31, 23, 59, 59, 999}, true},
    {0x7FFFFFFFFFFFFFFFull, {30828, 9, 4, 14, 2, 48, 5, 477}, false},
};

TEST(TimeConversion, FileTimeAndSystemTimeTable) {
    for (const auto& c : kConversions) {
        SCOPED_TRACE(c.fileTime);
        FILETIME file = MakeFileTime(c.fileTime);
        SYSTEMTIME system{};
        EXPECT_TRUE(FileTimeToSystemTime(&file, &system));
        ExpectMoment(system, c.moment);
        FILETIME back{};
        SetLastError(0);
        EXPECT_EQ(SystemTimeToFileTime(&system, &back), c.convertsBack ? TRUE : FALSE);
        if (c.convertsBack) {
            EXPECT_EQ(Value(back), c.fileTime - c.fileTime % 10000);  // whole milliseconds
        } else {
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        }
    }
    // Sub-millisecond units are dropped.
    FILETIME fine = MakeFileTime(116444736000009999ull);
    SYSTEMTIME system{};
    EXPECT_TRUE(FileTimeToSystemTime(&fine, &system));
    EXPECT_EQ(system.wMilliseconds, 0);
}

TEST(TimeConversion, OutOfRangeValuesAreRefused) {
    const SYSTEMTIME valid = {2024, 2, 0, 29, 12, 30, 15, 500};
    FILETIME out{};
    EXPECT_TRUE(SystemTimeToFileTime(&valid, &out));
    SYSTEMTIME withWeekday = valid;
    withWeekday.wDayOfWeek = 6;  // ignored
    FILETIME same{};
    EXPECT_TRUE(SystemTimeToFileTime(&withWeekday, &same));
    EXPECT_EQ(Value(same), Value(out));

    auto with = [&](auto change) {
        SYSTEMTIME t = valid;
        change(t);
        return t;
    };
    const SYSTEMTIME invalid[] = {
        with([](SYSTEMTIME& t) { t.wYear = 1600; }),
        with([](SYSTEMTIME& t) { t.wYear = 30828; }),
        with([](SYSTEMTIME& t) { t.wMonth = 0; }),
        with([](SYSTEMTIME& t) { t.wMonth = 13; }),
        with([](SYSTEMTIME& t) { t.wDay = 0; }),
        with([](SYSTEMTIME& t) { t.wYear = 2023; }),  // 29 February of a common year
        with([](SYSTEMTIME& t) { t.wYear = 2100; }),
        with([](SYSTEMTIME& t) { t.wMonth = 4, t.wDay = 31; }),
        with([](SYSTEMTIME& t) { t.wHour = 24; }),
        with([](SYSTEMTIME& t) { t.wMinute = 60; }),
        with([](SYSTEMTIME& t) { t.wSecond = 60; }),
        with([](SYSTEMTIME& t) { t.wMilliseconds = 1000; }),
    };
    for (const auto& t : invalid) {
        SetLastError(0);
        FILETIME untouched = MakeFileTime(77);
        EXPECT_FALSE(SystemTimeToFileTime(&t, &untouched)) << t.wYear << "-" << t.wMonth << "-" << t.wDay;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(Value(untouched), 77u);
    }

    FILETIME tooLarge = MakeFileTime(0x8000000000000000ull);
    SYSTEMTIME system{};
    SetLastError(0);
    EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &system));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
