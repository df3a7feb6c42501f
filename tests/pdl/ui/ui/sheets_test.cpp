// The property-sheet entry points as far as they go without pages: the
// context a sheet makes, the calls that show nothing, the set-result and
// destroy steps, and the commit of the pages' edits.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddiui.h>

#include <cstring>
#include <vector>

#include "ui/ui/contextdevmode.h"
#include "ui/ui/processlanguage.h"
#include "ui/ui/sheets.h"
#include "ui/ui/snapshot.h"
#include "ui/ui/threadpages.h"
#include "ui_fixture.h"

namespace tam::test {
namespace {


constexpr BYTE kUntouched = 0xCD;

// A 220-byte devmode of another application: the copies and orientation
// fields set, no private part.
DEVMODEW PublicDevmode(SHORT copies, SHORT orientation) {
    DEVMODEW dm{};
    lstrcpynW(dm.dmDeviceName, kUiPrinterName, CCHDEVICENAME);
    dm.dmSpecVersion = 0x401;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmFields = DM_COPIES | DM_ORIENTATION;
    dm.dmCopies = copies;
    dm.dmOrientation = orientation;
    return dm;
}

class SheetTest : public UiPrinterTest {
protected:
    void SetUp() override {
        UiPrinterTest::SetUp();
        if (HasFatalFailure()) return;
        printer_ = Printer();
        ASSERT_NE(printer_, nullptr) << GetLastError();
        printerName_ = kUiPrinterName;
    }
    void TearDown() override {
        FreeProcessLanguageDll();
        UiPrinterTest::TearDown();
    }

    DOCUMENTPROPERTYHEADER Header(DWORD mode, DEVMODEW* in, DEVMODEW* out, DWORD outSize) {
        DOCUMENTPROPERTYHEADER header{};
        header.cbSize = sizeof(header);
        header.hPrinter = printer_;
        header.pszPrinterName = printerName_.data();
        header.pdmIn = in;
        header.pdmOut = out;
        header.cbOut = outSize;
        header.fMode = mode;
        return header;
    }

    static DEVMODEW* AsDevmode(std::vector<BYTE>& buffer) { return reinterpret_cast<DEVMODEW*>(buffer.data()); }
    static bool Untouched(const std::vector<BYTE>& buffer) {
        for (BYTE b : buffer)
            if (b != kUntouched) return false;
        return true;
    }

    HANDLE printer_ = nullptr;
    std::u16string printerName_;
};

TEST_F(SheetTest, ContextHoldsTheDriversDefaultsAndItsDlls) {
    UiContext* context = CreateUiContext(printer_, nullptr);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(std::u16string(context->driverName), kDriverName);
    EXPECT_EQ(context->pub, &context->devmode.pub);
    EXPECT_EQ(context->priv, &context->devmode.priv);
    EXPECT_EQ(context->printer, printer_);
    EXPECT_EQ(context->pub->dmSize, 220);
    EXPECT_EQ(context->pub->dmDriverExtra, 4864);
    EXPECT_EQ(std::memcmp(context->priv->signature, "PRIV", 4), 0);
    EXPECT_STREQ(context->keyTable[0].name, "OutputSize");
    EXPECT_EQ(std::u16string(context->priv->FavoriteName), u"Default Settings");
    EXPECT_NE(context->languageDll, nullptr);
    EXPECT_NE(context->bitmapDll, nullptr);
    EXPECT_EQ(context->lastPage, 0);
    EXPECT_FALSE(context->applied);
    // The context's custom paper block is cleared; the process's shared copy
    // keeps the defaults.
    const std::vector<BYTE> zeros(sizeof(context->priv->CustomPaperSize), 0);
    EXPECT_EQ(std::memcmp(context->priv->CustomPaperSize, zeros.data(), zeros.size()), 0);
    auto shared = std::make_unique<UiContext>();
    ASSERT_TRUE(GetSharedContextHolder().Get(shared.get()));
    EXPECT_EQ(std::u16string(shared->priv->CustomPaperSize[0].name), u"Custom 1");
    EXPECT_EQ(std::u16string(shared->driverName), kDriverName);
    FreeUiContext(context);
}

TEST_F(SheetTest, ContextTakesThePrintersSettingsThenTheCallers) {
    DEVMODEW printerDefaults = PublicDevmode(3, DMORIENT_PORTRAIT);
    PRINTER_INFO_8W level8{&printerDefaults};
    ASSERT_TRUE(SetPrinterW(printer_, 8, reinterpret_cast<LPBYTE>(&level8), 0)) << GetLastError();
    DEVMODEW callers = PublicDevmode(3, DMORIENT_LANDSCAPE);
    callers.dmFields = DM_ORIENTATION;
    UiContext* context = CreateUiContext(printer_, &callers);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->pub->dmCopies, 3);
    EXPECT_EQ(context->pub->dmOrientation, DMORIENT_LANDSCAPE);
    FreeUiContext(context);
}

TEST_F(SheetTest, ContextNeedsTheBitmapDllAndAPrinter) {
    RemoveFromDriverFolder(u"TamsheetResBmp.dll");
    EXPECT_EQ(CreateUiContext(printer_, nullptr), nullptr);
    EXPECT_EQ(CreateUiContext(nullptr, nullptr), nullptr);
}

// A document-properties call without a sheet and with mode 0 answers the
// size and touches neither devmode.
TEST_F(SheetTest, SizeQueryAnswersTheSizeAndTouchesNoDevmode) {
    std::vector<BYTE> in(sizeof(DEVMODEW), kUntouched), out(UI_DEVMODE_SIZE, kUntouched);
    for (DWORD outSize : {0u, 100u, 100000u}) {
        DOCUMENTPROPERTYHEADER header = Header(0, AsDevmode(in), AsDevmode(out), outSize);
        EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), 5084);
        EXPECT_EQ(header.cbOut, 5084u);
    }
    // No out devmode is a size query whatever the mode.
    DOCUMENTPROPERTYHEADER header = Header(DM_COPY, AsDevmode(in), nullptr, 0);
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), 5084);
    EXPECT_TRUE(Untouched(in));
    EXPECT_TRUE(Untouched(out));
}

