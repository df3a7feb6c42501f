// DevQueryPrintEx of the loaded module and the formatter of its message.
#include <winddiui.h>

#include <cstring>
#include <vector>

#include "ui/res/uires.h"
#include "ui/ui/devmode.h"
#include "ui/ui/devquery.h"
#include "ui_fixture.h"

namespace tam::test {
namespace {

using DevQueryFunction = BOOL(WINAPI*)(PDEVQUERYPRINT_INFO);

class UiQueries : public UiModuleTest {
protected:
    void SetUp() override {
        UiModuleTest::SetUp();
        query_ = reinterpret_cast<DevQueryFunction>(GetProcAddress(module_, "DevQueryPrintEx"));
        ASSERT_NE(query_, nullptr);
        ASSERT_TRUE(LoadLanguageDll(kDriverName, &english_));
        ASSERT_NE(english_, nullptr);
        refusal_ = String(english_, IDS_QUERY_REFUSED);
        ASSERT_FALSE(refusal_.empty());
    }
    void TearDown() override {
        if (english_) FreeLibrary(english_);
        UiModuleTest::TearDown();
    }

    static UiDevmode Defaults(LPCWSTR device = u"Korvan Laser") {
        UiDevmode devmode{};
        EXPECT_TRUE(SetDevmodeDefaults(&devmode, device, nullptr));
        return devmode;
    }

    DevQueryFunction query_ = nullptr;
    HMODULE english_ = nullptr;
    std::u16string refusal_;
};

// --- DevQueryPrintEx -----------------------------------------------------------------

TEST_F(UiQueries, QueryWithoutInfoOrLevelIsRefused) {
    EXPECT_FALSE(query_(nullptr));
    UiDevmode devmode = Defaults();
    DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO), 0, nullptr, &devmode.pub, nullptr, 0, 0};
    EXPECT_FALSE(query_(&info));
}

TEST_F(UiQueries, JobWithoutDevmodeOrWithOursPrints) {
    WCHAR text[8] = u"keep";
    DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO), 1, nullptr, nullptr, text, 8, 77};
    EXPECT_TRUE(query_(&info));
    UiDevmode devmode = Defaults();
    devmode.pub.dmCopies = 3;
    info.pDevMode = &devmode.pub;
    EXPECT_TRUE(query_(&info));
    // Nothing is written for a job that prints.
    EXPECT_EQ(std::u16string(text), u"keep");
    EXPECT_EQ(info.cchNeeded, 77u);
}

struct RefusalCase {
    const char* what;
    DWORD bufferChars;
    bool withBuffer;
};

// A DEVMODE of 212 bytes (an older public part) is refused: the reason is
// string 207, cut to the caller's buffer, and the length it needs is given.
TEST_F(UiQueries, OlderDevmodeIsRefusedWithTheReason) {
    const RefusalCase cases[] = {
        {"whole", 512, true},
        {"cut", 10, true},
        {"one character", 1, true},
        {"no room", 0, true},
        {"no buffer", 0, false},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<BYTE> bytes(212 + 64, 0);
        UiDevmode defaults = Defaults();
        std::memcpy(bytes.data(), &defaults.pub, 212);
        auto* devmode = reinterpret_cast<DEVMODEW*>(bytes.data());
        devmode->dmSize = 212;
        devmode->dmDriverExtra = 0;
        std::u16string text(size_t(c.bufferChars) + 8, u'#');
        DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO), 1, nullptr, devmode,
                                c.withBuffer ? text.data() : nullptr, c.bufferChars, 0};
        EXPECT_FALSE(query_(&info));
        EXPECT_EQ(info.cchNeeded, refusal_.size() + 1);
        if (!c.withBuffer) continue;
        if (c.bufferChars > 0) {
            const size_t kept = std::min<size_t>(refusal_.size(), c.bufferChars - 1);
            EXPECT_EQ(std::u16string(text.c_str()), refusal_.substr(0, kept));
        }
        // Nothing past the buffer.
        EXPECT_EQ(text.substr(c.bufferChars), std::u16string(8, u'#'));
    }
}

// --- FormatQueryMessage ----------------------------------------------------------------

struct FormatCase {
    const char* what;
    int bufferChars;
    std::u16string expected;
    int needed;
};

TEST_F(UiQueries, FormatterReplacesEachDirective) {
    const std::u16string refused = refusal_;
    auto check = [&](const FormatCase& c, auto&&... args) {
        SCOPED_TRACE(c.what);
        std::u16string buffer(size_t(c.bufferChars) + 4, u'#');
        int needed = -5;
        const int written = FormatQueryMessage(english_, buffer.data(), c.bufferChars, &needed, args...);
        EXPECT_EQ(std::u16string(buffer.c_str()), c.expected);
        EXPECT_EQ(written, int(c.expected.size()));
        EXPECT_EQ(needed, c.needed);
        EXPECT_EQ(buffer.substr(size_t(c.bufferChars)), u"####");
    };
    check({"plain", 64, u"plain text", 11}, u"plain text");
    check({"string", 64, u"[Korvan]", 9}, u"[%s]", u"Korvan");
    check({"character", 64, u"<Z>", 4}, u"<%c>", int(u'Z'));
    check({"signed", 64, u"-42 7", 6}, u"%d %d", -42, 7);
    check({"unsigned", 64, u"4294967295", 11}, u"%u", -1);
    check({"hexadecimal", 64, u"ff FF", 6}, u"%x %X", 255, 255);
    check({"language string", 512, refused, int(refused.size()) + 1}, u"%!", UINT(IDS_QUERY_REFUSED));
    check({"missing string", 64, u"(id:9999 missing!)", 19}, u"(%!)", 9999u);
    check({"other characters", 64, u"100% q%", 8}, u"100%% %q%");
    check({"several", 64, u"Letter 8.5 x 11 in: 3 of 9", 27}, u"%!: %d of %u", UINT(IDS_PAPER_LETTER), 3, 9);
    // Cut at the buffer's end, always terminated; the whole length is still told.
    check({"cut", 5, u"abcd", 9}, u"abcdefgh");
    check({"cut in an argument", 6, u"[Korv", 9}, u"[%s]", u"Korvan");
    check({"one character", 1, u"", 9}, u"abcdefgh");
}

TEST_F(UiQueries, FormatterWithoutBufferOnlyCounts) {
    int needed = 0;
    EXPECT_EQ(FormatQueryMessage(english_, nullptr, 100, &needed, u"%d-%s", 1234, u"ab"), 0);
    EXPECT_EQ(needed, 8);
    WCHAR untouched[2] = {u'x', u'y'};
    EXPECT_EQ(FormatQueryMessage(english_, untouched, 0, &needed, u"abc"), 0);
    EXPECT_EQ(needed, 4);
    EXPECT_EQ(untouched[0], u'x');
    // Without a language DLL "%!" gives the placeholder.
    WCHAR text[32];
    EXPECT_EQ(FormatQueryMessage(nullptr, text, 32, nullptr, u"%!", 207u), 15);
    EXPECT_EQ(std::u16string(text), u"id:207 missing!");
}

}  // namespace
}  // namespace tam::test
