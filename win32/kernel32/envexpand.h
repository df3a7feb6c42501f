// %NAME% expansion with the machine's environment, as ExpandEnvironmentStrings
// does it. RegGetValueW expands REG_EXPAND_SZ data with the same routine.
#pragma once
#include <string>
#include <string_view>

namespace w32 {

// Scans left to right. A '%' with a later '%' delimits a name: a name that is
// set (case-insensitively) is replaced, with the two '%', by its value and the
// scan goes on after the closing '%'. A name that is not set (the empty name
// included) leaves its opening '%' and the name as written and the scan goes
// on at the closing '%', which may open the next name: "%NO_SUCH%TEMP%" is
// "%NO_SUCH" followed by the value of TEMP. A '%' with no '%' after it is
// copied with the rest of the text.
std::u16string ExpandEnvironmentText(std::u16string_view text);

}  // namespace w32
