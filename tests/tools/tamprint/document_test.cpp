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
    {"UnknownPageKey", "{\"pages\": [{}, {}, {\"text\": []}]}",
     "pages[2]: unknown key \"text\" (a page takes \"orientation\" and \"draw\")"},
    {"BadOrientation", "{\"pages\": [{\"orientation\": \"upside-down\"}]}",
     "pages[0].orientation: expected \"portrait\" or \"landscape\""},
    // The driver keeps a job's paper for all its pages.
    {"PagePaper", "{\"pages\": [{}, {\"paper\": \"a5\"}]}",
     "pages[1]: unknown key \"paper\" (a page takes \"orientation\" and \"draw\")"},
    // A mistake in a shape names the line the shape starts on, and where
    // in the shape it is.
    {"UnknownShape", "{\"pages\": [{\"draw\": [\n  {\"line\": [[0, 0], [10, 10]]},\n  {\"circle\": [[0, 0], [9, 9]]}\n]}]}",
     "line 3: pages[0].draw[1]: unknown key \"circle\" (a shape is one of line, polyline, rectangle, roundrect, "
     "ellipse, arc, polygon, bezier or path, with \"pen\", \"brush\" and a roundrect's \"corner\"; or a \"text\", "
     "\"textblock\", \"image\" or \"gradient\")"},
    {"NoShape", "{\"pages\": [{},\n {\"draw\": [{\"pen\": \"none\"}]}]}",
     "line 2: pages[1].draw[0]: no shape: an item takes one of line, polyline, rectangle, roundrect, ellipse, arc, "
     "polygon, bezier or path, or a \"text\", \"textblock\", \"image\" or \"gradient\""},
    {"TwoShapes", "{\"pages\": [{\"draw\": [\n{\"line\": [[0, 0], [1, 1]], \"ellipse\": [[0, 0], [1, 1]]}]}]}",
     "line 2: pages[0].draw[0]: one shape to an item, not both \"line\" and \"ellipse\""},
    {"LineOfThreePoints", "{\"pages\": [{\"draw\": [\n\n  {\"line\": [[0, 0], [10, 10], [20, 0]]}]}]}",
     "line 3: pages[0].draw[0].line: a line takes 2 points, not 3"},
    {"PolygonOfTwoPoints", "{\"pages\": [{\"draw\": [{\"polygon\": [[0, 0], [10, 10]]}]}]}",
     "line 1: pages[0].draw[0].polygon: a polygon takes 3 or more points, not 2"},
    {"EllipseOfOnePoint", "{\"pages\": [{\"draw\": [{\"ellipse\": [[0, 0]]}]}]}",
     "line 1: pages[0].draw[0].ellipse: an ellipse takes 2 points (opposite corners of its box), not 1"},
    {"BezierOfFivePoints",
     "{\"pages\": [{\"draw\": [\n  {\"bezier\": [[0, 0], [1, 1], [2, 2], [3, 3],\n              [4, 4]]}]}]}",
     "line 2: pages[0].draw[0].bezier: a bezier takes 3n+1 points (4, 7, 10, ...), not 5"},
    {"PathBezierOfTwoPoints",
     "{\"pages\": [{\"draw\": [\n  {\"path\": [{\"move\": [0, 0]}, {\"bezier\": [[1, 1], [2, 2]]}]}]}]}",
     "line 2: pages[0].draw[0].path[1].bezier: a bezier step takes 3n points (3, 6, 9, ...), not 2"},
    {"PathWithoutMove", "{\"pages\": [{\"draw\": [\n  {\"path\": [{\"line\": [[1, 1]]}, \"close\"]}]}]}",
     "line 2: pages[0].draw[0].path[0]: a path starts with \"move\""},
    {"NamedColour", "{\"pages\": [{\"draw\": [\n  {\"line\": [[0, 0], [9, 9]],\n   \"pen\": {\"colour\": \"red\"}}]}]}",
     "line 2: pages[0].draw[0].pen.colour: a colour is \"#rrggbb\" in hexadecimal, not \"red\""},
    {"ColourNotHex", "{\"pages\": [{\"draw\": [{\"rectangle\": [[0, 0], [9, 9]], \"brush\": {\"colour\": \"#12345g\"}}]}]}",
     "line 1: pages[0].draw[0].brush.colour: a colour is \"#rrggbb\" in hexadecimal, not \"#12345g\""},
    {"UnknownHatch", "{\"pages\": [{\"draw\": [{\"rectangle\": [[0, 0], [9, 9]], \"brush\": {\"hatch\": \"dots\"}}]}]}",
     "line 1: pages[0].draw[0].brush.hatch: expected \"horizontal\", \"vertical\", \"fdiagonal\", \"bdiagonal\", "
     "\"cross\" or \"diagcross\""},
    {"BrushOnALine", "{\"pages\": [{\"draw\": [{\"line\": [[0, 0], [9, 9]], \"brush\": \"none\"}]}]}",
     "line 1: pages[0].draw[0].brush: a line is open and takes no brush"},
    {"WideDashedPen", "{\"pages\": [{\"draw\": [{\"line\": [[0, 0], [9, 9]], \"pen\": {\"style\": \"dash\", \"width\": 2}}]}]}",
     "line 1: pages[0].draw[0].pen: a dashed or dotted pen is the thinnest pen: its width is 0"},
    {"RoundrectWithoutCorner", "{\"pages\": [{\"draw\": [{\"roundrect\": [[0, 0], [9, 9]]}]}]}",
     "line 1: pages[0].draw[0]: a roundrect takes a \"corner\": [width, height] of its corners' ellipse"},
    {"PointOffThePage", "{\"pages\": [{\"draw\": [{\"line\": [[0, 0], [20000, 9]]}]}]}",
     "line 1: pages[0].draw[0].line[1]: a value of -14400 to 14400 points"},
    {"PointOfText", "{\"pages\": [{\"draw\": [{\"line\": [[\"left\", 0], [9, 9]]}]}]}",
     "line 1: pages[0].draw[0].line[0]: a point is [x, y] in points"},
    // Text items: the line they start on, and the key at fault.
    {"TextWithoutPlace", "{\"pages\": [{\"draw\": [\n  {\"text\": \"Hello\"}]}]}",
     "line 2: pages[0].draw[0]: a text takes \"at\": [x, y] in points"},
    {"TextNotAString", "{\"pages\": [{\"draw\": [\n\n  {\"text\": 12, \"at\": [0, 0]}]}]}",
     "line 3: pages[0].draw[0].text: expected a string of UTF-8 text"},
    {"TextAndBlock", "{\"pages\": [{\"draw\": [{\"text\": \"a\", \"textblock\": \"b\", \"at\": [0, 0]}]}]}",
     "line 1: pages[0].draw[0]: one text to an item, not both \"text\" and \"textblock\""},
    {"BlockWithoutWidth", "{\"pages\": [{\"draw\": [\n  {\"textblock\": \"words\", \"at\": [72, 72]}]}]}",
     "line 2: pages[0].draw[0]: a textblock takes a \"width\" in points"},
    {"RotatedBlock",
     "{\"pages\": [{\"draw\": [{\"textblock\": \"w\", \"at\": [0, 0], \"width\": 9, \"rotation\": 90}]}]}",
     "line 1: pages[0].draw[0]: unknown key \"rotation\" (a textblock takes \"at\", \"width\", \"font\", \"colour\", "
     "\"align\" and \"leading\")"},
    {"FontSizeZero",
     "{\"pages\": [{\"draw\": [\n  {\"text\": \"a\", \"at\": [0, 0],\n   \"font\": {\"size\": 0}}]}]}",
     "line 2: pages[0].draw[0].font.size: a size is 1 to 1000 points"},
    {"FontFaceTooLong",
     "{\"pages\": [{\"draw\": [{\"text\": \"a\", \"at\": [0, 0], \"font\": {\"face\": \"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef\"}}]}]}",
     "line 1: pages[0].draw[0].font.face: a face is a font name of 1 to 31 characters"},
    {"FontBoldAsText", "{\"pages\": [{\"draw\": [{\"text\": \"a\", \"at\": [0, 0], \"font\": {\"bold\": \"yes\"}}]}]}",
     "line 1: pages[0].draw[0].font.bold: expected true or false"},
    {"UnknownAlign", "{\"pages\": [{\"draw\": [{\"text\": \"a\", \"at\": [0, 0], \"align\": \"justify\"}]}]}",
     "line 1: pages[0].draw[0].align: expected \"left\", \"center\" or \"right\""},
    {"RotationTooLarge", "{\"pages\": [{\"draw\": [{\"text\": \"a\", \"at\": [0, 0], \"rotation\": 400}]}]}",
     "line 1: pages[0].draw[0].rotation: a rotation is -360 to 360 degrees"},
    {"TextColourNamed", "{\"pages\": [{\"draw\": [{\"text\": \"a\", \"at\": [0, 0], \"colour\": \"blue\"}]}]}",
     "line 1: pages[0].draw[0].colour: a colour is \"#rrggbb\" in hexadecimal, not \"blue\""},
    {"DrawNotAList", "{\"pages\": [\n{\"draw\": {\"line\": [[0, 0], [9, 9]]}}]}",
     "line 2: pages[0].draw: expected a list of shapes"},
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
              "tamprint: standard input: pages[0]: unknown key \"size\" (a page takes \"orientation\" and \"draw\")\n");
    EXPECT_TRUE(FolderEntries().empty());
}

}  // namespace
}  // namespace tam::test
