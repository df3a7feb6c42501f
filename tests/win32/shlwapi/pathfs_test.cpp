#include <gtest/gtest.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>

#include "support/machine_fixture.h"

namespace {

using PathOnDisk = tam::test::MachineTest;

TEST_F(PathOnDisk, ExistsAndDirectoryQuestions) {
    std::filesystem::create_directories(HostPath(u"C:\\Data\\Empty"));
    std::ofstream(HostPath(u"C:\\Data\\file.txt")) << "x";

    EXPECT_TRUE(PathFileExistsW(u"c:\\data\\FILE.txt"));
    EXPECT_TRUE(PathFileExistsW(u"C:\\Data"));
    EXPECT_FALSE(PathFileExistsW(u"C:\\Data\\none.txt"));
    EXPECT_FALSE(PathFileExistsW(nullptr));

    EXPECT_EQ(PathIsDirectoryW(u"C:\\Data"), BOOL(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(PathIsDirectoryW(u"C:\\Data\\file.txt"));
    EXPECT_FALSE(PathIsDirectoryW(u"C:\\Nothing"));

    EXPECT_TRUE(PathIsDirectoryEmptyW(u"C:\\Data\\Empty"));
    EXPECT_TRUE(PathIsDirectoryEmptyW(u"C:\\Data\\Empty\\"));
    EXPECT_FALSE(PathIsDirectoryEmptyW(u"C:\\Data"));
    EXPECT_FALSE(PathIsDirectoryEmptyW(u"C:\\Data\\file.txt"));
    EXPECT_FALSE(PathIsDirectoryEmptyW(u"C:\\Nothing"));
}

}  // namespace
