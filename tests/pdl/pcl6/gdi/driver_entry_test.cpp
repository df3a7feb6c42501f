// The driver's exported entry points: the version answer and callback table
// of DrvEnableDriver and the buffer protocol of DrvQueryDriverInfo.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "machine/debuglog.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/nt/ddi.h"

namespace tam::test {
namespace {

struct VersionCase {
    ULONG engine;
    ULONG size;
    BOOL enabled;
    ULONG driverVersion;  // when enabled
};
// A newer engine is answered with the older interface number.
const VersionCase kVersions[] = {
    {0x00030101, sizeof(DRVENABLEDATA), TRUE, 0x20000},
    {0x00030100, sizeof(DRVENABLEDATA), TRUE, 0x20000},
    {0x00030000, sizeof(DRVENABLEDATA), TRUE, 0x20000},
    {0x0002FFFF, sizeof(DRVENABLEDATA), TRUE, 0x30000},
    {0x00020000, sizeof(DRVENABLEDATA), TRUE, 0x30000},
    {0x0001FFFF, sizeof(DRVENABLEDATA), FALSE, 0},
    {0x00030000, 11, FALSE, 0},
    // 12 bytes hold the record only where pointers have 32 bits.
    {0x00030000, 12, FALSE, 0},
};

class EnableDriverVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(EnableDriverVersion, AnswersOrRefuses) {
    const VersionCase& c = GetParam();
    DRVENABLEDATA data{0xDEAD, 0xBEEF, nullptr};
    SetLastError(0);
    EXPECT_EQ(DrvEnableDriver(c.engine, c.size, &data), c.enabled);
    if (c.enabled) {
        EXPECT_EQ(data.iDriverVersion, c.driverVersion);
        EXPECT_EQ(data.c, 26u);
        EXPECT_NE(data.pdrvfn, nullptr);
        EXPECT_EQ(GetLastError(), 0u);
    } else {
        EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_DRIVER_LEVEL));
        EXPECT_EQ(data.iDriverVersion, 0xDEADu);
        EXPECT_EQ(data.pdrvfn, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(All, EnableDriverVersion, testing::ValuesIn(kVersions), [](const auto& info) {
    char name[48];
    std::snprintf(name, sizeof(name), "Engine%lXSize%lu", (unsigned long)info.param.engine,
                  (unsigned long)info.param.size);
    return std::string(name);
});

TEST(EnableDriver, CallbackTableInItsOrder) {
    DRVENABLEDATA data{};
    ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5_01_SP1, sizeof(data), &data));
    const std::vector<ULONG> expected = {0, 7, 1, 2, 3, 4, 18, 20, 19, 68, 74, 23, 26,
                                         32, 14, 15, 16, 12, 33, 35, 24, 25, 34, 37, 53, 76};
    ASSERT_EQ(data.c, expected.size());
    std::vector<ULONG> indices;
    for (ULONG i = 0; i < data.c; ++i) {
        indices.push_back(data.pdrvfn[i].iFunc);
        EXPECT_NE(data.pdrvfn[i].pfn, nullptr) << "entry " << i;
    }
    EXPECT_EQ(indices, expected);
    EXPECT_EQ(reinterpret_cast<void*>(data.pdrvfn[0].pfn), reinterpret_cast<void*>(&DrvEnablePDEV));
    EXPECT_EQ(reinterpret_cast<void*>(data.pdrvfn[25].pfn), reinterpret_cast<void*>(&DrvQueryDeviceSupport));
}

struct QueryCase {
    DWORD mode;
    bool buffer;
    DWORD size;
    BOOL result;
    DWORD error;     // when it fails
    DWORD needed;    // 0xFFFF: left as it was
    DWORD answer;    // the buffer afterwards
};
const QueryCase kQueries[] = {
    {DRVQUERY_USERMODE, true, 4, TRUE, 0, 4, 1},
    {DRVQUERY_USERMODE, true, 8, TRUE, 0, 4, 1},
    {DRVQUERY_USERMODE, true, 3, FALSE, ERROR_INSUFFICIENT_BUFFER, 4, 0x5A5A5A5A},
    {DRVQUERY_USERMODE, false, 4, FALSE, ERROR_INSUFFICIENT_BUFFER, 4, 0x5A5A5A5A},
    {2, true, 4, FALSE, ERROR_INVALID_PARAMETER, 0xFFFF, 0x5A5A5A5A},
    {0, true, 4, FALSE, ERROR_INVALID_PARAMETER, 0xFFFF, 0x5A5A5A5A},
};

class QueryDriverInfo : public testing::TestWithParam<QueryCase> {};

TEST_P(QueryDriverInfo, BufferProtocol) {
    const QueryCase& c = GetParam();
    DWORD buffer[2] = {0x5A5A5A5A, 0x5A5A5A5A};
    DWORD needed = 0xFFFF;
    SetLastError(0);
    EXPECT_EQ(DrvQueryDriverInfo(c.mode, c.buffer ? buffer : nullptr, c.size, &needed), c.result);
    EXPECT_EQ(GetLastError(), c.result ? 0u : c.error);
    EXPECT_EQ(needed, c.needed);
    EXPECT_EQ(buffer[0], c.answer);
    EXPECT_EQ(buffer[1], 0x5A5A5A5Au);
}

INSTANTIATE_TEST_SUITE_P(All, QueryDriverInfo, testing::ValuesIn(kQueries), [](const auto& info) {
    return "Mode" + std::to_string(info.param.mode) + (info.param.buffer ? "Buffer" : "NoBuffer") +
           std::to_string(info.param.size);
});

// The escape callbacks not built yet refuse cleanly; the others refuse a
// call they cannot draw (the job, blit, path, brush and text callbacks have
// their own tests).
TEST(EnableDriver, UnbuiltCallbacksRefuseAsNotSupported) {
    SURFOBJ s{};
    ULONG_PTR id = 77;
    const std::vector<std::pair<const char*, std::function<ULONG()>>> calls = {
        {"DrvEscape", [&] { return DrvEscape(&s, 6002, 0, nullptr, 0, nullptr); }},
        {"DrvDrawEscape", [&] { return DrvDrawEscape(&s, 1, nullptr, nullptr, 0, nullptr); }},
    };
    for (const auto& [name, call] : calls) {
        SetLastError(0);
        EXPECT_EQ(call(), 0u) << name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED)) << name;
    }
    // The blit, path, brush and text callbacks refuse a surface without a PDEV
    // of theirs, or a call without its rectangles.
    const std::vector<std::tuple<const char*, std::function<ULONG()>, DWORD>> checked = {
        {"DrvBitBlt", [&] { return ULONG(DrvBitBlt(&s, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, 0xCCCC)); }, ERROR_INVALID_HANDLE},
        {"DrvStretchBlt", [&] { return ULONG(DrvStretchBlt(&s, &s, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                           nullptr, nullptr, nullptr, 0)); }, ERROR_INVALID_HANDLE},
        {"DrvCopyBits", [&] { return ULONG(DrvCopyBits(&s, &s, nullptr, nullptr, nullptr, nullptr)); },
         ERROR_INVALID_PARAMETER},
        {"DrvGradientFill", [&] { return ULONG(DrvGradientFill(&s, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr,
                                                               nullptr, 0)); }, ERROR_INVALID_HANDLE},
        {"DrvTransparentBlt",
         [&] { return ULONG(DrvTransparentBlt(&s, &s, nullptr, nullptr, nullptr, nullptr, 0, 0)); },
         ERROR_INVALID_PARAMETER},
        {"DrvStrokePath",
         [&] { return ULONG(DrvStrokePath(&s, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0)); },
         ERROR_INVALID_HANDLE},
        {"DrvFillPath", [&] { return ULONG(DrvFillPath(&s, nullptr, nullptr, nullptr, nullptr, 0, 0)); },
         ERROR_INVALID_HANDLE},
        {"DrvStrokeAndFillPath",
         [&] {
             return ULONG(DrvStrokeAndFillPath(&s, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0));
         },
         ERROR_INVALID_HANDLE},
        {"DrvRealizeBrush", [&] { return ULONG(DrvRealizeBrush(nullptr, &s, nullptr, nullptr, nullptr, 0)); },
         ERROR_INVALID_PARAMETER},
        // Text needs its string and font, and the font queries a PDEV and a font.
        {"DrvTextOut",
         [&] { return ULONG(DrvTextOut(&s, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0)); },
         ERROR_INVALID_PARAMETER},
        {"DrvQueryFont", [&] { return ULONG(DrvQueryFont(nullptr, 0, 1, &id) != nullptr); }, ERROR_INVALID_PARAMETER},
        {"DrvQueryAdvanceWidths",
         [&] { return ULONG(DrvQueryAdvanceWidths(nullptr, nullptr, 0, nullptr, nullptr, 1)); },
         ERROR_INVALID_PARAMETER},
    };
    for (const auto& [name, call, error] : checked) {
        SetLastError(0);
        EXPECT_EQ(call(), 0u) << name;
        EXPECT_EQ(GetLastError(), error) << name;
    }
    EXPECT_EQ(id, 0u);
    // Glyphs by handle for every font, without a PDEV.
    EXPECT_EQ(DrvGetGlyphMode(nullptr, nullptr), 1u);
}

