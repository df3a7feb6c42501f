// The binding of the outside image-processing library, here its stand-in
// (modules/zodaridoz.cpp), from the rendering DLL's own folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "machine/debuglog.h"
#include "pcl6/gdi/ips.h"
#include "pcl6/gdi/module.h"
#include "support/tamrend_fixture.h"

namespace tam::test {
namespace {

class ImageLibrary : public TamrendMachineTest {
protected:
    // The driver package, and this code as the module in its folder.
    void Install(bool imageLibrary) {
        TamrendInstall options;
        options.imageLibrary = imageLibrary;
        ASSERT_EQ(InstallKorvanLaser(machine(), nullptr, options), DWORD(ERROR_SUCCESS));
        module_ = LoadLibraryW(InDriverFolder(kTamrendFile).c_str());
        ASSERT_NE(module_, nullptr);
        Tamrend_SetModule(module_);
    }

    void TearDown() override {
        Tamrend_SetModule(nullptr);
        TamrendMachineTest::TearDown();
    }

    HMODULE module_ = nullptr;
};

TEST_F(ImageLibrary, MissingLibraryBindsNothing) {
    Install(false);
    EXPECT_FALSE(Ips_Load());
    const IpsBinding& ips = Ips_Binding();
    EXPECT_EQ(ips.Library, nullptr);
    EXPECT_EQ(ips.ColorAdjustmentN, nullptr);
    EXPECT_EQ(ips.GrayAdjustmentN, nullptr);
    EXPECT_EQ(ips.GrayAdjustmentTRC, nullptr);
    EXPECT_EQ(ips.StartRGBProfile, nullptr);
    EXPECT_EQ(ips.ApplyRGBProfile, nullptr);
    EXPECT_EQ(ips.EndRGBProfile, nullptr);
}

TEST_F(ImageLibrary, BindsTheSixEntryPointsOnce) {
    Install(true);
    ASSERT_TRUE(Ips_Load());
    const IpsBinding& ips = Ips_Binding();
    EXPECT_EQ(ips.Library, GetModuleHandleW(InDriverFolder(kIpsFile).c_str()));
    ASSERT_NE(ips.ColorAdjustmentN, nullptr);
    ASSERT_NE(ips.GrayAdjustmentN, nullptr);
    ASSERT_NE(ips.GrayAdjustmentTRC, nullptr);
    ASSERT_NE(ips.StartRGBProfile, nullptr);
    ASSERT_NE(ips.ApplyRGBProfile, nullptr);
    ASSERT_NE(ips.EndRGBProfile, nullptr);
    const HMODULE library = ips.Library;
    // Loaded once: a second binding keeps the library it has.
    ASSERT_TRUE(Ips_Load());
    EXPECT_EQ(Ips_Binding().Library, library);
    // One reference was taken: freeing it unloads the library. The binding
    // keeps the library for the life of the process, so this runs in a
    // child process and later tests still find it bound.
    const std::u16string file = InDriverFolder(kIpsFile);
    EXPECT_EXIT(
        {
            FreeLibrary(library);
            std::exit(GetModuleHandleW(file.c_str()) == nullptr ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

// The stand-in leaves colours as they are unless a test asks for levels;
// the driver calls it in place with one colour and three levels.
TEST_F(ImageLibrary, StandInAdjustsOnlyWhenAsked) {
    Install(true);
    ASSERT_TRUE(Ips_Load());
    const IpsBinding& ips = Ips_Binding();
    w32::DebugLogClear();

    BYTE rgb[3] = {10, 128, 250};
    ASSERT_TRUE(ips.ColorAdjustmentN(rgb, rgb, 1, 20, -20, 10));
    EXPECT_EQ((std::vector<int>{rgb[0], rgb[1], rgb[2]}), (std::vector<int>{10, 128, 250}));
    BYTE grey = 100;
    ASSERT_TRUE(ips.GrayAdjustmentTRC(&grey, 1, 0, 5, 5, 5));
    EXPECT_EQ(grey, 100);

    const std::u16string levels = u"levels";
    machine().SetEnvironment(u"TAM_ZODARIDOZ", &levels);
    ASSERT_TRUE(ips.ColorAdjustmentN(rgb, rgb, 1, 20, -200, 10));
    EXPECT_EQ((std::vector<int>{rgb[0], rgb[1], rgb[2]}), (std::vector<int>{30, 0, 255}));
    ASSERT_TRUE(ips.GrayAdjustmentTRC(&grey, 1, 0, 5, 5, -20));
    EXPECT_EQ(grey, 90);
    ASSERT_TRUE(ips.GrayAdjustmentN(&grey, 1, 100, 100, 0));
    EXPECT_EQ(grey, 255);
    EXPECT_FALSE(ips.ColorAdjustmentN(nullptr, rgb, 1, 0, 0, 0));

    LPVOID profile = ips.StartRGBProfile("sRGB");
    ASSERT_NE(profile, nullptr);
    BYTE out[3] = {};
    EXPECT_TRUE(ips.ApplyRGBProfile(profile, rgb, out, 1));
    EXPECT_EQ(out[0], rgb[0]);
    EXPECT_TRUE(ips.EndRGBProfile(profile));

    const std::string log = w32::DebugLogText();
    EXPECT_NE(log.find("zodaridoz ColorAdjustmentN count=1 levels=20,-20,10\n"), std::string::npos) << log;
    EXPECT_NE(log.find("zodaridoz GrayAdjustmentTRC count=1 curve=0 levels=5,5,-20\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace tam::test
