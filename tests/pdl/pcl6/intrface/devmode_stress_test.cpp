// Damaged settings, in the manner of a driver stress tool: thousands of
// random mutations of valid DEVMODEs (sizes, versions, fields, texts) go
// through the conversion and the check. Each is either refused or repaired
// into settings that keep every rule; none may crash or read or write out of
// bounds (the suite also runs under the address and undefined-behaviour
// sanitizers).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "pcl6/intrface/devmod1.h"
#include "pcl6/intrface/devmod2.h"
#include "pcl6/intrface/xmodel.h"
#include "settings_image.h"
#include "support/machine_fixture.h"
#include "support/stress_run.h"

namespace tam::test {
namespace {

constexpr size_t P = 220;
constexpr int kIterations = 10000;  // by default; see support/stress_run.h

// What merged settings may hold, stated field by field.
std::vector<std::string> Violations(const RendDevmode& s) {
    std::vector<std::string> out;
    auto need = [&](bool ok, const char* what) {
        if (!ok) out.push_back(what);
    };
    auto endsWithin = [](const auto* text, int count) {
        for (int i = 0; i < count; ++i)
            if (text[i] == 0) return true;
        return false;
    };
    const DEVMODEW& d = s.pub;
    need(d.dmSpecVersion == 0x401 && d.dmSize == 220 && d.dmDriverExtra == 14680 && d.dmDriverVersion == 0x500,
         "version fields");
    need(d.dmOrientation == 1 || d.dmOrientation == 2, "orientation");
    need(d.dmCopies >= 1 && d.dmCopies <= 999, "copies");
    need(d.dmDuplex >= 1 && d.dmDuplex <= 3, "duplex");
    need(d.dmScale >= 10 && d.dmScale <= 400, "scale");
    need(d.dmCollate == 0 || d.dmCollate == 1, "collate");
    need(d.dmColor == 1, "colour");
    need(d.dmPrintQuality == 600 || d.dmPrintQuality == -4 || d.dmPrintQuality == 1200, "print quality");
    need(d.dmYResolution == 600 || d.dmYResolution == 1200, "y resolution");
    static const std::set<int> printable = {9,   13,  11,  28,  37,  20,  27,  1,   5,   14,  7,   245,
                                            250, 246, 252, 243, 241, 242, 34,  70,  276, 277, 278, 279,
                                            280, 6,   43,  82,  31,  144, 145, 146, 147, 150, 148, 149};
    const RendPrivate& p = s.priv;
    if (d.dmPaperSize >= 288 && d.dmPaperSize <= 307) {
        const RendCustomSize& size = p.CustomSizes[d.dmPaperSize - 288];
        need(size.CustomPaperWidth600 > 0 && size.CustomPaperWidth600 <= 32767 && size.CustomPaperLength600 > 0 &&
                 size.CustomPaperLength600 <= 32767,
             "custom paper size");
    } else {
        need(printable.count(d.dmPaperSize) == 1, "paper");
    }
    PaperGeometry page{};
    need(Xmodel_Lookup(&page, &s, d.dmPaperSize, FALSE) == TRUE && page.Width > 0 && page.Height > 0 &&
             page.Left >= 96 && page.Top >= 96 && page.Right >= 96 && page.Bottom >= 96,
         "page geometry");

    need(p.Signature == 0x56495250u, "signature");
    need(p.Value0 == 1 || p.Value0 == 2, "word 0");
    need(p.BookletOn < 3 && p.FeedSource >= 0 && p.FeedSource <= 2, "booklet or feed");
    need(p.LayoutFlag < 2 && p.Rotate180Mode < 4 && p.Value1882 < 3, "layout flags");
    need(p.ResolutionByte <= 1 && p.ColorAdjust.ResolutionStep <= 1, "resolution step");
    need(std::set<int>{1, 2, 4, 8, 16}.count(p.PagesPerSheet) == 1 && p.NupOrder < 4, "N-up");
    need(p.PosterSize < 3, "layout word");
    need(p.MediaIndex >= 0 && p.MediaIndex <= 6, "media index");
    need(p.Value8 >= 0 && p.Value8 <= 31 && endsWithin(p.SettingsName, 40), "name");
    need(p.BookletOrder >= 0 && p.FirstGutterFlag >= 0 && p.SecondGutterFlag >= 0 && p.BookletGroupSheets >= 1 &&
             p.BookletGroupSheets <= 50 && p.GutterWidth >= 0 && p.GutterWidth <= 1181,
         "booklet area");
    need(p.ScalePercent >= 25 && p.ScalePercent <= 400 && p.PaperOverride >= 0 && p.PaperOverride <= 300,
         "scale area");
    const RendWatermarkBlock& w = p.Watermark;
    need(endsWithin(w.TextCopy, 256) && endsWithin(w.Text, 256) && endsWithin(w.FaceName, 32) && w.Angle >= -90 &&
             w.Angle <= 90 && UINT16(w.WatermarkOn) < 33 && w.Value1137 <= 1 && w.Value1056 < 8 && w.FontSize >= 0 &&
             w.Value1128 >= 0 && w.Value1130 >= 0 && w.Value1124 >= 0 && w.Tile >= 0 && w.PositionMode >= 0 &&
             w.PositionMode <= 10 && w.Frame < 3,
         "watermark block");
    need(p.Value13588 <= 1 && p.DefaultFontFace <= 1 && p.Value13607 <= 1 && p.Value13608 <= 1 &&
             p.DefaultFontSize >= 50 && p.DefaultFontSize <= 240 && p.Value13604 >= 0 && p.Value13604 <= 8 &&
             p.Value13606 <= 3,
         "font area");
    const RendColorAdjust& c = p.ColorAdjust;
    bool levels = true;
    for (int g = 0; g < 4; ++g)
        for (int k = 0; k < 3; ++k)
            levels = levels && c.Levels[g][k] >= -100 && c.Levels[g][k] <= 100 && c.Tones[g][k] >= -3 &&
                     c.Tones[g][k] <= 3;
    need(levels && c.Value4 >= 0 && c.Value28 >= 0 && c.Value11 <= 7 && c.Value32 <= 3 && c.Value46 <= 2 &&
             c.Value47 <= 4 && endsWithin(c.Profile1, 256) && endsWithin(c.Profile2, 256),
         "colour area");
    bool items = endsWithin(p.Header.FontName, 256);
    for (const RendHeaderItem& item : p.Header.Items) items = items && item.Value >= 0 && item.Kind < 6;
    need(items, "header block");
    bool list = endsWithin(p.List.Address, 25) && p.List.EntryCount >= 0 && p.List.EntryCount <= 16;
    for (INT32 v : p.List.Values) list = list && v >= 0;
    for (int i = 0; list && i < p.List.EntryCount; ++i) list = endsWithin(p.List.Entries[i].Name, 25);
    need(list, "list block");
    bool custom = (p.CustomPaperOn == 0 || p.CustomPaperOn == 1) && p.CustomPaperCode > 0 &&
                  p.CustomPaperLength >= 0 && p.CustomPaperWidth >= 0;
    for (const RendCustomSize& size : p.CustomSizes)
        custom = custom && size.CustomPaperWidth600 >= 0 && size.CustomPaperLength600 >= 0;
    need(custom, "custom area");
    need(p.Value1884 <= 1 && (p.Value1886 == 0 || p.Value1886 == 1) && p.A5FeedFlags[0] <= 1 && p.A5FeedFlags[1] <= 1,
         "feed area");
    bool shift = p.ImageShiftDirection <= 8 && p.PrintPosition < 5 && p.FrontShift <= 1181 && p.BackShift <= 1181 &&
                 p.AdjustX >= -1181 && p.AdjustX <= 1181 && p.AdjustY >= -1181 && p.AdjustY <= 1181;
    for (UINT16 v : p.Values138) shift = shift && v <= 1181;
    for (const RendMargins& m : p.MarginTable)
        for (INT16 v : m.Margin) shift = shift && v >= 0 && v <= 1181;
    need(shift, "shift area");
    need(p.OverlayMode <= 2 && endsWithin(p.FormsFolder, 256) && endsWithin(p.FormsFolderCopy, 256), "forms area");
    need(p.Value13564 == 0 && p.Value13566 == 0 && p.OutputMask == 526 && p.Value13628 == 60 &&
             p.ObjectRangeFirst == 0 && p.ObjectRangeLast == 0 && std::u16string(p.DebugFile1) == u"c:\\ui.txt" &&
             std::u16string(p.DebugFile2) == u"c:\\text.txt" && (p.RenderOptions & 0x8C) == 0x8C &&
             p.ImageWidthPercent == 100 && p.ImageHeightPercent == 100 && p.ImageTrialThreshold == 100,
         "fixed values");
    return out;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// Values that sit on or beside the limits the conversion and check use.
const long kInteresting[] = {0,   1,   2,    3,    4,    5,    6,    7,     8,     9,      10,    11,   16,   22,
                             24,  25,  31,   32,   33,   49,   50,   90,    91,    100,   240,    241,   256,  287,
                             288, 295, 300,  304,  305,  307,  308,  351,   352,   400,   401,    600,   999,  1000,
                             1181, 1182, 1200, 1800, 5100, 8400, 32767, -1, -4, -90, -91, -100, -1181, -32768};

struct Field {
    size_t offset;
    int width;
};
// Fields of the user interface's DEVMODE that the conversion reads.
const Field kUiFields[] = {
    {dm::Fields, 4},         {dm::Orientation, 2},    {dm::PaperSize, 2},      {dm::PaperLength, 2},
    {dm::PaperWidth, 2},     {dm::Scale, 2},          {dm::Copies, 2},         {dm::DefaultSource, 2},
    {dm::PrintQuality, 2},   {dm::Color, 2},          {dm::Duplex, 2},         {dm::YResolution, 2},
    {dm::TTOption, 2},       {dm::Collate, 2},        {dm::MediaType, 4},      {P + ui::OppositeSide, 2},
    {P + ui::BasicSwitch, 2}, {P + ui::MultipleUp, 2}, {P + ui::PageOrder, 2}, {P + ui::PageBorder, 2},
    {P + ui::FeedOrient, 2}, {P + ui::TonerSavingMode, 2}, {P + ui::Rotate180, 2}, {P + ui::Thickness, 2},
    {P + ui::ScaleCopy, 2},  {P + ui::FirstPageOnly, 2}, {P + ui::UseSoftFont, 4}, {P + ui::SoftFontBitmap, 4},
    {P + ui::SoftFontFace, 2}, {P + ui::SoftFontSize, 2},
    {P + ui::Watermark + ui::wm::Type, 2},   {P + ui::Watermark + ui::wm::Size, 2},
    {P + ui::Watermark + ui::wm::Bold, 2},   {P + ui::Watermark + ui::wm::Italic, 2},
    {P + ui::Watermark + ui::wm::Fade, 2},   {P + ui::Watermark + ui::wm::Angle, 2},
    {P + ui::Watermark + ui::wm::Position, 2}, {P + ui::Watermark + ui::wm::X, 2},
    {P + ui::Watermark + ui::wm::Y, 2},      {P + ui::Watermark + ui::wm::Grey, 2},
};
// Text fields (offset, characters) of the user interface's DEVMODE.
const Field kUiTexts[] = {
    {dm::DeviceName, 32},
    {dm::FormName, 32},
    {P + ui::Watermark + ui::wm::Text, 65},
    {P + ui::Watermark + ui::wm::Face, 32},
    {P + ui::Watermark + ui::wm::Path, 260},
};

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    int Below(int n) { return int(random_() % unsigned(n)); }
    long Value() { return Below(4) == 0 ? long(int16_t(random_())) : kInteresting[Below(std::size(kInteresting))]; }

    void Put(std::vector<BYTE>& bytes, size_t offset, int width, long value) {
        for (int i = 0; i < width && offset + size_t(i) < bytes.size(); ++i)
            bytes[offset + size_t(i)] = BYTE(value >> (8 * i));
    }
    void Fill(std::vector<BYTE>& bytes, size_t offset, int characters) {
        const char16_t c = char16_t(Below(3) == 0 ? 0xD800 + Below(0x800) : 'A' + Below(26));
        for (int i = 0; i < characters; ++i) Put(bytes, offset + 2 * size_t(i), 2, c);
    }
    // One random change of a user interface DEVMODE.
    void MutateUi(std::vector<BYTE>& bytes) {
        switch (Below(8)) {
            case 0: bytes[size_t(Below(int(bytes.size())))] = BYTE(random_()); break;
            case 1: Put(bytes, size_t(Below(int(bytes.size()))), 2, Value()); break;
            case 2: {
                const Field& f = kUiTexts[Below(std::size(kUiTexts))];
                Fill(bytes, f.offset, f.width);
                break;
            }
            case 3: Put(bytes, dm::Size, 2, Below(2) ? 220 : Value()); break;
            case 4: Put(bytes, dm::DriverExtra, 2, Below(2) ? 4864 : Value()); break;
            default: {
                const Field& f = kUiFields[Below(std::size(kUiFields))];
                Put(bytes, f.offset, f.width, Value());
                break;
            }
        }
    }
    // One random change of converted settings: mostly small values, so that
    // areas still pass their checks now and then.
    void MutateRend(std::vector<BYTE>& bytes) {
        const size_t offset = size_t(Below(int(bytes.size())));
        switch (Below(10)) {
            case 0: Put(bytes, offset, 1, long(random_())); break;
            case 1: Put(bytes, offset, 2, Value()); break;
            case 2: Put(bytes, offset, 4, Value()); break;
            case 3: Fill(bytes, offset & ~size_t(1), 1 + Below(300)); break;
            case 4: Put(bytes, dm::Size, 2, Below(3) ? 220 : Value()); break;
            case 5: Put(bytes, dm::SpecVersion, 2, Below(3) ? 0x401 : Value()); break;
            case 6: Put(bytes, Below(2) ? dm::DriverVersion : dm::DriverExtra, 2, Below(3) ? 0 : Value()); break;
            default: Put(bytes, offset, 1, Below(4)); break;
        }
    }

private:
    std::mt19937 random_;
};

class RendStress : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        machine().MutableSettings().country = 49;
        ASSERT_EQ(Ui_DefaultSettings(&defaults_, u"Korvan KP-2200"), TRUE);
        ByteImage a = UiDefaultDevmode();
        ByteImage b = UiDefaultDevmode();
        b.I16(dm::PaperSize, 300).I16(dm::PaperWidth, 1500).I16(dm::PaperLength, 2000).I16(dm::PrintQuality, 1200);
        b.I16(P + ui::MultipleUp, 4).I16(P + ui::Watermark + ui::wm::Type, 1);
        b.Wide(P + ui::Watermark + ui::wm::Text, u"Confidential");
        ByteImage c = UiDefaultDevmode();
        c.I16(dm::YResolution, 1200).I16(dm::Duplex, 3).I16(P + ui::Watermark + ui::wm::Type, 2);
        c.Wide(P + ui::Watermark + ui::wm::Path, u"C:\\mark.bmp");
        bases_ = {a.bytes(), b.bytes(), c.bytes()};
    }

