// The print tool's command line: options, their values and the help text.
#include "options.h"

#include <cctype>
#include <cstdio>

#include "document.h"
#include "progressline.h"

namespace tamprint {
namespace {

// A whole decimal number from `low` to `high`; false for anything else.
bool ParseNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 6) return false;
    int number = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high) return false;
    value = number;
    return true;
}

// Millimetres of a length in 0.1 mm, to one decimal.
std::string Millimetres(int tenths) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
    return text;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    options = Options{};
    Choices& choices = options.choices;
    bool onlyFiles = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyFiles || arg == "-" || arg.empty() || arg[0] != '-') {
            if (options.document) {
                error = "more than one document: " + *options.document + " and " + arg;
                return false;
            }
            if (arg.empty()) {
                error = "an empty document name";
                return false;
            }
            options.document = arg;
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        // --name=value and --name value
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            const size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                inlineValue = arg.substr(equals + 1);
                arg.resize(equals);
            }
        }
        auto flag = [&]() {
            if (inlineValue) error = arg + " takes no value";
            return !inlineValue;
        };
        std::string value;
        auto takeValue = [&]() {
            if (inlineValue) {
                value = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = arg + " needs a value (see --help)";
                return false;
            }
            value = args[++i];
            return true;
        };
        int number = 0;
        if (arg == "-h" || arg == "--help") {
            if (!flag()) return false;
            options.help = true;
        } else if (arg == "--dump") {
            if (!flag()) return false;
            options.dump = true;
        } else if (arg == "--collate") {
            if (!flag()) return false;
            choices.collate = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!takeValue()) return false;
            if (value.empty()) {
                error = arg + ": an empty file name";
                return false;
            }
            options.output = value;
        } else if (arg == "--machine") {
            if (!takeValue()) return false;
            if (value.empty()) {
                error = "--machine: an empty folder name";
                return false;
            }
            options.machine = value;
        } else if (arg == "--paper") {
            if (!takeValue()) return false;
            PaperChoice paper;
            std::string message;
            if (!ParsePaper(value, paper, message)) {
                error = "--paper " + value + ": " + message;
                return false;
            }
            choices.paper = paper;
        } else if (arg == "--orientation") {
            if (!takeValue()) return false;
            if (value == "portrait")
                choices.orientation = DMORIENT_PORTRAIT;
            else if (value == "landscape")
                choices.orientation = DMORIENT_LANDSCAPE;
            else {
                error = "--orientation " + value + ": expected portrait or landscape";
                return false;
            }
        } else if (arg == "--copies") {
            if (!takeValue()) return false;
            if (!ParseNumber(value, 1, 999, number)) {
                error = "--copies " + value + ": the number of copies is 1 to 999";
                return false;
            }
            choices.copies = SHORT(number);
        } else if (arg == "--duplex") {
            if (!takeValue()) return false;
            if (value == "none")
                choices.duplex = DMDUP_SIMPLEX;
            else if (value == "long")
                choices.duplex = DMDUP_VERTICAL;
            else if (value == "short")
                choices.duplex = DMDUP_HORIZONTAL;
            else {
                error = "--duplex " + value + ": expected none, long or short";
                return false;
            }
        } else if (arg == "--nup") {
            if (!takeValue()) return false;
            if (!ParseNumber(value, 1, 16, number) || (number & (number - 1)) != 0) {
                error = "--nup " + value + ": pages per sheet are 1, 2, 4, 8 or 16";
                return false;
            }
            choices.nup = number;
        } else if (arg == "--order") {
            if (!takeValue()) return false;
            if (!ParseNumber(value, 0, 5, number)) {
                error = "--order " + value + ": a page order is 0 or 1 with --nup 2, 2 to 5 with --nup 4, 8 or 16";
                return false;
            }
            choices.order = number;
        } else if (arg == "--scale") {
            if (!takeValue()) return false;
            if (!ParseNumber(value, 25, 400, number)) {
                error = "--scale " + value + ": the scale is 25 to 400 percent";
                return false;
            }
            choices.scale = number;
        } else if (arg == "--resolution") {
            if (!takeValue()) return false;
            if (value != "600" && value != "1200") {
                error = "--resolution " + value + ": expected 600 or 1200";
                return false;
            }
            choices.resolution = SHORT(value == "600" ? 600 : 1200);
        } else if (arg == "--pages") {
            if (!takeValue()) return false;
            if (!ParseNumber(value, 1, kMaxPages, number)) {
                error = "--pages " + value + ": the sample has 1 to " + std::to_string(kMaxPages) + " pages";
                return false;
            }
            options.samplePages = number;
        } else {
            error = "unknown option " + arg + " (see --help)";
            return false;
        }
    }
    if (options.samplePages && options.document) {
        error = "--pages sets the pages of the built-in sample; " + *options.document + " lists its own";
        return false;
    }
    return true;
}

