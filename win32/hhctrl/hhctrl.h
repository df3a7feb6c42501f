// The stand-in help viewer records what it was asked to show; tests read the
// record back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace w32 {

struct HtmlHelpRequest {
    HWND caller = nullptr;
    std::u16string file;  // as given, topic and window parts included
    UINT command = 0;
    DWORD_PTR data = 0;
    HWND shown = nullptr;  // what HtmlHelpW returned
};

// Every call of HtmlHelpW in this process, oldest first.
std::vector<HtmlHelpRequest> HtmlHelpRequests();
void ClearHtmlHelpRequests();

}  // namespace w32