    // Merges converted settings into the defaults; a refusal must leave the
    // defaults as they were, a success must keep every rule.
    void MergeAndCheck(std::vector<BYTE>& source, const std::string& where) {
        RendDevmode target = defaults_;
        const BOOL merged = Devmode_Prepare(&target, reinterpret_cast<RendDevmode*>(source.data()));
        if (!merged) {
            ++refusedMerges_;
            ASSERT_TRUE(SameBytes(BytesOf(target), BytesOf(defaults_))) << where;
            return;
        }
        ++merges_;
        const std::vector<std::string> broken = Violations(target);
        ASSERT_TRUE(broken.empty()) << where << ": " << Joined(broken);
    }

    RendDevmode defaults_{};
    std::vector<std::vector<BYTE>> bases_;
    int refusedMerges_ = 0, merges_ = 0;
};

TEST_F(RendStress, DamagedUiDevmodesAreRefusedOrRepaired) {
    const StressRun run = StressRunFromEnvironment(20240611, kIterations);
    SCOPED_TRACE(run.Describe());
    Mutator mutator(run.seed);
    int refused = 0, converted = 0;
    for (int iteration = 0; iteration < run.count; ++iteration) {
        std::vector<BYTE> image = bases_[size_t(iteration) % bases_.size()];
        const int changes = 1 + mutator.Below(8);
        for (int i = 0; i < changes; ++i) mutator.MutateUi(image);
        const WORD size = WORD(image[dm::Size] | image[dm::Size + 1] << 8);
        const WORD extra = WORD(image[dm::DriverExtra] | image[dm::DriverExtra + 1] << 8);
        const bool layout = size == 220 && extra == 4864;
        // The DEVMODE is handed over in a block of exactly the size it
        // announces (never less than its size fields need).
        std::vector<BYTE> devmode(std::max<size_t>(72, size_t(size) + extra));
        std::memcpy(devmode.data(), image.data(), std::min(devmode.size(), image.size()));
        std::vector<BYTE> target(14900, 0);
        const BOOL result = Devmode_ConvertFromUi(reinterpret_cast<const DEVMODEW*>(devmode.data()),
                                                  reinterpret_cast<RendDevmode*>(target.data()));
        const std::string where = "iteration " + std::to_string(iteration);
        ASSERT_EQ(result, layout ? TRUE : FALSE) << where;
        if (!result) {
            ++refused;
            ASSERT_EQ(target, std::vector<BYTE>(14900, 0)) << where;
            continue;
        }
        ++converted;
        MergeAndCheck(target, where);
        if (HasFatalFailure()) return;
    }
    // Both roads were taken many times.
    EXPECT_GT(refused, run.count / 10);
    EXPECT_GT(converted, run.count / 3);
    EXPECT_EQ(merges_, converted);
}