TEST_F(SheetTest, CopyWithoutSheetWritesTheMergedSettings) {
    DEVMODEW in = PublicDevmode(4, DMORIENT_LANDSCAPE);
    std::vector<BYTE> out(UI_DEVMODE_SIZE, kUntouched);
    DOCUMENTPROPERTYHEADER header = Header(DM_IN_BUFFER | DM_OUT_BUFFER, &in, AsDevmode(out), UI_DEVMODE_SIZE);
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), 1);
    const DEVMODEW* written = AsDevmode(out);
    EXPECT_EQ(written->dmCopies, 4);
    EXPECT_EQ(written->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(std::u16string(written->dmDeviceName), kDriverName);

    // Without an in-devmode the out-devmode is the printer's settings whole.
    header = Header(DM_OUT_BUFFER, nullptr, AsDevmode(out), UI_DEVMODE_SIZE);
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), 1);
    EXPECT_EQ(written->dmSize, 220);
    EXPECT_EQ(written->dmDriverExtra, 4864);
    EXPECT_EQ(std::memcmp(out.data() + 220, "PRIV", 4), 0);
    EXPECT_EQ(written->dmCopies, 1);
}

// The out-devmode is the caller's buffer: a cbOut too small for the
// settings is refused and nothing is written into it.
TEST_F(SheetTest, OutBufferSmallerThanTheSettingsIsRefused) {
    for (DWORD outSize : {DWORD(UI_DEVMODE_SIZE - 1), DWORD(220), DWORD(0)}) {
        std::vector<BYTE> out(UI_DEVMODE_SIZE, kUntouched);
        DOCUMENTPROPERTYHEADER header = Header(DM_OUT_BUFFER, nullptr, AsDevmode(out), outSize);
        SetLastError(0);
        EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)), -1) << outSize;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(header.cbOut, 5084u);  // the size it needs
        EXPECT_TRUE(Untouched(out)) << outSize;
    }
}

TEST_F(SheetTest, InfoHeaderNamesThePrinterAndTheIcon) {
    DOCUMENTPROPERTYHEADER header = Header(0, nullptr, nullptr, 0);
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.lParamInit = reinterpret_cast<LPARAM>(&header);
    info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
    LoadProcessLanguageDll(kDriverName);
    PROPSHEETUI_INFO_HEADER infoHeader{};
    infoHeader.cbSize = sizeof(infoHeader);
    EXPECT_EQ(DrvDocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&infoHeader)), 1);
    EXPECT_EQ(infoHeader.Flags, PSUIHDRF_PROPTITLE);
    EXPECT_EQ(infoHeader.pTitle, printerName_.data());
    EXPECT_EQ(infoHeader.IconID, ULONG_PTR(64082));
    EXPECT_EQ(infoHeader.hInst, GetProcessLanguageDll());
    EXPECT_NE(infoHeader.hInst, nullptr);

    DEVICEPROPERTYHEADER device{sizeof(device), 0, printer_, printerName_.data()};
    info.lParamInit = reinterpret_cast<LPARAM>(&device);
    infoHeader = PROPSHEETUI_INFO_HEADER{};
    EXPECT_EQ(DrvDevicePropertySheets(&info, reinterpret_cast<LPARAM>(&infoHeader)), 1);
    EXPECT_EQ(infoHeader.pTitle, printerName_.data());
    EXPECT_EQ(infoHeader.IconID, ULONG_PTR(64082));
}