// The advance widths of device fonts: only the two modes the engine asks
// in; no glyphs asked, nothing to do.
TEST(EnableDriver, AdvanceWidthModes) {
    struct Case {
        ULONG mode;
        ULONG glyphs;
        BOOL result;
        DWORD error;
        const char* report;
    };
    const Case cases[] = {
        {2, 1, FALSE, ERROR_INVALID_PARAMETER, "Invalid iMode: 2\n"},
        {7, 0, FALSE, ERROR_INVALID_PARAMETER, "Invalid iMode: 7\n"},
        {QAW_GETWIDTHS, 0, TRUE, 0, ""},
        {QAW_GETEASYWIDTHS, 0, TRUE, 0, ""},
        // No font, no transform: nothing to measure with.
        {QAW_GETEASYWIDTHS, 3, FALSE, ERROR_INVALID_PARAMETER, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        HGLYPH glyphs[3] = {1, 2, 3};
        USHORT widths[3] = {};
        w32::DebugLogClear();
        SetLastError(0);
        EXPECT_EQ(DrvQueryAdvanceWidths(nullptr, nullptr, c.mode, glyphs, widths, c.glyphs), c.result);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_NE(w32::DebugLogText().find(c.report), std::string::npos) << w32::DebugLogText();
    }
}

}  // namespace
}  // namespace tam::test
