// The font mapper on the machine's standard fonts: which face a logical font
// gets, what the engine adds to it, the charset it reports and the name
// GetTextFaceW answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "machine/fonts.h"
#include "machine/registry.h"
#include "support/machine_fixture.h"
#include "win32k/fontmap.h"
#include "win32k/fonttable.h"

namespace {

using tam::test::MachineTest;

// A face name of exactly LF_FACESIZE characters: no terminator in the field.
const std::u16string kFullWidthName(LF_FACESIZE, u'X');

LOGFONTW Request(std::u16string_view face, LONG weight = FW_NORMAL, bool italic = false,
                 BYTE charset = ANSI_CHARSET, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE) {
    LOGFONTW font{};
    font.lfHeight = -16;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfCharSet = charset;
    font.lfPitchAndFamily = pitchAndFamily;
    face.copy(font.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE));
    return font;
}

void SetMachineString(std::u16string_view keyPath, std::u16string_view name, std::u16string_view value) {
    auto registry = w32::Registry::Current();
    registry->SetString(registry->Ensure(registry->LocalMachine(), keyPath), name, value);
}

void DeleteMachineValue(std::u16string_view keyPath, std::u16string_view name) {
    auto registry = w32::Registry::Current();
    registry->DeleteValue(registry->Find(registry->LocalMachine(), keyPath), name);
}

// Every machine of these tests also has a substitute whose family is not
// installed, and one for a name that fills the whole face-name field.
class FontMap : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        SetMachineString(w32::kFontSubstitutesKey, u"Ghost Face", u"No Such Family");
        SetMachineString(w32::kFontSubstitutesKey, kFullWidthName, u"DejaVu Serif");
    }
};

struct MapCase {
    const char* label;
    const char16_t* face;
    LONG weight;
    bool italic;
    BYTE charset;
    BYTE pitchAndFamily;
    // What comes out.
    const char16_t* fullName;  // of the face used, which tells its file
    ULONG faceIndex;           // in the file: 1 for the collection's fixed-width face
    bool simulateBold, simulateItalic, vertical;
    BYTE chosenCharset;
    const char16_t* faceName;
};
void PrintTo(const MapCase& c, std::ostream* out) { *out << c.label; }

constexpr BYTE kDefaultPitch = DEFAULT_PITCH | FF_DONTCARE;