TEST_F(RendStress, DamagedRenderingSettingsAreRefusedOrRepaired) {
    const StressRun run = StressRunFromEnvironment(7, kIterations);
    SCOPED_TRACE(run.Describe());
    Mutator mutator(run.seed);
    std::vector<std::vector<BYTE>> sources;
    for (const auto& base : bases_) {
        std::vector<BYTE> converted(14900, 0);
        ASSERT_EQ(Devmode_ConvertFromUi(reinterpret_cast<const DEVMODEW*>(base.data()),
                                        reinterpret_cast<RendDevmode*>(converted.data())),
                  TRUE);
        sources.push_back(converted);
    }
    for (int iteration = 0; iteration < run.count; ++iteration) {
        std::vector<BYTE> source = sources[size_t(iteration) % sources.size()];
        const int changes = 1 + mutator.Below(30);
        for (int i = 0; i < changes; ++i) mutator.MutateRend(source);
        MergeAndCheck(source, "iteration " + std::to_string(iteration));
        if (HasFatalFailure()) return;
    }
    // Refusals are rare here (a few in a thousand): a short series by hand
    // may have none.
    if (run.count >= kIterations) {
        EXPECT_GT(refusedMerges_, 0);
    }
    EXPECT_GT(merges_, run.count / 2);
}

}  // namespace
}  // namespace tam::test
