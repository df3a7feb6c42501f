// The document settings a user of the print tool chooses, and how they reach
// the DEVMODE. The tool starts from the settings the printer's driver gives
// through DocumentPropertiesW (its user-interface DLL, loaded by the
// spooler) and writes each choice into them as the matching control of the
// driver's property pages writes it (basic page: copies, collation,
// two-sided printing; paper page and custom paper dialog: the paper; layout
// page: orientation, pages per sheet, page order, scale): public fields as
// DEVMODEW members, private fields by the private part's layout. A
// combination those pages refuse is refused here too.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "papers.h"
#include "pcl6/intrface/privdevmode.h"

namespace tamprint {

// A paper as a user names it: a paper of the list, or a custom size.
struct PaperChoice {
    SHORT code = 0;          // dmPaperSize
    bool custom = false;     // a custom size, with its size in 0.1 mm:
    SHORT widthTenths = 0;   //   dmPaperWidth
    SHORT lengthTenths = 0;  //   dmPaperLength
    std::string text;        // as the user wrote it
};

// The first code the custom paper dialog gives a custom size (with no size
// saved yet), and the size range, in 0.1 mm, that both the dialog and the
// printer take.
constexpr SHORT kFirstCustomPaper = 288;
constexpr int kCustomMinWidth = 762, kCustomMaxWidth = 2159;
constexpr int kCustomMinLength = 1480, kCustomMaxLength = 3556;

// A paper's short name (without regard to case) or "WIDTHxHEIGHTmm"
// with at most one decimal. False with a message when it is neither.
bool ParsePaper(std::string_view text, PaperChoice& paper, std::string& error);
// The name of a paper code of the list, or "custom W x H mm" for a custom
// size, for messages and the summary.
std::string PaperName(SHORT code, SHORT widthTenths = 0, SHORT lengthTenths = 0);

// Whether the printer prints this paper on both sides.
bool PaperTakesDuplex(SHORT code);

// What a user chose; an unset choice keeps the driver's default.
struct Choices {
    std::optional<PaperChoice> paper;
    std::optional<SHORT> orientation;  // DMORIENT_PORTRAIT or DMORIENT_LANDSCAPE
    std::optional<SHORT> copies;       // 1..999
    bool collate = false;
    std::optional<SHORT> duplex;  // DMDUP_SIMPLEX, DMDUP_VERTICAL (long edge), DMDUP_HORIZONTAL (short edge)
    std::optional<int> nup;       // 1, 2, 4, 8, 16
    std::optional<int> order;     // the layout page's page order
    std::optional<int> scale;     // 25..400 percent
    std::optional<SHORT> resolution;  // 600 or 1200 dpi

    // True when every setting keeps the driver's default.
    bool Empty() const {
        return !paper && !orientation && !copies && !collate && !duplex && !nup && !order && !scale && !resolution;
    }
};

// The page orders the layout page offers with `nup` pages per sheet; none
// with one page per sheet.
std::vector<int> PageOrdersFor(int nup);

// Writes the choices into `devmode`, the driver's settings for the printer,
// as the pages do. False with a message naming the option when the pages
// would refuse a choice.
bool ApplyChoices(const Choices& choices, UiDevmode& devmode, std::string& error);

// One line for the summary: paper, orientation, copies, sides, layout, scale,
// and the resolution when it is not the printer's 600 dpi.
std::string DescribeSettings(const UiDevmode& devmode);

}  // namespace tamprint
