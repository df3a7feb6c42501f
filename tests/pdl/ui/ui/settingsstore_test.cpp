// The settings stores over the user's settings file: favourites and the
// current settings, watermarks, custom paper sizes, the counted handles, and
// what a damaged or hostile file does to them.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <string>
#include <thread>
#include <vector>

#include "devmode_test_support.h"
#include "kernel32/filefaults.h"
#include "ui/ui/cfgfile.h"
#include "ui/ui/devmode.h"
#include "ui/ui/settingsstore.h"
#include "ui/ui/watermarklist.h"
#include "ui_fixture.h"

using namespace devmode_test;

namespace {

using tam::test::UiModuleTest;

struct CfgFileFree {
    void operator()(CfgFile* file) const { CfgFile_Free(file); }
};
using FilePtr = std::unique_ptr<CfgFile, CfgFileFree>;

class SettingsStoreTest : public UiModuleTest {
protected:
    void SetUp() override {
        UiModuleTest::SetUp();
        ASSERT_TRUE(GetSettingsFilePath(path_));
    }
    void TearDown() override {
        w32::ClearFileFaults();
        UiModuleTest::TearDown();
    }

    // A context with the default settings of the driver.
    static std::unique_ptr<UiContext> DefaultContext() {
        auto context = MakeContext();
        lstrcpynW(context->driverName, tam::test::kDriverName, MAX_PATH);
        SetDevmodeDefaults(&context->devmode, tam::test::kDriverName, nullptr);
        return context;
    }

    std::vector<std::u16string> Names(SettingsStore& store) {
        SettingsName names[SETTINGS_MAX_NAMES * 4];
        INT count = store.ListNames(names, ARRAYSIZE(names));
        return std::vector<std::u16string>(names, names + count);
    }

    // Puts a raw entry into a container of the file, bypassing the stores.
    void PutRaw(LPCWSTR container, LPCWSTR name, const void* data, INT32 len) {
        FilePtr file(CfgFile_Load(path_));
        ASSERT_TRUE(file);
        CfgObject* param = CfgObject_FindChild(file->root.get(), u"UIParam", TRUE);
        ASSERT_TRUE(param);
        CfgObject* target = CfgObject_FindChild(param, container, TRUE);
        ASSERT_TRUE(target);
        CfgObject_RemoveChild(target, name, TRUE);
        ASSERT_TRUE(CfgObject_AddChild(target, name, "binary", data, len));
        ASSERT_TRUE(CfgFile_Save(file.get()));
    }

    std::string FileBytes() const {
        HANDLE file = CreateFileW(path_, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        std::string bytes(1 << 16, '\0');
        DWORD got = 0;
        ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
        CloseHandle(file);
        bytes.resize(got);
        return bytes;
    }

    WCHAR path_[MAX_PATH];
};

TEST_F(SettingsStoreTest, FileLivesInTheUsersApplicationData) {
    WCHAR appData[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
    EXPECT_EQ(std::u16string(path_), std::u16string(appData) + u"\\Printer\\Tamsheet\\Tamsheetsettings.dat");
    DWORD attributes = GetFileAttributesW((std::u16string(appData) + u"\\Printer\\Tamsheet").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SettingsStoreTest, WithoutTheContainersEveryOperationFails) {
    UiParamStore store;
    auto context = DefaultContext();
    EXPECT_EQ(store.Save(u"A", context.get(), 0), 0);  // only the default file exists
    EXPECT_EQ(store.GetNameCount(), 0);
    EXPECT_EQ(store.EnsureFile(), 1);
    EXPECT_EQ(store.Save(u"A", context.get(), 0), 1);
    WatermarkStore marks;
    EXPECT_EQ(marks.Save(u"M", &g_SeededWatermarks[1], sizeof(WatermarkRecord)), 0);  // not made by UiParamStore
    EXPECT_EQ(marks.EnsureFile(), 1);
    EXPECT_EQ(marks.Save(u"M", &g_SeededWatermarks[1], sizeof(WatermarkRecord)), 1);
    EXPECT_EQ(store.GetNameCount(), 1);  // entries survive EnsureFile
}

TEST_F(SettingsStoreTest, FavouriteSavedAndLoadedBack) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    auto context = DefaultContext();
    context->pub->dmCopies = 7;
    context->pub->dmOrientation = DMORIENT_LANDSCAPE;
    context->pub->dmPaperSize = DMPAPER_A5;
    context->pub->dmPaperWidth = 1480;
    context->pub->dmPaperLength = 2100;
    lstrcpynW(context->pub->dmFormName, u"A5", CCHFORMNAME);
    context->priv->ScaleRadio = 150;
    ASSERT_EQ(store.Save(u"Draft", context.get(), 0), 1);

    auto loaded = DefaultContext();
    ASSERT_EQ(store.Load(u"Draft", loaded.get(), 0), 1);
    EXPECT_EQ(DifferingOffsets(&loaded->devmode.priv, &context->devmode.priv, sizeof(PrivateDevmode)),
              std::vector<size_t>{});
    EXPECT_EQ(DifferingOffsets(&loaded->devmode.pub, &context->devmode.pub, sizeof(DEVMODEW)),
              std::vector<size_t>{});
    EXPECT_EQ(store.Load(u"Missing", loaded.get(), 0), 0);
}

TEST_F(SettingsStoreTest, ResavedFavouriteMovesToTheEnd) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    auto context = DefaultContext();
    for (const char16_t* name : {u"A", u"B", u"C", u"A"}) ASSERT_EQ(store.Save(name, context.get(), 0), 1);
    EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"B", u"C", u"A"}));
    EXPECT_EQ(store.Delete(u"C"), 1);
    EXPECT_EQ(store.Delete(u"C"), 0);
    EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"B", u"A"}));
    EXPECT_EQ(store.GetNameCount(), 2);
}

