// Font resources: AddFontResourceW, AddFontResourceExW and the removals, as
// the font table and the mapper see them; and the fonts the registry lists
// that cannot be read.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "machine/debuglog.h"
#include "machine/fonts.h"
#include "machine/registry.h"
#include "support/machine_fixture.h"
#include "win32k/fontmap.h"
#include "win32k/fonttable.h"

namespace {

// The first bytes of a standard font: a font directory whose tables lie past the end.
std::string TruncatedFont() {
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    std::string bytes(4096, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    return bytes;
}

// Makes a file through the Win32 calls, as a program would.
void MakeFile(LPCWSTR path, const std::string& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

LOGFONTW Face(std::u16string_view name) {
    LOGFONTW font{};
    font.lfHeight = -12;
    name.copy(font.lfFaceName, LF_FACESIZE - 1);
    return font;
}

std::u16string FamilyDrawing(std::u16string_view name) {
    const w32::ChosenFace chosen = w32::MapFont(Face(name));
    return chosen.file ? chosen.Info().family : u"(none)";
}

bool Enumerated(std::u16string_view family) {
    for (const auto& installed : w32::EnumerateInstalledFamilies())
        if (installed.name == family) return true;
    return false;
}

// The machine of these tests lacks DejaVu Sans Mono in its registry, so that
// adding its file is what installs the family.
class FontResource : public tam::test::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        auto registry = w32::Registry::Current();
        auto fonts = registry->Find(registry->LocalMachine(), w32::kFontsKey);
        registry->DeleteValue(fonts, u"DejaVu Sans Mono (TrueType)");
        registry->DeleteValue(fonts, u"DejaVu Sans Mono Bold (TrueType)");
        ASSERT_TRUE(CreateDirectoryW(u"C:\\Work", nullptr));
    }
};

TEST_F(FontResource, AddedTwiceNeedsTwoRemovals) {
    // A copy of the system's file, added by bare name from the current directory.
    ASSERT_TRUE(CopyFileW(u"C:\\Windows\\Fonts\\DejaVuSansMono.ttf", u"C:\\Work\\Mono.ttf", TRUE));
    ASSERT_TRUE(SetCurrentDirectoryW(u"C:\\Work"));
    ASSERT_EQ(FamilyDrawing(u"DejaVu Sans Mono"), u"Liberation Sans");

    // Faces chosen before are chosen again once a font comes or goes.
    uint64_t generation = w32::FontMachineGeneration();
    EXPECT_EQ(AddFontResourceW(u"Mono.ttf"), 1);
    EXPECT_NE(w32::FontMachineGeneration(), generation);
    EXPECT_EQ(AddFontResourceW(u"c:\\work\\MONO.TTF"), 1);
    EXPECT_EQ(FamilyDrawing(u"DejaVu Sans Mono"), u"DejaVu Sans Mono");
    EXPECT_TRUE(Enumerated(u"DejaVu Sans Mono"));

    generation = w32::FontMachineGeneration();
    EXPECT_TRUE(RemoveFontResourceW(u"C:\\Work\\Mono.ttf"));
    EXPECT_NE(w32::FontMachineGeneration(), generation);
    EXPECT_EQ(FamilyDrawing(u"DejaVu Sans Mono"), u"DejaVu Sans Mono");
    EXPECT_TRUE(RemoveFontResourceW(u"Mono.ttf"));
    EXPECT_EQ(FamilyDrawing(u"DejaVu Sans Mono"), u"Liberation Sans");
    EXPECT_FALSE(Enumerated(u"DejaVu Sans Mono"));

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(RemoveFontResourceW(u"Mono.ttf"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

// A collection counts its faces; the machine's own fonts count as added once.
TEST_F(FontResource, CollectionCountsItsFaces) {
    EXPECT_EQ(AddFontResourceW(u"wqy-microhei.ttc"), 2);
    EXPECT_TRUE(RemoveFontResourceW(u"C:\\Windows\\Fonts\\wqy-microhei.ttc"));
    EXPECT_EQ(FamilyDrawing(u"WenQuanYi Micro Hei Mono"), u"WenQuanYi Micro Hei Mono");
    EXPECT_TRUE(RemoveFontResourceW(u"wqy-microhei.ttc"));
    EXPECT_FALSE(Enumerated(u"WenQuanYi Micro Hei"));
    EXPECT_FALSE(Enumerated(u"WenQuanYi Micro Hei Mono"));
    EXPECT_EQ(FamilyDrawing(u"WenQuanYi Micro Hei"), u"Liberation Sans");
}

// A private font that is not enumerated is drawn with all the same, and is
// removed only by a call with its flags.
TEST_F(FontResource, PrivateFontNotEnumerated) {
    constexpr LPCWSTR kFont = u"C:\\Windows\\Fonts\\DejaVuSansMono-Bold.ttf";
    EXPECT_EQ(AddFontResourceExW(kFont, FR_PRIVATE | FR_NOT_ENUM, nullptr), 1);
    EXPECT_EQ(FamilyDrawing(u"DejaVu Sans Mono"), u"DejaVu Sans Mono");
    EXPECT_FALSE(Enumerated(u"DejaVu Sans Mono"));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(RemoveFontResourceW(kFont));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(RemoveFontResourceExW(kFont, FR_PRIVATE | FR_NOT_ENUM, nullptr));
    EXPECT_EQ(FamilyDrawing(u"DejaVu Sans Mono"), u"Liberation Sans");
}

struct Refusal {
    const char* label;
    const char16_t* file;  // null: no name
    DWORD flags;
    bool reserved;
    DWORD error;
};
void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.label; }

const Refusal kRefusals[] = {
    {"NoName", nullptr, 0, false, ERROR_INVALID_PARAMETER},
    {"EmptyName", u"", 0, false, ERROR_INVALID_PARAMETER},
    {"UnknownFlag", u"DejaVuSansMono.ttf", 0x40, false, ERROR_INVALID_PARAMETER},
    {"ReservedPointer", u"DejaVuSansMono.ttf", FR_PRIVATE, true, ERROR_INVALID_PARAMETER},
    {"MissingFile", u"C:\\Windows\\Fonts\\Missing.ttf", 0, false, ERROR_FILE_NOT_FOUND},
    {"MissingFolder", u"C:\\Nowhere\\Font.ttf", FR_PRIVATE, false, ERROR_FILE_NOT_FOUND},
    {"TruncatedFont", u"C:\\Windows\\Fonts\\Truncated.ttf", 0, false, ERROR_INVALID_DATA},
    {"EmptyFile", u"C:\\Windows\\Fonts\\Empty.ttf", FR_PRIVATE, false, ERROR_INVALID_DATA},
    {"TextFile", u"C:\\Work\\Readme.ttf", 0, false, ERROR_INVALID_DATA},
};

class FontResourceRefusal : public FontResource, public testing::WithParamInterface<Refusal> {
protected:
    void SetUp() override {
        FontResource::SetUp();
        MakeFile(u"C:\\Windows\\Fonts\\Truncated.ttf", TruncatedFont());
        MakeFile(u"C:\\Windows\\Fonts\\Empty.ttf", "");
        MakeFile(u"C:\\Work\\Readme.ttf", "This is no font.\r\n");
    }
};

TEST_P(FontResourceRefusal, AddFails) {
    const Refusal& r = GetParam();
    int dummy = 0;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(AddFontResourceExW(r.file, r.flags, r.reserved ? &dummy : nullptr), 0);
    EXPECT_EQ(GetLastError(), r.error);
    // Nothing was installed, so there is nothing to take back.
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(RemoveFontResourceExW(r.file, r.flags, r.reserved ? &dummy : nullptr));
    EXPECT_EQ(GetLastError(), r.error == ERROR_INVALID_DATA ? DWORD(ERROR_FILE_NOT_FOUND) : r.error);
    EXPECT_EQ(FamilyDrawing(u"DejaVu Sans Mono"), u"Liberation Sans");
}

INSTANTIATE_TEST_SUITE_P(All, FontResourceRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.label); });

// A registered file that is damaged or missing is left out, once noted in
// the debug log; the other fonts are installed.
TEST_F(FontResource, DamagedRegisteredFontIsSkipped) {
    MakeFile(u"C:\\Windows\\Fonts\\Broken.ttf", TruncatedFont());
    auto registry = w32::Registry::Current();
    auto fonts = registry->Find(registry->LocalMachine(), w32::kFontsKey);
    registry->SetString(fonts, u"Broken (TrueType)", u"Broken.ttf");
    registry->SetString(fonts, u"Gone (TrueType)", u"C:\\Windows\\Fonts\\Gone.ttf");
    w32::DebugLogClear();

    EXPECT_EQ(FamilyDrawing(u"Arial"), u"Liberation Sans");
    EXPECT_EQ(FamilyDrawing(u"SimSun"), u"WenQuanYi Micro Hei");
    EXPECT_EQ(w32::EnumerateInstalledFamilies().size(), 7u);  // the standard eight but DejaVu Sans Mono

    const std::string log = w32::DebugLogText();
    auto count = [&](const std::string& text) {
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("Broken.ttf"), 1u) << log;
    EXPECT_EQ(count("Gone.ttf"), 1u) << log;
}

}  // namespace
