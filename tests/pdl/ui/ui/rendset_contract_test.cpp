// The rendering DLL's conversion tests start from a user-interface DEVMODE
// written byte by byte. This checks that those bytes are what the user
// interface itself writes as its defaults, so that the conversion's golden
// images rest on the real input.
#include <gtest/gtest.h>
#include <windows.h>

#include "pdl/pcl6/intrface/settings_image.h"
#include "support/machine_fixture.h"
#include "ui/ui/devmode.h"

namespace tam::test {
namespace {

using RendContract = MachineTest;

TEST_F(RendContract, HandWrittenUiDefaultsAreTheUserInterfacesOwn) {
    machine().MutableSettings().country = 49;
    ByteImage written(sizeof(UiDevmode));
    ASSERT_TRUE(SetDevmodeDefaults(reinterpret_cast<UiDevmode*>(written.data()), u"Korvan KP-2200", nullptr));
    EXPECT_TRUE(SameBytes(written.bytes(), UiDefaultDevmode().bytes()));
}

}  // namespace
}  // namespace tam::test
