// GetObjectW's size protocol for each kind of object: no buffer answers
// the size of the record, a short buffer gets nothing (fonts: as much as
// fits), a buffer of the size gets the record.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <vector>

#include "win32/gdi32/kept_objects_fixture.h"

using tam::test::KeptObjectsTest;

namespace {

class GetObjectSizes : public KeptObjectsTest {
protected:
    // The size with no buffer, then one byte short (nothing, ERROR_INSUFFICIENT_BUFFER).
    static void ExpectSizeProtocol(HGDIOBJ object, int size) {
        EXPECT_EQ(GetObjectW(object, 0, nullptr), size);
        std::vector<BYTE> buffer(size_t(size), 0xAB);
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetObjectW(object, size - 1, buffer.data()), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(buffer[0], 0xAB);  // untouched
        EXPECT_EQ(GetObjectW(object, size, buffer.data()), size);
    }
};

TEST_F(GetObjectSizes, PenGivesItsLogPen) {
    HGDIOBJ pen = Keep(CreatePen(PS_DASH, 0, RGB(1, 2, 3)));
    ExpectSizeProtocol(pen, sizeof(LOGPEN));
    LOGPEN record{};
    ASSERT_EQ(GetObjectW(pen, sizeof(record) + 8, &record), int(sizeof(LOGPEN)));
    EXPECT_EQ(record.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(record.lopnWidth.x, 0);
    EXPECT_EQ(record.lopnColor, RGB(1, 2, 3));
}

TEST_F(GetObjectSizes, ExtPenCountsItsStyleEntries) {
    const LOGBRUSH brush{BS_SOLID, RGB(9, 8, 7), 0};
    const DWORD entries[3] = {4, 2, 1};
    HGDIOBJ pen = Keep(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER, 5, &brush, 3, entries));
    EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_EXTPEN));
    const int size = int(offsetof(EXTLOGPEN, elpStyleEntry) + 3 * sizeof(DWORD));
    ExpectSizeProtocol(pen, size);
    std::vector<BYTE> buffer(static_cast<size_t>(size), 0);
    ASSERT_EQ(GetObjectW(pen, size, buffer.data()), size);
    EXTLOGPEN head;
    std::memcpy(&head, buffer.data(), offsetof(EXTLOGPEN, elpStyleEntry));
    EXPECT_EQ(head.elpPenStyle, DWORD(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER));
    EXPECT_EQ(head.elpWidth, 5u);
    EXPECT_EQ(head.elpBrushStyle, UINT(BS_SOLID));
    EXPECT_EQ(head.elpColor, RGB(9, 8, 7));
    EXPECT_EQ(head.elpNumEntries, 3u);
    DWORD styles[3];
    std::memcpy(styles, buffer.data() + offsetof(EXTLOGPEN, elpStyleEntry), sizeof(styles));
    EXPECT_EQ(styles[0], 4u);
    EXPECT_EQ(styles[1], 2u);
    EXPECT_EQ(styles[2], 1u);
}

TEST_F(GetObjectSizes, BrushGivesItsLogBrush) {
    HGDIOBJ brush = Keep(CreateHatchBrush(HS_CROSS, RGB(10, 20, 30)));
    ExpectSizeProtocol(brush, sizeof(LOGBRUSH));
    LOGBRUSH record{};
    ASSERT_EQ(GetObjectW(brush, sizeof(record), &record), int(sizeof(LOGBRUSH)));
    EXPECT_EQ(record.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(record.lbColor, RGB(10, 20, 30));
    EXPECT_EQ(record.lbHatch, ULONG_PTR(HS_CROSS));
}

TEST_F(GetObjectSizes, PaletteGivesItsEntryCountAsAWord) {
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[2];
    } palette{{0x300, 3, {{1, 2, 3, 0}}}, {{4, 5, 6, 0}, {7, 8, 9, 0}}};
    HGDIOBJ handle = Keep(CreatePalette(&palette.head));
    ExpectSizeProtocol(handle, sizeof(WORD));
    WORD count = 0;
    ASSERT_EQ(GetObjectW(handle, sizeof(count), &count), int(sizeof(WORD)));
    EXPECT_EQ(count, 3);
}

