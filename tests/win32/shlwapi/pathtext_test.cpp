#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

namespace {

struct AppendCase {
    const char16_t* path;
    const char16_t* more;
    const char16_t* result;
};

TEST(PathText, AppendJoinsWithOneBackslashAndResolvesDots) {
    const AppendCase cases[] = {
        {u"C:\\Program Files", u"Korvan", u"C:\\Program Files\\Korvan"},
        {u"C:\\Program Files\\", u"Korvan", u"C:\\Program Files\\Korvan"},
        {u"C:\\Program Files", u"\\Korvan", u"C:\\Program Files\\Korvan"},
        {u"C:\\Program Files", u"\\\\Korvan\\x", u"\\\\Korvan\\x"},
        {u"C:\\Windows\\System32", u"..\\Fonts", u"C:\\Windows\\Fonts"},
        {u"C:\\Windows", u".\\INF\\.\\usb.inf", u"C:\\Windows\\INF\\usb.inf"},
        {u"C:\\", u"..\\a", u"C:\\a"},
        {u"C:\\a", u"", u"C:\\a"},
        {u"", u"name.ini", u"name.ini"},
        {u"C:\\a", u"D:\\b", u"D:\\b"},
        {u"folder", u"file.txt", u"folder\\file.txt"},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH];
        lstrcpyW(buffer, c.path);
        EXPECT_TRUE(PathAppendW(buffer, c.more)) << "appending to " << testing::PrintToString(std::u16string(c.path));
        EXPECT_EQ(std::u16string(buffer), c.result);
    }
}

TEST(PathText, AppendThatDoesNotFitLeavesThePathAlone) {
    WCHAR buffer[MAX_PATH];
    std::u16string path = u"C:\\" + std::u16string(200, u'a');
    lstrcpyW(buffer, path.c_str());
    EXPECT_FALSE(PathAppendW(buffer, std::u16string(80, u'b').c_str()));
    EXPECT_EQ(std::u16string(buffer), path);
    EXPECT_FALSE(PathAppendW(buffer, nullptr));
}

TEST(PathText, CombineTakesAbsoluteOrRootedSecondParts) {
    const AppendCase cases[] = {
        {u"C:\\a\\b", u"c.txt", u"C:\\a\\b\\c.txt"},
        {u"C:\\a\\b", u"\\c.txt", u"C:\\c.txt"},
        {u"\\\\srv\\share\\dir", u"\\c.txt", u"\\\\srv\\share\\c.txt"},
        {u"C:\\a\\b", u"E:\\x", u"E:\\x"},
        {u"C:\\a\\b\\", u"..\\..\\c", u"C:\\c"},
        {u"C:\\a", nullptr, u"C:\\a"},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH];
        EXPECT_EQ(PathCombineW(buffer, c.path, c.more), buffer);
        EXPECT_EQ(std::u16string(buffer), c.result);
    }
    WCHAR buffer[MAX_PATH] = u"junk";
    EXPECT_EQ(PathCombineW(buffer, nullptr, nullptr), nullptr);
    EXPECT_EQ(buffer[0], u'\0');
}

struct RemoveLastNameCase {
    const char16_t* path;
    const char16_t* result;
    BOOL removed;
};

TEST(PathText, RemoveFileSpecKeepsTheRoot) {
    const RemoveLastNameCase cases[] = {
        {u"C:\\Windows\\System32\\spool", u"C:\\Windows\\System32", TRUE},
        {u"C:\\Windows\\win.ini", u"C:\\Windows", TRUE},
        {u"C:\\Windows\\", u"C:\\Windows", TRUE},
        {u"C:\\Windows", u"C:\\", TRUE},
        {u"C:\\", u"C:\\", FALSE},
        {u"C:", u"C:", FALSE},
        {u"C:file.txt", u"C:", TRUE},
        {u"\\file.txt", u"\\", TRUE},
        {u"\\", u"\\", FALSE},
        {u"\\\\server\\share", u"\\\\server", TRUE},
        {u"dir\\file.txt", u"dir", TRUE},
        {u"file.txt", u"", TRUE},
        {u"", u"", FALSE},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH];
        lstrcpyW(buffer, c.path);
        EXPECT_EQ(PathRemoveFileSpecW(buffer), c.removed) << testing::PrintToString(std::u16string(c.path));
        EXPECT_EQ(std::u16string(buffer), c.result) << testing::PrintToString(std::u16string(c.path));
    }
    EXPECT_FALSE(PathRemoveFileSpecW(nullptr));
}

struct NamePartsCase {
    const char16_t* path;
    const char16_t* fileName;   // PathFindFileNameW
    const char16_t* extension;  // PathFindExtensionW
};

