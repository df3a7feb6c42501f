// The engine's side of documents: DrvStartDoc, DrvStartPage, DrvSendPage
// and DrvEndDoc in Windows order, the collated copies it plays again at the
// end of a document, and a device disabled with its document open. The
// spooler job is started on the device's printer handle, as GDI does; the
// test driver writes its output there ("D", "P", page text, "S", "E").
#include <winspool.h>

#include "engine_fixture.h"
#include "win32k/document.h"
#include "winspool/jobs.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;
using Calls = std::vector<std::string>;

namespace {

class EngineDocument : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        InstallFakePrinter();
    }

    void TearDown() override {
        for (auto& device : devices_) w32::DisablePrinterDevice(*device);
        EngineTest::TearDown();
    }

    // Settings at `quality` dpi asking for `copies` with `collate`; `fields`
    // says which of the two members hold values.
    static std::vector<BYTE> CopySettings(short copies, short collate, DWORD fields = DM_COPIES | DM_COLLATE,
                                          short quality = 600) {
        std::vector<BYTE> bytes = MakeDevMode(DMPAPER_A4, copies, quality);
        auto* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
        dm->dmFields = (dm->dmFields & ~DWORD(DM_COPIES | DM_COLLATE)) | fields;
        dm->dmCollate = collate;
        return bytes;
    }

    std::shared_ptr<w32::PrinterDevice> Enable(const std::vector<BYTE>& settings) {
        HANDLE printer = nullptr;
        EXPECT_TRUE(OpenPrinterW(kFakePrinter, &printer, nullptr)) << GetLastError();
        auto device = w32::EnablePrinterDevice(printer, kFakePrinter, AsDevMode(settings), false);
        EXPECT_NE(device, nullptr) << GetLastError();
        if (device) devices_.push_back(device);
        return device;
    }

    // A spooler job on the device's printer handle, and the engine's document for it.
    static DWORD StartJob(w32::PrinterDevice& device, const char16_t* name) {
        DOC_INFO_1W info{const_cast<LPWSTR>(name), nullptr, nullptr};
        DWORD job = StartDocPrinterW(device.printer, 1, reinterpret_cast<LPBYTE>(&info));
        EXPECT_NE(job, 0u) << GetLastError();
        EXPECT_TRUE(w32::StartDocument(device, name, job)) << GetLastError();
        return job;
    }

    // A page that carries `text` (sent with PASSTHROUGH).
    static void Page(w32::PrinterDevice& device, const std::string& text) {
        ASSERT_TRUE(w32::StartDocPage(device)) << GetLastError();
        std::vector<char> input(2 + text.size());
        const USHORT count = USHORT(text.size());
        std::memcpy(input.data(), &count, 2);
        std::memcpy(input.data() + 2, text.data(), text.size());
        ULONG result = 0;
        ASSERT_TRUE(w32::DeviceEscape(device, PASSTHROUGH, ULONG(input.size()), input.data(), 0, nullptr, result));
        EXPECT_EQ(result, text.size());
        ASSERT_TRUE(w32::SendDocPage(device)) << GetLastError();
    }

    static std::string JobText(DWORD job) {
        auto bytes = w32::ReadJobBytes(job);
        return bytes ? std::string(bytes->begin(), bytes->end()) : "(no job file)";
    }

    // What the driver logged at the document and page callbacks and resets.
    static Calls DocumentLog() {
        Calls lines;
        for (const std::string& line : DriverLog())
            for (const char* function : {"DrvStartDoc ", "DrvStartPage ", "DrvSendPage ", "DrvEndDoc ", "DrvResetPDEV "})
                if (line.rfind(function, 0) == 0) lines.push_back(line);
        return lines;
    }

    static std::vector<ULONG> JobIdsGivenToDrvStartDoc() {
        std::vector<ULONG> ids;
        for (const w32::DdiCall& call : w32::DdiCallLog())
            if (call.function == "DrvStartDoc") ids.push_back(call.argument);
        return ids;
    }

private:
    std::vector<std::shared_ptr<w32::PrinterDevice>> devices_;  // disabled at the end of the test
};