const MapCase kCases[] = {
    // Installed families, their case ignored, their own spelling answered.
    {"Family", u"Liberation Sans", FW_NORMAL, false, ANSI_CHARSET, kDefaultPitch, u"Liberation Sans", 0, false,
     false, false, ANSI_CHARSET, u"Liberation Sans"},
    {"FamilyInOtherCase", u"liberation SANS", FW_NORMAL, false, ANSI_CHARSET, kDefaultPitch, u"Liberation Sans", 0,
     false, false, false, ANSI_CHARSET, u"Liberation Sans"},
    {"BoldItalicFile", u"Liberation Mono", FW_BOLD, true, ANSI_CHARSET, kDefaultPitch, u"Liberation Mono Bold Italic",
     0, false, false, false, ANSI_CHARSET, u"Liberation Mono"},
    {"WeightZeroIsNormal", u"Liberation Serif", FW_DONTCARE, false, ANSI_CHARSET, kDefaultPitch, u"Liberation Serif",
     0, false, false, false, ANSI_CHARSET, u"Liberation Serif"},
    {"SemiboldTakesTheNearerBold", u"DejaVu Sans", FW_SEMIBOLD, false, ANSI_CHARSET, kDefaultPitch,
     u"DejaVu Sans Bold", 0, false, false, false, ANSI_CHARSET, u"DejaVu Sans"},
    {"HeavyOnABoldFaceIsNotEmboldened", u"Liberation Sans", FW_HEAVY, false, ANSI_CHARSET, kDefaultPitch,
     u"Liberation Sans Bold", 0, false, false, false, ANSI_CHARSET, u"Liberation Sans"},
    {"ThinTakesTheRegular", u"Liberation Sans", FW_THIN, false, ANSI_CHARSET, kDefaultPitch, u"Liberation Sans", 0,
     false, false, false, ANSI_CHARSET, u"Liberation Sans"},
    // The engine adds what a family lacks.
    {"ItalicOnDejaVuSansIsSlanted", u"DejaVu Sans", FW_NORMAL, true, ANSI_CHARSET, kDefaultPitch, u"DejaVu Sans", 0,
     false, true, false, ANSI_CHARSET, u"DejaVu Sans"},
    {"BoldItalicOnDejaVuSerifSlantsTheBold", u"DejaVu Serif", FW_BOLD, true, ANSI_CHARSET, kDefaultPitch,
     u"DejaVu Serif Bold", 0, false, true, false, ANSI_CHARSET, u"DejaVu Serif"},
    {"BoldOnTheCjkFaceIsEmboldened", u"WenQuanYi Micro Hei", FW_BOLD, false, GB2312_CHARSET, kDefaultPitch,
     u"WenQuanYi Micro Hei", 0, true, false, false, GB2312_CHARSET, u"WenQuanYi Micro Hei"},
    {"SemiboldOnTheCjkFaceIsEmboldened", u"WenQuanYi Micro Hei", FW_SEMIBOLD, false, ANSI_CHARSET, kDefaultPitch,
     u"WenQuanYi Micro Hei", 0, true, false, false, ANSI_CHARSET, u"WenQuanYi Micro Hei"},
    {"MediumOnTheCjkFaceIsNot", u"WenQuanYi Micro Hei", FW_MEDIUM, false, ANSI_CHARSET, kDefaultPitch,
     u"WenQuanYi Micro Hei", 0, false, false, false, ANSI_CHARSET, u"WenQuanYi Micro Hei"},
    {"CollectionsSecondFace", u"WenQuanYi Micro Hei Mono", FW_NORMAL, false, DEFAULT_CHARSET, kDefaultPitch,
     u"WenQuanYi Micro Hei Mono", 1, false, false, false, ANSI_CHARSET, u"WenQuanYi Micro Hei Mono"},
    // Substitutes answer the name asked for.
    {"Substitute", u"Arial", FW_BOLD, false, ANSI_CHARSET, kDefaultPitch, u"Liberation Sans Bold", 0, false, false,
     false, ANSI_CHARSET, u"Arial"},
    {"SubstituteInOtherCase", u"times new roman", FW_BOLD, true, DEFAULT_CHARSET, kDefaultPitch,
     u"Liberation Serif Bold Italic", 0, false, false, false, ANSI_CHARSET, u"times new roman"},
    {"DialogFont", u"MS Shell Dlg", FW_NORMAL, false, DEFAULT_CHARSET, kDefaultPitch, u"Liberation Sans", 0, false,
     false, false, ANSI_CHARSET, u"MS Shell Dlg"},
    {"SubstituteWithCharset", u"Arial CYR", FW_NORMAL, false, RUSSIAN_CHARSET, kDefaultPitch, u"Liberation Sans", 0,
     false, false, false, RUSSIAN_CHARSET, u"Arial CYR"},
    {"SubstituteForAnotherCharsetOnly", u"Arial CYR", FW_NORMAL, false, ANSI_CHARSET, FF_ROMAN, u"Liberation Serif",
     0, false, false, false, ANSI_CHARSET, u"Liberation Serif"},
    {"SubstituteOfAMissingFamily", u"Ghost Face", FW_NORMAL, false, ANSI_CHARSET, FF_ROMAN, u"Liberation Serif", 0,
     false, false, false, ANSI_CHARSET, u"Liberation Serif"},
    {"CjkName", u"MS Mincho", FW_NORMAL, false, SHIFTJIS_CHARSET, kDefaultPitch, u"WenQuanYi Micro Hei Mono", 1,
     false, false, false, SHIFTJIS_CHARSET, u"MS Mincho"},
    // No such face: pitch and family choose.
    {"UnknownFace", u"No Such Face", FW_NORMAL, false, DEFAULT_CHARSET, kDefaultPitch, u"Liberation Sans", 0, false,
     false, false, ANSI_CHARSET, u"Liberation Sans"},
    {"UnknownRoman", u"No Such Face", FW_BOLD, false, ANSI_CHARSET, VARIABLE_PITCH | FF_ROMAN,
     u"Liberation Serif Bold", 0, false, false, false, ANSI_CHARSET, u"Liberation Serif"},
    {"NoNameFixedPitch", u"", FW_NORMAL, false, ANSI_CHARSET, FIXED_PITCH, u"Liberation Mono", 0, false, false, false,
     ANSI_CHARSET, u"Liberation Mono"},
    {"NoNameModern", u"", FW_NORMAL, true, ANSI_CHARSET, FF_MODERN, u"Liberation Mono Italic", 0, false, false, false,
     ANSI_CHARSET, u"Liberation Mono"},
    {"NoNameSwiss", u"", FW_NORMAL, false, ANSI_CHARSET, FF_SWISS, u"Liberation Sans", 0, false, false, false,
     ANSI_CHARSET, u"Liberation Sans"},
    // The charset outweighs the name.
    {"CjkCharsetOnArial", u"Arial", FW_NORMAL, false, SHIFTJIS_CHARSET, kDefaultPitch, u"WenQuanYi Micro Hei", 0,
     false, false, false, SHIFTJIS_CHARSET, u"WenQuanYi Micro Hei"},
    {"CjkCharsetOnCourierStaysFixed", u"Courier New", FW_NORMAL, false, HANGUL_CHARSET, kDefaultPitch,
     u"WenQuanYi Micro Hei Mono", 1, false, false, false, HANGUL_CHARSET, u"WenQuanYi Micro Hei Mono"},
    {"HebrewLeavesDejaVuSerifForASerif", u"DejaVu Serif", FW_NORMAL, false, HEBREW_CHARSET, kDefaultPitch,
     u"Liberation Serif", 0, false, false, false, HEBREW_CHARSET, u"Liberation Serif"},
    {"ArabicFindsTheOnlyFamiliesWithIt", u"", FW_NORMAL, false, ARABIC_CHARSET, FF_ROMAN, u"DejaVu Sans", 0, false,
     false, false, ARABIC_CHARSET, u"DejaVu Sans"},
    {"CharsetNobodyCoversKeepsTheName", u"Arial", FW_NORMAL, false, THAI_CHARSET, kDefaultPitch, u"Liberation Sans",
     0, false, false, false, ANSI_CHARSET, u"Arial"},
    {"GreekOnDejaVu", u"DejaVu Sans", FW_NORMAL, false, GREEK_CHARSET, kDefaultPitch, u"DejaVu Sans", 0, false,
     false, false, GREEK_CHARSET, u"DejaVu Sans"},
    {"SymbolWithoutSymbolFonts", u"", FW_NORMAL, false, SYMBOL_CHARSET, kDefaultPitch, u"Liberation Sans", 0, false,
     false, false, ANSI_CHARSET, u"Liberation Sans"},
    // Vertical writing.
    {"VerticalSubstitute", u"@SimSun", FW_NORMAL, false, GB2312_CHARSET, kDefaultPitch, u"WenQuanYi Micro Hei", 0,
     false, false, true, GB2312_CHARSET, u"@SimSun"},
    {"VerticalFamily", u"@liberation serif", FW_NORMAL, false, ANSI_CHARSET, kDefaultPitch, u"Liberation Serif", 0,
     false, false, true, ANSI_CHARSET, u"@Liberation Serif"},
};

