// The settings file: byte format, round trips, tree operations, damaged
// files refused or read safely, saves that never lose the previous file, and
// a seeded mutation run over the format.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "kernel32/filefaults.h"
#include "support/machine_fixture.h"
#include "ui/ui/cfgfile.h"

using namespace std::string_literals;

namespace {

using tam::test::MachineTest;

constexpr char16_t kFolder[] = u"C:\\cfg";
constexpr char16_t kPath[] = u"C:\\cfg\\Korvansettings.dat";

const std::string kDefaultFile =
    "<object:cfgobj,type:null,len:0,childobjs:1>\n"
    "<object:version,type:string,len:6,childobjs:0>1.001\0<endobj>\n"
    "<endobj>\n"s;

struct CfgFileFree {
    void operator()(CfgFile* file) const { CfgFile_Free(file); }
};
using FilePtr = std::unique_ptr<CfgFile, CfgFileFree>;

class CfgFileTest : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        ASSERT_TRUE(CreateDirectoryW(kFolder, nullptr));
    }
    void TearDown() override {
        w32::ClearFileFaults();
        MachineTest::TearDown();
    }

    static void WriteBytes(const std::u16string& path, const std::string& bytes) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
        ASSERT_EQ(written, bytes.size());
        CloseHandle(file);
    }

    static std::string ReadBytes(const std::u16string& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        std::string bytes;
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got) bytes.append(chunk, got);
        CloseHandle(file);
        return bytes;
    }

    // The names of the files in the folder other than the settings file.
    static std::vector<std::u16string> StrayFiles() {
        std::vector<std::u16string> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(u"C:\\cfg\\*", &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            std::u16string name(data.cFileName);
            if (name != u"." && name != u".." && name != u"Korvansettings.dat") names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

    static FilePtr Load(const std::u16string& path = kPath) { return FilePtr(CfgFile_Load(path.c_str())); }
};

// Two trees are equal when names, types, lengths, data and child order are.
void ExpectSameTree(const CfgObject& a, const CfgObject& b, const std::string& where = "") {
    std::string here = where + "/" + a.name;
    EXPECT_STREQ(a.name, b.name) << here;
    EXPECT_STREQ(a.type, b.type) << here;
    EXPECT_EQ(a.len, b.len) << here;
    EXPECT_EQ(a.data, b.data) << here;
    EXPECT_EQ(a.childobjs, b.childobjs) << here;
    ASSERT_EQ(a.children.size(), b.children.size()) << here;
    for (size_t i = 0; i < a.children.size(); ++i) ExpectSameTree(*a.children[i], *b.children[i], here);
}

// What every tree the reader hands out holds: counts that match the
// children, parents that point back, data of len + 32 bytes zero beyond len.
void ExpectSoundTree(const CfgObject& object, int depth = 1) {
    ASSERT_LE(depth, CFG_MAX_DEPTH);
    EXPECT_EQ(object.childobjs, INT32(object.children.size()));
    EXPECT_GE(object.len, 0);
    if (object.len == 0) {
        EXPECT_TRUE(object.data.empty());
    } else {
        ASSERT_EQ(object.data.size(), size_t(object.len) + 32);
        for (size_t i = size_t(object.len); i < object.data.size(); ++i) ASSERT_EQ(object.data[i], 0);
    }
    for (const auto& child : object.children) {
        EXPECT_EQ(child->parent, &object);
        ExpectSoundTree(*child, depth + 1);
    }
}

// A file like the stores write: containers, a binary record holding "<", ">"
// and zero bytes, a name holding ">", a name outside ASCII.
FilePtr RichTree() {
    FilePtr file(new CfgFile);
    lstrcpynW(file->path, kPath, MAX_PATH);
    file->root = std::make_unique<CfgObject>();
    strcpy(file->root->name, "cfgobj");
    strcpy(file->root->type, "null");
    CfgObject_AddChild(file->root.get(), u"version", "string", "1.001", 6);
    CfgObject* param = CfgObject_AddChild(file->root.get(), u"UIParam", "null", nullptr, 0);
    CfgObject* saved = CfgObject_AddChild(param, u"savesetting", "null", nullptr, 0);
    CfgObject_AddChild(param, u"cursetting", "null", nullptr, 0);
    std::string record = "<object:x,type:null,len:0,childobjs:0>\n<endobj>\n";
    record += std::string("\0\0>\xff<", 5);
    CfgObject_AddChild(saved, u"Draft > 2-up", "binary", record.data(), INT32(record.size()));
    CfgObject_AddChild(saved, u"Entwürfe ½", "binary", "\0", 1);
    CfgObject_AddChild(saved, u"Empty", "binary", nullptr, 0);
    // Enough bytes that data and headers straddle the reader's 1024-byte
    // chunks.
    std::string large;
    for (int i = 0; i < 1500; ++i) large += "<>\n,:0"[i % 7];
    CfgObject_AddChild(saved, u"Large", "binary", large.data(), INT32(large.size()));
    CfgObject* marks = CfgObject_AddChild(param, u"watermarksetting", "null", nullptr, 0);
    for (int i = 0; i < 12; ++i)
        CfgObject_AddChild(marks, (u"Mark " + std::u16string(1, char16_t(u'A' + i))).c_str(), "binary", "abc", 3);
    return file;
}

TEST_F(CfgFileTest, MissingFileIsCreatedWithTheDefaultContent) {
    FilePtr file = Load();
    ASSERT_TRUE(file);
    EXPECT_EQ(ReadBytes(kPath), kDefaultFile);
    EXPECT_STREQ(file->root->name, "cfgobj");
    ASSERT_EQ(file->root->childobjs, 1);
    const CfgObject& version = *file->root->children[0];
    EXPECT_STREQ(version.type, "string");
    EXPECT_EQ(version.len, 6);
    EXPECT_STREQ(reinterpret_cast<const char*>(version.data.data()), "1.001");
    EXPECT_EQ(std::u16string(file->path), kPath);
    EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(CfgFileTest, EmptyPathOrMissingFolderFails) {
    EXPECT_FALSE(Load(u""));
    EXPECT_FALSE(Load(u"C:\\nowhere\\settings.dat"));
    EXPECT_FALSE(CfgFile_CreateDefault(u"C:\\nowhere\\settings.dat"));
}

TEST_F(CfgFileTest, WrittenTreeReadsBackEqual) {
    FilePtr written = RichTree();
    ASSERT_TRUE(CfgFile_Save(written.get()));
    FilePtr read = Load();
    ASSERT_TRUE(read);
    ExpectSameTree(*written->root, *read->root);
    ExpectSoundTree(*read->root);
    // The bytes of a small object: header, line feed for len 0, end marker.
    std::string bytes = ReadBytes(kPath);
    EXPECT_NE(bytes.find("<object:Empty,type:binary,len:0,childobjs:0>\n<endobj>\n"), std::string::npos);
    EXPECT_NE(bytes.find("<object:Entw\xc3\xbcrfe \xc2\xbd,type:binary,len:1,childobjs:0>"s + '\0' + "<endobj>\n"),
              std::string::npos);
}

TEST_F(CfgFileTest, NameHoldingCommaTypeDoesNotReadBack) {
    FilePtr file = RichTree();
    CfgObject_AddChild(file->root.get(), u"a,typeb", "binary", "x", 1);
    ASSERT_TRUE(CfgFile_Save(file.get()));
    FilePtr read = Load();
    ASSERT_TRUE(read);
    EXPECT_STREQ(read->root->children.back()->name, "a");
}

TEST_F(CfgFileTest, TreeOperations) {
    FilePtr file = RichTree();
    CfgObject* root = file->root.get();
    CfgObject* saved = CfgObject_FindChild(root, u"savesetting", FALSE);
    ASSERT_TRUE(saved);
    EXPECT_FALSE(CfgObject_FindChild(root, u"savesetting", TRUE));  // not a direct child
    EXPECT_EQ(CfgObject_FindChild(root, u"cfgobj", FALSE), root);   // the walk starts with the object
    EXPECT_FALSE(CfgObject_FindChild(root, u"SAVESETTING", FALSE)); // case counts

    WCHAR names[5][CFG_NAME_CHARS];
    ASSERT_EQ(CfgObject_ListChildNames(saved, names, 5), 4);
    EXPECT_EQ(std::u16string(names[1]), u"Entwürfe ½");
    EXPECT_EQ(CfgObject_ListChildNames(saved, names, 2), 2);

    EXPECT_TRUE(CfgObject_RemoveChild(root, u"Entwürfe ½", FALSE));  // found inside a child
    EXPECT_EQ(saved->childobjs, 3);
    ASSERT_EQ(CfgObject_ListChildNames(saved, names, 5), 3);
    EXPECT_EQ(std::u16string(names[0]), u"Draft > 2-up");
    EXPECT_EQ(std::u16string(names[1]), u"Empty");
    EXPECT_EQ(std::u16string(names[2]), u"Large");
    EXPECT_FALSE(CfgObject_RemoveChild(root, u"Empty", TRUE));
    EXPECT_FALSE(CfgObject_RemoveChild(saved, u"Missing", TRUE));

    // A name over 127 bytes in UTF-8 is refused (43 three-byte characters).
    EXPECT_FALSE(CfgObject_AddChild(saved, std::u16string(43, u'€').c_str(), "binary", "x", 1));
    EXPECT_TRUE(CfgObject_AddChild(saved, std::u16string(42, u'€').c_str(), "binary", "x", 1));
    EXPECT_FALSE(CfgObject_AddChild(saved, u"neg", "binary", "x", -1));
}

std::string Root(const std::string& inner, int childobjs = 1) {
    return "<object:cfgobj,type:null,len:0,childobjs:" + std::to_string(childobjs) + ">\n" + inner + "<endobj>\n";
}
std::string Leaf(const std::string& name, const std::string& len, const std::string& data) {
    return "<object:" + name + ",type:binary,len:" + len + ",childobjs:0>" + data + "<endobj>\n";
}

struct DamagedCase {
    const char* what;
    std::string bytes;
};

std::vector<DamagedCase> DamagedFiles() {
    std::string deep;
    for (int i = 0; i < CFG_MAX_DEPTH + 1; ++i) deep += "<object:n,type:null,len:0,childobjs:1>\n";
    for (int i = 0; i < CFG_MAX_DEPTH + 1; ++i) deep += "<endobj>\n";
    return {
        {"empty file", ""},
        {"no root", "just text\n"},
        {"header over 255 bytes", Root(Leaf(std::string(250, 'n'), "1", "x"))},
        {"endless header", Root("<object:x,type:binary" + std::string(300, '>'))},
        {"header without type", Root("<object:x,len:0,childobjs:0>\n<endobj>\n")},
        {"header not an object", Root("<objet:x,type:null,len:0,childobjs:0>\n<endobj>\n")},
        {"length past the end", Root(Leaf("a", "4000", "abc"))},
        {"huge length", Root(Leaf("a", "2147483647", "abc"))},
        {"length beyond 32 bits", Root(Leaf("a", "99999999999", "abc"))},
        {"negative length", Root(Leaf("a", "-5", "abc"))},
        {"length not a number", Root(Leaf("a", "3x", "abc"))},
        {"negative child count", "<object:cfgobj,type:null,len:0,childobjs:-1>\n<endobj>\n"},
        {"second root", kDefaultFile + kDefaultFile},
        {"root never closed", "<object:cfgobj,type:null,len:0,childobjs:0>\n"},
        {"nested too deep", deep},
        {"header of 256 bytes", Root("<object:" + std::string(127, 'n') + ",type:" + std::string(96, 't') +
                                     ",len:1,childobjs:0>x<endobj>\n")},
        {"type over 127 bytes", Root("<object:a,type:" + std::string(128, 't') + ",len:0,childobjs:0>\n<endobj>\n")},
    };
}

TEST_F(CfgFileTest, DamagedFilesAreRefusedAndLeftAsTheyAre) {
    for (const DamagedCase& c : DamagedFiles()) {
        SCOPED_TRACE(c.what);
        WriteBytes(kPath, c.bytes);
        SetLastError(0);
        EXPECT_FALSE(Load());
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
        EXPECT_EQ(ReadBytes(kPath), c.bytes);
    }
}

TEST_F(CfgFileTest, MiscountedChildrenAreCountedFromTheFile) {
    // Five announced, two present; none announced, one present.
    std::string bytes = Root(Leaf("a", "1", "x") + Leaf("b", "2", "yz"), 5) ;
    bytes.insert(bytes.find("<object:a"), "<object:UIParam,type:null,len:0,childobjs:0>\n" + Leaf("c", "1", "q") +
                                             "<endobj>\n");
    WriteBytes(kPath, bytes);
    FilePtr file = Load();
    ASSERT_TRUE(file);
    ExpectSoundTree(*file->root);
    ASSERT_EQ(file->root->childobjs, 3);
    EXPECT_STREQ(file->root->children[2]->name, "b");
    EXPECT_EQ(file->root->children[0]->childobjs, 1);
    ASSERT_TRUE(CfgFile_Save(file.get()));
    EXPECT_NE(ReadBytes(kPath).find("<object:cfgobj,type:null,len:0,childobjs:3>\n"), std::string::npos);
}

TEST_F(CfgFileTest, ValueMadeOfCommasSurvives) {
    WriteBytes(kPath, Root("<object:a,type:,,,len:1,childobjs:0>z<endobj>\n"));
    FilePtr file = Load();
    ASSERT_TRUE(file);
    EXPECT_STREQ(file->root->children[0]->type, ",,");
    EXPECT_EQ(file->root->children[0]->len, 1);
}

TEST_F(CfgFileTest, FileTruncatedAtEveryByteIsRefusedOrWhole) {
    FilePtr original = RichTree();
    ASSERT_TRUE(CfgFile_Save(original.get()));
    std::string bytes = ReadBytes(kPath);
    for (size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        WriteBytes(kPath, bytes.substr(0, size));
        FilePtr file = Load();
        if (size == bytes.size() - 1) {  // only the last line feed is missing
            ASSERT_TRUE(file);
            ExpectSameTree(*original->root, *file->root);
        } else {
            EXPECT_FALSE(file);
        }
    }
}

TEST_F(CfgFileTest, FailedWriteKeepsThePreviousFile) {
    ASSERT_TRUE(Load());
    FilePtr file = RichTree();
    w32::FileFaults faults;
    faults.namePattern = u"cfg*.tmp";
    faults.failNthWrite = 1;
    faults.writeError = ERROR_DISK_FULL;
    w32::SetFileFaults(faults);
    SetLastError(0);
    EXPECT_FALSE(CfgFile_Save(file.get()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    EXPECT_EQ(ReadBytes(kPath), kDefaultFile);
    EXPECT_TRUE(StrayFiles().empty());
    w32::ClearFileFaults();
    EXPECT_TRUE(CfgFile_Save(file.get()));
    EXPECT_NE(ReadBytes(kPath), kDefaultFile);
}

TEST_F(CfgFileTest, DeniedTargetKeepsThePreviousFile) {
    ASSERT_TRUE(Load());
    ASSERT_TRUE(SetFileAttributesW(kPath, FILE_ATTRIBUTE_READONLY));
    FilePtr file = RichTree();
    SetLastError(0);
    EXPECT_FALSE(CfgFile_Save(file.get()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadBytes(kPath), kDefaultFile);
    EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(CfgFileTest, HeaderTheReaderWouldRefuseIsNeverWritten) {
    ASSERT_TRUE(Load());
    FilePtr file = RichTree();
    CfgObject* child = CfgObject_AddChild(file->root.get(), std::u16string(127, u'n').c_str(),
                                          std::string(127, 't').c_str(), "x", 1);
    ASSERT_TRUE(child);
    EXPECT_FALSE(CfgFile_Save(file.get()));
    EXPECT_EQ(ReadBytes(kPath), kDefaultFile);
    // Names as long as the stores allow (32 characters, up to 3 bytes each)
    // fit easily.
    CfgObject_RemoveChild(file->root.get(), std::u16string(127, u'n').c_str(), TRUE);
    // 255 bytes is the longest header: name 127, type 95.
    CfgObject_AddChild(file->root.get(), std::u16string(127, u'n').c_str(), std::string(96, 't').c_str(), "x", 1);
    EXPECT_FALSE(CfgFile_Save(file.get()));
    CfgObject_RemoveChild(file->root.get(), std::u16string(127, u'n').c_str(), TRUE);
    CfgObject_AddChild(file->root.get(), std::u16string(127, u'n').c_str(), std::string(95, 't').c_str(), "x", 1);
    ASSERT_TRUE(CfgFile_Save(file.get()));
    FilePtr longest = Load();
    ASSERT_TRUE(longest);
    ExpectSameTree(*file->root, *longest->root);
    CfgObject_RemoveChild(file->root.get(), std::u16string(127, u'n').c_str(), TRUE);
    CfgObject_AddChild(file->root.get(), std::u16string(32, u'€').c_str(), "binary", "x", 1);
    EXPECT_TRUE(CfgFile_Save(file.get()));
}

// Mutations of a valid file, from a fixed seed: every result is refused, or
// read into a sound tree that saves and reads back equal.
TEST_F(CfgFileTest, SeededMutationsAreRefusedOrReadSoundly) {
    FilePtr original = RichTree();
    ASSERT_TRUE(CfgFile_Save(original.get()));
    const std::string base = ReadBytes(kPath);
    const std::u16string copyPath = u"C:\\cfg\\copy.dat";
    const char kFormatBytes[] = "<>:,-0123456789\n";
    std::mt19937 random(19);
    int loaded = 0;
    const int kRuns = 2000;
    for (int run = 0; run < kRuns; ++run) {
        std::string bytes = base;
        int edits = 1 + int(random() % 3);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            size_t at = random() % bytes.size();
            switch (random() % 6) {
                case 0: bytes[at] = char(random()); break;
                case 1: bytes[at] = kFormatBytes[random() % (sizeof(kFormatBytes) - 1)]; break;
                case 2: bytes.insert(at, 1, kFormatBytes[random() % (sizeof(kFormatBytes) - 1)]); break;
                case 3: bytes.erase(at, 1 + random() % 8); break;
                case 4: bytes.insert(at, bytes.substr(random() % bytes.size(), 1 + random() % 60)); break;
                case 5: bytes.resize(at); break;
            }
        }
        WriteBytes(kPath, bytes);
        FilePtr file = Load();
        if (!file) {
            ASSERT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA)) << "run " << run;
            continue;
        }
        ++loaded;
        ASSERT_NO_FATAL_FAILURE(ExpectSoundTree(*file->root)) << "run " << run;
        lstrcpynW(file->path, copyPath.c_str(), MAX_PATH);
        if (!CfgFile_Save(file.get())) continue;  // e.g. a header grown past 255 bytes
        FilePtr again = Load(copyPath);
        ASSERT_TRUE(again) << "run " << run;
        ASSERT_NO_FATAL_FAILURE(ExpectSameTree(*file->root, *again->root)) << "run " << run;
    }
    // Both outcomes occur, so the run exercises the reader's paths.
    EXPECT_GT(loaded, kRuns / 20);
    EXPECT_LT(loaded, kRuns);
}

}  // namespace
