// Escapes on printer DCs: ExtEscape's buffers copied both ways on their way
// to the driver, the older Escape with the codes GDI carries out itself,
// and DrawEscape. The test driver's escapes are described in
// tests/win32/win32k/modules/fakerend.cpp.
#include <cstdio>

#include "gdi32/dc.h"
#include "win32/win32k/engine_fixture.h"
#include "winspool/jobs.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;

namespace {

// The test driver's private escape: output = input + 1, input overwritten.
constexpr int kEchoEscape = 0x7001;

class PrinterEscape : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        InstallFakePrinter();
        dc_ = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
        ASSERT_NE(dc_, nullptr) << GetLastError();
        w32::DebugLogClear();
    }

    void TearDown() override {
        if (dc_) {
            EXPECT_TRUE(DeleteDC(dc_));
        }
        EngineTest::TearDown();
    }

    // The buffer address the driver logged for its last call of `function`
    // ("in" or "out").
    static void* AddressGiven(const std::string& which, const std::string& function = "DrvEscape") {
        std::string line;
        for (const std::string& l : DriverLog())
            if (l.rfind(function + " ", 0) == 0) line = l;
        size_t at = line.find(" " + which + "=");
        if (at == std::string::npos) return reinterpret_cast<void*>(-1);
        at = line.find('@', at);
        void* address = nullptr;
        std::sscanf(line.c_str() + at + 1, "%p", &address);
        return address;
    }

    static int QuerySupport(HDC dc, USHORT code, bool legacy) {
        char input[2];
        std::memcpy(input, &code, 2);
        return legacy ? Escape(dc, QUERYESCSUPPORT, 2, input, nullptr)
                      : ExtEscape(dc, QUERYESCSUPPORT, 2, input, 0, nullptr);
    }

    HDC dc_ = nullptr;
};

TEST_F(PrinterEscape, ExtEscapeHandsTheDriverCopiesAndBringsTheOutputBack) {
    char input[4] = {'a', 'b', 'c', 'd'};
    char output[6] = {'.', '.', '.', '.', '.', '.'};
    SetLastError(0);
    EXPECT_EQ(ExtEscape(dc_, kEchoEscape, 4, input, 6, output), 4);
    // The driver wrote four bytes of its output; the other two come back as the caller had them.
    EXPECT_EQ(std::string(output, 6), "bcde..");
    // What the driver wrote into its input stays with the engine.
    EXPECT_EQ(std::string(input, 4), "abcd");
    void* in = AddressGiven("in");
    void* out = AddressGiven("out");
    EXPECT_NE(in, nullptr);
    EXPECT_NE(in, static_cast<void*>(input));
    EXPECT_NE(out, nullptr);
    EXPECT_NE(out, static_cast<void*>(output));
    EXPECT_NE(DriverLine("DrvEscape", "code=28673 in=4@"), "");
    EXPECT_NE(DriverLine("DrvEscape", "out=6@"), "");

    // Sizes of zero give the driver no buffer at all.
    w32::DebugLogClear();
    EXPECT_EQ(ExtEscape(dc_, kEchoEscape, 0, input, 0, output), 0);
    EXPECT_EQ(AddressGiven("in"), nullptr);
    EXPECT_EQ(AddressGiven("out"), nullptr);
}