std::string HelpText() {
    std::string text =
        "usage: tamprint [OPTIONS] [DOCUMENT]\n"
        "\n"
        "Prints DOCUMENT (a JSON description of pages, - for standard input; without\n"
        "one, a built-in sample of 4 pages) on the printer \"Korvan Laser\" of a\n"
        "simulated Windows machine, through the driver as an application prints:\n"
        "CreateDC with the settings chosen below, StartDoc, StartPage and EndPage for\n"
        "each page, EndDoc. The job the driver wrote is copied to the output file,\n"
        "and a summary says what was printed.\n"
        "\n"
        "Output and machine:\n"
        "  -o, --output FILE      where the job goes (default: ./" +
        std::string(kDefaultOutput) +
        ");\n"
        "                         written only when the job printed, never\n"
        "                         left half-written\n"
        "  --machine DIR          the machine's folder (default: $TAM_MACHINE, else\n"
        "                         $XDG_DATA_HOME/korvan/machine, else\n"
        "                         ~/.local/share/korvan/machine). A new or empty\n"
        "                         folder gets a machine, with the driver installed\n"
        "                         from this program's folder and the printer added;\n"
        "                         later runs reuse it and refresh the driver's files\n"
        "                         when the build changed them. A run waits while\n"
        "                         another program uses the machine\n"
        "  --dump                 also print the job, decoded: PJL lines and PCL XL\n"
        "                         operators with their attributes\n"
        "  --pages N              print the built-in sample with N pages (1 to 10000)\n"
        "  -h, --help             this text\n"
        "\n"
        "Settings, as the driver's dialogs set them (unset: the printer's defaults,\n"
        "letter or a4 by the machine's country, portrait, 1 copy, one-sided):\n"
        "  --paper NAME           a paper of the paper page (below), or a custom size\n"
        "                         WIDTHxHEIGHTmm (76.2 to 215.9 mm wide, 148 to 355.6 mm\n"
        "                         long, one decimal at most), e.g. 100x150mm\n"
        "  --orientation portrait|landscape\n"
        "  --copies N             1 to 999\n"
        "  --collate              print copies as whole sets of the document\n"
        "  --duplex none|long|short\n"
        "                         two-sided printing bound on the long or short edge\n"
        "                         (letter, a4, legal, folio, oficio and 16k only)\n"
        "  --nup 1|2|4|8|16       pages per sheet\n"
        "  --order N              order of the pages on the sheet:\n"
        "                           with --nup 2: 0 first page left (or top), 1 first\n"
        "                           page right (or bottom); default 0\n"
        "                           with --nup 4, 8, 16: 2 across then down, 3 down\n"
        "                           then across, 4 across from the right then down,\n"
        "                           5 down then across from the right; default 2\n"
        "  --scale PERCENT        25 to 400, with one page per sheet only\n"
        "  --resolution 600|1200  the dots per inch the driver renders at (default 600)\n"
        "\n"
        "Papers (width x height in mm), as the driver lists them; each is named by\n"
        "the first word of the driver's name for it, lower-cased (\"A4 210 x 297 mm\"\n"
        "is a4):\n";
    if (Papers().empty()) text += "  (" + PapersError() + ")\n";
    int column = 0;
    for (const Paper& paper : Papers()) {
        char item[64];
        std::snprintf(item, sizeof item, "  %-16s %5s x %-5s", paper.name.c_str(), Millimetres(paper.widthTenths).c_str(),
                      Millimetres(paper.heightTenths).c_str());
        text += item;
        text += ++column % 2 == 0 ? "\n" : "   ";
    }
    if (column % 2) text += "\n";
    text +=
        "\n"
        "Documents (JSON; comments allowed; unknown keys are refused):\n"
        "  {\"title\": \"Report\",         the document's name (default: the file name)\n"
        "   \"pages\": [{},               a page with the settings above\n"
        "             {\"orientation\": \"landscape\"}]}\n"
        "                               a page turned (\"portrait\" or \"landscape\")\n"
        "  \"pages\" may also be a count: {\"pages\": 12}. A page's \"draw\" list holds\n"
        "  shapes, drawn in order, in points (1/72 inch) from the top-left corner of\n"
        "  the paper, x to the right and y down:\n"
        "    {\"line\": [[72, 72], [540, 72]], \"pen\": {\"width\": 2, \"colour\": \"#404040\"}}\n"
        "    {\"rectangle\": [[72, 100], [200, 200]], \"brush\": {\"colour\": \"#c0c0c0\"}}\n"
        "  Shapes: line (2 points), polyline (2+), polygon (3+), bezier (3n+1),\n"
        "  rectangle, ellipse and roundrect (two corners; a roundrect's \"corner\" is\n"
        "  [width, height] of its corners' ellipse), arc (two corners, then the points\n"
        "  where it starts and ends, counter-clockwise), and path: a list of\n"
        "  {\"move\": point}, {\"line\": [points]}, {\"bezier\": [3n points]} and \"close\".\n"
        "  \"pen\": \"none\" or {\"colour\": \"#rrggbb\", \"width\": points (0 the thinnest),\n"
        "  \"style\": solid, dash, dot, dashdot or none} (dashed pens are the thinnest);\n"
        "  \"brush\": \"none\" (the default), {\"colour\"} or {\"hatch\": horizontal,\n"
        "  vertical, fdiagonal, bdiagonal, cross or diagcross, \"colour\"}, for closed\n"
        "  shapes. A mistake in a shape is reported with its line.\n"
        "\n"
        "A document of more than " + std::to_string(kProgressPages) + " pages shows its progress on standard error:\n"
        "on a terminal, a line that follows the pages as they print (a few updates a\n"
        "second); in a file or a pipe, the number of pages printed, once at the end.\n"
        "\n"
        "Exit codes: 0 printed; 1 the driver, the spooler or the machine failed (the\n"
        "message says how); 2 a wrong option, value or document. After a failure no\n"
        "job file is written.\n";
    return text;
}

}  // namespace tamprint
