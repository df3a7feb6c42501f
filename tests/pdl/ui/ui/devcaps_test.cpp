// DrvDeviceCapabilities of the loaded module: every capability's answer, the
// bytes it writes, and the names it takes from the language DLL.
#include <winddiui.h>

#include <cstring>
#include <vector>

#include "support/tamrend_fixture.h"
#include "ui/ui/papertable.h"
#include "ui/ui/settingsstore.h"
#include "ui_fixture.h"

namespace tam::test {
namespace {

using DeviceCapabilitiesFunction = DWORD(WINAPI*)(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW);

constexpr char16_t kDevice[] = u"Korvan Laser";

class DeviceCapabilities : public UiModuleTest {
protected:
    void SetUp() override {
        UiModuleTest::SetUp();
        capabilities_ = reinterpret_cast<DeviceCapabilitiesFunction>(GetProcAddress(module_, "DrvDeviceCapabilities"));
        ASSERT_NE(capabilities_, nullptr);
    }

    DWORD Ask(WORD capability, void* output = nullptr, PDEVMODEW devmode = nullptr) {
        std::u16string device(kDevice);
        return capabilities_(nullptr, device.data(), capability, output, devmode);
    }

    // The answer with an output buffer of `count` entries of `entryBytes`,
    // followed by guard bytes that must stay untouched.
    std::vector<BYTE> AskInto(WORD capability, DWORD count, size_t entryBytes) {
        std::vector<BYTE> buffer(count * entryBytes + 64, 0xCD);
        EXPECT_EQ(Ask(capability, buffer.data()), count);
        for (size_t i = count * entryBytes; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], 0xCD) << "capability " << capability << " wrote byte " << i;
        buffer.resize(count * entryBytes);
        return buffer;
    }

    static std::u16string Name(const std::vector<BYTE>& names, size_t index, size_t chars) {
        const WCHAR* field = reinterpret_cast<const WCHAR*>(names.data()) + index * chars;
        return std::u16string(field);
    }

