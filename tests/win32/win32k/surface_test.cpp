// Engine surfaces: device surfaces, bitmaps, association with a PDEV, and
// SURFOBJ access by handle.
#include <cstring>

#include "engine_fixture.h"

using tam::test::EngineTest;

namespace {

BYTE* Bytes(PVOID p) { return static_cast<BYTE*>(p); }

TEST(EngineSurface, ADeviceSurfaceCarriesTheDriversHandleSizeAndFormat) {
    DHSURF mine = reinterpret_cast<DHSURF>(0x1234);
    HSURF surface = EngCreateDeviceSurface(mine, SIZEL{4768, 6816}, BMF_24BPP);
    ASSERT_NE(surface, nullptr) << GetLastError();
    SURFOBJ* so = EngLockSurface(surface);
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->dhsurf, mine);
    EXPECT_EQ(so->hsurf, surface);
    EXPECT_EQ(so->dhpdev, nullptr);  // until it is associated
    EXPECT_EQ(so->hdev, nullptr);
    EXPECT_EQ(so->sizlBitmap.cx, 4768);
    EXPECT_EQ(so->sizlBitmap.cy, 6816);
    EXPECT_EQ(so->iBitmapFormat, ULONG(BMF_24BPP));
    EXPECT_EQ(so->iType, STYPE_DEVICE);
    EXPECT_EQ(so->pvBits, nullptr);
    EXPECT_EQ(so->pvScan0, nullptr);
    EXPECT_EQ(so->cjBits, 0u);
    EngUnlockSurface(so);
    EXPECT_TRUE(EngDeleteSurface(surface));
}

TEST(EngineSurface, ADeviceSurfaceNeedsAKnownFormatAndASize) {
    const struct {
        SIZEL size;
        ULONG format;
    } bad[] = {{{10, 10}, 0}, {{10, 10}, BMF_8RLE}, {{-1, 10}, BMF_24BPP}, {{10, -1}, BMF_1BPP}};
    for (const auto& c : bad) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(EngCreateDeviceSurface(nullptr, c.size, c.format), nullptr) << c.format;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << c.format;
    }
}

struct BitmapCase {
    LONG cx, cy, width;
    ULONG format;
    FLONG flags;
    LONG stride;  // bytes per scan line
};

const BitmapCase kBitmaps[] = {
    // Scan lines of whole 32-bit words unless the caller gives a width.
    {3, 2, 0, BMF_1BPP, 0, 4},
    {5, 3, 0, BMF_4BPP, BMF_TOPDOWN, 4},
    {5, 3, 0, BMF_8BPP, 0, 8},
    {7, 2, 0, BMF_16BPP, BMF_TOPDOWN, 16},
    {3, 2, 0, BMF_24BPP, 0, 12},
    {3, 4, 0, BMF_32BPP, BMF_TOPDOWN, 12},
    {3, 2, 9, BMF_24BPP, BMF_TOPDOWN, 9},
    {3, 2, 10, BMF_24BPP, 0, 10},
};

void PrintTo(const BitmapCase& c, std::ostream* os) {
    *os << c.cx << "x" << c.cy << " format " << c.format << " width " << c.width
        << ((c.flags & BMF_TOPDOWN) ? " top-down" : " bottom-up");
}

class EngineBitmaps : public testing::TestWithParam<BitmapCase> {};

TEST_P(EngineBitmaps, LayOutScanLinesTopDownOrBottomUp) {
    const BitmapCase& c = GetParam();
    HBITMAP bitmap = EngCreateBitmap(SIZEL{c.cx, c.cy}, c.width, c.format, c.flags, nullptr);
    ASSERT_NE(bitmap, nullptr) << GetLastError();
    SURFOBJ* so = EngLockSurface(reinterpret_cast<HSURF>(bitmap));
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->hsurf, reinterpret_cast<HSURF>(bitmap));
    EXPECT_EQ(so->dhsurf, nullptr);
    EXPECT_EQ(so->iType, STYPE_BITMAP);
    EXPECT_EQ(so->iBitmapFormat, c.format);
    EXPECT_EQ(so->sizlBitmap.cx, c.cx);
    EXPECT_EQ(so->sizlBitmap.cy, c.cy);
    EXPECT_EQ(so->cjBits, ULONG(c.stride * c.cy));
    EXPECT_EQ(so->fjBitmap, USHORT(c.flags));
    ASSERT_NE(so->pvBits, nullptr);
    if (c.flags & BMF_TOPDOWN) {
        EXPECT_EQ(so->lDelta, c.stride);
        EXPECT_EQ(so->pvScan0, so->pvBits);
    } else {
        // The top scan line is the last in memory.
        EXPECT_EQ(so->lDelta, -c.stride);
        EXPECT_EQ(Bytes(so->pvScan0), Bytes(so->pvBits) + so->cjBits - c.stride);
    }
    // The memory is the engine's, zeroed, and every scan line is reachable from pvScan0.
    for (ULONG i = 0; i < so->cjBits; ++i) ASSERT_EQ(Bytes(so->pvBits)[i], 0) << i;
    for (LONG y = 0; y < c.cy; ++y) Bytes(so->pvScan0)[y * so->lDelta] = BYTE(0xA0 + y);
    const BYTE* bottomRow = Bytes(so->pvScan0) + (c.cy - 1) * so->lDelta;
    EXPECT_EQ(*bottomRow, BYTE(0xA0 + c.cy - 1));
    EXPECT_EQ(Bytes(so->pvBits)[0], (c.flags & BMF_TOPDOWN) ? 0xA0 : BYTE(0xA0 + c.cy - 1));
    EngUnlockSurface(so);
    EXPECT_TRUE(EngDeleteSurface(reinterpret_cast<HSURF>(bitmap)));
}