TEST_F(GetObjectSizes, DeviceDependentBitmapGivesABitmap) {
    HGDIOBJ bitmap = Keep(CreateBitmap(13, 5, 1, 8, nullptr));
    ExpectSizeProtocol(bitmap, sizeof(BITMAP));
    DIBSECTION record{};
    // Room for a DIBSECTION still gets a BITMAP: it is no DIB section.
    ASSERT_EQ(GetObjectW(bitmap, sizeof(record), &record), int(sizeof(BITMAP)));
    EXPECT_EQ(record.dsBm.bmType, 0);
    EXPECT_EQ(record.dsBm.bmWidth, 13);
    EXPECT_EQ(record.dsBm.bmHeight, 5);
    EXPECT_EQ(record.dsBm.bmWidthBytes, 14);  // whole 16-bit words
    EXPECT_EQ(record.dsBm.bmPlanes, 1);
    EXPECT_EQ(record.dsBm.bmBitsPixel, 8);
    EXPECT_EQ(record.dsBm.bmBits, nullptr);
}

TEST_F(GetObjectSizes, DibSectionGivesADibSectionWhenTheBufferHoldsOne) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 13, -5, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HGDIOBJ section = Keep(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(GetObjectW(section, 0, nullptr), int(sizeof(BITMAP)));
    BITMAP plain{};
    ASSERT_EQ(GetObjectW(section, sizeof(plain), &plain), int(sizeof(BITMAP)));
    EXPECT_EQ(plain.bmBits, bits);
    EXPECT_EQ(plain.bmWidthBytes, 40);  // 39 bytes in whole 32-bit words
    DIBSECTION record{};
    ASSERT_EQ(GetObjectW(section, sizeof(record), &record), int(sizeof(DIBSECTION)));
    EXPECT_EQ(record.dsBm.bmHeight, 5);
    EXPECT_EQ(record.dsBm.bmBits, bits);
    EXPECT_EQ(record.dsBmih.biSize, DWORD(sizeof(BITMAPINFOHEADER)));
    EXPECT_EQ(record.dsBmih.biHeight, -5);
    EXPECT_EQ(record.dsBmih.biBitCount, 24);
    EXPECT_EQ(record.dsBmih.biSizeImage, 200u);
    EXPECT_EQ(record.dshSection, nullptr);
}

TEST_F(GetObjectSizes, FontCopiesAsMuchAsFits) {
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    EXPECT_EQ(GetObjectW(font, 0, nullptr), int(sizeof(LOGFONTW)));
    LOGFONTW whole{};
    ASSERT_EQ(GetObjectW(font, sizeof(whole), &whole), int(sizeof(LOGFONTW)));
    EXPECT_NE(whole.lfFaceName[0], 0);
    LOGFONTW front{};
    front.lfFaceName[0] = u'?';
    const int head = int(offsetof(LOGFONTW, lfFaceName));
    ASSERT_EQ(GetObjectW(font, head, &front), head);
    EXPECT_EQ(front.lfHeight, whole.lfHeight);
    EXPECT_EQ(front.lfWeight, whole.lfWeight);
    EXPECT_EQ(front.lfFaceName[0], u'?');
}

TEST_F(GetObjectSizes, RegionsDCsAndBadHandlesHaveNoRecord) {
    HGDIOBJ region = Keep(CreateRectRgn(0, 0, 2, 2));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ deleted = CreateSolidBrush(0);
    DeleteObject(deleted);
    for (HGDIOBJ object : {region, static_cast<HGDIOBJ>(dc), deleted, static_cast<HGDIOBJ>(nullptr)}) {
        BYTE buffer[64];
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetObjectW(object, sizeof(buffer), buffer), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    DeleteDC(dc);
}

}  // namespace
