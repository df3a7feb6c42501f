// Icons, cursors and bitmaps: the system's pictures, the test program's
// resources, files on the machine, made from bitmaps, and drawn.
#include <cstring>

#include "win32/user32/paintres.h"
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class Pictures : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        module = GetModuleHandleW(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 40, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, canvas);
        Clear();
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteDC(dc);
        WindowTest::TearDown();
    }
    void Clear() {
        RECT all{0, 0, 40, 40};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    static SIZE IconSize(HICON icon) {
        ICONINFO info{};
        if (!GetIconInfo(icon, &info)) return SIZE{-1, -1};
        BITMAP bm{};
        GetObjectW(info.hbmColor, sizeof(bm), &bm);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return SIZE{bm.bmWidth, bm.bmHeight};
    }
    // Writes bytes to a file in the machine's temporary folder; its path.
    static std::u16string WriteMachineFile(const char16_t* name, const std::vector<BYTE>& bytes) {
        WCHAR folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        std::u16string path = std::u16string(folder) + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return path;
    }
    HMODULE module = nullptr;
    HBITMAP canvas = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
};

struct SystemIconCase {
    const char* name;
    LPCWSTR id;
    POINT at;       // a point of the picture's body
    COLORREF body;  // its colour there
};
void PrintTo(const SystemIconCase& c, std::ostream* os) { *os << c.name; }

const SystemIconCase kSystemIcons[] = {
    {"Error", IDI_ERROR, {6, 16}, RGB(232, 17, 35)},
    {"Warning", IDI_WARNING, {10, 25}, RGB(255, 185, 0)},
    {"Information", IDI_INFORMATION, {6, 16}, RGB(0, 120, 215)},
    {"Question", IDI_QUESTION, {6, 16}, RGB(0, 120, 215)},
    {"Application", IDI_APPLICATION, {16, 20}, RGB(255, 255, 255)},
    {"Shield", IDI_SHIELD, {20, 22}, RGB(0, 120, 215)},
};

class SystemIcons : public Pictures, public testing::WithParamInterface<SystemIconCase> {};

TEST_P(SystemIcons, AreSharedPicturesWithTransparentCorners) {
    const SystemIconCase& c = GetParam();
    HICON icon = LoadIconW(nullptr, c.id);
    ASSERT_TRUE(icon);
    EXPECT_EQ(LoadIconW(nullptr, c.id), icon);  // shared
    EXPECT_EQ(IconSize(icon).cx, 32);
    RECT all{0, 0, 40, 40};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ASSERT_TRUE(DrawIcon(dc, 4, 4, icon));
    EXPECT_EQ(GetPixel(dc, 4 + c.at.x, 4 + c.at.y), c.body);
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0));  // the corner shows what was there
    EXPECT_TRUE(DestroyIcon(icon));               // a shared icon stays
    EXPECT_TRUE(DrawIcon(dc, 4, 4, icon));
}