INSTANTIATE_TEST_SUITE_P(All, EngineBitmaps, testing::ValuesIn(kBitmaps));

TEST(EngineSurface, ABitmapOnTheCallersMemoryUsesItAsItIs) {
    BYTE memory[2][8] = {};
    HBITMAP bitmap = EngCreateBitmap(SIZEL{2, 2}, 8, BMF_24BPP, 0, memory);
    ASSERT_NE(bitmap, nullptr) << GetLastError();
    SURFOBJ* so = EngLockSurface(reinterpret_cast<HSURF>(bitmap));
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->pvBits, memory);
    EXPECT_EQ(so->pvScan0, memory[1]);
    EXPECT_EQ(so->lDelta, -8);
    Bytes(so->pvScan0)[0] = 0x42;
    EXPECT_EQ(memory[1][0], 0x42);
    EngUnlockSurface(so);
    EXPECT_TRUE(EngDeleteSurface(reinterpret_cast<HSURF>(bitmap)));
    EXPECT_EQ(memory[1][0], 0x42);  // the caller's memory outlives the bitmap
}

TEST(EngineSurface, RefusesBitmapsItCannotMake) {
    const struct {
        SIZEL size;
        LONG width;
        ULONG format;
        DWORD error;
    } bad[] = {
        {{0, 2}, 0, BMF_8BPP, ERROR_INVALID_PARAMETER},
        {{2, -1}, 0, BMF_8BPP, ERROR_INVALID_PARAMETER},
        {{2, 2}, -4, BMF_8BPP, ERROR_INVALID_PARAMETER},
        {{3, 2}, 8, BMF_24BPP, ERROR_INVALID_PARAMETER},  // 9 bytes of pixels do not fit in 8
        {{2, 2}, 0, 0, ERROR_INVALID_PARAMETER},
        {{2, 2}, 0, 11, ERROR_INVALID_PARAMETER},
        {{2, 2}, 0, BMF_8RLE, ERROR_NOT_SUPPORTED},
        {{2, 2}, 0, BMF_JPEG, ERROR_NOT_SUPPORTED},
        {{100000, 100000}, 0, BMF_32BPP, ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const auto& c : bad) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(EngCreateBitmap(c.size, c.width, c.format, 0, nullptr), nullptr) << c.size.cx << " " << c.format;
        EXPECT_EQ(GetLastError(), c.error) << c.size.cx << " " << c.format;
    }
}

TEST(EngineSurface, LockingGivesTheSameSurfobjAndOutlivesADelete) {
    HBITMAP bitmap = EngCreateBitmap(SIZEL{4, 4}, 0, BMF_8BPP, BMF_TOPDOWN, nullptr);
    ASSERT_NE(bitmap, nullptr);
    HSURF surface = reinterpret_cast<HSURF>(bitmap);
    SURFOBJ* first = EngLockSurface(surface);
    SURFOBJ* second = EngLockSurface(surface);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);

    EXPECT_TRUE(EngDeleteSurface(surface));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(EngLockSurface(surface), nullptr);  // the handle is gone...
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EngUnlockSurface(second);
    Bytes(first->pvScan0)[15] = 1;  // ...but a locked surface stays usable until its last unlock
    EXPECT_EQ(first->hsurf, surface);
    EngUnlockSurface(first);
    EngUnlockSurface(first);   // unlocking what is no longer locked does nothing
    EngUnlockSurface(nullptr);

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EngDeleteSurface(surface));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    HPALETTE palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    EXPECT_EQ(EngLockSurface(reinterpret_cast<HSURF>(palette)), nullptr);
    EXPECT_FALSE(EngDeleteSurface(reinterpret_cast<HSURF>(palette)));
    EXPECT_TRUE(EngDeletePalette(palette));
}

class EngineAssociation : public EngineTest {};

TEST_F(EngineAssociation, TiesASurfaceToAPdevWithItsHooks) {
    InstallFakePrinter();
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(tam::test::kFakePrinter, &printer, nullptr));
    auto device = w32::EnablePrinterDevice(printer, tam::test::kFakePrinter, nullptr, false);
    ASSERT_NE(device, nullptr) << GetLastError();
    HDEV hdev = device->pdev->Hdev();

    HBITMAP bitmap = EngCreateBitmap(SIZEL{8, 8}, 0, BMF_24BPP, 0, nullptr);
    HSURF surface = reinterpret_cast<HSURF>(bitmap);
    ASSERT_TRUE(EngAssociateSurface(surface, hdev, HOOK_BITBLT | HOOK_COPYBITS));
    SURFOBJ* so = EngLockSurface(surface);
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->hdev, hdev);
    EXPECT_EQ(so->dhpdev, device->pdev->dhpdev);
    EXPECT_EQ(w32::LookupSurface(surface)->hooks, FLONG(HOOK_BITBLT | HOOK_COPYBITS));
    EngUnlockSurface(so);

    HPALETTE palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    const struct {
        HSURF surface;
        HDEV hdev;
    } bad[] = {{nullptr, hdev},
               {surface, nullptr},
               {reinterpret_cast<HSURF>(palette), hdev},
               {surface, reinterpret_cast<HDEV>(surface)}};
    for (const auto& c : bad) {
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(EngAssociateSurface(c.surface, c.hdev, HOOK_BITBLT));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(w32::LookupSurface(surface)->hooks, FLONG(HOOK_BITBLT | HOOK_COPYBITS));

    // A PDEV that has gone takes no more surfaces.
    w32::DisablePrinterDevice(*device);
    EXPECT_FALSE(EngAssociateSurface(surface, hdev, 0));
    EXPECT_TRUE(EngDeleteSurface(surface));
    EXPECT_TRUE(EngDeletePalette(palette));
}

}  // namespace