TEST_F(SettingsStoreTest, SaveCurrentKeepsOneEntry) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    auto context = DefaultContext();
    ASSERT_EQ(store.SaveCurrent(u"First", context.get()), 1);
    ASSERT_EQ(store.SaveCurrent(u"Second", context.get()), 1);
    FilePtr file(CfgFile_Load(path_));
    ASSERT_TRUE(file);
    CfgObject* current = CfgObject_FindChild(file->root.get(), u"cursetting", FALSE);
    ASSERT_TRUE(current);
    ASSERT_EQ(current->childobjs, 1);
    EXPECT_STREQ(current->children[0]->name, "Second");
    EXPECT_EQ(current->children[0]->len, FAVORITE_RECORD_SIZE);
    EXPECT_EQ(store.GetNameCount(), 0);  // favourites are apart from it
}

// Two sheets saving at once: each save reads, changes and rewrites the whole
// file, and none drops the other's entry.
TEST_F(SettingsStoreTest, ConcurrentSavesKeepEveryEntry) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    auto context = DefaultContext();
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            UiParamStore own;
            for (int i = 0; i < 6; ++i) {
                std::u16string name = u"T" + std::u16string(1, char16_t(u'0' + t)) + char16_t(u'a' + i);
                EXPECT_EQ(own.Save(name.c_str(), context.get(), 0), 1);
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(store.GetNameCount(), 12);
}

TEST_F(SettingsStoreTest, NamesOfUpTo32Characters) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    auto context = DefaultContext();
    std::u16string name32(32, u'n'), name33(33, u'n');
    EXPECT_EQ(store.Save(name32.c_str(), context.get(), 0), 1);
    EXPECT_EQ(store.Load(name32.c_str(), context.get(), 0), 1);
    EXPECT_EQ(store.Save(name33.c_str(), context.get(), 0), 0);
    EXPECT_EQ(store.SaveCurrent(name33.c_str(), context.get()), 0);
    EXPECT_EQ(store.Delete(name33.c_str()), 0);
    EXPECT_EQ(store.Load(name33.c_str(), context.get(), 0), 0);
    EXPECT_EQ(Names(store), std::vector<std::u16string>{name32});
}

TEST_F(SettingsStoreTest, MaxNamesIsSixteenForEveryStore) {
    UiParamStore favourites;
    WatermarkStore marks;
    CustomSizeStore sizes;
    for (SettingsStore* store : std::initializer_list<SettingsStore*>{&favourites, &marks, &sizes})
        EXPECT_EQ(store->GetMaxNames(), 16);
    EXPECT_EQ(marks.SaveCurrent(u"x", &g_SeededWatermarks[0]), 0);
    EXPECT_EQ(sizes.SaveCurrent(u"x", &g_SeededWatermarks[0]), 0);
}

