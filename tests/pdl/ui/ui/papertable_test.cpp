// The paper table, the measures of papers and custom sizes, and the
// conversion of 600-dpi lengths into tenths of a millimetre.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/ui/papertable.h"

namespace {

TEST(PaperTable, EntriesAreUniqueAndLandscapeIsPortraitTurned) {
    std::set<INT16> codes;
    for (const PaperTableEntry& entry : g_PaperTable) {
        SCOPED_TRACE(entry.code);
        EXPECT_TRUE(codes.insert(entry.code).second);
        EXPECT_LT(entry.code, CUSTOM_PAPER_FIRST);
        EXPECT_EQ(entry.landscape.width, entry.portrait.height);
        EXPECT_EQ(entry.landscape.height, entry.portrait.width);
        for (const PaperMetrics* m : {&entry.portrait, &entry.landscape}) {
            EXPECT_EQ(m->left, 95);
            EXPECT_EQ(m->top, 95);
            EXPECT_EQ(m->right, 95);
            EXPECT_EQ(m->bottom, 95);
        }
    }
    EXPECT_EQ(g_PaperTable[0].code, 1);
    EXPECT_EQ(g_PaperTable[0].nameId, 108u);
    EXPECT_EQ(g_PaperTable[PAPER_TABLE_COUNT - 1].code, 280);
    EXPECT_EQ(g_PaperTable[PAPER_TABLE_COUNT - 1].nameId, 6005u);
}

struct KnownCase {
    INT code;
    BOOL known;
    INT index;
};

TEST(PaperTable, KnownCodesAndTheirPositions) {
    const KnownCase cases[] = {
        {1, TRUE, 0},      {9, TRUE, 1},     {43, TRUE, 9},     {280, TRUE, 27},  {288, TRUE, -1},
        {300, TRUE, -1},   {319, TRUE, -1},  {0, FALSE, 99},    {8, FALSE, 99},   {287, FALSE, 99},
        {320, FALSE, 99},  {-9, FALSE, 99},  {32767, FALSE, 99},
    };
    for (const KnownCase& c : cases) {
        SCOPED_TRACE(c.code);
        INT index = 99;
        EXPECT_EQ(IsKnownPaperSize(c.code, &index), c.known);
        EXPECT_EQ(index, c.index);
    }
    EXPECT_TRUE(IsKnownPaperSize(9));
}

TEST(PaperTable, TableMetricsInBothOrientations) {
    PaperMetrics m{};
    ASSERT_TRUE(GetPaperMetrics(nullptr, 9, DMORIENT_PORTRAIT, &m));
    EXPECT_EQ(m.width, 4960);
    EXPECT_EQ(m.height, 7015);
    ASSERT_TRUE(GetPaperMetrics(nullptr, 9, DMORIENT_LANDSCAPE, &m));
    EXPECT_EQ(m.width, 7015);
    EXPECT_EQ(m.height, 4960);
    EXPECT_EQ(m.left, 95);
}

TEST(PaperTable, UnknownOrientationOrCodeLeavesTheOutputAlone) {
    const PaperMetrics marked{1, 2, 3, 4, 5, 6};
    for (auto [code, orientation] : {std::pair{9, 0}, std::pair{9, 3}, std::pair{300, 3}, std::pair{8, 1},
                                     std::pair{287, 2}}) {
        SCOPED_TRACE(testing::Message() << code << " " << orientation);
        PaperMetrics m = marked;
        EXPECT_FALSE(GetPaperMetrics(nullptr, code, orientation, &m));
        EXPECT_EQ(memcmp(&m, &marked, sizeof(m)), 0);
    }
}

// Custom sizes are found by their paper code wherever they sit among the
// twenty records: code 319 lies past the end if the code were taken as a
// position counted from 288.
TEST(PaperTable, CustomSizesAreFoundByTheirCode) {
    PrivateDevmode priv{};
    priv.CustomPaperSize[3] = CustomPaperRecord{2362, 3543, u"Card", {}, 319, 1, 2362.f, 3543.f};
    priv.CustomPaperSize[19] = CustomPaperRecord{3000, 4000, u"Last", {}, 288, 1, 3000.f, 4000.f};

    PaperMetrics m{};
    ASSERT_TRUE(GetPaperMetrics(&priv, 319, DMORIENT_PORTRAIT, &m));
    EXPECT_EQ(m.width, 2362);
    EXPECT_EQ(m.height, 3543);
    EXPECT_EQ(m.left, 95);
    EXPECT_EQ(m.bottom, 95);
    ASSERT_TRUE(GetPaperMetrics(&priv, 319, DMORIENT_LANDSCAPE, &m));
    EXPECT_EQ(m.width, 3543);
    EXPECT_EQ(m.height, 2362);
    ASSERT_TRUE(GetPaperMetrics(&priv, 288, DMORIENT_PORTRAIT, &m));
    EXPECT_EQ(m.width, 3000);
    EXPECT_EQ(FindCustomPaperRecord(&priv, 319), &priv.CustomPaperSize[3]);
    EXPECT_EQ(FindCustomPaperRecord(&priv, 301), nullptr);
    EXPECT_EQ(FindCustomPaperRecord(nullptr, 319), nullptr);

    // A code without a record, or no private part at all: A4.
    for (const PrivateDevmode* source : {static_cast<const PrivateDevmode*>(&priv),
                                         static_cast<const PrivateDevmode*>(nullptr)}) {
        ASSERT_TRUE(GetPaperMetrics(source, source ? 301 : 319, DMORIENT_LANDSCAPE, &m));
        EXPECT_EQ(m.width, 7015);
        EXPECT_EQ(m.height, 4960);
        EXPECT_EQ(m.top, 95);
    }
}

TEST(PaperTable, TenthsOfAMillimetreRoundHalfUp) {
    const std::pair<LONG, LONG> cases[] = {
        {4960, 2100}, {7015, 2970}, {2362, 1000}, {3496, 1480}, {5100, 2159}, {6600, 2794},
        {150, 64},  // 63.5
        {149, 63},  // 63.07
        {0, 0},     {-150, -63},  // -63.5 rounds up
        {32767, 13871},
    };
    for (auto [dots, tenths] : cases) EXPECT_EQ(Dots600ToTenthMm(dots), tenths) << dots;
    EXPECT_EQ(TenthMmToWholeMm(2970), 297);
    EXPECT_EQ(TenthMmToWholeMm(2159), 215);
    EXPECT_EQ(TenthMmToWholeMm(9), 0);
}

struct CustomNameCase {
    std::u16string name;
    INT16 width, height;  // 600-dpi units
    INT position;
    std::u16string expected;
};

// The name and the size in whole millimetres; a text that would reach 64
// characters gives way to the position's name.
TEST(PaperTable, CustomPaperNames) {
    const std::u16string name40(40, u'n'), name49(49, u'n'), name50(50, u'n');
    const CustomNameCase cases[] = {
        {u"Card", 2362, 3543, 0, u"Card (100 x 150mm)"},
        {u"", 1800, 3000, 2, u" (76 x 127mm)"},
        {u"Wide", 5102, 8400, 1, u"Wide (216 x 355mm)"},
        // 49 + " (100 x 150mm)" is 63 characters, 50 makes 64.
        {name49, 2362, 3543, 3, name49 + u" (100 x 150mm)"},
        {name50, 2362, 3543, 3, u"Custom 3 (100 x 150mm)"},
        {std::u16string(300, u'x'), 2362, 3543, 15, u"Custom 15 (100 x 150mm)"},
        {name40 + u"\u00e9", 2362, 3543, 0, name40 + u"\u00e9 (100 x 150mm)"},
    };
    for (const CustomNameCase& c : cases) {
        CustomPaperRecord record{};
        record.width = c.width;
        record.height = c.height;
        WCHAR field[CCHPAPERNAME + 2];
        for (WCHAR& ch : field) ch = u'#';
        FormatCustomPaperName(field, c.name.c_str(), record, c.position);
        EXPECT_EQ(std::u16string(field), c.expected) << c.name.size();
        // The rest of the field is zero; nothing beyond it is touched.
        for (size_t i = c.expected.size(); i < CCHPAPERNAME; ++i) EXPECT_EQ(field[i], 0) << i;
        EXPECT_EQ(field[CCHPAPERNAME], u'#');
    }
}

}  // namespace
