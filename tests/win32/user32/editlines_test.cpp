// Lines of an edit control: the line queries, wrapping, and the positions
// of characters.
#include "win32/user32/edit_fixture.h"

namespace tam::test {
namespace {

// "one", "two three", "" and "end" as four paragraphs of a control wide
// enough not to wrap them.
class EditLines : public EditTest {
protected:
    static constexpr const char16_t* kText = u"one\r\ntwo three\r\n\r\nend";
    void SetUp() override {
        EditTest::SetUp();
        edit = MakeEdit(ES_MULTILINE | ES_AUTOVSCROLL, kText, RECT{10, 10, 310, 210});
    }
    HWND edit = nullptr;
};

struct LineCase {
    int line;
    int index;   // EM_LINEINDEX
    int length;  // EM_LINELENGTH of a character on it
};
const LineCase kLines[] = {{0, 0, 3}, {1, 5, 9}, {2, 16, 0}, {3, 18, 3}};

TEST_F(EditLines, LineQueries) {
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 4);
    for (const auto& c : kLines) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, c.line, 0), c.index);
        EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, c.index, 0), c.length);
        EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, c.index, 0), c.line);
        EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, c.index + c.length, 0), c.line);
        WCHAR buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        buffer[0] = 16;
        ASSERT_EQ(SendMessageW(edit, EM_GETLINE, c.line, reinterpret_cast<LPARAM>(buffer)), c.length);
        EXPECT_EQ(std::u16string(kText + c.index, size_t(c.length)), std::u16string(buffer, size_t(c.length)));
    }
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 4, 0), -1);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, 999, 0), 3);
    WCHAR buffer[4] = {4};
    EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 4, reinterpret_cast<LPARAM>(buffer)), 0);
}

TEST_F(EditLines, GetLineCopiesNoMoreThanTheBufferHolds) {
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    buffer[0] = 4;
    EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_EQ(std::u16string(buffer, 5), u"two #");
}

TEST_F(EditLines, MinusOneMeansTheCaretsLine) {
    SendMessageW(edit, EM_SETSEL, 7, 7);
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, WPARAM(-1), 0), 5);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, WPARAM(-1), 0), 1);
    // EM_LINELENGTH -1: the unselected characters of the lines the
    // selection touches ("o" before it on "one", "o three" after it).
    SendMessageW(edit, EM_SETSEL, 1, 7);
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, WPARAM(-1), 0), 1 + 7);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, WPARAM(-1), 0), 0);
}

TEST_F(EditLines, PositionsAndCharactersAgree) {
    int length = GetWindowTextLengthW(edit);
    int lineHeight = 0;
    for (int index = 0; index <= length; ++index) {
        SCOPED_TRACE(index);
        if (index > 0 && kText[index - 1] == u'\r') continue;  // inside a line break
        LRESULT pos = SendMessageW(edit, EM_POSFROMCHAR, index, 0);
        ASSERT_NE(pos, -1);
        POINT point{SHORT(LOWORD(pos)), SHORT(HIWORD(pos))};
        int line = int(SendMessageW(edit, EM_LINEFROMCHAR, index, 0));
        if (line == 1 && lineHeight == 0) lineHeight = point.y;
        if (lineHeight) {
            EXPECT_EQ(point.y, line * lineHeight);
        }
        LRESULT back = SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(point.x, point.y + 1));
        EXPECT_EQ(LOWORD(back), index);
        EXPECT_EQ(HIWORD(back), line);
    }
    EXPECT_GT(lineHeight, 8);
    EXPECT_EQ(SendMessageW(edit, EM_POSFROMCHAR, length + 1, 0), -1);
    // Beyond the last line and right of it: the end of the text.
    EXPECT_EQ(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(290, 190)), MAKELRESULT(length, 3));
}

TEST_F(EditTest, ASingleLineControlHasOneLine) {
    HWND edit = MakeEdit(0, u"abc def");
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, 5, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, 3, 0), 7);
    EXPECT_EQ(HIWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(5, 40))), 0);
    HWND empty = MakeEdit(ES_MULTILINE, u"", RECT{10, 50, 210, 150}, 101);
    EXPECT_EQ(SendMessageW(empty, EM_GETLINECOUNT, 0, 0), 1);
}

// A multi-line control without ES_AUTOHSCROLL wraps at its width: every
// line fits, a line breaks after a space, and the lines together are the
// text.
TEST_F(EditTest, WrapsAtWordsToTheWidth) {
    const std::u16string text = u"The quick brown fox jumps over the lazy dog and keeps running far away";
    HWND edit = MakeEdit(ES_MULTILINE, text.c_str(), RECT{10, 10, 110, 210});
    RECT format{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    int lines = int(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    ASSERT_GT(lines, 2);
    int expectedStart = 0;
    for (int line = 0; line < lines; ++line) {
        SCOPED_TRACE(line);
        int start = int(SendMessageW(edit, EM_LINEINDEX, line, 0));
        int length = int(SendMessageW(edit, EM_LINELENGTH, start, 0));
        EXPECT_EQ(start, expectedStart);
        if (line > 0) {
            EXPECT_EQ(text[size_t(start) - 1], u' ');
        }
        // The last visible character ends inside the formatting rectangle.
        int last = start + length;
        while (last > start && text[size_t(last) - 1] == u' ') --last;
        LRESULT endPos = SendMessageW(edit, EM_POSFROMCHAR, last - 1, 0);
        EXPECT_LT(SHORT(LOWORD(endPos)), format.right);
        expectedStart = start + length;
    }
    EXPECT_EQ(expectedStart, int(text.size()));
    // The same text with ES_AUTOHSCROLL stays on one line.
    HWND wide = MakeEdit(ES_MULTILINE | ES_AUTOHSCROLL, text.c_str(), RECT{120, 10, 220, 210}, 101);
    EXPECT_EQ(SendMessageW(wide, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditTest, AWordLongerThanTheWidthIsBrokenInside) {
    HWND edit = MakeEdit(ES_MULTILINE, u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", RECT{10, 10, 60, 210});
    EXPECT_GT(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 2);
}

TEST_F(EditTest, ScrollingKeepsTheCaretLineVisible) {
    HWND edit = MakeEdit(ES_MULTILINE | ES_AUTOVSCROLL, u"", RECT{10, 10, 210, 60});
    std::u16string text;
    for (int i = 0; i < 20; ++i) text += u"line\r\n";
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    int first = int(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(first, 10);
    LRESULT caret = SendMessageW(edit, EM_POSFROMCHAR, text.size(), 0);
    RECT client{};
    GetClientRect(edit, &client);
    EXPECT_GE(SHORT(HIWORD(caret)), 0);
    EXPECT_LT(SHORT(HIWORD(caret)), client.bottom);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_LINESCROLL, 0, 3), TRUE);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
    // Line 3 (from character 18) is now at the top, line 0 three lines above.
    auto y = [&](int index) { return SHORT(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, index, 0))); };
    int lineHeight = y(24) - y(18);
    EXPECT_GT(lineHeight, 8);
    EXPECT_EQ(y(18), 0);
    EXPECT_EQ(y(0), -3 * lineHeight);
}

}  // namespace
}  // namespace tam::test
