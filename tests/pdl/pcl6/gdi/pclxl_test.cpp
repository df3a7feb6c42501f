// The PCL XL encoder primitives: the bytes each writer gives, and polylines
// checked by the job decoder.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pjl.h"

namespace tam::test {
namespace {

using Encoder = JobTest;

struct Written {
    const char* name;
    std::function<BOOL(PDEV*)> write;
    const char* bytes;
};

TEST_F(Encoder, WritersGiveTheirBytes) {
    const RECTL box = {-1, 2, 300, 0x1234};
    const POINTS point = {100, -100};
    const Written cases[] = {
        {"sint16 attribute", [](PDEV* p) { return Pxl_WriteAttr(p, 0x1234, 0x29, PXL_TYPE_SINT16); }, "C3 34 12 F8 29"},
        {"ubyte cut to its width", [](PDEV* p) { return Pxl_WriteAttr(p, 0x1FF, 0x03, PXL_TYPE_UBYTE); }, "C0 FF F8 03"},
        {"uint16", [](PDEV* p) { return Pxl_WriteAttr(p, 600, 0x4B, PXL_TYPE_UINT16); }, "C1 58 02 F8 4B"},
        {"uint32", [](PDEV* p) { return Pxl_WriteAttr(p, 0x68702002, 0x91, PXL_TYPE_UINT32); },
         "C2 02 20 70 68 F8 91"},
        {"sint32", [](PDEV* p) { return Pxl_WriteAttr(p, -2, 0x4C, PXL_TYPE_SINT32); }, "C4 FE FF FF FF F8 4C"},
        {"unknown scalar type as sint16", [](PDEV* p) { return Pxl_WriteAttr(p, -3, 0x29, 6); }, "C3 FD FF F8 29"},
        {"uint16 pair", [](PDEV* p) { return Pxl_WriteAttrXY(p, 600, 600, 0x89, PXL_TYPE_UINT16_XY); },
         "D1 58 02 58 02 F8 89"},
        {"ubyte pair", [](PDEV* p) { return Pxl_WriteAttrXY(p, 1, 2, 0xA4, PXL_TYPE_UBYTE_XY); }, "D0 01 02 F8 A4"},
        {"uint32 pair", [](PDEV* p) { return Pxl_WriteAttrXY(p, 1, 0x10000, 0x67, PXL_TYPE_UINT32_XY); },
         "D2 01 00 00 00 00 00 01 00 F8 67"},
        {"sint16 pair", [](PDEV* p) { return Pxl_WriteAttrXY(p, -1, 2, 0x2A, PXL_TYPE_SINT16_XY); },
         "D3 FF FF 02 00 F8 2A"},
        {"sint32 pair", [](PDEV* p) { return Pxl_WriteAttrXY(p, -1, 1, 0x2A, PXL_TYPE_SINT32_XY); },
         "D4 FF FF FF FF 01 00 00 00 F8 2A"},
        {"unknown pair type as sint16_xy", [](PDEV* p) { return Pxl_WriteAttrXY(p, 5, 6, 0x2A, 2); },
         "D3 05 00 06 00 F8 2A"},
        {"real pair", [](PDEV* p) { return Pxl_WriteRealXYAttr(p, 1.0f, -2.5f, 0x2B); },
         "D5 00 00 80 3F 00 00 20 C0 F8 2B"},
        {"real", [](PDEV* p) { return Pxl_WriteRealAttr(p, 0.5f, 0xB1); }, "C5 00 00 00 3F F8 B1"},
        {"operator", [](PDEV* p) { return Pxl_WriteOperator(p, 0x41); }, "41"},
        {"point attribute", [&](PDEV* p) { return Pxl_WritePointAttr(p, &point, 0x4C); }, "D3 64 00 9C FF F8 4C"},
        {"data length 255", [](PDEV* p) { return Pxl_WriteDataLength(p, 255); }, "FB FF"},
        {"data length 256", [](PDEV* p) { return Pxl_WriteDataLength(p, 256); }, "FA 00 01 00 00"},
        {"array of 255", [](PDEV* p) { return Pxl_WriteArrayHeader(p, 0xC8, 255); }, "C8 C0 FF"},
        {"array of 256", [](PDEV* p) { return Pxl_WriteArrayHeader(p, 0xC8, 256); }, "C8 C1 00 01"},
        {"sint16 array", [](PDEV* p) { return Pxl_WriteArrayHeader(p, 0xCB, 2); }, "CB C0 02"},
        {"cursor", [](PDEV* p) { return Pxl_SetCursor(p, 96, 200); }, "D3 60 00 C8 00 F8 4C 6B"},
        {"new path", [](PDEV* p) { return Pxl_NewPath(p); }, "85"},
        {"bounding box", [&](PDEV* p) { return Pxl_WriteBoundingBox(p, &box); },
         "E3 FF FF 02 00 2C 01 34 12 F8 42"},
        {"clip rectangle", [&](PDEV* p) { return Pxl_SetClipRect(p, &box); },
         "85 E3 FF FF 02 00 2C 01 34 12 F8 42 A1 C0 00 F8 53 62"},
        {"RGB colour", [](PDEV* p) { return Pxl_WriteRgbColor(p, RGB(0x11, 0x22, 0x33)); },
         "C8 C1 03 00 11 22 33 F8 0B"},
    };
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    for (const Written& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.write(pdev));
        EXPECT_EQ(HexText(TakeOutput(pdev)), HexText(Hex(c.bytes)));
    }
    // An unknown type code is an internal check of the encoder.
    EXPECT_EQ(std::string(pdev->Job.Gstate.CheckText).rfind("File:pclxl Line:", 0), 0u);
}

TEST_F(Encoder, CharacterCodesByFlags) {
    struct Code {
        UINT16 code;
        DWORD flags;
        const char* bytes;
    };
    const Code cases[] = {
        {0x1234, 0, "34 F8 A2"},
        {0x1234, PXL_CHAR_TAG, "C0 34 F8 A2"},
        {0x1234, PXL_CHAR_TWO_BYTES, "12 34 F8 A2"},
        // A little-endian uint16 CharCode: the code with its bytes swapped.
        {0x3412, PXL_CHAR_TAG | PXL_CHAR_TWO_BYTES, "C1 34 12 F8 A2"},
        {0x0041, PXL_CHAR_IN_ARRAY, "41"},
        {0x8141, PXL_CHAR_TWO_BYTES | PXL_CHAR_IN_ARRAY, "81 41"},
        {0x0041, PXL_CHAR_TAG | PXL_CHAR_IN_ARRAY, "C0 41"},
    };
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    for (const Code& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_TRUE(Pxl_WriteCharCode(pdev, c.code, c.flags));
        EXPECT_EQ(HexText(TakeOutput(pdev)), HexText(Hex(c.bytes)));
    }
}

TEST_F(Encoder, TextLogShowsTheCharactersOfTextArrays) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    HANDLE log = CreateFileW(u"C:\\text.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    pdev->Job.Gstate.DebugFile = log;
    pdev->Job.Gstate.TextLog = 1;
    const struct {
        UINT16 code;
        DWORD flags;
    } codes[] = {
        {'H', PXL_CHAR_IN_ARRAY},  {0x93, PXL_CHAR_IN_ARRAY},  {0xE9, PXL_CHAR_IN_ARRAY},
        {0x8141, PXL_CHAR_TWO_BYTES | PXL_CHAR_IN_ARRAY},      {0x00E9, PXL_CHAR_TWO_BYTES | PXL_CHAR_IN_ARRAY},
        {'Z', 0},  // not in an array: not logged
    };
    for (const auto& c : codes) EXPECT_TRUE(Pxl_WriteCharCode(pdev, c.code, c.flags));
    Dbg_CloseFile(pdev, log);
    EXPECT_EQ(pdev->Job.Gstate.DebugFile, nullptr);
    HANDLE read = CreateFileW(u"C:\\text.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(read, INVALID_HANDLE_VALUE);
    BYTE text[16] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(read, text, sizeof(text), &got, nullptr));
    CloseHandle(read);
    EXPECT_EQ(HexText(Bytes(text, text + got)), HexText(Hex("48 22 58 81 41 E9")));
}

TEST_F(Encoder, LogCharMapsPunctuationAndHidesOtherHighBytes) {
    const std::pair<BYTE, BYTE> cases[] = {
        {'A', 'A'}, {0x7F, 0x7F}, {0x91, '\''}, {0x93, '"'}, {0x94, '"'},
        {0x96, '-'}, {0x80, 'X'}, {0x92, 'X'}, {0xFF, 'X'},
    };
    for (const auto& [code, shown] : cases) EXPECT_EQ(Pxl_LogChar(code), shown) << int(code);
}

// Polylines are decoded to the points they reach.
class Polylines : public Encoder {
protected:
    // The operators written for `points`, with the path points they give.
    job::DecodedJob Draw(const std::vector<POINTS>& points) {
        PDEV* pdev = EnableDefault();
        EXPECT_NE(pdev, nullptr);
        if (!pdev) return {};
        // In the frame of a whole job, which is what the decoder reads.
        OpenJob(pdev);
        EXPECT_TRUE(Pxl_BeginSession(pdev));
        EXPECT_TRUE(Pxl_WritePolyline(pdev, DWORD(points.size()), points.data()));
        Pxl_CloseDataSource(pdev);
        EXPECT_TRUE(Pjl_WriteEndOfJob(pdev));
        const Bytes bytes = TakeOutput(pdev);
        return job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
    }