    DeviceCapabilitiesFunction capabilities_ = nullptr;
};

struct CapabilityCase {
    WORD capability;
    DWORD answer;
    size_t entryBytes;  // bytes of one output entry; 0 for an answer without output
};
void PrintTo(const CapabilityCase& c, std::ostream* os) { *os << "capability " << c.capability; }

const CapabilityCase kCapabilities[] = {
    {DC_FIELDS, 0xBF1F, 0},
    {DC_PAPERS, 28, sizeof(WORD)},
    {DC_PAPERSIZE, 28, sizeof(POINT)},
    {DC_MINEXTENT, MAKELONG(762, 1270), 0},
    {DC_MAXEXTENT, MAKELONG(2159, 3556), 0},
    {DC_BINS, 3, sizeof(WORD)},
    {DC_DUPLEX, 1, 0},
    {DC_SIZE, 220, 0},
    {DC_EXTRA, 4864, 0},
    {DC_VERSION, 0x401, 0},
    {DC_DRIVER, 0x600, 0},
    {DC_BINNAMES, 3, 24 * sizeof(WCHAR)},
    {DC_ENUMRESOLUTIONS, 2, 2 * sizeof(LONG)},
    {DC_FILEDEPENDENCIES, 0, 0},
    {DC_TRUETYPE, 0, 0},
    {DC_PAPERNAMES, 28, 64 * sizeof(WCHAR)},
    {DC_ORIENTATION, 90, 0},
    {DC_COPIES, 999, 0},
    {DC_BINADJUST, 0, 0},
    {DC_COLLATE, 1, 0},
    {DC_MEDIAREADY, 28, 64 * sizeof(WCHAR)},
    {DC_STAPLE, 0, 0},
    {DC_PRINTRATEPPM, 0, 0},
    {DC_COLORDEVICE, 0, 0},
    {DC_EMF_COMPLIANT, DWORD(-1), 0},
    {DC_DATATYPE_PRODUCED, DWORD(-1), 0},
    {DC_MANUFACTURER, DWORD(-1), 0},
    {DC_NUP, DWORD(-1), 0},
    {DC_MEDIATYPES, DWORD(-1), 0},
    {0, DWORD(-1), 0},
    {999, DWORD(-1), 0},
};

class Capability : public DeviceCapabilities, public testing::WithParamInterface<CapabilityCase> {};

// The count without output, and the same count with output, which fills
// exactly that many entries.
TEST_P(Capability, AnswerAndBytesWritten) {
    const CapabilityCase& c = GetParam();
    EXPECT_EQ(Ask(c.capability), c.answer);
    if (c.entryBytes) {
        std::vector<BYTE> written = AskInto(c.capability, c.answer, c.entryBytes);
        EXPECT_NE(std::count(written.begin(), written.end(), BYTE(0xCD)), ptrdiff_t(written.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(All, Capability, testing::ValuesIn(kCapabilities));

// The answers come from the driver's defaults, not from the caller's DEVMODE.
TEST_F(DeviceCapabilities, CallersDevmodeIsNotConsulted) {
    DEVMODEW devmode{};
    devmode.dmSize = 212;
    devmode.dmFields = DM_TTOPTION;
    devmode.dmDriverExtra = 12;
    EXPECT_EQ(Ask(DC_FIELDS, nullptr, &devmode), 0xBF1Fu);
    EXPECT_EQ(Ask(DC_SIZE, nullptr, &devmode), 220u);
    EXPECT_EQ(Ask(DC_EXTRA, nullptr, &devmode), 4864u);
    EXPECT_EQ(Ask(DC_TRUETYPE, nullptr, &devmode), 0u);
}

TEST_F(DeviceCapabilities, PapersInTableOrder) {
    std::vector<BYTE> bytes = AskInto(DC_PAPERS, 28, sizeof(WORD));
    const WORD* codes = reinterpret_cast<const WORD*>(bytes.data());
    EXPECT_EQ(codes[0], 1);
    EXPECT_EQ(codes[1], 9);
    EXPECT_EQ(codes[9], 43);
    EXPECT_EQ(codes[27], 280);
    for (int i = 0; i < PAPER_TABLE_COUNT; ++i) EXPECT_EQ(codes[i], WORD(g_PaperTable[i].code)) << i;
}

TEST_F(DeviceCapabilities, PaperSizesInTenthsOfAMillimetre) {
    std::vector<BYTE> bytes = AskInto(DC_PAPERSIZE, 28, sizeof(POINT));
    const POINT* sizes = reinterpret_cast<const POINT*>(bytes.data());
    struct {
        int index;
        LONG width, height;
    } expected[] = {{0, 2159, 2794}, {1, 2100, 2970}, {2, 2159, 3556}, {9, 1000, 1480}, {27, 1140, 1620}};
    for (const auto& e : expected) {
        EXPECT_EQ(sizes[e.index].x, e.width) << e.index;
        EXPECT_EQ(sizes[e.index].y, e.height) << e.index;
    }
}

// Every paper's name is its string of the language DLL, in a zero-padded
// field of 64 characters; the papers ready in the printer are the same 28.
TEST_F(DeviceCapabilities, PaperNamesFromTheLanguageDll) {
    std::vector<BYTE> names = AskInto(DC_PAPERNAMES, 28, 64 * sizeof(WCHAR));
    std::vector<BYTE> ready = AskInto(DC_MEDIAREADY, 28, 64 * sizeof(WCHAR));
    EXPECT_EQ(names, ready);
    HMODULE english = nullptr;
    ASSERT_TRUE(LoadLanguageDll(kDevice, &english));
    ASSERT_NE(english, nullptr);
    for (int i = 0; i < PAPER_TABLE_COUNT; ++i) {
        const std::u16string name = Name(names, size_t(i), 64);
        EXPECT_FALSE(name.empty()) << i;
        EXPECT_EQ(name, String(english, g_PaperTable[i].nameId)) << i;
        const WCHAR* field = reinterpret_cast<const WCHAR*>(names.data()) + i * 64;
        for (size_t j = name.size(); j < 64; ++j) EXPECT_EQ(field[j], 0) << i;
    }
    FreeLibrary(english);
    EXPECT_EQ(Name(names, 0, 64), u"Letter 8.5 x 11 in");
    EXPECT_EQ(Name(names, 1, 64), u"A4 210 x 297 mm");
    EXPECT_EQ(Name(names, 27, 64), u"Yougata2 Envelope 114 x 162 mm");
}

TEST_F(DeviceCapabilities, BinsAndTheirNames) {
    std::vector<BYTE> bins = AskInto(DC_BINS, 3, sizeof(WORD));
    const WORD* codes = reinterpret_cast<const WORD*>(bins.data());
    EXPECT_EQ(codes[0], DMBIN_AUTO);
    EXPECT_EQ(codes[1], DMBIN_UPPER);
    EXPECT_EQ(codes[2], DMBIN_MANUAL);
    std::vector<BYTE> names = AskInto(DC_BINNAMES, 3, 24 * sizeof(WCHAR));
    EXPECT_EQ(Name(names, 0, 24), u"Automatically Select");
    EXPECT_EQ(Name(names, 1, 24), u"Tray 1");
    EXPECT_EQ(Name(names, 2, 24), u"Manual Feed");
}

TEST_F(DeviceCapabilities, ResolutionsAndFileDependencies) {
    std::vector<BYTE> bytes = AskInto(DC_ENUMRESOLUTIONS, 2, 2 * sizeof(LONG));
    const LONG* values = reinterpret_cast<const LONG*>(bytes.data());
    EXPECT_EQ(std::vector<LONG>(values, values + 4), (std::vector<LONG>{600, 600, 1200, 600}));
    WCHAR files[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(Ask(DC_FILEDEPENDENCIES, files), 0u);
    EXPECT_EQ(files[0], 0);
    EXPECT_EQ(files[1], u'x');
}

// Without a language DLL each name is its placeholder.
TEST_F(DeviceCapabilities, MissingNamesAreTheirPlaceholders) {
    RemoveFromDriverFolder(u"Tamsheetenus.dll");
    std::vector<BYTE> names = AskInto(DC_PAPERNAMES, 28, 64 * sizeof(WCHAR));
    EXPECT_EQ(Name(names, 0, 64), u"id:108 missing!");
    EXPECT_EQ(Name(names, 27, 64), u"id:6005 missing!");
    std::vector<BYTE> bins = AskInto(DC_BINNAMES, 3, 24 * sizeof(WCHAR));
    EXPECT_EQ(Name(bins, 1, 24), u"id:4019 missing!");
}

struct ProgramCase {
    const char16_t* programPath;
    DWORD color;
};

TEST_F(DeviceCapabilities, ColourDeviceOnlyForThePublishingProgram) {
    const ProgramCase cases[] = {
        {u"C:\\Program Files\\Office\\MSPUB.EXE", 1},
        {u"C:\\Apps\\mspub.exe", 1},
        {u"C:\\Apps\\winword.exe", 0},
        {u"C:\\Apps\\mspub.exe.bak", 0},
    };
    for (const ProgramCase& c : cases) {
        machine().MutableSettings().programPath = c.programPath;
        EXPECT_EQ(Ask(DC_COLORDEVICE), c.color) << Utf8(c.programPath);
    }
}

// A custom size as the custom paper dialog saves it, in 600-dpi units.
void SaveCustomSize(const char16_t* name, INT16 width, INT16 height, INT32 code) {
    CustomPaperRecord record{};
    record.width = width;
    record.height = height;
    lstrcpynW(record.name, name, ARRAYSIZE(record.name));
    record.paperCode = code;
    record.unit = 1;
    record.exactWidth = width;
    record.exactHeight = height;
    CustomSizeStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    ASSERT_EQ(store.Save(name, &record, sizeof(record)), 1);
}

// The saved custom sizes follow the 28 papers, in the store's list order.
TEST_F(DeviceCapabilities, SavedCustomSizesFollowThePapers) {
    SaveCustomSize(u"Card", 2362, 3543, 288);                              // 100 x 150 mm
    SaveCustomSize(u"Index card 5 x 8", 3000, 4800, 289);                  // 127 x 203.2 mm
    SaveCustomSize(u"Thirty-two characters long name!", 2953, 4157, 290);  // 125 x 176 mm
    SaveCustomSize(u"Card", 2400, 3600, 291);  // saved again: now last, with its new size

    EXPECT_EQ(Ask(DC_PAPERS), 31u);
    EXPECT_EQ(Ask(DC_PAPERSIZE), 31u);
    EXPECT_EQ(Ask(DC_PAPERNAMES), 31u);
    // The papers ready in the printer are the driver's own.
    EXPECT_EQ(Ask(DC_MEDIAREADY), 28u);

    std::vector<BYTE> papers = AskInto(DC_PAPERS, 31, sizeof(WORD));
    const WORD* codes = reinterpret_cast<const WORD*>(papers.data());
    EXPECT_EQ(codes[27], 280);
    EXPECT_EQ(std::vector<WORD>(codes + 28, codes + 31), (std::vector<WORD>{289, 290, 291}));

    std::vector<BYTE> bytes = AskInto(DC_PAPERSIZE, 31, sizeof(POINT));
    const POINT* sizes = reinterpret_cast<const POINT*>(bytes.data());
    EXPECT_EQ(sizes[28].x, 1270);
    EXPECT_EQ(sizes[28].y, 2032);
    EXPECT_EQ(sizes[30].x, 1016);
    EXPECT_EQ(sizes[30].y, 1524);

    std::vector<BYTE> names = AskInto(DC_PAPERNAMES, 31, 64 * sizeof(WCHAR));
    EXPECT_EQ(Name(names, 27, 64), u"Yougata2 Envelope 114 x 162 mm");
    EXPECT_EQ(Name(names, 28, 64), u"Index card 5 x 8 (127 x 203mm)");
    EXPECT_EQ(Name(names, 29, 64), u"Thirty-two characters long name! (125 x 176mm)");
    EXPECT_EQ(Name(names, 30, 64), u"Card (101 x 152mm)");
}

TEST_F(DeviceCapabilities, CardOfOneHundredByOneHundredFiftyMillimetres) {
    SaveCustomSize(u"Card", 2362, 3543, 288);
    std::vector<BYTE> names = AskInto(DC_PAPERNAMES, 29, 64 * sizeof(WCHAR));
    EXPECT_EQ(Name(names, 28, 64), u"Card (100 x 150mm)");
    std::vector<BYTE> bytes = AskInto(DC_PAPERSIZE, 29, sizeof(POINT));
    const POINT* sizes = reinterpret_cast<const POINT*>(bytes.data());
    EXPECT_EQ(sizes[28].x, 1000);
    EXPECT_EQ(sizes[28].y, 1500);
}

// The driver installed as the print tool installs it, asked through the
// spooler as applications ask it.
class InstalledDriverCapabilities : public UiModuleTest {
protected:
    void BeforeLoading() override { ASSERT_EQ(InstallKorvanLaser(machine(), nullptr), DWORD(ERROR_SUCCESS)); }
};

TEST_F(InstalledDriverCapabilities, ThroughDeviceCapabilitiesW) {
    EXPECT_EQ(DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_PAPERS, nullptr, nullptr), 28);
    EXPECT_EQ(DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_ENUMRESOLUTIONS, nullptr, nullptr), 2);
    EXPECT_EQ(DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_SIZE, nullptr, nullptr), 220);
    EXPECT_EQ(DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_NUP, nullptr, nullptr), -1);

    std::vector<WORD> codes(28);
    ASSERT_EQ(DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_PAPERS, reinterpret_cast<LPWSTR>(codes.data()), nullptr),
              28);
    EXPECT_EQ(codes.front(), 1);
    EXPECT_EQ(codes.back(), 280);
    std::vector<POINT> sizes(28);
    ASSERT_EQ(
        DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_PAPERSIZE, reinterpret_cast<LPWSTR>(sizes.data()), nullptr),
        28);
    EXPECT_EQ(sizes[1].x, 2100);
    EXPECT_EQ(sizes[1].y, 2970);
    EXPECT_EQ(sizes[9].x, 1000);
    EXPECT_EQ(sizes[9].y, 1480);
    std::vector<WCHAR> names(28 * 64);
    ASSERT_EQ(DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_PAPERNAMES, names.data(), nullptr), 28);
    EXPECT_EQ(std::u16string(names.data()), u"Letter 8.5 x 11 in");
    EXPECT_EQ(std::u16string(names.data() + 64), u"A4 210 x 297 mm");

    SaveCustomSize(u"Card", 2362, 3543, 288);
    names.assign(29 * 64, 0);
    ASSERT_EQ(DeviceCapabilitiesW(kKorvanLaser, nullptr, DC_PAPERNAMES, names.data(), nullptr), 29);
    EXPECT_EQ(std::u16string(names.data() + 28 * 64), u"Card (100 x 150mm)");
}

}  // namespace
}  // namespace tam::test
