// The print tool's settings: each choice written into the driver's settings
// as the driver's property pages write it.
#include "settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>


namespace tamprint {
namespace {

// The papers the duplex unit takes.
constexpr SHORT kDuplexPapers[] = {DMPAPER_LETTER, DMPAPER_LEGAL, DMPAPER_A4, DMPAPER_FOLIO, 243, 245};
// Envelopes and cards: they feed only from the manual slot.
constexpr SHORT kManualFeedPapers[] = {37, 27, 28, 20, 43, 31, 242, 276, 277, 278, 279, 280};

template <size_t N>
bool Contains(const SHORT (&list)[N], SHORT code) {
    return std::find(std::begin(list), std::end(list), code) != std::end(list);
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A length in millimetres with at most one decimal, as tenths; -1 when the
// text is not one.
int ParseTenths(std::string_view text) {
    size_t i = 0;
    int whole = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        whole = whole * 10 + (text[i] - '0');
        if (whole > 100000) return -1;
        ++i;
    }
    if (i == 0) return -1;
    int tenths = whole * 10;
    if (i < text.size()) {
        if (text[i] != '.' || i + 2 != text.size() || !std::isdigit(static_cast<unsigned char>(text[i + 1])))
            return -1;
        tenths += text[i + 1] - '0';
    }
    return tenths;
}

std::string Tenths(int tenths) {
    char text[32];
    if (tenths % 10)
        std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
    else
        std::snprintf(text, sizeof text, "%d", tenths / 10);
    return text;
}

// The source tray to the DEVMODE's paper source: automatic, manual, tray 1.
SHORT SourceOfTray(INT16 tray) {
    switch (tray) {
        case 1: return DMBIN_MANUAL;
        case 2: return DMBIN_UPPER;
        default: return DMBIN_AUTO;
    }
}

// The controls' writes on the settings. Each method is what one control
// does when a user changes it; a refusal leaves a message and false.
class Pages {
public:
    Pages(UiDevmode& devmode, std::string& error) : pub_(devmode.pub), priv_(devmode.priv), error_(error) {}

    // Basic page: the copies edit, left with a new value.
    bool SetCopies(SHORT copies) {
        pub_.dmCopies = copies;
        return true;
    }

    // Graphics quality: the resolution the driver renders at, in the y
    // resolution field. (A print quality of 1200 asks for 1200 dpi but is
    // rendered at 600.)
    bool SetResolution(SHORT dpi) {
        pub_.dmYResolution = dpi;
        return true;
    }

    // Basic page: the collate box checked.
    bool SetCollate() {
        pub_.dmCollate = DMCOLLATE_TRUE;
        return true;
    }

    // Basic page: one of the three two-sided buttons.
    bool SetDuplex(SHORT duplex, const std::string& option) {
        if (pub_.dmDuplex == duplex) return true;
        if (duplex == DMDUP_SIMPLEX) {
            pub_.dmDuplex = DMDUP_SIMPLEX;
            return true;
        }
        if (DuplexConflict(pub_.dmPaperSize, duplex))
            return Refuse(option + ": " + PaperName(pub_.dmPaperSize, pub_.dmPaperWidth, pub_.dmPaperLength) +
                          " cannot be printed on both sides (two-sided printing takes letter, a4, legal, folio, "
                          "oficio and 16k)");
        // Two-sided printing is on plain paper only.
        pub_.dmMediaType = DMMEDIA_STANDARD;
        pub_.dmDuplex = duplex;
        return true;
    }

    // Paper page: a paper of the list chosen, or the custom paper dialog
    // saving a new size (which the DEVMODE takes with its code and size).
    bool SetPaper(const PaperChoice& choice, const std::string& option) {
        if (!choice.custom && pub_.dmPaperSize == choice.code) return true;
        if (DuplexConflict(choice.code, pub_.dmDuplex))
            return Refuse(option + ": " + PaperName(choice.code, choice.widthTenths, choice.lengthTenths) +
                          " cannot be printed on both sides");
        if (DuplexConflict(choice.code, DMDUP_VERTICAL)) pub_.dmDuplex = DMDUP_SIMPLEX;
        // Envelopes and cards, and any media but plain paper and one other,
        // feed from the manual slot; otherwise the tray chosen stays.
        const DWORD media = pub_.dmMediaType;
        if (Contains(kManualFeedPapers, choice.code) || (media != DMMEDIA_STANDARD && media != 264))
            priv_.SourceTray = 1;
        pub_.dmDefaultSource = SourceOfTray(priv_.SourceTray);
        pub_.dmPaperSize = choice.code;
        if (choice.custom) {
            pub_.dmPaperWidth = choice.widthTenths;
            pub_.dmPaperLength = choice.lengthTenths;
        }
        // Only A5 may be fed long edge first.
        if (choice.code != DMPAPER_A5) priv_.FeedOrient = 1;
        return true;
    }