    static std::vector<std::string> Operators(const job::DecodedJob& decoded) {
        std::vector<std::string> names;
        for (const auto& op : decoded.ops)
            if (op.name == "SetCursor" || op.name == "LineRelPath" || op.name == "LinePath") names.emplace_back(op.name);
        return names;
    }

    // Every point the path visits, from the cursor, with the relative steps added up.
    static std::vector<POINTS> Reached(const job::DecodedJob& decoded) {
        std::vector<POINTS> reached;
        for (const auto& op : decoded.ops) {
            if (op.name == "SetCursor") {
                reached.push_back({SHORT(op.Int("Point", 0).value_or(0)), SHORT(op.Int("Point", 1).value_or(0))});
            } else if (op.name == "LineRelPath") {
                for (size_t i = 0; i + 1 < op.data.size(); i += 2) {
                    const POINTS last = reached.back();
                    reached.push_back({SHORT(last.x + int8_t(op.data[i])), SHORT(last.y + int8_t(op.data[i + 1]))});
                }
            } else if (op.name == "LinePath") {
                for (const auto& p : op.points) reached.push_back({SHORT(p.x), SHORT(p.y)});
            }
        }
        return reached;
    }

    static std::vector<std::pair<int, int>> Pairs(const std::vector<POINTS>& points) {
        std::vector<std::pair<int, int>> out;
        for (const POINTS& p : points) out.emplace_back(p.x, p.y);
        return out;
    }
};

TEST_F(Polylines, ShortStepsBecomeOneRelativePath) {
    const std::vector<POINTS> points = {{100, 100}, {227, 100}, {227, -28}, {227, -28}, {100, 0}};
    const job::DecodedJob decoded = Draw(points);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(Operators(decoded), (std::vector<std::string>{"SetCursor", "LineRelPath"}));
    const job::Operator* rel = decoded.First("LineRelPath");
    ASSERT_NE(rel, nullptr);
    EXPECT_EQ(rel->Int("NumberOfPoints"), 3);  // the repeated point adds no step
    EXPECT_EQ(rel->Int("PointType"), PXL_POINT_TYPE_SBYTE);
    EXPECT_EQ(HexText(Bytes(rel->data.begin(), rel->data.end())), "7F 00 00 80 81 1C");
    const std::vector<POINTS> expected = {{100, 100}, {227, 100}, {227, -28}, {100, 0}};
    EXPECT_EQ(Pairs(Reached(decoded)), Pairs(expected));
}

TEST_F(Polylines, AJumpAtTheThirdPointSendsEverythingAbsolute) {
    const std::vector<POINTS> points = {{0, 0}, {10, 10}, {210, 10}, {215, 12}};
    const job::DecodedJob decoded = Draw(points);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(Operators(decoded), (std::vector<std::string>{"SetCursor", "LinePath"}));
    const job::Operator* line = decoded.First("LinePath");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Int("NumberOfPoints"), 3);
    EXPECT_EQ(line->Int("PointType"), PXL_POINT_TYPE_SINT16);
    EXPECT_EQ(Pairs(Reached(decoded)), Pairs(points));
}

