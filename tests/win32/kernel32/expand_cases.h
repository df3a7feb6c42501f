// How %NAME% references expand, as ExpandEnvironmentStrings does it; the same
// table checks RegGetValueW's reading of REG_EXPAND_SZ values. Each test sets
// the variables below first.
//
// A '%' with a later '%' delimits a name. A name that is set is replaced,
// percent signs and all. A name that is not set is left as written, and its
// closing '%' may open the next name. A '%' with no partner is plain text.
#pragma once
#include <windows.h>

#include <ostream>
#include <string>

namespace tam::test {

// Sets the variables the table expands.
inline bool SetExpansionVariables() { return SetEnvironmentVariableW(u"TamDir", u"C:\\Tam") != FALSE; }

struct ExpandCase {
    const char16_t* text;
    const char16_t* expanded;
};

inline const ExpandCase kExpandCases[] = {
    {u"%TamDir%\\bin", u"C:\\Tam\\bin"},
    {u"%tamdir%", u"C:\\Tam"},  // names ignore case
    {u"a%TamDir%%TamDir%b", u"aC:\\TamC:\\Tamb"},
    {u"%NO_SUCH%", u"%NO_SUCH%"},
    {u"%NO_SUCH%TamDir%", u"%NO_SUCHC:\\Tam"},  // the closing '%' opens the next name
    {u"%NO SUCH%%TamDir%", u"%NO SUCH%C:\\Tam"},
    {u"%TamDir%%", u"C:\\Tam%"},
    {u"%", u"%"},
    {u"100%", u"100%"},
    {u"%%", u"%%"},
    {u"%%TamDir%", u"%C:\\Tam"},  // an empty name is never set
    {u"%TamDir", u"%TamDir"},      // no closing '%'
    {u"x%NO_SUCH", u"x%NO_SUCH"},
    {u"no references", u"no references"},
    {u"", u""},
};

inline void PrintTo(const ExpandCase& c, std::ostream* os) {
    *os << '"';
    for (const char16_t* p = c.text; *p; ++p) *os << (*p < 0x80 ? char(*p) : '?');
    *os << '"';
}

}  // namespace tam::test