    // Layout page: the portrait and landscape buttons.
    bool SetOrientation(SHORT orientation) {
        if (pub_.dmOrientation == orientation) return true;
        pub_.dmOrientation = orientation;
        // The two orders of two pages per sheet differ by orientation.
        if (priv_.MultipleUp == 2) priv_.PageOrder = 0;
        return true;
    }

    // Layout page: the pages-per-sheet list.
    bool SetPagesPerSheet(int nup, const std::string& option) {
        if (priv_.ScaleCopy != 100 && nup != 1)
            return Refuse(option + ": the scale is " + std::to_string(priv_.ScaleCopy) +
                          "%; pages per sheet are printed at 100% only");
        if (priv_.MultipleUp == nup) return true;
        priv_.MultipleUp = INT16(nup);
        if (nup == 1) priv_.PageBorder = 0;
        // Refilling the order list for the new count selects its first entry.
        const std::vector<int> orders = PageOrdersFor(nup);
        priv_.PageOrder = INT16(orders.empty() ? 0 : orders.front());
        return true;
    }

    // Layout page: the page-order list, enabled with 2 or more pages per sheet.
    bool SetPageOrder(int order, const std::string& option) {
        const int nup = priv_.MultipleUp;
        const std::vector<int> orders = PageOrdersFor(nup);
        if (orders.empty()) return Refuse(option + ": a page order needs 2 or more pages per sheet (--nup)");
        if (std::find(orders.begin(), orders.end(), order) == orders.end()) {
            std::string list;
            for (size_t i = 0; i < orders.size(); ++i)
                list += (i == 0 ? "" : i + 1 == orders.size() ? " or " : ", ") + std::to_string(orders[i]);
            return Refuse(option + ": with " + std::to_string(nup) + " pages per sheet the page order is " + list);
        }
        priv_.PageOrder = INT16(order);
        return true;
    }

    // Layout page: the scale edit, left with a new value. The edit is
    // enabled only while one page goes on a sheet; the rendering DLL prints
    // with the private scale field the edit writes.
    bool SetScale(int scale, const std::string& option) {
        const int nup = priv_.MultipleUp;
        if (nup >= 2 || priv_.Negative)
            return Refuse(option + ": with " + std::to_string(nup) +
                          " pages per sheet the pages are scaled to fit; the scale is for one page per sheet");
        priv_.ScaleCopy = INT16(scale);
        return true;
    }

private:
    // The constraint checker's duplex test: true when `paper` cannot be
    // printed with `duplex`. A custom size is never printed on both sides.
    static bool DuplexConflict(SHORT paper, SHORT duplex) {
        if (duplex <= DMDUP_SIMPLEX) return false;
        if (paper >= kFirstCustomPaper) return true;
        for (const Paper& known : Papers())
            if (known.code == paper) return !Contains(kDuplexPapers, paper);
        return false;
    }

    bool Refuse(std::string message) {
        error_ = std::move(message);
        return false;
    }

