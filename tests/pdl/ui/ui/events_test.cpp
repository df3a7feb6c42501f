// The module's exports by ordinal, and the events it does not act on yet
// answered as the spooler and GDI expect of such events.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddiui.h>

#include "ui_fixture.h"

namespace tam::test {
namespace {

using ModuleExports = UiModuleTest;

TEST_F(ModuleExports, EntryPointsByOrdinalAndName) {
    const struct {
        WORD ordinal;
        const char* name;
    } kExports[] = {
        {1, "DrvDocumentEvent"},        {4, "DllCanUnloadNow"}, {5, "DllMain"},
        {8, "DrvDevicePropertySheets"}, {9, "DrvDocumentPropertySheets"},
        {10, "DrvDriverEvent"},         {11, "DrvPrinterEvent"},
    };
    for (const auto& e : kExports) {
        FARPROC byName = GetProcAddress(module_, e.name);
        EXPECT_NE(byName, nullptr) << e.name;
        EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(e.ordinal)), byName) << e.name;
    }
    // The module's inner routines stay inside it.
    EXPECT_EQ(GetProcAddress(module_, "CreateUiContext"), nullptr);
    EXPECT_EQ(GetProcAddress(module_, "ApplyPageSettings"), nullptr);
}

TEST_F(ModuleExports, EventsNotActedOnAnswerAsUnhandled) {
    auto documentEvent = reinterpret_cast<decltype(&DrvDocumentEvent)>(GetProcAddress(module_, "DrvDocumentEvent"));
    auto printerEvent = reinterpret_cast<decltype(&DrvPrinterEvent)>(GetProcAddress(module_, "DrvPrinterEvent"));
    auto driverEvent = reinterpret_cast<decltype(&DrvDriverEvent)>(GetProcAddress(module_, "DrvDriverEvent"));
    ASSERT_TRUE(documentEvent && printerEvent && driverEvent);
    // Events this driver never acts on (the start of a document, the start
    // and end of a page and the created DC are its own).
    for (int event : {0, DOCUMENTEVENT_CREATEDCPOST, DOCUMENTEVENT_RESETDCPRE, DOCUMENTEVENT_RESETDCPOST,
                      DOCUMENTEVENT_ENDDOC, DOCUMENTEVENT_ABORTDOC, DOCUMENTEVENT_DELETEDC, DOCUMENTEVENT_ESCAPE,
                      DOCUMENTEVENT_ENDDOCPOST, DOCUMENTEVENT_QUERYFILTER, DOCUMENTEVENT_LAST + 1})
        EXPECT_EQ(documentEvent(nullptr, nullptr, event, 0, nullptr, 0, nullptr), DOCUMENTEVENT_UNSUPPORTED) << event;
    WCHAR printer[] = u"Korvan Laser";
    for (int event : {PRINTER_EVENT_ADD_CONNECTION, PRINTER_EVENT_CONFIGURATION_CHANGE, PRINTER_EVENT_ATTRIBUTES_CHANGED})
        EXPECT_TRUE(printerEvent(printer, event, 0, 0)) << event;
    for (DWORD event : {DWORD(DRIVER_EVENT_INITIALIZE), DWORD(DRIVER_EVENT_DELETE)})
        EXPECT_FALSE(driverEvent(event, 3, nullptr, 0)) << event;
}

}  // namespace
}  // namespace tam::test