// With no pages yet, a sheet's INIT adds none and fails; the context made
// for it is not left behind.
TEST_F(SheetTest, InitWithoutPagesFails) {
    DOCUMENTPROPERTYHEADER header = Header(DM_IN_PROMPT | DM_OUT_BUFFER, nullptr, nullptr, 0);
    DEVICEPROPERTYHEADER device{sizeof(device), 0, printer_, printerName_.data()};
    for (bool document : {true, false}) {
        PROPSHEETUI_INFO info{};
        info.cbSize = sizeof(info);
        info.Reason = PROPSHEETUI_REASON_INIT;
        info.lParamInit = document ? reinterpret_cast<LPARAM>(&header) : reinterpret_cast<LPARAM>(&device);
        LONG result = document ? DrvDocumentPropertySheets(&info, 0) : DrvDevicePropertySheets(&info, 0);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(info.UserData, 0u);
        EXPECT_NE(GetProcessLanguageDll(), nullptr);
    }
}

// A sheet's callback as the common property-sheet UI's host: records the
// results it is given.
struct SheetHost {
    static LONG_PTR CALLBACK Callback(HANDLE sheet, UINT function, LPARAM, LPARAM param2) {
        calls.push_back({sheet, function, param2});
        return 1;
    }
    struct Call {
        HANDLE sheet;
        UINT function;
        LPARAM value;
    };
    static inline std::vector<Call> calls;
};

struct SetResultCase {
    const char* name;
    bool deviceSheet;
    bool writesDevmode;
};

class SetResult : public SheetTest, public testing::WithParamInterface<SetResultCase> {};

// SET_RESULT commits the pages' edits: a document sheet into the caller's
// out-devmode, a printer-properties sheet into no devmode at all.
TEST_P(SetResult, CommitsIntoTheCallersDevmodeForDocumentsOnly) {
    const SetResultCase& c = GetParam();
    std::vector<BYTE> out(UI_DEVMODE_SIZE, kUntouched);
    DOCUMENTPROPERTYHEADER document = Header(DM_IN_PROMPT | DM_OUT_BUFFER, nullptr, AsDevmode(out), UI_DEVMODE_SIZE);
    DEVICEPROPERTYHEADER device{sizeof(device), 0, printer_, printerName_.data()};
    UiContext* context = CreateUiContext(printer_, nullptr);
    ASSERT_NE(context, nullptr);
    context->pub->dmCopies = 9;  // an edit of the pages
    // Even a context that holds a document header commits nothing on a
    // printer-properties sheet.
    context->documentHeader = &document;
    context->hComPropSheet = reinterpret_cast<HANDLE>(0x77);
    context->pfnComPropSheet = SheetHost::Callback;
    SheetHost::calls.clear();

    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    info.UserData = reinterpret_cast<ULONG_PTR>(context);
    info.lParamInit = c.deviceSheet ? reinterpret_cast<LPARAM>(&device) : reinterpret_cast<LPARAM>(&document);
    SETRESULT_INFO result{sizeof(result), 0, nullptr, CPSUI_OK};
    LONG answer = c.deviceSheet ? DrvDevicePropertySheets(&info, reinterpret_cast<LPARAM>(&result))
                                : DrvDocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&result));
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(info.Result, ULONG_PTR(CPSUI_OK));
    EXPECT_TRUE(context->applied);
    EXPECT_EQ(context->deviceSheet, c.deviceSheet ? TRUE : FALSE);
    if (c.writesDevmode) {
        EXPECT_EQ(AsDevmode(out)->dmCopies, 9);
        ASSERT_EQ(SheetHost::calls.size(), 1u);
        EXPECT_EQ(SheetHost::calls[0].sheet, reinterpret_cast<HANDLE>(0x77));
        EXPECT_EQ(SheetHost::calls[0].function, UINT(CPSFUNC_SET_RESULT));
        EXPECT_EQ(SheetHost::calls[0].value, 1);
    } else {
        EXPECT_TRUE(Untouched(out));
        EXPECT_TRUE(SheetHost::calls.empty());
    }

    info.Reason = PROPSHEETUI_REASON_DESTROY;
    answer = c.deviceSheet ? DrvDevicePropertySheets(&info, 0) : DrvDocumentPropertySheets(&info, 0);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(info.UserData, 0u);
}

INSTANTIATE_TEST_SUITE_P(Sheets, SetResult,
                         testing::Values(SetResultCase{"document", false, true}, SetResultCase{"device", true, false}),
                         [](const testing::TestParamInfo<SetResultCase>& info) { return std::string(info.param.name); });