    DEVMODEW& pub_;
    PrivateDevmode& priv_;
    std::string& error_;
};

}  // namespace

bool ParsePaper(std::string_view text, PaperChoice& paper, std::string& error) {
    paper = PaperChoice{};
    paper.text = std::string(text);
    for (const Paper& known : Papers()) {
        if (EqualFolded(text, known.name)) {
            paper.code = known.code;
            return true;
        }
    }
    // WIDTHxHEIGHTmm
    const size_t x = text.find_first_of("xX");
    const bool millimetres = text.size() > 2 && EqualFolded(text.substr(text.size() - 2), "mm");
    if (x == std::string_view::npos || !millimetres) {
        if (Papers().empty()) {
            error = PapersError();
            return false;
        }
        error = "unknown paper \"" + std::string(text) + "\" (see --help for the papers, or give WIDTHxHEIGHTmm)";
        return false;
    }
    const int width = ParseTenths(text.substr(0, x));
    const int length = ParseTenths(text.substr(x + 1, text.size() - 2 - (x + 1)));
    if (width < 0 || length < 0) {
        error = "\"" + std::string(text) + "\" is no custom size: give WIDTHxHEIGHTmm, e.g. 100x150mm or 98.5x210mm";
        return false;
    }
    if (width < kCustomMinWidth || width > kCustomMaxWidth || length < kCustomMinLength || length > kCustomMaxLength) {
        error = "a custom paper is " + Tenths(kCustomMinWidth) + " to " + Tenths(kCustomMaxWidth) + " mm wide and " +
                Tenths(kCustomMinLength) + " to " + Tenths(kCustomMaxLength) + " mm long, not " + Tenths(width) +
                " x " + Tenths(length) + " mm";
        return false;
    }
    paper.code = kFirstCustomPaper;
    paper.custom = true;
    paper.widthTenths = SHORT(width);
    paper.lengthTenths = SHORT(length);
    return true;
}

std::string PaperName(SHORT code, SHORT widthTenths, SHORT lengthTenths) {
    for (const Paper& known : Papers())
        if (known.code == code) return known.name;
    if (code >= kFirstCustomPaper) return "custom " + Tenths(widthTenths) + " x " + Tenths(lengthTenths) + " mm";
    return "paper " + std::to_string(code);
}

bool PaperTakesDuplex(SHORT code) { return Contains(kDuplexPapers, code); }

std::vector<int> PageOrdersFor(int nup) {
    switch (nup) {
        case 2: return {0, 1};
        case 4:
        case 8:
        case 16: return {2, 3, 4, 5};
        default: return {};
    }
}

bool ApplyChoices(const Choices& choices, UiDevmode& devmode, std::string& error) {
    Pages pages(devmode, error);
    // The pages in the order a user meets them: paper, then the basic
    // page's copies and sides, then the layout.
    if (choices.paper && !pages.SetPaper(*choices.paper, "--paper " + choices.paper->text)) return false;
    if (choices.copies && !pages.SetCopies(*choices.copies)) return false;
    if (choices.collate && !pages.SetCollate()) return false;
    if (choices.duplex) {
        const char* name = *choices.duplex == DMDUP_VERTICAL ? "long" : *choices.duplex == DMDUP_HORIZONTAL ? "short" : "none";
        if (!pages.SetDuplex(*choices.duplex, std::string("--duplex ") + name)) return false;
    }
    if (choices.resolution && !pages.SetResolution(*choices.resolution)) return false;
    if (choices.orientation && !pages.SetOrientation(*choices.orientation)) return false;
    if (choices.scale && !pages.SetScale(*choices.scale, "--scale " + std::to_string(*choices.scale))) return false;
    if (choices.nup && !pages.SetPagesPerSheet(*choices.nup, "--nup " + std::to_string(*choices.nup))) return false;
    if (choices.order && !pages.SetPageOrder(*choices.order, "--order " + std::to_string(*choices.order)))
        return false;
    return true;
}

std::string DescribeSettings(const UiDevmode& devmode) {
    const DEVMODEW& pub = devmode.pub;
    const PrivateDevmode& priv = devmode.priv;
    std::string text = PaperName(pub.dmPaperSize, pub.dmPaperWidth, pub.dmPaperLength);
    text += pub.dmOrientation == DMORIENT_LANDSCAPE ? ", landscape" : ", portrait";
    text += ", " + std::to_string(pub.dmCopies) + (pub.dmCopies == 1 ? " copy" : " copies");
    if (pub.dmCopies > 1) text += pub.dmCollate == DMCOLLATE_TRUE ? " collated" : " uncollated";
    switch (pub.dmDuplex) {
        case DMDUP_VERTICAL: text += ", two-sided (long edge)"; break;
        case DMDUP_HORIZONTAL: text += ", two-sided (short edge)"; break;
        default: text += ", one-sided"; break;
    }
    if (priv.MultipleUp > 1)
        text += ", " + std::to_string(priv.MultipleUp) + " pages per sheet (order " + std::to_string(priv.PageOrder) +
                ")";
    else
        text += ", 1 page per sheet";
    text += ", scale " + std::to_string(priv.ScaleCopy) + "%";
    if (pub.dmYResolution != 600) text += ", " + std::to_string(pub.dmYResolution) + " dpi";
    return text;
}

}  // namespace tamprint
