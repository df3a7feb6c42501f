// Font files as the engine reads them: the faces a file holds and what they
// say of themselves, tables as byte ranges of the file (checked against
// FreeType's own table reader), and files that are no fonts.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "win32k/fontfile.h"

namespace w32 {
namespace {

const char* const kFonts = "/usr/share/fonts/truetype/";

std::vector<BYTE> ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct FaceCase {
    const char* file;
    const char16_t* family;
    USHORT weight;
    bool bold, italic, fixedPitch;
    BYTE familyClass;
};
const FaceCase kFaces[] = {
    {"dejavu/DejaVuSans.ttf", u"DejaVu Sans", FW_NORMAL, false, false, false, FF_SWISS},
    {"dejavu/DejaVuSans-Bold.ttf", u"DejaVu Sans", FW_BOLD, true, false, false, FF_SWISS},
    {"dejavu/DejaVuSansMono.ttf", u"DejaVu Sans Mono", FW_NORMAL, false, false, true, FF_MODERN},
    {"dejavu/DejaVuSerif.ttf", u"DejaVu Serif", FW_NORMAL, false, false, false, FF_ROMAN},
    {"liberation2/LiberationSans-Italic.ttf", u"Liberation Sans", FW_NORMAL, false, true, false, FF_SWISS},
    {"liberation2/LiberationSerif-BoldItalic.ttf", u"Liberation Serif", FW_BOLD, true, true, false, FF_ROMAN},
    {"liberation2/LiberationMono-Regular.ttf", u"Liberation Mono", FW_NORMAL, false, false, true, FF_MODERN},
};

class FontFaces : public testing::TestWithParam<FaceCase> {};

TEST_P(FontFaces, DescribeThemselves) {
    const FaceCase& c = GetParam();
    DWORD error = 0;
    const auto file = FontFile::Open(std::filesystem::path(kFonts) / c.file, &error);
    ASSERT_TRUE(file) << error;
    ASSERT_EQ(file->Faces().size(), 1u);
    EXPECT_FALSE(file->IsCollection());
    const FontFaceInfo& face = file->Faces()[0];
    EXPECT_EQ(face.family, c.family);
    EXPECT_EQ(face.weight, c.weight);
    EXPECT_EQ(face.bold, c.bold);
    EXPECT_EQ(face.italic, c.italic);
    EXPECT_EQ(face.fixedPitch, c.fixedPitch);
    EXPECT_EQ(face.familyClass, c.familyClass);
    EXPECT_EQ(face.unitsPerEm, 2048);
    EXPECT_TRUE(face.trueTypeOutlines);
    EXPECT_TRUE(face.CoversCharset(ANSI_CHARSET));
    EXPECT_FALSE(face.CoversCharset(SHIFTJIS_CHARSET));
}

INSTANTIATE_TEST_SUITE_P(Installed, FontFaces, testing::ValuesIn(kFaces));

// Every table of every face of a collection is the range of the file that
// FreeType reads for it.
TEST(FontFile, CollectionTablesAreTheFilesBytes) {
    DWORD error = 0;
    const auto file = FontFile::Open(std::filesystem::path(kFonts) / "wqy" / "wqy-microhei.ttc", &error);
    ASSERT_TRUE(file) << error;
    EXPECT_TRUE(file->IsCollection());
    ASSERT_EQ(file->Faces().size(), 2u);
    EXPECT_EQ(file->Faces()[0].family, u"WenQuanYi Micro Hei");
    EXPECT_EQ(file->Faces()[1].family, u"WenQuanYi Micro Hei Mono");
    EXPECT_TRUE(file->Faces()[0].CoversCharset(GB2312_CHARSET));
    EXPECT_NE(file->FaceOffset(1), 0u);

    std::lock_guard lock(FreeTypeLock());
    for (ULONG index = 0; index < 2; ++index) {
        FT_Face face = NewFreeTypeFace(*file, index);
        ASSERT_TRUE(face);
        for (const uint32_t tag : {FontTag("head"), FontTag("cmap"), FontTag("name"), FontTag("hmtx")}) {
            FT_ULong length = 0;
            ASSERT_EQ(FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length), 0);
            std::vector<BYTE> expected(length);
            ASSERT_EQ(FT_Load_Sfnt_Table(face, tag, 0, expected.data(), &length), 0);
            const auto table = file->Table(index, tag);
            EXPECT_EQ(std::vector<BYTE>(table.begin(), table.end()), expected) << std::hex << tag;
        }
        EXPECT_TRUE(file->Table(index, FontTag("zzzz")).empty());
        FT_Done_Face(face);
    }
    EXPECT_TRUE(file->Table(2, FontTag("head")).empty());
}

// Files that are no fonts: each refused with ERROR_INVALID_DATA.
TEST(FontFile, DamagedFilesAreRefused) {
    const auto good = ReadHostFile(std::filesystem::path(kFonts) / "dejavu" / "DejaVuSans.ttf");
    ASSERT_GT(good.size(), 1000u);
    std::vector<std::vector<BYTE>> damaged;
    damaged.push_back({});                                              // empty
    damaged.push_back({good.begin(), good.begin() + 11});               // shorter than a directory
    damaged.push_back({good.begin(), good.begin() + good.size() / 2});  // truncated: tables run past the end
    auto lyingCount = good;
    lyingCount[4] = 0xFF;  // a table count the file cannot hold
    damaged.push_back(lyingCount);
    std::vector<BYTE> lyingCollection = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 1, 0x7F, 0, 0, 0};
    damaged.push_back(lyingCollection);  // a face directory past the end
    std::vector<BYTE> text(4096, 'x');
    damaged.push_back(text);
    for (size_t i = 0; i < damaged.size(); ++i) {
        DWORD error = 0;
        EXPECT_FALSE(FontFile::FromBytes(damaged[i], &error)) << i;
        EXPECT_EQ(error, DWORD(ERROR_INVALID_DATA)) << i;
    }
    DWORD error = 0;
    EXPECT_FALSE(FontFile::Open("/nonexistent/font.ttf", &error));
    EXPECT_EQ(error, DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(FontFile::FromBytes(good, &error));
}

}  // namespace
}  // namespace w32