INSTANTIATE_TEST_SUITE_P(All, SystemIcons, testing::ValuesIn(kSystemIcons),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pictures, SystemCursorsHaveTheirHotspots) {
    struct { LPCWSTR id; DWORD x, y; } const kCursors[] = {
        {IDC_ARROW, 1, 1}, {IDC_IBEAM, 16, 16}, {IDC_WAIT, 16, 16}, {IDC_HAND, 13, 1},
        {IDC_SIZEALL, 16, 16}, {IDC_SIZEWE, 16, 16}, {IDC_NO, 16, 16}, {IDC_CROSS, 16, 16},
    };
    for (const auto& c : kCursors) {
        HCURSOR cursor = LoadCursorW(nullptr, c.id);
        ASSERT_TRUE(cursor);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, c.x);
        EXPECT_EQ(info.yHotspot, c.y);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    SetLastError(0);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(Pictures, IconResourcesGiveTheImageNearestTheSize) {
    HICON small = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_TEST_PICTURE), IMAGE_ICON, 16, 16, 0));
    ASSERT_TRUE(small) << GetLastError();
    EXPECT_EQ(IconSize(small).cx, 16);
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, small, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 12, 12), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 2), kWhite);  // masked out
    EXPECT_TRUE(DestroyIcon(small));
    SetLastError(0);
    EXPECT_FALSE(DestroyIcon(small));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_CURSOR_HANDLE));

    HICON big = LoadIconW(module, MAKEINTRESOURCEW(IDI_TEST_PICTURE));
    ASSERT_TRUE(big);
    EXPECT_EQ(IconSize(big).cx, 32);
    Clear();
    ASSERT_TRUE(DrawIcon(dc, 0, 0, big));
    EXPECT_EQ(GetPixel(dc, 16, 16), RGB(0, 0, 255));  // alpha 255
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);            // alpha 0
    // Stretched to 20 x 20 on drawing.
    Clear();
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, big, 20, 20, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 25, 25), kWhite);

    HCURSOR pointer = LoadCursorW(module, MAKEINTRESOURCEW(IDC_TEST_POINTER));
    ASSERT_TRUE(pointer);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(pointer, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 7u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    SetLastError(0);
    EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(999), IMAGE_ICON, 0, 0, 0), nullptr);
    EXPECT_NE(GetLastError(), DWORD(0));
    SetLastError(0);
    EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(IDI_TEST_PICTURE), IMAGE_ICON, 0, 0, LR_LOADTRANSPARENT), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
}

