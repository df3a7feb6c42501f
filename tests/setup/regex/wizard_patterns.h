// The patterns the installation wizard checks addresses and names with, as
// it assembles them: IPv4 parts, the four IPv6 forms, an IPv4 address, a
// host name and a number. Shared by the tests and the benchmark.
#pragma once
#include <string>

namespace regex_test {

inline const std::u16string kDecimal = u"(([0-1]?\\d{1,2})|(2[0-4]\\d)|(25[0-5]))";
inline const std::u16string kV4 = u"(" + kDecimal + u"(\\." + kDecimal + u"){3})";
inline const std::u16string kHex = u"([:xdigit:]{1,4})";
inline const std::u16string kP1 =
    u"((" + kHex + u"(:" + kHex + u"){7})|(:(:" + kHex + u"){1,6})|((" + kHex + u":){1,7}:))";
inline const std::u16string kP2 = u"((" + kHex + u":){1,6}(:" + kHex + u"){1,6})";
inline const std::u16string kP3 = u"((" + kHex + u"(:" + kHex + u"){5})|(:(:" + kHex + u"){0,5}))(:" + kV4 + u")";
inline const std::u16string kP4 = u"((" + kHex + u":){1,6}(:" + kHex + u"){0,5})(:" + kV4 + u")";
inline const std::u16string kIpv4 =
    u"^([1-9]|[1-9]\\d|1\\d{2}|2[0-4]\\d|25[0-5])(\\.(\\d|[1-9]\\d|1\\d{2}|2[0-4]\\d|25[0-5])){3}$";
inline const std::u16string kHostName = u"^[a-zA-Z0-9-]{1}([a-zA-Z0-9-]){0,14}$";
inline const std::u16string kDigits = u"^[0-9]{1,15}$";

// The same pattern for PCRE2, which knows POSIX classes inside brackets only.
inline std::u16string ForPcre2(std::u16string pattern) {
    const std::u16string from = u"[:xdigit:]";
    for (size_t at = pattern.find(from); at != std::u16string::npos; at = pattern.find(from, at + from.size() + 2))
        pattern.replace(at, from.size(), u"[[:xdigit:]]");
    return pattern;
}

}  // namespace regex_test