TEST_F(PrinterEscape, ExtEscapeRefusesBuffersThatDoNotMatchTheirSizes) {
    char buffer[4] = {};
    struct Case {
        int code, inputSize;
        const char* input;
        int outputSize;
        char* output;
    };
    const Case cases[] = {
        {kEchoEscape, 4, nullptr, 0, nullptr}, {kEchoEscape, 0, nullptr, 4, nullptr},
        {kEchoEscape, -1, buffer, 0, nullptr}, {kEchoEscape, 0, nullptr, -4, buffer},
        {QUERYESCSUPPORT, 1, buffer, 0, nullptr},  // less than the 16-bit code asked about
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(ExtEscape(dc_, c.code, c.inputSize, c.input, c.outputSize, c.output), SP_ERROR) << c.inputSize;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    SetLastError(0);
    EXPECT_EQ(ExtEscape(reinterpret_cast<HDC>(0x4321), kEchoEscape, 4, buffer, 4, buffer), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(DriverLog().empty());
}

TEST_F(PrinterEscape, AnInformationContextsEscapesNameItsPdev) {
    HDC ic = CreateICW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(ic, nullptr) << GetLastError();
    w32::DebugLogClear();
    EXPECT_EQ(QuerySupport(ic, PASSTHROUGH, false), 1);
    EXPECT_EQ(DriverLine("DrvEscape"), DriverLine("DrvEscape", "pdev=2 code=8 in=2@"));
    EXPECT_NE(DriverLine("DrvEscape"), "");
    EXPECT_TRUE(DeleteDC(ic));
}

struct SupportCase {
    USHORT code;
    int extEscape;  // what ExtEscape answers: the driver's word
    int escape;     // what Escape answers
    bool driverAsked;  // by Escape
};

const SupportCase kSupport[] = {
    {PASSTHROUGH, 1, 1, true},
    {kEchoEscape, 1, 1, true},
    {GETTECHNOLOGY, 0, 0, true},
    // The codes Escape carries out itself.
    {NEWFRAME, 0, 1, false},
    {STARTDOC, 0, 1, false},
    {ENDDOC, 0, 1, false},
    {ABORTDOC, 0, 1, false},
    {GETPHYSPAGESIZE, 0, 1, false},
    {SETABORTPROC, 0, 0, false},
};

TEST_F(PrinterEscape, QueryEscSupportAsksTheDriverAboutWhatGdiDoesNotCarryOut) {
    for (const SupportCase& c : kSupport) {
        SCOPED_TRACE(c.code);
        w32::DebugLogClear();
        EXPECT_EQ(QuerySupport(dc_, c.code, false), c.extEscape);
        EXPECT_EQ(DriverLog().size(), 1u);
        w32::DebugLogClear();
        EXPECT_EQ(QuerySupport(dc_, c.code, true), c.escape);
        EXPECT_EQ(!DriverLog().empty(), c.driverAsked);
    }
}

TEST_F(PrinterEscape, LegacyEscapesRunTheDocumentFunctions) {
    const char name[] = "Legacy doc";
    const int job = Escape(dc_, STARTDOC, int(sizeof(name) - 1), name, nullptr);
    ASSERT_GT(job, 0) << GetLastError();
    // NEWFRAME starts the page it ends when none is open.
    EXPECT_EQ(Escape(dc_, NEWFRAME, 0, nullptr, nullptr), 1);
    const char data[] = "\x02\x00hi";
    EXPECT_EQ(Escape(dc_, PASSTHROUGH, 4, data, nullptr), 2);
    EXPECT_EQ(StartPage(dc_), 1);
    EXPECT_EQ(Escape(dc_, NEWFRAME, 0, nullptr, nullptr), 1);
    EXPECT_EQ(Escape(dc_, ENDDOC, 0, nullptr, nullptr), 1);
    EXPECT_NE(DriverLine("DrvStartDoc", "name=Legacy doc job=" + std::to_string(job)), "");
    EXPECT_EQ(w32::FindJob(job)->state, w32::JobState::Printed);
    EXPECT_EQ(w32::FindJob(job)->pages, 2u);
    auto bytes = w32::ReadJobBytes(job);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "DPShiPSE");

    ASSERT_GT(Escape(dc_, STARTDOC, 0, nullptr, nullptr), 0);
    EXPECT_EQ(Escape(dc_, ABORTDOC, 0, nullptr, nullptr), 1);
    EXPECT_NE(DriverLine("DrvStartDoc", "name=(null)"), "");
    EXPECT_NE(DriverLine("DrvEndDoc", "flags=1"), "");
    SetLastError(0);
    EXPECT_EQ(Escape(dc_, NEWFRAME, 0, nullptr, nullptr), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SPL_NO_STARTDOC));
    SetLastError(0);
    EXPECT_EQ(Escape(dc_, SETABORTPROC, 0, nullptr, nullptr), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
}

TEST_F(PrinterEscape, LegacyPageQueriesAnswerFromTheDeviceCaps) {
    struct Case {
        int code;
        POINT expected;
    };
    const Case cases[] = {{GETPHYSPAGESIZE, {4960, 7016}}, {GETPRINTINGOFFSET, {96, 100}}, {GETSCALINGFACTOR, {0, 0}}};
    for (const Case& c : cases) {
        POINT point{-7, -7};
        EXPECT_EQ(Escape(dc_, c.code, 0, nullptr, &point), 1) << c.code;
        EXPECT_EQ(point.x, c.expected.x) << c.code;
        EXPECT_EQ(point.y, c.expected.y) << c.code;
        SetLastError(0);
        EXPECT_EQ(Escape(dc_, c.code, 0, nullptr, nullptr), SP_ERROR);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_TRUE(DriverLog().empty());
}

TEST_F(PrinterEscape, DrawEscapeReachesTheDriverUnclippedOverTheWholePage) {
    char input[2];
    const USHORT asked = QUERYESCSUPPORT;
    std::memcpy(input, &asked, 2);
    EXPECT_EQ(DrawEscape(dc_, QUERYESCSUPPORT, 2, input), 1);
    const std::string line = DriverLine("DrvDrawEscape");
    EXPECT_NE(line.find("pdev=1 code=8 in=2@"), std::string::npos) << line;
    EXPECT_NE(line.find("clip=none bounds=0,0,4768,6816"), std::string::npos) << line;
    EXPECT_NE(AddressGiven("in", "DrvDrawEscape"), static_cast<void*>(input));
    EXPECT_EQ(DrawEscape(dc_, kEchoEscape, 0, nullptr), 0);
}

}  // namespace