TEST(PathText, FileNameAndExtension) {
    const NamePartsCase cases[] = {
        {u"C:\\Windows\\System32\\Tamrend.dll", u"Tamrend.dll", u".dll"},
        {u"C:\\dir.d\\file", u"file", u""},
        {u"C:\\dir\\archive.tar.gz", u"archive.tar.gz", u".gz"},
        {u"C:\\dir\\", u"dir\\", u""},
        {u"C:\\", u"C:\\", u""},
        {u"C:name.ini", u"name.ini", u".ini"},
        {u"a/b.txt", u"b.txt", u".txt"},
        {u"file.a b", u"file.a b", u""},
        {u".profile", u".profile", u".profile"},
        {u"", u"", u""},
    };
    for (const auto& c : cases) {
        std::u16string label = c.path;
        EXPECT_EQ(std::u16string(PathFindFileNameW(c.path)), c.fileName) << testing::PrintToString(label);
        LPWSTR extension = PathFindExtensionW(c.path);
        EXPECT_EQ(std::u16string(extension), c.extension) << testing::PrintToString(label);
        // The extension is a pointer into the path: its end when there is none.
        EXPECT_GE(extension, c.path);
        EXPECT_LE(extension, c.path + lstrlenW(c.path));
    }
    EXPECT_EQ(PathFindFileNameW(nullptr), nullptr);
    EXPECT_EQ(PathFindExtensionW(nullptr), nullptr);
}

TEST(PathText, RemoveExtensionAndStripPath) {
    WCHAR buffer[MAX_PATH] = u"C:\\Drivers\\Tamsheetui.dll";
    PathRemoveExtensionW(buffer);
    EXPECT_EQ(std::u16string(buffer), u"C:\\Drivers\\Tamsheetui");
    PathRemoveExtensionW(buffer);
    EXPECT_EQ(std::u16string(buffer), u"C:\\Drivers\\Tamsheetui");
    PathStripPathW(buffer);
    EXPECT_EQ(std::u16string(buffer), u"Tamsheetui");
    lstrcpyW(buffer, u"C:\\Drivers\\x64\\");
    PathStripPathW(buffer);
    EXPECT_EQ(std::u16string(buffer), u"x64\\");
}

TEST(PathText, AddAndRemoveBackslash) {
    WCHAR buffer[MAX_PATH] = u"C:\\Windows";
    LPWSTR end = PathAddBackslashW(buffer);
    EXPECT_EQ(std::u16string(buffer), u"C:\\Windows\\");
    EXPECT_EQ(end, buffer + 11);
    EXPECT_EQ(PathAddBackslashW(buffer), buffer + 11);  // already there
    EXPECT_EQ(std::u16string(buffer), u"C:\\Windows\\");
    LPWSTR last = PathRemoveBackslashW(buffer);
    EXPECT_EQ(std::u16string(buffer), u"C:\\Windows");
    EXPECT_EQ(last, buffer + 10);
    last = PathRemoveBackslashW(buffer);  // nothing to remove: points at the last character
    EXPECT_EQ(last, buffer + 9);
    EXPECT_EQ(std::u16string(buffer), u"C:\\Windows");

    WCHAR root[MAX_PATH] = u"C:\\";
    EXPECT_EQ(PathRemoveBackslashW(root), root + 2);
    EXPECT_EQ(std::u16string(root), u"C:\\");
    WCHAR empty[MAX_PATH] = u"";
    EXPECT_EQ(PathAddBackslashW(empty), empty);
    EXPECT_EQ(std::u16string(empty), u"");

    // No room for one more character and the terminator.
    WCHAR full[MAX_PATH];
    std::u16string longPath(MAX_PATH - 1, u'a');
    lstrcpyW(full, longPath.c_str());
    EXPECT_EQ(PathAddBackslashW(full), nullptr);
    EXPECT_EQ(std::u16string(full), longPath);
}

TEST(PathText, RelativeRootAndUncPaths) {
    struct Case {
        const char16_t* path;
        BOOL relative, root, unc;
    };
    const Case cases[] = {
        {u"C:\\Windows", FALSE, FALSE, FALSE}, {u"C:\\", FALSE, TRUE, FALSE},  {u"C:file", FALSE, FALSE, FALSE},
        {u"\\", FALSE, TRUE, FALSE},           {u"\\dir", FALSE, FALSE, FALSE}, {u"dir\\file", TRUE, FALSE, FALSE},
        {u"..\\x", TRUE, FALSE, FALSE},        {u"", TRUE, FALSE, FALSE},       {u"\\\\srv\\share", FALSE, TRUE, TRUE},
        {u"\\\\srv\\share\\x", FALSE, FALSE, TRUE},
    };
    for (const auto& c : cases) {
        std::u16string label = c.path;
        EXPECT_EQ(PathIsRelativeW(c.path), c.relative) << testing::PrintToString(label);
        EXPECT_EQ(PathIsRootW(c.path), c.root) << testing::PrintToString(label);
        EXPECT_EQ(PathIsUNCW(c.path), c.unc) << testing::PrintToString(label);
    }
    EXPECT_TRUE(PathIsRelativeW(nullptr));
}

TEST(PathText, CanonicalizeResolvesDotsAndKeepsATrailingBackslash) {
    const AppendCase cases[] = {
        {u"C:\\a\\b\\..\\c", nullptr, u"C:\\a\\c"},
        {u"C:\\a\\.\\b\\", nullptr, u"C:\\a\\b\\"},
        {u"C:\\..\\..", nullptr, u"C:\\"},
        {u"a\\..", nullptr, u"\\"},
        {u"", nullptr, u"\\"},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH];
        EXPECT_TRUE(PathCanonicalizeW(buffer, c.path));
        EXPECT_EQ(std::u16string(buffer), c.result);
    }
}

}  // namespace