TEST_F(SettingsStoreTest, FavouriteOfAnotherLengthIsRefusedAndChangesNothing) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    std::vector<BYTE> shorter(FAVORITE_RECORD_SIZE - 1, 0x41);
    PutRaw(u"savesetting", u"Short", shorter.data(), INT32(shorter.size()));
    auto context = DefaultContext();
    auto before = DefaultContext();
    EXPECT_EQ(store.Load(u"Short", context.get(), 0), 0);
    EXPECT_EQ(DifferingOffsets(&context->devmode, &before->devmode, sizeof(UiDevmode)), std::vector<size_t>{});
}

// A favourite edited in the user-writable file reaches the context repaired.
TEST_F(SettingsStoreTest, HostileFavouriteIsRepairedBeforeItReachesTheContext) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    auto context = DefaultContext();
    std::vector<BYTE> record(FAVORITE_RECORD_SIZE, 0);
    std::memcpy(record.data(), &context->devmode.priv, PRIVATE_DEVMODE_SIZE);
    std::memcpy(record.data() + PRIVATE_DEVMODE_SIZE, &context->devmode.pub, sizeof(DEVMODEW));
    auto* priv = reinterpret_cast<PrivateDevmode*>(record.data());
    auto* pub = reinterpret_cast<DEVMODEW*>(record.data() + PRIVATE_DEVMODE_SIZE);
    priv->ScaleRadio = 9999;
    for (WCHAR& c : priv->FavoriteName) c = u'F';  // no terminators
    for (WCHAR& c : priv->OverlayFileName) c = u'O';
    for (WCHAR& c : priv->HeaderFontName) c = u'H';
    for (WCHAR& c : pub->dmDeviceName) c = u'D';
    for (WCHAR& c : pub->dmFormName) c = u'P';
    pub->dmPaperSize = 600;
    pub->dmCopies = 5000;
    pub->dmOrientation = 7;
    pub->dmPrintQuality = 300;
    pub->dmMediaType = 999;
    pub->dmDuplex = 9;
    pub->dmSize = 0xFFFF;        // must not send a reader past the record
    pub->dmDriverExtra = 0xFFFF;
    PutRaw(u"savesetting", u"Hostile", record.data(), FAVORITE_RECORD_SIZE);

    auto loaded = DefaultContext();
    loaded->pub->dmCopies = 3;
    ASSERT_EQ(store.Load(u"Hostile", loaded.get(), 0), 1);
    auto defaults = DefaultContext();
    EXPECT_EQ(loaded->priv->ScaleRadio, 100);
    EXPECT_EQ(loaded->priv->FavoriteName[ARRAYSIZE(loaded->priv->FavoriteName) - 1], 0);
    EXPECT_EQ(loaded->priv->OverlayFileName[ARRAYSIZE(loaded->priv->OverlayFileName) - 1], 0);
    EXPECT_EQ(loaded->priv->HeaderFontName[ARRAYSIZE(loaded->priv->HeaderFontName) - 1], 0);
    EXPECT_EQ(std::u16string(loaded->pub->dmDeviceName), std::u16string(tam::test::kDriverName).substr(0, 31));
    EXPECT_EQ(loaded->pub->dmPaperSize, defaults->pub->dmPaperSize);
    EXPECT_EQ(loaded->pub->dmPaperWidth, defaults->pub->dmPaperWidth);
    EXPECT_EQ(loaded->pub->dmPaperLength, defaults->pub->dmPaperLength);
    EXPECT_EQ(std::u16string(loaded->pub->dmFormName), std::u16string(defaults->pub->dmFormName));
    EXPECT_EQ(loaded->pub->dmCopies, 1);
    EXPECT_EQ(loaded->pub->dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(loaded->pub->dmPrintQuality, 600);
    EXPECT_EQ(loaded->pub->dmMediaType, DWORD(DMMEDIA_STANDARD));
    EXPECT_EQ(loaded->pub->dmDuplex, DMDUP_SIMPLEX);
    EXPECT_EQ(loaded->pub->dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(loaded->pub->dmDriverExtra, PRIVATE_DEVMODE_SIZE);
}

TEST_F(SettingsStoreTest, FailedSaveKeepsTheStoredFavourites) {
    UiParamStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    auto context = DefaultContext();
    ASSERT_EQ(store.Save(u"Kept", context.get(), 0), 1);
    std::string before = FileBytes();
    w32::FileFaults faults;
    faults.namePattern = u"cfg*.tmp";
    faults.failNthWrite = 1;
    faults.writeError = ERROR_DISK_FULL;
    w32::SetFileFaults(faults);
    EXPECT_EQ(store.Save(u"New", context.get(), 0), 0);
    w32::ClearFileFaults();
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(Names(store), std::vector<std::u16string>{u"Kept"});
}

TEST_F(SettingsStoreTest, FileWithoutVersionIsReplacedAtEnsureFile) {
    HANDLE file = CreateFileW(path_, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char bytes[] = "<object:cfgobj,type:null,len:0,childobjs:0>\n<endobj>\n";
    DWORD written = 0;
    WriteFile(file, bytes, sizeof(bytes) - 1, &written, nullptr);
    CloseHandle(file);
    UiParamStore store;
    EXPECT_EQ(store.EnsureFile(), 1);
    FilePtr loaded(CfgFile_Load(path_));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(CfgObject_FindChild(loaded->root.get(), u"version", TRUE));
    EXPECT_TRUE(CfgObject_FindChild(loaded->root.get(), u"cuspapersetting", FALSE));
    EXPECT_FALSE(CfgObject_FindChild(loaded->root.get(), u"watermarksetting", FALSE));
}

TEST_F(SettingsStoreTest, DamagedFileIsKeptAsideAndReplacedAtEnsureFile) {
    HANDLE file = CreateFileW(path_, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char bytes[] = "<object:cfgobj,type:null,len:0,childobjs:1>\n<object:a,type:binary,len:-4";
    DWORD written = 0;
    WriteFile(file, bytes, sizeof(bytes) - 1, &written, nullptr);
    CloseHandle(file);
    UiParamStore store;
    EXPECT_EQ(store.GetNameCount(), 0);
    EXPECT_EQ(store.EnsureFile(), 1);
    std::u16string aside = std::u16string(path_) + u".bad";
    EXPECT_NE(GetFileAttributesW(aside.c_str()), INVALID_FILE_ATTRIBUTES);
    auto context = DefaultContext();
    EXPECT_EQ(store.Save(u"A", context.get(), 0), 1);
}

TEST_F(SettingsStoreTest, EmptyWatermarkListIsSeededWithTheThreeDefaults) {
    WatermarkStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    INT count = 0;
    auto list = LoadWatermarkList(&count);
    ASSERT_EQ(count, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::memcmp(&list[i], &g_SeededWatermarks[i], sizeof(WatermarkRecord)), 0) << i;
    EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"[No Watermark]", u"Confidential", u"Watermark"}));
    EXPECT_EQ(GetWatermarkCount(), 3);
    EXPECT_EQ(NextWatermarkIndex(), 3);
}

