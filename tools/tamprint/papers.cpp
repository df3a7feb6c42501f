// The driver's papers, read from its DrvDeviceCapabilities.
#include "papers.h"

#include <windows.h>
#include <winspool.h>

#include <exception>
#include <filesystem>
#include <set>

#include "machine/machine.h"
#include "machine/unicode.h"
#include "machinesetup/machinesetup.h"
#include "printing.h"
#include "settings.h"

namespace tamprint {
namespace {

namespace fs = std::filesystem;

// The characters of one DC_PAPERNAMES entry.
constexpr size_t kPaperNameChars = 64;

// One list of DeviceCapabilitiesW: `count` entries of `Entry`.
template <class Entry>
bool Ask(LPCWSTR printer, WORD capability, const char* what, int count, std::vector<Entry>& entries,
         std::string& error) {
    entries.assign(size_t(count), Entry{});
    const int answer = DeviceCapabilitiesW(printer, nullptr, capability, reinterpret_cast<LPWSTR>(entries.data()),
                                           nullptr);
    if (answer == count) return true;
    error = std::string("the driver's ") + what + " could not be read (" +
            (answer < 0 ? Win32ErrorText(GetLastError()) : std::to_string(answer) + " of " + std::to_string(count)) +
            ")";
    return false;
}

}  // namespace

std::string ShortPaperName(std::u16string_view title) {
    const size_t end = title.find(u' ');
    std::string name = w32::ToUtf8(std::u16string(title.substr(0, end)));
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return name;
}

bool ReadDriverPapers(LPCWSTR printer, std::vector<Paper>& papers, std::string& error) {
    papers.clear();
    const int count = DeviceCapabilitiesW(printer, nullptr, DC_PAPERS, nullptr, nullptr);
    if (count <= 0) {
        error = "the driver's papers could not be read (" + Win32ErrorText(GetLastError()) + ")";
        return false;
    }
    struct NameEntry {
        WCHAR text[kPaperNameChars];
    };
    std::vector<WORD> codes;
    std::vector<NameEntry> names;
    std::vector<POINT> sizes;
    if (!Ask(printer, DC_PAPERS, "paper codes", count, codes, error) ||
        !Ask(printer, DC_PAPERNAMES, "paper names", count, names, error) ||
        !Ask(printer, DC_PAPERSIZE, "paper sizes", count, sizes, error))
        return false;
    std::set<std::string> taken;
    for (int i = 0; i < count; ++i) {
        // The user's saved custom sizes follow the driver's papers.
        if (SHORT(codes[size_t(i)]) >= kFirstCustomPaper) continue;
        const WCHAR* text = names[size_t(i)].text;
        const std::u16string title(text, std::u16string_view(text, kPaperNameChars).find(u'\0'));
        Paper paper{ShortPaperName(title), w32::ToUtf8(title), SHORT(codes[size_t(i)]), int(sizes[size_t(i)].x),
                    int(sizes[size_t(i)].y)};
        if (paper.name.empty() || !taken.insert(paper.name).second) {
            error = "the driver's paper \"" + paper.title + "\" has no name of its own for --paper";
            papers.clear();
            return false;
        }
        papers.push_back(std::move(paper));
    }
    return true;
}

bool ReadDriverPapersOnScratchMachine(std::vector<Paper>& papers, std::string& error) {
    return OnScratchMachine(
        [&](std::string& taskError) { return ReadDriverPapers(tam::setup::kKorvanLaser, papers, taskError); }, error);
}

namespace {

struct PaperList {
    std::vector<Paper> papers;
    std::string error;
};

const PaperList& ThePapers() {
    static const PaperList list = [] {
        PaperList read;
        if (w32::Machine::Current().HasDrive())
            ReadDriverPapers(tam::setup::kKorvanLaser, read.papers, read.error);
        else
            ReadDriverPapersOnScratchMachine(read.papers, read.error);
        return read;
    }();
    return list;
}

}  // namespace

const std::vector<Paper>& Papers() { return ThePapers().papers; }
const std::string& PapersError() { return ThePapers().error; }

}  // namespace tamprint
