// The driver's trace routine.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "machine/debuglog.h"
#include "pcl6/intrface/util.h"

namespace tam::test {
namespace {

class DebugText : public testing::Test {
protected:
    void SetUp() override { w32::DebugLogClear(); }
};

TEST_F(DebugText, FormatsAndWrites) {
    EXPECT_TRUE(DebugMessage("Registry_GetHL fail, level:%d, error code is %d\n", 2, 1801));
    EXPECT_EQ(w32::DebugLogText(), "Registry_GetHL fail, level:2, error code is 1801\n");
}

TEST_F(DebugText, NoFormatWritesNothing) {
    EXPECT_FALSE(DebugMessage(nullptr));
    EXPECT_EQ(w32::DebugLogText(), "");
}

// The buffer starts at 1024 characters and doubles while the text does not
// fit: 5000 characters fit after three doublings (8192).
class LongDebugText : public DebugText, public testing::WithParamInterface<size_t> {};

TEST_P(LongDebugText, WrittenWhole) {
    std::string text(GetParam(), 'x');
    text.back() = '!';
    EXPECT_TRUE(DebugMessage("%s", text.c_str()));
    EXPECT_EQ(w32::DebugLogText(), text);
}

INSTANTIATE_TEST_SUITE_P(All, LongDebugText, testing::Values(size_t(1), size_t(1024), size_t(1025), size_t(5000),
                                                             size_t(8192), size_t(1024) << 9));

// After ten tries (1024 << 9 characters) the text is written as far as it went.
TEST_F(DebugText, TooLongIsCutAfterTenTries) {
    const size_t limit = size_t(1024) << 9;
    std::string text(limit + 100, 'y');
    EXPECT_FALSE(DebugMessage("%s", text.c_str()));
    EXPECT_EQ(w32::DebugLogText(), text.substr(0, limit));
}

}  // namespace
}  // namespace tam::test