TEST_F(SettingsStoreTest, ReplaceWatermarkTakesThePlaceOfItsIndex) {
    WatermarkStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    INT count = 0;
    LoadWatermarkList(&count);
    WatermarkRecord mark = g_SeededWatermarks[SEEDED_WATERMARK_NEW_TEXT];
    mark.index = 1;
    lstrcpynW(mark.name, u"Secret", ARRAYSIZE(mark.name));
    EXPECT_EQ(ReplaceWatermark(&mark), 1);
    EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"[No Watermark]", u"Watermark", u"Secret"}));
    mark.index = 9;
    EXPECT_EQ(ReplaceWatermark(&mark), 0);  // no record has index 9
    EXPECT_EQ(SaveWatermark(&mark), TRUE);
    EXPECT_EQ(NextWatermarkIndex(), 10);
    EXPECT_EQ(DeleteWatermark(u"Secret"), 1);
    EXPECT_EQ(DeleteWatermark(u"Secret"), 1);
    EXPECT_EQ(GetWatermarkCount(), 2);
}

// A file may hold more watermarks than the pages would save: the list takes
// them all.
TEST_F(SettingsStoreTest, WatermarkListIsSizedByTheCount) {
    WatermarkStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    for (int i = 0; i < 40; ++i) {
        WatermarkRecord mark = g_SeededWatermarks[SEEDED_WATERMARK_CONFIDENTIAL];
        mark.index = INT16(i % 30);
        std::u16string name = u"Mark " + std::u16string(1, char16_t(u'A' + i % 26)) + char16_t(u'0' + i / 26);
        lstrcpynW(mark.name, name.c_str(), ARRAYSIZE(mark.name));
        ASSERT_EQ(store.Save(mark.name, &mark, sizeof(mark)), 1);
    }
    INT count = 0;
    auto list = LoadWatermarkList(&count);
    ASSERT_EQ(count, 40);
    EXPECT_EQ(std::u16string(list[39].name), u"Mark N1");
    EXPECT_EQ(NextWatermarkIndex(), 30);
}

