// Documents with text, printed by the tool and checked from the decoded
// job alone: a string's first character stands on the point the document
// gave (points from the paper's top-left corner, dpi/72 pixels each, less
// the printable area's offset), aligned as asked; a text block's words fill
// lines no wider than its width; every Text of the sample's pages is in a
// font the job downloaded before, with characters that font holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/placed_text.h"
#include "tamprint_fixture.h"

namespace tam::test {
namespace {

class TamprintText : public TamprintTest {
protected:
    // The texts of a one-page document with `items` in its draw list.
    TextRead PrintItems(const std::string& items, const std::vector<std::string>& options = {}) {
        const auto document = WriteFile("text.json", R"({"pages": [{"draw": [)" + items + "]}]}");
        std::vector<std::string> args = options;
        args.push_back(document.string());
        const RunResult result = Print(args);
        EXPECT_EQ(result.code, 0) << result.err;
        const job::DecodedJob decoded = Decode(JobPath());
        EXPECT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
        TextRead read = ::tam::test::ReadText(decoded);
        EXPECT_EQ(read.faults, std::vector<std::string>{});
        return read;
    }
};

TEST_F(TamprintText, StringStartsOnItsBaselinePoint) {
    // Letter at 600 dpi: the printable area starts 0.25 inch (150 pixels) in.
    const TextRead read = PrintItems(R"({"text": "Hello", "at": [72, 144], "font": {"size": 12}})",
                                     {"--paper", "letter"});
    ASSERT_EQ(read.texts.size(), 1u);
    ASSERT_EQ(read.texts[0].size(), 5u);
    const job::Point first = read.texts[0][0].at;
    const job::Point last = read.texts[0][4].at;
    // 72 pt is 600 pixels and 144 pt 1200, less the same offset on both axes.
    EXPECT_EQ(first.y - first.x, 600);
    EXPECT_GT(last.x, first.x);
    EXPECT_EQ(last.y, first.y);
}

TEST_F(TamprintText, AlignmentPlacesTheStringAroundItsPoint) {
    const TextRead read = PrintItems(R"({"text": "Wide", "at": [300, 200], "align": "left"},
        {"text": "Wide", "at": [300, 250], "align": "center"},
        {"text": "Wide", "at": [300, 300], "align": "right"})");
    ASSERT_EQ(read.texts.size(), 3u);
    const int32_t left = read.texts[0][0].at.x, centre = read.texts[1][0].at.x, right = read.texts[2][0].at.x;
    EXPECT_LT(right, centre);
    EXPECT_LT(centre, left);
    // The centred string starts half as far back as the right-aligned one.
    EXPECT_NEAR(left - centre, (left - right) / 2.0, 1.0);
}

TEST_F(TamprintText, TurnedStringRunsUpTheBaseline) {
    const TextRead read = PrintItems(R"({"text": "Up", "at": [300, 400], "rotation": 90})");
    ASSERT_EQ(read.texts.size(), 1u);
    ASSERT_EQ(read.texts[0].size(), 2u);
    EXPECT_EQ(read.texts[0][1].at.x, read.texts[0][0].at.x);
    EXPECT_LT(read.texts[0][1].at.y, read.texts[0][0].at.y);
}

// A block 80 points wide: four words of which two fit a line; a line
// break; lines a leading of 20 points (about 167 pixels) apart.
TEST_F(TamprintText, BlockBreaksBetweenWordsWithinItsWidth) {
    const TextRead read = PrintItems(
        R"({"textblock": "alpha beta gamma delta\nepsilon", "at": [72, 72], "width": 80, "leading": 20,
                   "font": {"size": 12}})");
    ASSERT_EQ(read.texts.size(), 3u);
    EXPECT_EQ(read.texts[0].size(), std::string("alpha beta").size());
    EXPECT_EQ(read.texts[1].size(), std::string("gamma delta").size());
    EXPECT_EQ(read.texts[2].size(), std::string("epsilon").size());
    for (size_t line = 1; line < read.texts.size(); ++line) {
        EXPECT_EQ(read.texts[line][0].at.x, read.texts[0][0].at.x);
        EXPECT_NEAR(read.texts[line][0].at.y - read.texts[line - 1][0].at.y, 20 * 600 / 72.0, 1.0);
    }
    // No line runs past the width.
    for (const auto& line : read.texts) EXPECT_LE(line.back().at.x - line.front().at.x, 80 * 600 / 72);
}

TEST_F(TamprintText, SamplePagesOfTextDecode) {
    const RunResult result = Print({});
    ASSERT_EQ(result.code, 0) << result.err;
    const job::DecodedJob decoded = Decode(JobPath());
    ASSERT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    const TextRead read = ::tam::test::ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    // Upright lines in outline fonts, the turned one in a bitmap font, and
    // the Chinese line in the collection's face.
    bool outline = false, bitmap = false, chinese = false;
    for (const std::string& font : read.fontsUsed) {
        outline = outline || font.find("TT") != std::string::npos;
        bitmap = bitmap || font.find("BM") != std::string::npos;
        chinese = chinese || font.find("WenQuanYi") != std::string::npos;
    }
    EXPECT_TRUE(outline);
    EXPECT_TRUE(bitmap);
    EXPECT_TRUE(chinese);
    EXPECT_GE(read.texts.size(), 10u);
}

}  // namespace
}  // namespace tam::test
