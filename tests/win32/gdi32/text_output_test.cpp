// Text output through GDI: ExtTextOutW and TextOutW with the DC's alignment
// and character extra.
//
// On a printer DC of the test driver (600 dpi, one logical unit a pixel)
// the glyphs reach DrvTextOut at the places GDI's rules give: the font's
// advances (FreeType's hinted advances of the same file, the independent
// oracle) or lpDx, from the reference point moved by the alignment, along
// the baseline the escapement turns. On a memory DC the text is rasterised:
// runs drawn by one call are compared with the same glyphs drawn where the
// extents and metrics GDI reports say they go.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "gdi32/pngsave.h"
#include "win32/gdi32/font_fixture.h"
#include "win32/gdi32/memory_dc_fixture.h"

using tam::test::DcKind;
using tam::test::FontTest;
using tam::test::FtFace;
using tam::test::PixelSet;

namespace {

constexpr char16_t kFace[] = u"DejaVu Sans";
const std::u16string kHello = u"Hello";

// One glyph of DrvTextOut's list: its handle and reference point.
struct Placed {
    ULONG glyph = 0;
    LONG x = 0, y = 0;
    bool operator==(const Placed&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Placed& p) { return out << p.glyph << "@" << p.x << "," << p.y; }

// What the driver logged of one DrvTextOut: "list=[hg@x,y ...]", "opaque=l,t,r,b",
// "extra=[l,t,r,b]...", or "none".
std::vector<Placed> GlyphList(const std::string& line) {
    std::vector<Placed> glyphs;
    const size_t at = line.find(" list=[");
    if (at == std::string::npos) return glyphs;
    std::istringstream list(line.substr(at + 7, line.find(']', at) - at - 7));
    for (std::string entry; list >> entry;) {
        unsigned long glyph = 0;
        int x = 0, y = 0;
        if (std::sscanf(entry.c_str(), "%lu@%d,%d", &glyph, &x, &y) == 3) glyphs.push_back(Placed{ULONG(glyph), x, y});
    }
    return glyphs;
}
std::string Field(const std::string& line, const std::string& name) {
    const size_t at = line.find(" " + name + "=");
    if (at == std::string::npos) return {};
    const size_t start = at + name.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}
std::vector<RECT> Rects(const std::string& field) {
    std::vector<RECT> rects;
    for (size_t at = field.find('['); at != std::string::npos; at = field.find('[', at + 1)) {
        RECT r;
        std::sscanf(field.c_str() + at + 1, "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom);
        rects.push_back(r);
    }
    return rects;
}
std::string RectText(LONG l, LONG t, LONG r, LONG b) {
    return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
}

// A printer DC with a page open and a 40-pixel em of DejaVu Sans selected;
// FreeType's face at that em tells where the glyphs belong.
class PrinterText : public FontTest {
protected:
    HDC OpenPage(LONG escapement = 0, bool underline = false, bool strikeOut = false) {
        HDC dc = MakeDC(DcKind::Printer);
        LOGFONTW lf{};
        lf.lfHeight = -40;
        lf.lfEscapement = lf.lfOrientation = escapement;
        lf.lfUnderline = underline;
        lf.lfStrikeOut = strikeOut;
        std::copy_n(kFace, std::char_traits<char16_t>::length(kFace), lf.lfFaceName);
        Use(dc, lf);
        DOCINFOW info{sizeof(DOCINFOW), u"Text", nullptr, nullptr, 0};
        EXPECT_GT(StartDocW(dc, &info), 0) << GetLastError();
        EXPECT_GT(StartPage(dc), 0) << GetLastError();
        w32::DebugLogClear();
        return dc;
    }
    void TearDown() override {
        if (printer_) EndDoc(printer_);
        FontTest::TearDown();
    }

    FtFace face_{tam::test::kDejaVuSans, 40};
    HDC printer_ = nullptr;
};

struct PlacementCase {
    const char* name;
    UINT align;
    UINT options;
    std::vector<INT> dx;  // lpDx (pairs with ETO_PDY); empty: none
    int charExtra;
    LONG escapement;
};
const PlacementCase kPlacement[] = {
    {"LeftTopAdvances", TA_LEFT | TA_TOP, 0, {}, 0, 0},
    {"LeftTopDx", TA_LEFT | TA_TOP, 0, {30, 25, 41, 10, 6}, 0, 0},
    {"PdyPairs", TA_LEFT | TA_TOP, ETO_PDY, {30, 4, 25, -6, 41, 0, 10, 2, 6, 0}, 0, 0},
    {"RightBaselineDx", TA_RIGHT | TA_BASELINE, 0, {30, 25, 41, 10, 6}, 0, 0},
    {"CenterBottomDx", TA_CENTER | TA_BOTTOM, 0, {30, 25, 41, 10, 6}, 0, 0},
    {"RightTopAdvances", TA_RIGHT | TA_TOP, 0, {}, 0, 0},
    {"CharacterExtra", TA_LEFT | TA_TOP, 0, {}, 7, 0},
    {"Escapement900", TA_LEFT | TA_TOP, 0, {}, 0, 900},
    {"Escapement900Dx", TA_LEFT | TA_BASELINE, 0, {30, 25, 41, 10, 6}, 0, 900},
    {"Escapement900Right", TA_RIGHT | TA_BOTTOM, 0, {}, 0, 900},
};

class PrinterPlacement : public PrinterText, public testing::WithParamInterface<PlacementCase> {};

// "Hello" at (100, 200): each glyph advances along the baseline by the
// font's advance plus the extra, or by its lpDx; the run starts at the
// reference point (TA_LEFT), ends there (TA_RIGHT) or is centred on it, and
// the reference point is the top of the cell (ascent above the baseline),
// its bottom (descent below) or on the baseline. A positive ETO_PDY dy
// moves the next glyph up. Escapement 900 runs the baseline up the page,
// with the font's "down" pointing right.
TEST_P(PrinterPlacement, GlyphsSitWhereAdvancesAndAlignmentPutThem) {
    const PlacementCase& c = GetParam();
    printer_ = OpenPage(c.escapement);
    SetTextAlign(printer_, c.align);
    SetTextCharacterExtra(printer_, c.charExtra);
    const bool pairs = c.options & ETO_PDY;
    ASSERT_TRUE(ExtTextOutW(printer_, 100, 200, c.options, nullptr, kHello.data(), UINT(kHello.size()),
                            c.dx.empty() ? nullptr : c.dx.data()))
        << GetLastError();
    const std::string line = DriverLine("DrvTextOut");
    ASSERT_NE(line, "");

    // Steps along the baseline and up across it, in pixels.
    std::vector<double> stepU, stepUp;
    for (size_t i = 0; i < kHello.size(); ++i) {
        stepU.push_back(c.dx.empty() ? face_.Advance(kHello[i]) + c.charExtra : c.dx[pairs ? 2 * i : i]);
        stepUp.push_back(pairs ? c.dx[2 * i + 1] : 0);
    }
    double width = 0, rise = 0;
    for (size_t i = 0; i < stepU.size(); ++i) width += stepU[i], rise += stepUp[i];
    const UINT horizontal = c.align & TA_CENTER, vertical = c.align & TA_BASELINE;
    const double share = horizontal == TA_RIGHT ? 1 : horizontal == TA_CENTER ? 0.5 : 0;
    double u = -share * width, up = -share * rise;
    const double down = vertical == TA_TOP ? face_.Ascent() : vertical == TA_BOTTOM ? -face_.Descent() : 0;
    // One pixel along the baseline and one down across it, on the device.
    const POINT along = c.escapement == 900 ? POINT{0, -1} : POINT{1, 0};
    const POINT across = c.escapement == 900 ? POINT{1, 0} : POINT{0, 1};
    std::vector<Placed> expected;
    for (size_t i = 0; i < kHello.size(); ++i) {
        const double v = down - up;
        expected.push_back(Placed{face_.GlyphOf(kHello[i]), LONG(std::lround(100 + u * along.x + v * across.x)),
                                  LONG(std::lround(200 + u * along.y + v * across.y))});
        u += stepU[i];
        up += stepUp[i];
    }
    EXPECT_EQ(GlyphList(line), expected) << line;
    // The font's own placement only without lpDx and extra.
    const ULONG accel = std::stoul(Field(line, "accel"), nullptr, 16);
    EXPECT_EQ((accel & SO_FLAG_DEFAULT_PLACEMENT) != 0, c.dx.empty() && c.charExtra == 0) << line;
    EXPECT_EQ(Field(line, "text"), "Hello");
}

INSTANTIATE_TEST_SUITE_P(All, PrinterPlacement, testing::ValuesIn(kPlacement),
                         [](const auto& info) { return std::string(info.param.name); });

// ETO_OPAQUE hands the rectangle to the driver to fill in the background
// colour, ETO_CLIPPED clips the run to it; the colours are the DC's.
TEST_F(PrinterText, OpaqueAndClippedRectangleGoWithTheRun) {
    printer_ = OpenPage();
    SetTextColor(printer_, RGB(0, 0, 255));
    SetBkColor(printer_, RGB(255, 255, 0));
    const RECT rect{180, 230, 90, 190};  // corners in either order
    ASSERT_TRUE(ExtTextOutW(printer_, 100, 200, ETO_OPAQUE | ETO_CLIPPED, &rect, kHello.data(), 5, nullptr));
    const std::string line = DriverLine("DrvTextOut");
    EXPECT_EQ(Field(line, "opaque"), RectText(90, 190, 180, 230)) << line;
    EXPECT_EQ(Field(line, "clip"), "1") << line;  // DC_RECT
    EXPECT_EQ(Field(line, "bounds"), RectText(90, 190, 180, 230)) << line;
    EXPECT_EQ(Field(line, "fore"), "00ff0000") << line;
    EXPECT_EQ(Field(line, "back"), "0000ffff") << line;
    EXPECT_EQ(GlyphList(line).front(), (Placed{face_.GlyphOf('H'), 100, 200 + face_.Ascent()})) << line;
}

// In the OPAQUE background mode the driver fills the text's box: its
// advance along the baseline, from the ascent above it to the descent
// below, turned with the baseline; TRANSPARENT fills nothing.
TEST_F(PrinterText, BackgroundModeFillsTheTextBox) {
    const LONG width = face_.Extent(kHello), height = face_.Ascent() + face_.Descent();
    for (const LONG escapement : {0, 900}) {
        w32::DebugLogClear();
        HDC dc = OpenPage(escapement);
        ASSERT_TRUE(TextOutW(dc, 100, 200, kHello.data(), 5));
        SetBkMode(dc, TRANSPARENT);
        ASSERT_TRUE(TextOutW(dc, 100, 200, kHello.data(), 5));
        std::vector<std::string> opaque;
        for (const std::string& line : DriverLog())
            if (line.rfind("DrvTextOut", 0) == 0) opaque.push_back(Field(line, "opaque"));
        const std::string box = escapement ? RectText(100, 200 - width, 100 + height, 200)
                                           : RectText(100, 200, 100 + width, 200 + height);
        EXPECT_EQ(opaque, (std::vector<std::string>{box, "none"})) << escapement;
        EndDoc(dc);
    }
}

// An underlined and struck-out font adds two bars as long as the run: the
// underline below the baseline, the strike-out above it.
TEST_F(PrinterText, UnderlineAndStrikeOutAreExtraRectangles) {
    printer_ = OpenPage(0, true, true);
    SetBkMode(printer_, TRANSPARENT);
    ASSERT_TRUE(TextOutW(printer_, 100, 200, kHello.data(), 5));
    const std::string line = DriverLine("DrvTextOut");
    const std::vector<RECT> bars = Rects(Field(line, "extra"));
    ASSERT_EQ(bars.size(), 2u) << line;
    const LONG baseline = 200 + face_.Ascent();
    for (const RECT& bar : bars) {
        EXPECT_EQ(bar.left, 100) << line;
        EXPECT_EQ(bar.right, 100 + face_.Extent(kHello)) << line;
        EXPECT_GT(bar.bottom, bar.top) << line;
    }
    EXPECT_GT(bars[0].top, baseline) << line;      // underline
    EXPECT_LE(bars[1].bottom, baseline) << line;   // strike-out
    EXPECT_GT(bars[1].top, 200) << line;           // within the cell
}

// Outside a page the call fails as every drawing call does, and the driver hears nothing.
TEST_F(PrinterText, OutsideAPageNothingIsDrawn) {
    printer_ = OpenPage();
    ASSERT_GT(EndPage(printer_), 0);
    w32::DebugLogClear();
    SetLastError(0);
    EXPECT_FALSE(TextOutW(printer_, 100, 200, kHello.data(), 5));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(DriverLine("DrvTextOut"), "");
}

// Memory DCs over 32-bit DIB sections, white, with black text of DejaVu
// Sans at a 24-pixel em in the TRANSPARENT mode unless a test says otherwise.
class RasterText : public FontTest {
protected:
    static constexpr LONG kWidth = 480, kHeight = 120;

    void TearDown() override {
        canvases_.Release();
        FontTest::TearDown();
    }

    HDC NewSurface() {
        HDC dc = canvases_.New();
        Use(dc, kFace, -24);
        SetBkMode(dc, TRANSPARENT);
        return dc;
    }

    PixelSet PixelsOf(HDC dc, COLORREF color) const { return canvases_.PixelsOf(dc, color); }
    // The pixels that are not white.
    PixelSet Ink(HDC dc) const { return canvases_.Ink(dc); }

    static LONG Extent(HDC dc, std::u16string_view text) { return tam::test::TextExtent(dc, text); }
    static TEXTMETRICW Metrics(HDC dc) { return tam::test::TextMetrics(dc); }
    static bool Draw(HDC dc, LONG x, LONG y, std::u16string_view text) {
        return TextOutW(dc, x, y, text.data(), int(text.size()));
    }

private:
    tam::test::DibCanvases canvases_{kWidth, kHeight};
};

// Each glyph of a run lies where the extent of the characters before it
// says: drawn one by one at those places, the glyphs give the same picture
// as the run. The picture is saved as a PNG (kept in the folder named by
// TAM_TEXT_PICTURES, for a person to look at).
TEST_F(RasterText, EachGlyphSitsAtTheExtentOfTheTextBeforeIt) {
    const std::u16string text = u"Hello, World! AVWay";
    HDC run = NewSurface(), glyphs = NewSurface();
    ASSERT_TRUE(Draw(run, 10, 20, text)) << GetLastError();
    for (size_t i = 0; i < text.size(); ++i)
        ASSERT_TRUE(Draw(glyphs, 10 + Extent(glyphs, std::u16string_view(text).substr(0, i)), 20, text.substr(i, 1)));
    const PixelSet ink = Ink(run);
    EXPECT_EQ(ink, Ink(glyphs));
    // All of it inside the cells: the rows of the cell, the columns of the extent.
    ASSERT_FALSE(ink.empty());
    const LONG height = Metrics(run).tmHeight, width = Extent(run, text);
    for (const auto& [x, y] : ink) {
        EXPECT_TRUE(y >= 20 && y < 20 + height && x >= 10 && x < 10 + width) << x << "," << y;
    }

    const char* keep = std::getenv("TAM_TEXT_PICTURES");
    const std::filesystem::path file =
        std::filesystem::path(keep ? keep : testing::TempDir().c_str()) / "text-output-run.png";
    EXPECT_TRUE(w32::gdi::SavePng(run, file.string().c_str())) << GetLastError();
    EXPECT_GT(std::filesystem::file_size(file), 0u);
    if (!keep) std::filesystem::remove(file);
}

struct AlignCase {
    const char* name;
    UINT align;
    bool centred;  // lpDx of an even total, so that the centre is a whole pixel
};
const AlignCase kAlign[] = {
    {"RightTop", TA_RIGHT | TA_TOP, false},
    {"CenterTop", TA_CENTER | TA_TOP, true},
    {"LeftBaseline", TA_LEFT | TA_BASELINE, false},
    {"LeftBottom", TA_LEFT | TA_BOTTOM, false},
    {"RightBaseline", TA_RIGHT | TA_BASELINE, false},
};
class RasterAlign : public RasterText, public testing::WithParamInterface<AlignCase> {};

// An aligned run is the TA_LEFT | TA_TOP run moved by its width (TA_RIGHT),
// half of it (TA_CENTER), the ascent (TA_BASELINE) or the height (TA_BOTTOM).
TEST_P(RasterAlign, MovesTheRunByItsExtentAndMetrics) {
    const AlignCase& c = GetParam();
    HDC aligned = NewSurface(), plain = NewSurface();
    const std::vector<INT> dx = {14, 16, 12, 14};
    const INT* spacing = c.centred ? dx.data() : nullptr;
    const std::u16string text = u"Word";
    SetTextAlign(aligned, c.align);
    ASSERT_TRUE(ExtTextOutW(aligned, 200, 60, 0, nullptr, text.data(), 4, spacing));
    const LONG width = c.centred ? 56 : Extent(plain, text);
    const TEXTMETRICW tm = Metrics(plain);
    const UINT horizontal = c.align & TA_CENTER, vertical = c.align & TA_BASELINE;
    const LONG x = 200 - (horizontal == TA_RIGHT ? width : horizontal == TA_CENTER ? width / 2 : 0);
    const LONG y = 60 - (vertical == TA_BASELINE ? tm.tmAscent : vertical == TA_BOTTOM ? tm.tmHeight : 0);
    ASSERT_TRUE(ExtTextOutW(plain, x, y, 0, nullptr, text.data(), 4, spacing));
    EXPECT_FALSE(Ink(plain).empty());
    EXPECT_EQ(Ink(aligned), Ink(plain));
}

INSTANTIATE_TEST_SUITE_P(All, RasterAlign, testing::ValuesIn(kAlign),
                         [](const auto& info) { return std::string(info.param.name); });

struct UpdateCpCase {
    const char* name;
    UINT horizontal;
    int direction;  // the current position moves by the run's width this way
};
const UpdateCpCase kUpdateCp[] = {{"Left", TA_LEFT, 1}, {"Right", TA_RIGHT, -1}, {"Center", TA_CENTER, 0}};
class RasterUpdateCp : public RasterText, public testing::WithParamInterface<UpdateCpCase> {};

// With TA_UPDATECP two calls draw from the current position, ignoring x
// and y, and leave it past their runs: after them for TA_LEFT, before them
// for TA_RIGHT (the runs go leftwards), where it was for TA_CENTER.
TEST_P(RasterUpdateCp, RunsStartAtAndMoveTheCurrentPosition) {
    const UpdateCpCase& c = GetParam();
    HDC dc = NewSurface(), expected = NewSurface();
    SetTextAlign(dc, TA_UPDATECP | c.horizontal);
    ASSERT_TRUE(MoveToEx(dc, 200, 40, nullptr));
    ASSERT_TRUE(Draw(dc, 5, 5, u"Hello"));
    ASSERT_TRUE(Draw(dc, 5, 5, u"World"));
    POINT cp{};
    ASSERT_TRUE(GetCurrentPositionEx(dc, &cp));
    const LONG hello = Extent(dc, u"Hello"), world = Extent(dc, u"World");
    EXPECT_EQ(cp.x, 200 + c.direction * (hello + world));
    EXPECT_EQ(cp.y, 40);
    if (c.horizontal == TA_LEFT) {
        ASSERT_TRUE(Draw(expected, 200, 40, u"HelloWorld"));
    } else if (c.horizontal == TA_RIGHT) {
        ASSERT_TRUE(Draw(expected, 200 - hello - world, 40, u"WorldHello"));
    } else {
        ASSERT_TRUE(Draw(expected, 200 - hello / 2, 40, u"Hello"));
        SetTextAlign(expected, TA_CENTER);
        ASSERT_TRUE(Draw(expected, 200, 40, u"World"));
    }
    EXPECT_EQ(Ink(dc), Ink(expected));
}

INSTANTIATE_TEST_SUITE_P(All, RasterUpdateCp, testing::ValuesIn(kUpdateCp),
                         [](const auto& info) { return std::string(info.param.name); });

// ETO_OPAQUE fills its rectangle with the background colour, for an empty
// string too; ETO_CLIPPED keeps the text inside it.
TEST_F(RasterText, OpaqueFillsAndClippedCutsToTheRectangle) {
    HDC dc = NewSurface();
    SetBkColor(dc, RGB(255, 0, 0));
    const RECT rect{90, 50, 30, 10};
    ASSERT_TRUE(ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr)) << GetLastError();
    EXPECT_EQ(PixelsOf(dc, RGB(255, 0, 0)), tam::test::RectPixels(30, 10, 90, 50));

    HDC whole = NewSurface(), clipped = NewSurface();
    const RECT cut{20, 25, 60, 40};
    ASSERT_TRUE(ExtTextOutW(whole, 10, 20, 0, nullptr, kHello.data(), 5, nullptr));
    ASSERT_TRUE(ExtTextOutW(clipped, 10, 20, ETO_CLIPPED, &cut, kHello.data(), 5, nullptr));
    PixelSet inside;
    for (const auto& p : Ink(whole))
        if (p.first >= 20 && p.first < 60 && p.second >= 25 && p.second < 40) inside.insert(p);
    EXPECT_FALSE(inside.empty());
    EXPECT_EQ(Ink(clipped), inside);
}

// In the OPAQUE mode the background colour fills the text's box, the
// extent wide and tmHeight tall, and the glyphs are drawn over it.
TEST_F(RasterText, OpaqueModeFillsTheTextBox) {
    HDC dc = NewSurface(), glyphs = NewSurface();
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    ASSERT_TRUE(Draw(dc, 20, 30, u"Hi there"));
    ASSERT_TRUE(Draw(glyphs, 20, 30, u"Hi there"));
    const PixelSet box = tam::test::RectPixels(20, 30, 20 + Extent(dc, u"Hi there"), 30 + Metrics(dc).tmHeight);
    EXPECT_EQ(Ink(dc), box);
    PixelSet green = box;
    for (const auto& p : Ink(glyphs)) green.erase(p);
    EXPECT_EQ(PixelsOf(dc, RGB(0, 255, 0)), green);
}

// The character extra (logical units) comes after each character: the
// glyphs sit where their widths plus the extra put them, as the extents
// count them too.
TEST_F(RasterText, CharacterExtraSpacesTheCharacters) {
    HDC dc = NewSurface(), glyphs = NewSurface();
    EXPECT_EQ(SetTextCharacterExtra(dc, 5), 0);
    EXPECT_EQ(GetTextCharacterExtra(dc), 5);
    const std::u16string text = u"abc";
    ASSERT_TRUE(Draw(dc, 10, 10, text));
    LONG x = 10;
    for (const char16_t ch : text) {
        ASSERT_TRUE(Draw(glyphs, x, 10, std::u16string(1, ch)));
        x += Extent(glyphs, std::u16string(1, ch)) + 5;
    }
    EXPECT_EQ(Ink(dc), Ink(glyphs));
    EXPECT_EQ(Extent(dc, text), x - 10);
}

// A million characters draw in one call, the visible ones as a short run
// does, and the current position moves by the whole extent.
TEST_F(RasterText, AMillionCharactersDraw) {
    HDC dc = NewSurface(), start = NewSurface();
    const std::u16string text(1000000, u'x');
    SetTextAlign(dc, TA_UPDATECP);
    ASSERT_TRUE(MoveToEx(dc, 10, 10, nullptr));
    ASSERT_TRUE(Draw(dc, 0, 0, text)) << GetLastError();
    ASSERT_TRUE(Draw(start, 10, 10, std::u16string_view(text).substr(0, 60)));
    EXPECT_EQ(Ink(dc), Ink(start));
    POINT cp{};
    ASSERT_TRUE(GetCurrentPositionEx(dc, &cp));
    EXPECT_EQ(cp.x, 10 + Extent(dc, text));
}

// Inside a path bracket the glyphs' outlines are recorded, within the
// text's cells; the OPAQUE mode adds the box as a figure of four corners.
TEST_F(RasterText, TextInAPathRecordsOutlines) {
    HDC dc = NewSurface();
    auto record = [&](int mode) {
        SetBkMode(dc, mode);
        EXPECT_TRUE(BeginPath(dc));
        EXPECT_TRUE(Draw(dc, 20, 30, u"Hi"));
        EXPECT_TRUE(EndPath(dc));
        const int count = GetPath(dc, nullptr, nullptr, 0);
        std::vector<POINT> points(size_t(std::max(count, 0)));
        std::vector<BYTE> types(points.size());
        EXPECT_EQ(GetPath(dc, points.data(), types.data(), count), count);
        return points;
    };
    const std::vector<POINT> outline = record(TRANSPARENT);
    ASSERT_GT(outline.size(), 8u);
    const LONG width = Extent(dc, u"Hi"), height = Metrics(dc).tmHeight;
    for (const POINT& p : outline) {
        EXPECT_TRUE(p.x >= 20 && p.x <= 20 + width && p.y >= 30 && p.y <= 30 + height) << p.x << "," << p.y;
    }
    const std::vector<POINT> boxed = record(OPAQUE);
    ASSERT_EQ(boxed.size(), outline.size() + 4);
    const POINT corners[] = {{20, 30}, {20 + width, 30}, {20 + width, 30 + height}, {20, 30 + height}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(boxed[i].x, corners[i].x) << i;
        EXPECT_EQ(boxed[i].y, corners[i].y) << i;
    }
}

// Bad input fails with the Win32 error and draws nothing.
TEST_F(RasterText, BadInputFails) {
    HDC dc = NewSurface();
    const WCHAR text[] = u"abc";
    struct Case {
        const char* name;
        std::function<BOOL()> call;
        DWORD error;
    };
    const Case cases[] = {
        {"NullString", [&] { return ExtTextOutW(dc, 0, 0, 0, nullptr, nullptr, 3, nullptr); }, ERROR_INVALID_PARAMETER},
        {"HugeCount", [&] { return ExtTextOutW(dc, 0, 0, 0, nullptr, text, 0x80000000u, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"CountPastTheLimit", [&] { return ExtTextOutW(dc, 0, 0, 0, nullptr, text, (1u << 24) + 1, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"NegativeCount", [&] { return TextOutW(dc, 0, 0, text, -1); }, ERROR_INVALID_PARAMETER},
        {"BadDC", [&] { return TextOutW(HDC(0x4321), 0, 0, text, 3); }, ERROR_INVALID_HANDLE},
        {"FarOutside", [&] { return TextOutW(dc, 0x7FFFFFF0, 0, text, 3); }, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_TRUE(Ink(dc).empty());
    // No string, no lpDx: nothing to draw, and that succeeds.
    EXPECT_TRUE(ExtTextOutW(dc, 0, 0, 0, nullptr, nullptr, 0, nullptr));

    SetLastError(0);
    EXPECT_EQ(SetTextAlign(HDC(0x4321), TA_RIGHT), UINT(GDI_ERROR));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetTextAlign(HDC(0x4321)), UINT(GDI_ERROR));
    EXPECT_EQ(SetTextCharacterExtra(HDC(0x4321), 3), int(0x80000000));
    EXPECT_EQ(GetTextCharacterExtra(HDC(0x4321)), int(0x80000000));
}

// The alignment and the extra are the DC's: the setters answer the previous value.
TEST_F(RasterText, AlignmentAndExtraAreKeptByTheDC) {
    HDC dc = NewSurface();
    EXPECT_EQ(GetTextAlign(dc), UINT(TA_LEFT | TA_TOP | TA_NOUPDATECP));
    EXPECT_EQ(SetTextAlign(dc, TA_RIGHT | TA_BASELINE | TA_UPDATECP), UINT(TA_LEFT | TA_TOP));
    EXPECT_EQ(GetTextAlign(dc), UINT(TA_RIGHT | TA_BASELINE | TA_UPDATECP));
    EXPECT_EQ(SetTextCharacterExtra(dc, -2), 0);
    EXPECT_EQ(SetTextCharacterExtra(dc, 4), -2);
    EXPECT_EQ(SaveDC(dc), 1);
    SetTextAlign(dc, TA_CENTER);
    SetTextCharacterExtra(dc, 9);
    ASSERT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextAlign(dc), UINT(TA_RIGHT | TA_BASELINE | TA_UPDATECP));
    EXPECT_EQ(GetTextCharacterExtra(dc), 4);
}

}  // namespace