TEST_F(SettingsStoreTest, WatermarkFromTheFileIsRepaired) {
    WatermarkStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    WatermarkRecord mark = g_SeededWatermarks[SEEDED_WATERMARK_CONFIDENTIAL];
    mark.fontSize = 9999;
    for (WCHAR& c : mark.name) c = u'N';  // no terminator
    PutRaw(u"watermarksetting", u"Odd", &mark, sizeof(mark));
    WatermarkRecord out{};
    EXPECT_EQ(store.Load(u"Odd", &out, sizeof(out) - 1), 0);  // another length
    ASSERT_EQ(store.Load(u"Odd", &out, sizeof(out)), 1);
    EXPECT_EQ(out.fontSize, 72);
    EXPECT_EQ(out.name[ARRAYSIZE(out.name) - 1], 0);
    INT count = 0;
    auto list = LoadWatermarkList(&count);
    ASSERT_EQ(count, 1);  // not empty, so not seeded
    EXPECT_EQ(list[0].fontSize, 72);
}

CustomPaperRecord Paper(const char16_t* name, INT32 code, INT16 width, INT16 height) {
    CustomPaperRecord paper{};
    lstrcpynW(paper.name, name, ARRAYSIZE(paper.name));
    paper.paperCode = code;
    paper.width = width;
    paper.height = height;
    paper.unit = 1;
    return paper;
}

TEST_F(SettingsStoreTest, CustomPaperFoundByItsCode) {
    CustomSizeStore store;
    ASSERT_EQ(store.EnsureFile(), 1);
    CustomPaperRecord first = Paper(u"Card", 288, 2000, 3000);
    CustomPaperRecord second = Paper(u"Poster", 289, 5000, 8000);
    ASSERT_EQ(store.Save(u"Card", &first, sizeof(first)), 1);
    ASSERT_EQ(store.Save(u"Poster", &second, sizeof(second)), 1);
    EXPECT_EQ(store.Save(u"Short", &first, sizeof(first) - 1), 0);

    CustomPaperRecord out{};
    ASSERT_EQ(FindCustomPaperById(289, &out), 1);
    EXPECT_EQ(std::u16string(out.name), u"Poster");
    EXPECT_EQ(FindCustomPaperById(288 + 0x10000, &out), 1);  // the id counts as 16 bits
    EXPECT_EQ(std::u16string(out.name), u"Card");
    EXPECT_EQ(FindCustomPaperById(290, &out), 0);

    // A size out of range in the file comes back repaired.
    CustomPaperRecord odd = Paper(u"Odd", 290, 100, 30000);
    PutRaw(u"cuspapersetting", u"Odd", &odd, sizeof(odd));
    ASSERT_EQ(FindCustomPaperById(290, &out), 1);
    EXPECT_EQ(out.width, 4960);
    EXPECT_EQ(out.height, 7015);
}

class CountedStore : public UiParamStore {
public:
    explicit CountedStore(int* destroyed) : destroyed_(destroyed) {}
    ~CountedStore() override { ++*destroyed_; }

private:
    int* destroyed_;
};

TEST(StoreRefTest, LastReleaseDestroysTheStore) {
    int destroyed = 0;
    auto* store = new CountedStore(&destroyed);
    StoreRef first(store);
    StoreRef second(store);
    EXPECT_EQ(StoreRef::CountOf(store), 2);
    first.Release();
    first.Release();  // an empty handle does nothing
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(second->GetMaxNames(), 16);
    {
        StoreRef copy = second;
        EXPECT_EQ(StoreRef::CountOf(store), 2);
    }
    EXPECT_EQ(destroyed, 0);
    second.Release();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(StoreRef::CountOf(store), 0);
    StoreRef none(nullptr);
    none.Release();
}

TEST(StoreRefTest, AssignmentMovesTheCount) {
    int destroyedA = 0, destroyedB = 0;
    StoreRef a(new CountedStore(&destroyedA));
    StoreRef b(new CountedStore(&destroyedB));
    a = b;  // a's store loses its only handle
    EXPECT_EQ(destroyedA, 1);
    EXPECT_EQ(StoreRef::CountOf(b.get()), 2);
    a = a;
    EXPECT_EQ(StoreRef::CountOf(b.get()), 2);
    a.Release();
    b.Release();
    EXPECT_EQ(destroyedB, 1);
}

}  // namespace
