// Renames and deletions put off until the machine restarts
// (MoveFileExW with MOVEFILE_DELAY_UNTIL_REBOOT).
#pragma once
#include <windows.h>

#include <string>

namespace w32::files {

// Records a request: `to` null means delete `from` at restart. Returns 0 or a
// Win32 error.
DWORD RecordPendingRename(const std::u16string& from, const std::u16string* to, bool replaceExisting);

}  // namespace w32::files