// The relative run is kept when more than four points were walked before
// the long step (repeated points count as walked).
TEST_F(Polylines, ARunOfMoreThanFourPointsStaysRelative) {
    struct Case {
        std::vector<POINTS> points;
        std::vector<std::string> operators;
    };
    const Case cases[] = {
        {{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {500, 0}, {501, 1}},
         {"SetCursor", "LineRelPath", "LinePath"}},
        {{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {500, 0}}, {"SetCursor", "LinePath"}},
        {{{0, 0}, {1, 0}, {1, 0}, {1, 0}, {1, 0}, {2, 0}, {500, 0}}, {"SetCursor", "LineRelPath", "LinePath"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points.size());
        const job::DecodedJob decoded = Draw(c.points);
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        EXPECT_EQ(Operators(decoded), c.operators);
        std::vector<POINTS> distinct;
        for (const POINTS& p : c.points)
            if (distinct.empty() || distinct.back().x != p.x || distinct.back().y != p.y) distinct.push_back(p);
        const std::vector<POINTS> reached = Reached(decoded);
        // The absolute form keeps repeated points; compare the places reached.
        std::vector<POINTS> reachedDistinct;
        for (const POINTS& p : reached)
            if (reachedDistinct.empty() || reachedDistinct.back().x != p.x || reachedDistinct.back().y != p.y)
                reachedDistinct.push_back(p);
        EXPECT_EQ(Pairs(reachedDistinct), Pairs(distinct));
    }
}

TEST_F(Polylines, LongAndDegeneratePolylines) {
    // More steps than the PDEV's scratch area holds.
    std::vector<POINTS> zigzag;
    for (int i = 0; i < 4001; ++i) zigzag.push_back({SHORT(i % 2 ? 50 : 0), SHORT(i / 2)});
    const job::DecodedJob decoded = Draw(zigzag);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(Operators(decoded), (std::vector<std::string>{"SetCursor", "LineRelPath"}));
    EXPECT_EQ(Pairs(Reached(decoded)), Pairs(zigzag));

    // A single point, or only repeats: one step of (0, 0).
    for (const auto& points : {std::vector<POINTS>{{7, 8}}, std::vector<POINTS>{{7, 8}, {7, 8}, {7, 8}}}) {
        const job::DecodedJob dot = Draw(points);
        ASSERT_TRUE(dot.Ok()) << Problems(dot);
        const job::Operator* rel = dot.First("LineRelPath");
        ASSERT_NE(rel, nullptr);
        EXPECT_EQ(rel->Int("NumberOfPoints"), 1);
        EXPECT_EQ(HexText(Bytes(rel->data.begin(), rel->data.end())), "00 00");
    }
}

}  // namespace
}  // namespace tam::test
