// Cases that both builds of the utility routines must meet.
#pragma once
#include <windows.h>

#include <ostream>

namespace tam::test {

struct CountryCase {
    DWORD country;  // LOCALE_ICOUNTRY
    BOOL a4;
};
inline void PrintTo(const CountryCase& c, std::ostream* os) { *os << "country " << c.country; }

// Letter in 1, 2, 50-59 and 500-599; A4 elsewhere.
inline const CountryCase kCountries[] = {
    {1, FALSE},  {2, FALSE},   {7, TRUE},    {44, TRUE},    {49, TRUE},   {50, FALSE},
    {52, FALSE}, {59, FALSE},  {60, TRUE},   {81, TRUE},    {86, TRUE},   {499, TRUE},
    {500, FALSE}, {599, FALSE}, {600, TRUE}, {886, TRUE},   {0, TRUE},
};

struct CounterCase {
    DWORD size;
    LONG added;
};
inline void PrintTo(const CounterCase& c, std::ostream* os) { *os << c.size << " bytes"; }

inline const CounterCase kCounterSizes[] = {{0, 8}, {1, 9}, {100, 108}, {4096, 4104}};

}  // namespace tam::test
