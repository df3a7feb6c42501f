// Documents the print tool cannot read: a missing file, a folder, JSON that
// does not parse (with its line and column), and descriptions with unknown
// keys or wrong values. Each is refused with exit code 2, a message naming
// the document and the place, and no job file or machine made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tamprint_fixture.h"

namespace tam::test {
namespace {

using TamprintDocument = TamprintTest;

struct DocumentCase {
    const char* name;
    const char* text;
    const char* message;  // after "tamprint: <path>: "
};

const DocumentCase kBadDocuments[] = {
    {"Empty", " \n", "the document is empty"},
    {"TrailingComma", "{\n  \"pages\": [\n    {},\n  ]\n}\n",
     "parse error at line 4, column 3: syntax error while parsing value - unexpected ']'; expected '[', '{', or a "
     "literal"},
    {"UnclosedObject", "{\"pages\": 2",
     "parse error at line 1, column 12: syntax error while parsing object - unexpected end of input; expected '}'"},
    {"NotAnObject", "[{}, {}]", "a document is a JSON object with \"pages\""},
    {"NoPages", "{\"title\": \"Report\"}", "\"pages\" is missing"},
    {"UnknownKey", "{\"pages\": 1, \"colour\": \"red\"}",
     "unknown key \"colour\" (a document takes \"title\" and \"pages\")"},
    {"TitleNotText", "{\"title\": 12, \"pages\": 1}", "title: expected a string"},
    {"NoPageAtAll", "{\"pages\": []}", "pages: a document has 1 to 10000 pages, not 0"},
    {"ZeroPages", "{\"pages\": 0}", "pages: a document has 1 to 10000 pages, not 0"},
    {"TooManyPages", "{\"pages\": 10001}", "pages: a document has 1 to 10000 pages, not 10001"},
    {"HugePageCount", "{\"pages\": 18446744073709551615}",
     "pages: a document has 1 to 10000 pages, not 18446744073709551615"},
    {"NegativePageCount", "{\"pages\": -2}", "pages: a document has 1 to 10000 pages, not -2"},
    {"KeyGivenTwice", "{\"pages\": 2, \"pages\": 3}", "the key \"pages\" is given twice in one object"},
    {"PageKeyGivenTwice", "{\"pages\": [{\"orientation\": \"portrait\", \"orientation\": \"landscape\"}]}",
     "the key \"orientation\" is given twice in one object"},
    {"PagesAsText", "{\"pages\": \"three\"}", "pages: expected a list of pages or a page count"},
    {"PageNotAnObject", "{\"pages\": [{}, 2]}", "pages[1]: a page is a JSON object ({} for a plain page)"},
    {"UnknownPageKey", "{\"pages\": [{}, {}, {\"draw\": []}]}",
     "pages[2]: unknown key \"draw\" (a page takes \"orientation\")"},
    {"BadOrientation", "{\"pages\": [{\"orientation\": \"upside-down\"}]}",
     "pages[0].orientation: expected \"portrait\" or \"landscape\""},
    // The driver keeps a job's paper for all its pages.
    {"PagePaper", "{\"pages\": [{}, {\"paper\": \"a5\"}]}",
     "pages[1]: unknown key \"paper\" (a page takes \"orientation\")"},
};

class RefusedDocument : public TamprintTest, public testing::WithParamInterface<DocumentCase> {};

TEST_P(RefusedDocument, ExitsTwoNamingThePlace) {
    const DocumentCase& c = GetParam();
    const auto document = WriteFile("doc.json", c.text);
    const RunResult result = Print({document.string()});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "tamprint: " + document.string() + ": " + c.message + "\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"doc.json"});
}

INSTANTIATE_TEST_SUITE_P(All, RefusedDocument, testing::ValuesIn(kBadDocuments),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TamprintDocument, RefusesAFileItCannotRead) {
    const std::string missing = (Dir() / "missing.json").string();
    const RunResult absent = Print({missing});
    EXPECT_EQ(absent.code, 2);
    EXPECT_EQ(absent.err, "tamprint: cannot read " + missing + ": No such file or directory\n");

    const RunResult folder = Print({Dir().string()});
    EXPECT_EQ(folder.code, 2);
    EXPECT_EQ(folder.err, "tamprint: cannot read " + Dir().string() + ": it is a folder\n");
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(TamprintDocument, RefusesAFolderAsStandardInput) {
    const RunResult result = Run({"--machine", MachineFolder().string(), "-"}, {}, Dir());
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "tamprint: cannot read the document from standard input: it is a folder\n");
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(TamprintDocument, NamesStandardInputInItsMessages) {
    const RunResult result = Run({"--machine", MachineFolder().string(), "-"}, "{\"pages\": [{\"size\": 3}]}");
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err,
              "tamprint: standard input: pages[0]: unknown key \"size\" (a page takes \"orientation\")\n");
    EXPECT_TRUE(FolderEntries().empty());
}

}  // namespace
}  // namespace tam::test
