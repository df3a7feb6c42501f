// File-name patterns as FindFirstFileW reads them.
#pragma once
#include <string_view>

namespace w32::files {

// Whether a name matches a pattern of * and ? without regard to case, with
// the rules Windows keeps from MS-DOS:
//   *      any run of characters;
//   ?      one character, or none at the end of the name or before a dot;
//   *.     before a dot, * stops short of the name's last dot, so "*."
//          matches names without a dot and "*.txt" needs the last dot;
//   .      followed by * or ?, or at the end of the pattern, also matches the
//          end of the name, so "a.*" matches "a" and "*.*" matches everything.
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern);

}  // namespace w32::files