TEST_F(SheetTest, UnknownReasonAndMissingRecordsFail) {
    DOCUMENTPROPERTYHEADER header = Header(0, nullptr, nullptr, 0);
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.Reason = 77;
    info.lParamInit = reinterpret_cast<LPARAM>(&header);
    EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);  // no set-result record
    info.lParamInit = 0;
    info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
    EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);  // no header
    EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
    EXPECT_EQ(DrvDevicePropertySheets(nullptr, 0), -1);
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, 0), -1);
}

// The basic page's state as the apply step sees it: a tracker, and a count
// of the times the page was asked to show the settings again.
class BasicPageProbe : public BasicPageStateHooks {
public:
    SettingsChangeTracker* GetChangeTracker() override { return &tracker; }
    void RefreshFromContext(UiContext*) override { ++refreshed; }
    SettingsChangeTracker tracker;
    int refreshed = 0;
};

TEST_F(SheetTest, ApplyLetsTheBasicPageSeeChangesOfTheOtherPages) {
    UiContext* context = CreateUiContext(printer_, nullptr);
    ASSERT_NE(context, nullptr);
    ThreadPageSlot& slot = ThreadPageTable::Instance().CurrentSlot();
    slot.basic = std::make_unique<BasicPageProbe>();
    auto* probe = static_cast<BasicPageProbe*>(slot.basic.get());
    probe->tracker.SetMode(1);
    probe->tracker.Reset(context);
    context->lastPage = 3;  // the layout page was active last

    EXPECT_EQ(ApplyPageSettings(nullptr, context), 1);
    EXPECT_EQ(probe->refreshed, 0);  // nothing changed
    context->priv->MultipleUp = 4;
    EXPECT_EQ(ApplyPageSettings(nullptr, context), 1);
    EXPECT_EQ(probe->refreshed, 1);
    EXPECT_EQ(probe->tracker.Mode(), 3);
    // The tracker captured the change: applying again sees none.
    EXPECT_EQ(ApplyPageSettings(nullptr, context), 1);
    EXPECT_EQ(probe->refreshed, 1);
    FreeThreadPages();
    FreeUiContext(context);
}

TEST_F(SheetTest, ApplyMarksTheContextAndKeepsDuplexFive) {
    EXPECT_EQ(ApplyPageSettings(nullptr, nullptr), 0);
    UiContext* context = CreateUiContext(printer_, nullptr);
    ASSERT_NE(context, nullptr);
    context->pub->dmDuplex = 5;
    EXPECT_EQ(ApplyPageSettings(nullptr, context), 1);
    EXPECT_EQ(context->priv->Duplex, 5);
    EXPECT_TRUE(context->applied);

    // A page window that cannot take its dialog result stops the commit
    // before the caller's devmode.
    std::vector<BYTE> out(UI_DEVMODE_SIZE, kUntouched);
    DOCUMENTPROPERTYHEADER header = Header(DM_OUT_BUFFER, nullptr, AsDevmode(out), UI_DEVMODE_SIZE);
    context->documentHeader = &header;
    EXPECT_EQ(ApplyPageSettings(reinterpret_cast<HWND>(ULONG_PTR(0x4242)), context), 1);
    EXPECT_TRUE(Untouched(out));
    EXPECT_EQ(ApplyPageSettings(nullptr, context), 1);
    EXPECT_EQ(AsDevmode(out)->dmSize, 220);
    FreeUiContext(context);
}

TEST_F(SheetTest, FirstPageCallbackAppliesCommittedEditsOnRelease) {
    UiContext* context = CreateUiContext(printer_, nullptr);
    ASSERT_NE(context, nullptr);
    std::vector<BYTE> out(UI_DEVMODE_SIZE, kUntouched);
    DOCUMENTPROPERTYHEADER header = Header(DM_OUT_BUFFER, nullptr, AsDevmode(out), UI_DEVMODE_SIZE);
    context->documentHeader = &header;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.lParam = reinterpret_cast<LPARAM>(context);

    EXPECT_EQ(PropSheetPageProc(nullptr, PSPCB_CREATE, &page), 1u);
    EXPECT_EQ(PropSheetPageProc(nullptr, PSPCB_ADDREF, &page), 0u);
    EXPECT_EQ(PropSheetPageProc(nullptr, PSPCB_RELEASE, &page), 1u);
    EXPECT_TRUE(Untouched(out));  // nothing was committed
    context->applied = TRUE;
    context->pub->dmCopies = 6;
    EXPECT_EQ(PropSheetPageProc(nullptr, PSPCB_RELEASE, &page), 1u);
    EXPECT_EQ(AsDevmode(out)->dmCopies, 6);
    EXPECT_EQ(PropSheetPageProc(nullptr, PSPCB_RELEASE, nullptr), 1u);
    FreeUiContext(context);
}

}  // namespace
}  // namespace tam::test