class FontMapCases : public FontMap, public testing::WithParamInterface<MapCase> {};

TEST_P(FontMapCases, ChoosesTheFace) {
    const MapCase& c = GetParam();
    const w32::ChosenFace chosen =
        w32::MapFont(Request(c.face, c.weight, c.italic, c.charset, c.pitchAndFamily));
    ASSERT_TRUE(chosen.file);
    EXPECT_EQ(chosen.Info().fullName, c.fullName);
    EXPECT_EQ(chosen.face, c.faceIndex);
    EXPECT_EQ(chosen.simulateBold, c.simulateBold);
    EXPECT_EQ(chosen.simulateItalic, c.simulateItalic);
    EXPECT_EQ(chosen.vertical, c.vertical);
    EXPECT_EQ(int(chosen.charset), int(c.chosenCharset));
    EXPECT_EQ(chosen.faceName, c.faceName);
}

INSTANTIATE_TEST_SUITE_P(All, FontMapCases, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

// Every standard substitute draws with the family it names, under its own name.
TEST_F(FontMap, EachStandardSubstituteReachesItsFamily) {
    for (const w32::StandardFontSubstitute& substitute : w32::StandardFontSubstitutes()) {
        std::u16string name = substitute.name, family = substitute.family;
        BYTE charset = DEFAULT_CHARSET;
        if (const size_t comma = name.find(u','); comma != std::u16string::npos) {
            charset = BYTE(std::stoi(std::string(name.begin() + comma + 1, name.end())));
            name.resize(comma);
            family.resize(family.find(u','));
        }
        SCOPED_TRACE(testing::PrintToString(name));
        const w32::ChosenFace chosen = w32::MapFont(Request(name, FW_NORMAL, false, charset));
        ASSERT_TRUE(chosen.file);
        EXPECT_EQ(chosen.Info().family, family);
        EXPECT_EQ(chosen.faceName, name);
    }
}

// A name filling the whole field is read to the field's end and no further.
TEST_F(FontMap, UnterminatedFaceNameStopsAtTheField) {
    struct {
        LOGFONTW font;
        WCHAR after[8];
    } request{};
    request.font = Request(u"");
    kFullWidthName.copy(request.font.lfFaceName, LF_FACESIZE);
    std::u16string(u"Tail").copy(request.after, 4);
    const w32::ChosenFace chosen = w32::MapFont(request.font);
    ASSERT_TRUE(chosen.file);
    EXPECT_EQ(chosen.Info().family, u"DejaVu Serif");
    EXPECT_EQ(chosen.faceName, kFullWidthName);

    // On the heap, with nothing after it, for the address sanitizer to watch.
    auto alone = std::make_unique<LOGFONTW>(request.font);
    EXPECT_EQ(w32::MapFont(*alone).faceName, kFullWidthName);
}

// On a machine whose code page is a CJK one, DEFAULT_CHARSET prefers its charset.
class FontMapOnChineseMachine : public FontMap {
protected:
    w32::MachineSettings MakeSettings() const override {
        w32::MachineSettings settings = FontMap::MakeSettings();
        settings.ansiCodePage = 936;
        return settings;
    }
};

TEST_F(FontMapOnChineseMachine, DefaultCharsetPrefersTheMachinesCharset) {
    const w32::ChosenFace unnamed = w32::MapFont(Request(u"", FW_NORMAL, false, DEFAULT_CHARSET));
    ASSERT_TRUE(unnamed.file);
    EXPECT_EQ(unnamed.Info().family, u"WenQuanYi Micro Hei");
    EXPECT_EQ(unnamed.charset, GB2312_CHARSET);
    // A named Latin family stands, in its own charset.
    const w32::ChosenFace latin = w32::MapFont(Request(u"Arial", FW_NORMAL, false, DEFAULT_CHARSET));
    ASSERT_TRUE(latin.file);
    EXPECT_EQ(latin.Info().family, u"Liberation Sans");
    EXPECT_EQ(latin.charset, ANSI_CHARSET);
}

// Without a drive the standard names of the registry lead to the host files.
TEST_F(FontMap, MemoryOnlyMachineMapsToTheHostFiles) {
    w32::Machine::CloseCurrent();
    ASSERT_FALSE(w32::Machine::Current().HasDrive());
    const w32::ChosenFace chosen = w32::MapFont(Request(u"Courier New", FW_BOLD));
    ASSERT_TRUE(chosen.file);
    EXPECT_EQ(chosen.Info().fullName, u"Liberation Mono Bold");
    EXPECT_EQ(chosen.file->Bytes().size(),
              std::filesystem::file_size("/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf"));
}

// The table and the substitutes are read again from the next machine.
TEST_F(FontMap, NextMachineIsReadAfresh) {
    ASSERT_EQ(w32::MapFont(Request(u"DejaVu Sans")).Info().family, u"DejaVu Sans");
    ASSERT_EQ(w32::MapFont(Request(u"Arial")).Info().family, u"Liberation Sans");

    const auto folder = tam::test::MakeTempFolder();
    w32::Machine::Create(folder / "next");
    DeleteMachineValue(w32::kFontsKey, u"DejaVu Sans (TrueType)");
    DeleteMachineValue(w32::kFontsKey, u"DejaVu Sans Bold (TrueType)");
    SetMachineString(w32::kFontSubstitutesKey, u"Arial", u"DejaVu Serif");
    const w32::ChosenFace gone = w32::MapFont(Request(u"DejaVu Sans"));
    ASSERT_TRUE(gone.file);
    EXPECT_EQ(gone.Info().family, u"Liberation Sans");
    EXPECT_EQ(w32::MapFont(Request(u"Arial")).Info().family, u"DejaVu Serif");
    w32::Machine::CloseCurrent();
    std::filesystem::remove_all(folder);
}

// With no font installed there is nothing to choose, and no crash.
TEST_F(FontMap, EmptyTableChoosesNoFile) {
    auto registry = w32::Registry::Current();
    registry->DeleteTree(registry->Find(registry->LocalMachine(), w32::kFontsKey), false);
    EXPECT_FALSE(w32::AnyFontInstalled());
    EXPECT_FALSE(w32::MapFont(Request(u"Arial")).file);
    EXPECT_FALSE(w32::MapFont(Request(u"")).file);
}

}  // namespace
