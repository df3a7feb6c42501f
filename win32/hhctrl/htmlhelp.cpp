// HTML Help, standing in for the viewer: no window is drawn, but every
// request is recorded, and the display commands answer as the viewer does: a
// help window when the file exists on the machine, NULL (after the viewer's
// own error message, which the stand-in leaves out) when it does not.
#include <windows.h>
#include <htmlhelp.h>

#include <mutex>

#include "hhctrl/hhctrl.h"
#include "kernel32/moduleinfo.h"

namespace {

// The one help window; a fixed handle distinct from the layer's others.
HWND const kHelpWindow = reinterpret_cast<HWND>(ULONG_PTR(0x10080));

struct Requests {
    std::mutex lock;
    std::vector<w32::HtmlHelpRequest> list;
};

Requests& TheRequests() {
    static auto* requests = new Requests;
    return *requests;
}

// The file part of "file.chm::/topic.htm>window".
std::u16string FilePart(LPCWSTR file) {
    std::u16string path(file);
    auto topic = path.find(u"::");
    if (topic != std::u16string::npos) path.resize(topic);
    auto window = path.find(u'>');
    if (window != std::u16string::npos) path.resize(window);
    return path;
}

bool HelpFileExists(LPCWSTR file) {
    if (!file || !*file) return false;
    DWORD attributes = GetFileAttributesW(FilePart(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HWND Answer(LPCWSTR file, UINT command) {
    switch (command) {
        case HH_DISPLAY_TOPIC:
        case HH_DISPLAY_TOC:
        case HH_DISPLAY_INDEX:
        case HH_DISPLAY_SEARCH:
        case HH_HELP_CONTEXT:
            return HelpFileExists(file) ? kHelpWindow : nullptr;
        case HH_CLOSE_ALL:
            return nullptr;
        default:
            SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
            return nullptr;
    }
}

}  // namespace

namespace w32 {

std::vector<HtmlHelpRequest> HtmlHelpRequests() {
    auto& requests = TheRequests();
    std::lock_guard guard(requests.lock);
    return requests.list;
}

void ClearHtmlHelpRequests() {
    auto& requests = TheRequests();
    std::lock_guard guard(requests.lock);
    requests.list.clear();
}

}  // namespace w32

HWND WINAPI HtmlHelpW(HWND hwndCaller, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData) {
    HWND shown = Answer(pszFile, uCommand);
    auto& requests = TheRequests();
    std::lock_guard guard(requests.lock);
    requests.list.push_back({hwndCaller, pszFile ? std::u16string(pszFile) : std::u16string(), uCommand, dwData, shown});
    return shown;
}

// The module's exports as the loader reads them: HtmlHelpW is reached by
// ordinal 15, as programs bind it.
namespace {
const TamModuleExport kExports[] = {
    {HTMLHELP_ORDINAL_W, 0, "HtmlHelpW", reinterpret_cast<void*>(&HtmlHelpW)},
};
}  // namespace

extern "C" __attribute__((visibility("default"))) const TamModuleInfo tam_module_info = {
    TAM_MODULE_INFO_VERSION, sizeof(kExports) / sizeof(kExports[0]), kExports, nullptr, nullptr};
