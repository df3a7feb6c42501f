// MxdcGetPDEVAdjustment of the loaded module: the page adjustments it fills in.
#include <winddiui.h>

#include <vector>

#include "ui/ui/devmode.h"
#include "ui_fixture.h"

namespace tam::test {
namespace {

using MxdcFunction = HRESULT(WINAPI*)(HANDLE, DWORD, PDEVMODEW, PrintPropertiesCollection*);

class PageAdjustments : public UiModuleTest {
protected:
    void SetUp() override {
        UiModuleTest::SetUp();
        mxdc_ = reinterpret_cast<MxdcFunction>(GetProcAddress(module_, "MxdcGetPDEVAdjustment"));
        ASSERT_NE(mxdc_, nullptr);
    }

    static UiDevmode Defaults() {
        UiDevmode devmode{};
        EXPECT_TRUE(SetDevmodeDefaults(&devmode, u"Korvan Laser", nullptr));
        return devmode;
    }

    MxdcFunction mxdc_ = nullptr;
};

struct Adjustments {
    LONG area[4] = {-1, -1, -1, -1};
    std::vector<PrintNamedProperty> properties;

    PrintNamedProperty& Add(const char16_t* name, EPrintPropertyType type) {
        PrintNamedProperty property{};
        property.propertyName = const_cast<PWSTR>(name);
        property.propertyValue.ePropertyType = type;
        properties.push_back(property);
        return properties.back();
    }
    void AddArea(DWORD bytes = sizeof(area)) {
        PrintNamedProperty& p = Add(u"MxdcImageableArea", kPropertyTypeBuffer);
        p.propertyValue.value.propertyBlob.cbBuf = bytes;
        p.propertyValue.value.propertyBlob.pBuf = area;
    }
    void AddInt(const char16_t* name, LONG value, EPrintPropertyType type = kPropertyTypeInt32) {
        Add(name, type).propertyValue.value.propertyInt32 = value;
    }
    PrintPropertiesCollection Collection() { return {ULONG(properties.size()), properties.data()}; }
    std::vector<LONG> Area() const { return std::vector<LONG>(area, area + 4); }
    LONG Int(size_t i) const { return properties[i].propertyValue.value.propertyInt32; }
};

struct AreaCase {
    const char* what;
    SHORT paper;
    bool privatePart;
    DWORD country;
    std::vector<LONG> area;
};

TEST_F(PageAdjustments, ImageableAreaOfThePaper) {
    const AreaCase cases[] = {
        {"A4", 9, true, 1, {4000, 4000, 206000, 293000}},
        {"A4 without a private part", 9, false, 1, {4000, 4000, 206000, 293000}},
        {"Letter", 1, true, 49, {4000, 4000, 211900, 275400}},
        {"postcard", 43, true, 1, {4000, 4000, 96000, 144000}},
        // 100 x 150 mm saved in the private part under code 300.
        {"custom size", 300, true, 1, {4000, 4000, 96000, 146000}},
        {"custom size without its record", 301, true, 1, {4000, 4000, 206000, 293000}},
        {"custom size without a private part, Letter country", 300, false, 1, {4000, 4000, 211900, 275400}},
        {"custom size without a private part, A4 country", 300, false, 49, {4000, 4000, 206000, 293000}},
        {"unknown paper, Letter country", 8, true, 1, {4000, 4000, 211900, 275400}},
        {"unknown paper, A4 country", 500, true, 44, {4000, 4000, 206000, 293000}},
    };
    for (const AreaCase& c : cases) {
        SCOPED_TRACE(c.what);
        machine().MutableSettings().country = c.country;
        UiDevmode devmode = Defaults();
        devmode.pub.dmPaperSize = c.paper;
        devmode.priv.CustomPaperSize[7] = CustomPaperRecord{2362, 3543, u"Card", {}, 300, 1, 2362.f, 3543.f};
        if (!c.privatePart) devmode.pub.dmDriverExtra = 0;
        Adjustments adjustments;
        adjustments.AddArea();
        PrintPropertiesCollection collection = adjustments.Collection();
        const DWORD bytes = c.privatePart ? sizeof(devmode) : sizeof(devmode.pub);
        EXPECT_EQ(mxdc_(nullptr, bytes, &devmode.pub, &collection), S_OK);
        EXPECT_EQ(adjustments.Area(), c.area);
    }
}

// A private part that the caller's bytes do not hold whole is not read.
TEST_F(PageAdjustments, PrivatePartPastTheCallersBytesIsNotRead) {
    UiDevmode devmode = Defaults();
    devmode.pub.dmPaperSize = 300;
    devmode.priv.CustomPaperSize[0] = CustomPaperRecord{2362, 3543, u"Card", {}, 300, 1, 2362.f, 3543.f};
    machine().MutableSettings().country = 49;
    Adjustments adjustments;
    adjustments.AddArea();
    PrintPropertiesCollection collection = adjustments.Collection();
    EXPECT_EQ(mxdc_(nullptr, sizeof(devmode) - 1, &devmode.pub, &collection), S_OK);
    EXPECT_EQ(adjustments.Area(), (std::vector<LONG>{4000, 4000, 206000, 293000}));
}

TEST_F(PageAdjustments, CompressionAndResolution) {
    UiDevmode devmode = Defaults();
    for (SHORT quality : {SHORT(0), SHORT(-3), SHORT(600)}) {
        SCOPED_TRACE(quality);
        devmode.pub.dmPrintQuality = quality;
        Adjustments adjustments;
        adjustments.AddInt(u"MxdcImageCompressionType", 5);
        adjustments.AddInt(u"MxdcDotsPerInch", 300);
        adjustments.AddInt(u"SomethingElse", 9);
        PrintPropertiesCollection collection = adjustments.Collection();
        EXPECT_EQ(mxdc_(nullptr, sizeof(devmode), &devmode.pub, &collection), S_OK);
        EXPECT_EQ(adjustments.Int(0), 0);
        EXPECT_EQ(adjustments.Int(1), quality < 1 ? 600 : 300);
        EXPECT_EQ(adjustments.Int(2), 9);
    }
}

TEST_F(PageAdjustments, AdjustmentsThatDoNotApply) {
    UiDevmode devmode = Defaults();
    devmode.pub.dmPrintQuality = 600;
    // Nothing to fill: not implemented.
    Adjustments none;
    PrintPropertiesCollection empty = none.Collection();
    EXPECT_EQ(mxdc_(nullptr, sizeof(devmode), &devmode.pub, &empty), E_NOTIMPL);
    PrintPropertiesCollection noArray{3, nullptr};
    EXPECT_EQ(mxdc_(nullptr, sizeof(devmode), &devmode.pub, &noArray), E_NOTIMPL);
    EXPECT_EQ(mxdc_(nullptr, sizeof(devmode), &devmode.pub, nullptr), E_NOTIMPL);

    // An area of the wrong size, or without a devmode, is left alone.
    Adjustments wrongSize;
    wrongSize.AddArea(15);
    PrintPropertiesCollection collection = wrongSize.Collection();
    EXPECT_EQ(mxdc_(nullptr, sizeof(devmode), &devmode.pub, &collection), E_NOTIMPL);
    EXPECT_EQ(wrongSize.Area(), (std::vector<LONG>{-1, -1, -1, -1}));
    Adjustments noDevmode;
    noDevmode.AddArea();
    noDevmode.AddInt(u"MxdcDotsPerInch", 300);
    collection = noDevmode.Collection();
    EXPECT_EQ(mxdc_(nullptr, 0, nullptr, &collection), E_NOTIMPL);
    EXPECT_EQ(noDevmode.Area(), (std::vector<LONG>{-1, -1, -1, -1}));
    EXPECT_EQ(noDevmode.Int(1), 300);

    // A property of the wrong type ends the walk with what was reached.
    Adjustments wrongType;
    wrongType.AddInt(u"MxdcImageCompressionType", 5);
    wrongType.AddInt(u"MxdcDotsPerInch", 300, kPropertyTypeInt64);
    wrongType.AddArea();
    collection = wrongType.Collection();
    EXPECT_EQ(mxdc_(nullptr, sizeof(devmode), &devmode.pub, &collection), S_OK);
    EXPECT_EQ(wrongType.Int(0), 0);
    EXPECT_EQ(wrongType.Area(), (std::vector<LONG>{-1, -1, -1, -1}));
    Adjustments areaAsNumber;
    areaAsNumber.AddInt(u"MxdcImageableArea", 7);
    areaAsNumber.AddInt(u"MxdcImageCompressionType", 5);
    collection = areaAsNumber.Collection();
    EXPECT_EQ(mxdc_(nullptr, sizeof(devmode), &devmode.pub, &collection), E_NOTIMPL);
    EXPECT_EQ(areaAsNumber.Int(1), 5);
}

}  // namespace
}  // namespace tam::test
