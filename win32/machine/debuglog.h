// The machine's debug log: what OutputDebugStringA/W send, kept for tests to
// read and copied to standard error when TAM_DEBUG_STDERR is set.
#pragma once
#include <string>
#include <string_view>

namespace w32 {

void DebugLogAppend(std::string_view utf8);
// Everything logged since the process started or the log was last cleared.
std::string DebugLogText();
void DebugLogClear();

}  // namespace w32
