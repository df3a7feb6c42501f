// Damaged settings through CreateDCW and ResetDCW, in the manner of a driver
// stress tool: thousands of random mutations of valid DEVMODEs (sizes,
// versions, fields, texts), with a fixed seed. Each device context is either
// refused, leaving nothing behind, or made with settings repaired into a
// valid PDEV. None may crash or read or write out of bounds (the suite also
// runs under the address and undefined-behaviour sanitizers).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "dc_fixture.h"
#include "support/stress_run.h"

namespace tam::test {
namespace {

constexpr int kIterations = 10000;  // by default; see support/stress_run.h

class TamrendStress : public TamrendDcTest {
protected:
    // The whole of what a PDEV must hold, and what GDI must answer for it.
    static std::vector<std::string> Violations(HDC dc);
};

std::vector<std::string> TamrendStress::Violations(HDC dc) {
    std::vector<std::string> out;
    auto need = [&](bool ok, const char* what) {
        if (!ok) out.push_back(what);
    };
    const PDEV* pdev = PdevOf(dc);
    if (!pdev) return {"no PDEV"};
    const DEVMODEW& d = pdev->Devmode.pub;
    const RendPrivate& p = pdev->Devmode.priv;
    need(pdev->Job.Signature == PDEV_SIGNATURE, "signature");
    need(p.Signature == 0x56495250u, "private signature");
    need(d.dmSize == 220 && d.dmDriverExtra == 14680 && d.dmSpecVersion == 0x401 && d.dmDriverVersion == 0x500,
         "version fields");
    need((pdev->Orientation == 1 || pdev->Orientation == 2) && pdev->Orientation == d.dmOrientation, "orientation");
    need(d.dmCopies >= 1 && d.dmCopies <= 999, "copies");
    need(d.dmScale >= 10 && d.dmScale <= 400, "scale");
    need(d.dmColor == 1, "colour");
    need(p.ColorAdjust.ResolutionStep <= 1, "resolution step");
    const int m = p.ColorAdjust.ResolutionStep + 1;
    const PageGeometry& g = pdev->Geometry;
    need(g.Left >= 96 * m && g.Top >= 96 * m && g.Right >= 96 * m && g.Bottom >= 96 * m, "margins");
    const int width = g.Width - g.Left - g.Right, height = g.Height - g.Top - g.Bottom;
    need(width > 0 && height > 0, "printable area");
    need(GetDeviceCaps(dc, HORZRES) == width && GetDeviceCaps(dc, VERTRES) == height, "resolution caps");
    need(GetDeviceCaps(dc, PHYSICALWIDTH) == g.Width && GetDeviceCaps(dc, PHYSICALOFFSETY) == g.Top, "paper caps");
    need(GetDeviceCaps(dc, LOGPIXELSX) == 600 * m * d.dmScale / 100, "logical pixels");
    need(p.DefaultFontSize >= 50 && p.DefaultFontSize <= 240 && p.DefaultFontFace <= 1, "default font");
    need(pdev->Surface != nullptr && pdev->Palette != nullptr, "surface and palette");
    return out;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// Values beside the limits the conversion and the check use.
const long kInteresting[] = {0,    1,    2,   3,   4,   5,   6,   7,   8,   9,   10,  11,   16,   22,   25,
                             31,   32,   33,  50,  90,  91,  100, 188, 212, 220, 240, 241,  256,  287,  288,
                             300,  307,  308, 351, 352, 400, 401, 600, 999, 1000, 1181, 1200, 4864, 14680,
                             32767, -1, -4, -90, -91, -100, -32768};

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    int Below(int n) { return int(random_() % unsigned(n)); }
    long Value() { return Below(4) == 0 ? long(int16_t(random_())) : kInteresting[Below(std::size(kInteresting))]; }
    void Put(BYTE* bytes, size_t offset, int width, long value) {
        for (int i = 0; i < width; ++i) bytes[offset + size_t(i)] = BYTE(value >> (8 * i));
    }

    // One random change of the 5084 bytes of a user interface DEVMODE.
    void Mutate(BYTE* bytes) {
        constexpr size_t kSize = sizeof(UiDevmode);
        switch (Below(10)) {
            case 0: bytes[size_t(Below(kSize))] = BYTE(random_()); break;
            case 1: Put(bytes, size_t(Below(kSize - 1)), 2, Value()); break;
            case 2: Put(bytes, size_t(Below(kSize - 3)), 4, Value()); break;
            case 3: {  // a text that fills its field, or a device name that is cut away
                const size_t offset = Below(2) ? offsetof(DEVMODEW, dmDeviceName) : offsetof(DEVMODEW, dmFormName);
                const char16_t c = char16_t(Below(3) == 0 ? 0 : 'A' + Below(26));
                for (int i = 0; i < 32; ++i) Put(bytes, offset + 2 * size_t(i), 2, c);
                break;
            }
            case 4: Put(bytes, offsetof(DEVMODEW, dmSize), 2, Below(3) ? 220 : Value()); break;
            case 5: Put(bytes, offsetof(DEVMODEW, dmDriverExtra), 2, Below(3) ? 4864 : Value()); break;
            case 6: Put(bytes, offsetof(DEVMODEW, dmSpecVersion), 2, Value()); break;
            case 7: Put(bytes, offsetof(DEVMODEW, dmFields), 4, long(random_())); break;
            default: {  // a public field of the paper, page or job
                const size_t fields[] = {offsetof(DEVMODEW, dmOrientation), offsetof(DEVMODEW, dmPaperSize),
                                         offsetof(DEVMODEW, dmPaperLength), offsetof(DEVMODEW, dmPaperWidth),
                                         offsetof(DEVMODEW, dmScale),       offsetof(DEVMODEW, dmCopies),
                                         offsetof(DEVMODEW, dmPrintQuality), offsetof(DEVMODEW, dmColor),
                                         offsetof(DEVMODEW, dmDuplex),      offsetof(DEVMODEW, dmYResolution),
                                         offsetof(DEVMODEW, dmCollate)};
                Put(bytes, fields[Below(std::size(fields))], 2, Value());
                break;
            }
        }
    }

private:
    std::mt19937 random_;
};

TEST_F(TamrendStress, DamagedSettingsAreRefusedOrRepaired) {
    // Bases: the defaults; a custom paper at 1200 dpi with 4 pages a sheet
    // and a text watermark; landscape Letter with a bitmap watermark.
    std::vector<UiDevmode> bases(3, Settings());
    bases[1].pub.dmPaperSize = 300;
    bases[1].pub.dmPaperWidth = 1500;
    bases[1].pub.dmPaperLength = 2000;
    bases[1].pub.dmYResolution = 1200;
    bases[1].priv.MultipleUp = 4;
    bases[1].priv.WatermarkData.type = 1;
    lstrcpyW(bases[1].priv.WatermarkData.text, u"Confidential");
    bases[2].pub.dmPaperSize = 1;
    bases[2].pub.dmOrientation = 2;
    bases[2].priv.WatermarkData.type = 2;
    lstrcpyW(bases[2].priv.WatermarkData.bitmapPath, u"C:\\mark.bmp");

    // The driver stays loaded for the whole run; a DC that ResetDCW changes.
    HDC anchor = Create(Settings());
    ASSERT_NE(anchor, nullptr);
    // Room for whatever private size a mutation names: the engine copies
    // dmSize + dmDriverExtra bytes.
    std::vector<BYTE> buffer(sizeof(DEVMODEW) + 0xFFFF);
    auto* dm = reinterpret_cast<DEVMODEW*>(buffer.data());

    const StressRun run = StressRunFromEnvironment(20240611, kIterations);
    SCOPED_TRACE(run.Describe());
    Mutator mutator(run.seed);
    int refused = 0, made = 0, resets = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < run.count; ++i) {
        std::fill(buffer.begin(), buffer.end(), BYTE(0));
        std::memcpy(buffer.data(), &bases[size_t(i) % bases.size()], sizeof(UiDevmode));
        const int changes = 1 + mutator.Below(6);
        for (int k = 0; k < changes; ++k) mutator.Mutate(buffer.data());
        const std::string where = "iteration " + std::to_string(i);

        const size_t before = w32::LiveGlobalBlocks();
        if (i % 8 == 7) {
            PDEV* old = PdevOf(anchor);
            if (ResetDCW(anchor, dm)) {
                ++resets;
                ASSERT_EQ(Joined(Violations(anchor)), "") << where;
            } else {
                ASSERT_EQ(PdevOf(anchor), old) << where;
                ASSERT_EQ(Joined(Violations(anchor)), "") << where;
            }
            ASSERT_EQ(w32::LiveGlobalBlocks(), before) << where;
            continue;
        }
        SetLastError(0);
        HDC dc = CreateDCW(nullptr, kKorvanLaser, nullptr, dm);
        if (!dc) {
            ++refused;
            ASSERT_NE(GetLastError(), 0u) << where;
            ASSERT_EQ(w32::LiveGlobalBlocks(), before) << where;
            continue;
        }
        ++made;
        const std::vector<std::string> violations = Violations(dc);
        ASSERT_TRUE(DeleteDC(dc)) << where;
        ASSERT_EQ(Joined(violations), "") << where;
        ASSERT_EQ(w32::LiveGlobalBlocks(), before) << where;
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Both outcomes occur often, so that both roads are exercised.
    EXPECT_GT(refused, run.count / 20);
    EXPECT_GT(made, run.count / 4);
    EXPECT_GT(resets, run.count / 40);
    RecordProperty("refused", refused);
    RecordProperty("made", made);
    RecordProperty("seconds", std::to_string(seconds));
    std::printf("%s: %d refused, %d made, %d reset in %.2f s\n", run.Describe().c_str(), refused, made, resets, seconds);
}

}  // namespace
}  // namespace tam::test