TEST_F(EngineDocument, CallsTheDriverInWindowsOrderWithTheSpoolersJob) {
    auto device = Enable(CopySettings(1, DMCOLLATE_FALSE));
    ASSERT_NE(device, nullptr);
    w32::DebugLogClear();
    w32::ClearDdiCallLog();
    const DWORD job = StartJob(*device, u"Letter");
    Page(*device, "1");
    Page(*device, "2");
    EXPECT_EQ(w32::EndDocument(*device, false), w32::DocumentEnd::Ended);
    EXPECT_EQ(device->document, nullptr);
    EXPECT_TRUE(EndDocPrinter(device->printer));

    const std::string id = std::to_string(job);
    EXPECT_EQ(DocumentLog(), (Calls{"DrvStartDoc pdev=1 name=Letter job=" + id + " again=0",
                                    "DrvStartPage pdev=1 dpi=600", "DrvSendPage pdev=1",
                                    "DrvStartPage pdev=1 dpi=600", "DrvSendPage pdev=1", "DrvEndDoc pdev=1 flags=0"}));
    EXPECT_EQ(EngineCalls(), (Calls{"DrvStartDoc", "DrvStartPage", "DrvEscape", "DrvSendPage", "DrvStartPage",
                                    "DrvEscape", "DrvSendPage", "DrvEndDoc"}));
    EXPECT_EQ(JobIdsGivenToDrvStartDoc(), std::vector<ULONG>{job});
    EXPECT_EQ(JobText(job), "DP1SP2SE");
}

TEST_F(EngineDocument, RefusesCallsOutOfOrder) {
    auto device = Enable(CopySettings(1, DMCOLLATE_FALSE));
    ASSERT_NE(device, nullptr);
    SetLastError(0);
    EXPECT_FALSE(w32::StartDocPage(*device));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SPL_NO_STARTDOC));
    EXPECT_EQ(w32::EndDocument(*device, false), w32::DocumentEnd::NoDocument);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SPL_NO_STARTDOC));
    StartJob(*device, u"Twice");
    SetLastError(0);
    EXPECT_FALSE(w32::StartDocument(*device, u"Twice", 99));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_STATE));
    SetLastError(0);
    EXPECT_FALSE(w32::SendDocPage(*device));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_STATE));
    EXPECT_TRUE(w32::StartDocPage(*device));
    SetLastError(0);
    EXPECT_FALSE(w32::StartDocPage(*device));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_STATE));
    EXPECT_EQ(JobIdsGivenToDrvStartDoc().size(), 1u);
}

struct CopiesCase {
    const char* name;
    short copies;
    short collate;
    DWORD fields;
    size_t starts;  // DrvStartDoc calls
    const char* job;
};

const CopiesCase kCopies[] = {
    {"ThreeCollated", 3, DMCOLLATE_TRUE, DM_COPIES | DM_COLLATE, 3, "DP1SP2SDP1SP2SDP1SP2SE"},
    {"ThreeUncollated", 3, DMCOLLATE_FALSE, DM_COPIES | DM_COLLATE, 1, "DP1SP2SE"},
    {"OneCopyCollated", 1, DMCOLLATE_TRUE, DM_COPIES | DM_COLLATE, 1, "DP1SP2SE"},
    // Members the settings do not mark as holding values do not count.
    {"CollateNotInFields", 3, DMCOLLATE_TRUE, DM_COPIES, 1, "DP1SP2SE"},
    {"CopiesNotInFields", 3, DMCOLLATE_TRUE, DM_COLLATE, 1, "DP1SP2SE"},
};

void PrintTo(const CopiesCase& c, std::ostream* os) { *os << c.name; }

class EngineCollatedCopies : public EngineDocument, public testing::WithParamInterface<CopiesCase> {};

TEST_P(EngineCollatedCopies, ArePlayedAgainAfterANewDrvStartDocWithTheSameJob) {
    const CopiesCase& c = GetParam();
    auto device = Enable(CopySettings(c.copies, c.collate, c.fields));
    ASSERT_NE(device, nullptr);
    w32::DebugLogClear();
    w32::ClearDdiCallLog();
    const DWORD job = StartJob(*device, u"Copies");
    Page(*device, "1");
    Page(*device, "2");
    EXPECT_EQ(w32::EndDocument(*device, false), w32::DocumentEnd::Ended);
    EXPECT_TRUE(EndDocPrinter(device->printer));

    EXPECT_EQ(JobIdsGivenToDrvStartDoc(), std::vector<ULONG>(c.starts, job));
    Calls expected;
    for (size_t copy = 0; copy < c.starts; ++copy) {
        expected.push_back("DrvStartDoc pdev=1 name=Copies job=" + std::to_string(job) +
                           " again=" + (copy ? "1" : "0"));
        for (int page = 0; page < 2; ++page) {
            expected.push_back("DrvStartPage pdev=1 dpi=600");
            expected.push_back("DrvSendPage pdev=1");
        }
    }
    expected.push_back("DrvEndDoc pdev=1 flags=0");
    EXPECT_EQ(DocumentLog(), expected);
    EXPECT_EQ(JobText(job), c.job);
    auto record = w32::FindJob(job);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->state, w32::JobState::Printed);
}

