// The driver's papers as the print tool names them. The list is the
// driver's own: DrvDeviceCapabilities of the printer's user-interface DLL,
// asked through the spooler's DeviceCapabilitiesW for its paper codes
// (DC_PAPERS), names (DC_PAPERNAMES) and sizes (DC_PAPERSIZE), so that the
// tool's names and the driver's papers cannot drift apart. A paper's short
// name, the one --paper takes, is the first word of its name, lower-cased
// ("A4 210 x 297 mm" is "a4").
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace tamprint {

struct Paper {
    std::string name;   // the short name: the first word of `title`, lower-cased
    std::string title;  // the driver's name of the paper
    SHORT code;         // dmPaperSize
    int widthTenths;    // portrait, 0.1 mm
    int heightTenths;
};

// The short name of a paper's name: its first word, lower-cased.
std::string ShortPaperName(std::u16string_view title);

// The papers of `printer` on the current machine, in the driver's order,
// without the user's saved custom sizes (the tool gives custom sizes as
// WIDTHxHEIGHTmm). False with a message when the driver cannot be asked or
// two papers would share a short name.
bool ReadDriverPapers(LPCWSTR printer, std::vector<Paper>& papers, std::string& error);

// The driver's papers, read once per run: from the tool's machine when it
// is open, else from a scratch machine (below). Empty when they cannot be
// read; PapersError() then says why.
const std::vector<Paper>& Papers();
const std::string& PapersError();

// The same as ReadDriverPapers, asked before the tool has opened its machine: a machine of its
// own is made for the question in a temporary folder, with the driver
// installed from the build as on any machine of the tool, and removed again,
// so that no machine of the user's is touched.
bool ReadDriverPapersOnScratchMachine(std::vector<Paper>& papers, std::string& error);

}  // namespace tamprint
