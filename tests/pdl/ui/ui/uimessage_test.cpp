// Messages by string id: each box goes through UiMessageBox with the texts
// of the language DLL, the caption and the style of its kind.
#include <gtest/gtest.h>
#include <windows.h>

#include "ui/res/uires.h"
#include "ui/ui/processlanguage.h"
#include "ui/ui/uimessage.h"
#include "ui/ui/uimessagebox.h"
#include "ui_fixture.h"

namespace {

using namespace tam::test;

enum class Kind { Warning, WarningFromDialog, Error, YesNo };

struct MessageCase {
    const char* name;
    Kind kind;
    UINT textId;
    const char16_t* text;     // as the English language DLL gives it
    const char16_t* caption;  // the English DLL has no captions: their placeholders name the ids
    UINT style;
};

const MessageCase kMessages[] = {
    {"warning", Kind::Warning, IDS_UNTITLED, u"Untitled", u"id:2000 missing!", MB_ICONEXCLAMATION},
    {"warning from a dialog", Kind::WarningFromDialog, IDS_NEW_WATERMARK, u"<New>", u"id:2000 missing!",
     MB_ICONEXCLAMATION},
    {"error", Kind::Error, IDS_DEFAULT_FAVORITE, u"Default Settings", u"id:2070 missing!", MB_ICONHAND},
    {"question", Kind::YesNo, IDS_UNTITLED, u"Untitled", u"id:2000 missing!", MB_YESNO | MB_ICONEXCLAMATION},
    {"missing text", Kind::Error, 4999, u"id:4999 missing!", u"id:2070 missing!", MB_ICONHAND},
};

class UiMessageTest : public UiModuleTest {
protected:
    void SetUp() override {
        UiModuleTest::SetUp();
        ASSERT_NE(LoadProcessLanguageDll(kDriverName), nullptr);
        TakeUiMessageBoxRecords();
    }
    void TearDown() override {
        FreeProcessLanguageDll();
        UiModuleTest::TearDown();
    }

    static int Show(const UiMessage& message, Kind kind) {
        switch (kind) {
            case Kind::Warning: return message.ShowWarning();
            case Kind::WarningFromDialog: return message.ShowWarningFromDialog();
            case Kind::Error: return message.ShowError();
            case Kind::YesNo: return message.AskYesNo();
        }
        return 0;
    }
};

class UiMessageBoxes : public UiMessageTest, public testing::WithParamInterface<MessageCase> {};

TEST_P(UiMessageBoxes, TextCaptionAndStyle) {
    const MessageCase& c = GetParam();
    HWND window = GetActiveWindow();
    SetUiMessageBoxReply(c.kind == Kind::YesNo ? IDYES : IDOK);
    EXPECT_EQ(Show(UiMessage(window, c.textId), c.kind), c.kind == Kind::YesNo ? IDYES : IDOK);
    const auto records = TakeUiMessageBoxRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].window, window);
    EXPECT_EQ(records[0].text, c.text);
    EXPECT_EQ(records[0].caption, c.caption);
    EXPECT_EQ(records[0].style, c.style);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UiMessageBoxes, testing::ValuesIn(kMessages),
                         [](const testing::TestParamInfo<MessageCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (ch == ' ') ch = '_';
                             return name;
                         });

// A right-to-left user interface reads every box from the right.
TEST_F(UiMessageTest, RightToLeftLanguageAddsRightReading) {
    WCHAR name[MAX_PATH];
    SetSuffixKey(u"he");
    ASSERT_TRUE(BuildLanguageDllName(kDriverName, name));
    ASSERT_TRUE(IsRightToLeftLanguage());
    SetUiMessageBoxReply(IDNO);
    EXPECT_EQ(UiMessage(nullptr, IDS_UNTITLED).AskYesNo(), IDNO);
    const auto records = TakeUiMessageBoxRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].style, UINT(MB_YESNO | MB_ICONEXCLAMATION | MB_RIGHT | MB_RTLREADING));
}

}  // namespace