INSTANTIATE_TEST_SUITE_P(All, EngineCollatedCopies, testing::ValuesIn(kCopies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineDocument, AnAbortedDocumentPlaysNoFurtherCopy) {
    auto device = Enable(CopySettings(3, DMCOLLATE_TRUE));
    ASSERT_NE(device, nullptr);
    w32::DebugLogClear();
    const DWORD job = StartJob(*device, u"Dropped");
    Page(*device, "1");
    ASSERT_TRUE(w32::StartDocPage(*device));
    EXPECT_EQ(w32::EndDocument(*device, true), w32::DocumentEnd::Aborted);
    EXPECT_EQ(DocumentLog(), (Calls{"DrvStartDoc pdev=1 name=Dropped job=" + std::to_string(job) + " again=0",
                                    "DrvStartPage pdev=1 dpi=600", "DrvSendPage pdev=1",
                                    "DrvStartPage pdev=1 dpi=600", "DrvEndDoc pdev=1 flags=1"}));
    EXPECT_EQ(JobText(job), "DP1SPA");
    EXPECT_EQ(device->document, nullptr);
}

TEST_F(EngineDocument, ACopyTheDriverRefusesAbortsTheDocument) {
    auto device = Enable(CopySettings(3, DMCOLLATE_TRUE));
    ASSERT_NE(device, nullptr);
    SetDriverWishes(u"startdoc-again-fails");
    w32::DebugLogClear();
    const DWORD job = StartJob(*device, u"Refused");
    Page(*device, "1");
    SetLastError(0);
    EXPECT_EQ(w32::EndDocument(*device, false), w32::DocumentEnd::Aborted);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    const std::string id = std::to_string(job);
    EXPECT_EQ(DocumentLog(), (Calls{"DrvStartDoc pdev=1 name=Refused job=" + id + " again=0",
                                    "DrvStartPage pdev=1 dpi=600", "DrvSendPage pdev=1",
                                    "DrvStartDoc pdev=1 name=Refused job=" + id + " again=1",
                                    "DrvEndDoc pdev=1 flags=1"}));
    EXPECT_EQ(JobText(job), "DP1SA");
}

// The print processor resets the device to each page's settings: a reset
// between pages is played again in every copy, and each copy starts with
// the settings the document started with.
TEST_F(EngineDocument, ACopyPlaysTheResetsOfTheDocumentAgain) {
    auto device = Enable(CopySettings(2, DMCOLLATE_TRUE));
    ASSERT_NE(device, nullptr);
    w32::DebugLogClear();
    const DWORD job = StartJob(*device, u"Reset");
    Page(*device, "1");
    std::vector<BYTE> at300 = CopySettings(2, DMCOLLATE_TRUE, DM_COPIES | DM_COLLATE, 300);
    ASSERT_TRUE(w32::ResetPrinterDevice(*device, AsDevMode(at300))) << GetLastError();
    Page(*device, "2");
    EXPECT_EQ(w32::EndDocument(*device, false), w32::DocumentEnd::Ended);

    const std::string id = std::to_string(job);
    EXPECT_EQ(DocumentLog(),
              (Calls{"DrvStartDoc pdev=1 name=Reset job=" + id + " again=0", "DrvStartPage pdev=1 dpi=600",
                     "DrvSendPage pdev=1", "DrvResetPDEV old=1 new=2", "DrvStartPage pdev=2 dpi=300",
                     "DrvSendPage pdev=2", "DrvStartDoc pdev=2 name=Reset job=" + id + " again=1",
                     "DrvResetPDEV old=2 new=3", "DrvStartPage pdev=3 dpi=600", "DrvSendPage pdev=3",
                     "DrvResetPDEV old=3 new=4", "DrvStartPage pdev=4 dpi=300", "DrvSendPage pdev=4",
                     "DrvEndDoc pdev=4 flags=0"}));
    EXPECT_EQ(JobText(job), "DP1SP2SDP1SP2SE");
    EXPECT_EQ(device->pdev->devMode, at300);
}

TEST_F(EngineDocument, DisablingADeviceAbortsTheDocumentItHasOpen) {
    auto device = Enable(CopySettings(1, DMCOLLATE_FALSE));
    ASSERT_NE(device, nullptr);
    StartJob(*device, u"Left open");
    ASSERT_TRUE(w32::StartDocPage(*device));
    w32::DebugLogClear();
    w32::DisablePrinterDevice(*device);
    EXPECT_EQ(DriverLog(), (Calls{"DrvEndDoc pdev=1 flags=1", "DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1",
                                  "DrvDisableDriver"}));
    EXPECT_EQ(device->document, nullptr);
}

}  // namespace