TEST_F(Pictures, BitmapResourcesAsDeviceBitmapsOrSections) {
    HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(IDB_TEST_COLOURS));
    ASSERT_TRUE(bitmap) << GetLastError();
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof(bm), &bm), int(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBits, nullptr);  // a device-dependent bitmap
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(memory, 3, 0), RGB(255, 255, 0));
    EXPECT_EQ(GetPixel(memory, 3, 2), RGB(0, 0, 64));
    SelectObject(memory, previous);
    DeleteObject(bitmap);

    bitmap = static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(IDB_TEST_COLOURS), IMAGE_BITMAP, 8, 6, LR_CREATEDIBSECTION));
    ASSERT_TRUE(bitmap);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof(section), &section), int(sizeof(section)));
    EXPECT_EQ(section.dsBm.bmWidth, 8);
    EXPECT_EQ(section.dsBm.bmHeight, 6);
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    EXPECT_NE(section.dsBm.bmBits, nullptr);
    previous = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 7, 5), RGB(0, 0, 64));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST_F(Pictures, FilesOnTheMachine) {
    // A 2x2 icon file: 24-bit colours, the top-left pixel masked out.
    std::vector<BYTE> image(40 + 2 * 8 + 2 * 4, 0);
    const BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(image.data(), &header, sizeof(header));
    // Rows are stored bottom-up: row y = 0 comes second.
    const BYTE green[3] = {0, 200, 0};
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 2; ++x)
            if (row == 0 || x == 1) std::memcpy(&image[40 + row * 8 + x * 3], green, 3);
    image[40 + 16 + 4] = 0x80;  // the mask of y = 0: x = 0 shows the screen
    std::vector<BYTE> file = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 24, 0};
    const DWORD size = DWORD(image.size()), offset = 22;
    file.insert(file.end(), reinterpret_cast<const BYTE*>(&size), reinterpret_cast<const BYTE*>(&size) + 4);
    file.insert(file.end(), reinterpret_cast<const BYTE*>(&offset), reinterpret_cast<const BYTE*>(&offset) + 4);
    file.insert(file.end(), image.begin(), image.end());
    const std::u16string icoPath = WriteMachineFile(u"two.ico", file);
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, icoPath.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    ASSERT_TRUE(icon) << GetLastError();
    EXPECT_EQ(IconSize(icon).cx, 2);
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 200, 0));
    DestroyIcon(icon);

    // A 1x1 bitmap file.
    std::vector<BYTE> bmp = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    const BITMAPINFOHEADER bmpHeader{sizeof(BITMAPINFOHEADER), 1, 1, 1, 24, BI_RGB, 4, 0, 0, 0, 0};
    bmp.insert(bmp.end(), reinterpret_cast<const BYTE*>(&bmpHeader),
               reinterpret_cast<const BYTE*>(&bmpHeader) + sizeof(bmpHeader));
    bmp.insert(bmp.end(), {0x30, 0x20, 0x10, 0});
    const std::u16string bmpPath = WriteMachineFile(u"one.bmp", bmp);
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, bmpPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_TRUE(bitmap) << GetLastError();
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0x10, 0x20, 0x30));
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);

    SetLastError(0);
    EXPECT_EQ(LoadImageW(nullptr, u"C:\\no\\such.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_NE(GetLastError(), DWORD(0));
    const std::u16string junk = WriteMachineFile(u"junk.ico", {1, 2, 3});
    SetLastError(0);
    EXPECT_EQ(LoadImageW(nullptr, junk.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
}

TEST_F(Pictures, MadeFromBitmapsAndDrawnByMaskAndColours) {
    // Mask 1 with black colours keeps the screen; mask 1 with white
    // colours inverts it; mask 0 paints the colour.
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    static_cast<DWORD*>(bits)[0] = 0x000000;
    static_cast<DWORD*>(bits)[1] = 0xFFFFFF;
    static_cast<DWORD*>(bits)[2] = 0x0000FF;
    const WORD maskRow[1] = {0x00C0};  // bits 1, 1, 0 (the first byte, high bits first)
    HBITMAP mask = CreateBitmap(3, 1, 1, 1, maskRow);
    ICONINFO made{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&made);
    ASSERT_TRUE(icon);
    DeleteObject(colour);  // the icon keeps copies
    DeleteObject(mask);
    RECT all{0, 0, 40, 40};
    HBRUSH grey = CreateSolidBrush(RGB(10, 20, 30));
    FillRect(dc, &all, grey);
    DeleteObject(grey);
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(245, 235, 225));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(0, 0, 255));
    ICONINFO back{};
    ASSERT_TRUE(GetIconInfo(icon, &back));
    EXPECT_TRUE(back.fIcon);
    BITMAP bm{};
    GetObjectW(back.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidth, 3);
    DeleteObject(back.hbmColor);
    DeleteObject(back.hbmMask);
    HICON copy = CopyIcon(icon);
    EXPECT_TRUE(copy && copy != icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_TRUE(DrawIcon(dc, 0, 0, copy));
    EXPECT_TRUE(DestroyIcon(copy));
    EXPECT_FALSE(CreateIconIndirect(nullptr));
}

TEST_F(Pictures, CursorIsKeptPerThread) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(nullptr);
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_EQ(SetCursor(wait), arrow);
    EXPECT_EQ(GetCursor(), wait);
    HCURSOR seen = arrow;
    HANDLE thread = StartThread([&]() -> DWORD {
        seen = GetCursor();
        return 0;
    });
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(seen, nullptr);
}

TEST_F(Pictures, WindowsKeepTheirIcons) {
    HWND hwnd = Make(WS_POPUP);
    HICON big = LoadIconW(nullptr, IDI_APPLICATION);
    HICON small = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED));
    ASSERT_TRUE(small && small != big);
    EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_SMALL2, 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_SETICON, ICON_BIG, LPARAM(big)), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_SMALL2, 0), LRESULT(big));  // falls back to the big one
    EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_SETICON, ICON_SMALL, LPARAM(small)), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_SETICON, ICON_SMALL, LPARAM(small)), LRESULT(small));
    EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_SMALL2, 0), LRESULT(small));
    EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), LRESULT(big));
    SetClassLongPtrW(hwnd, GCLP_HICON, LONG_PTR(big));
    EXPECT_EQ(SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0), LRESULT(big));
    SetClassLongPtrW(hwnd, GCLP_HICON, 0);
}

}  // namespace
}  // namespace tam::test
