#include "model/DefFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {
std::string TempFile(const std::string& name, const std::string& bytes) {
    std::string path = ::testing::TempDir() + "vok_deffile_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::vector<std::string> AllLines(const std::string& path) {
    CFileX f;
    EXPECT_EQ(f.Open(path.c_str(), CFileX::modeRead), 1);
    std::vector<std::string> lines;
    std::string line;
    while (f.ReadLine(line))
        lines.push_back(line);
    EXPECT_TRUE(f.IsAtEnd());
    return lines;
}
} // namespace

TEST(ReadLine, EndsAtCrLfOrLoneCrAndKeepsTerminators) {
    std::string path = TempFile("mixed", "one\r\ntwo\rthree\r\r\nlast");
    EXPECT_EQ(AllLines(path),
              (std::vector<std::string>{"one\r\n", "two\r", "three\r", "\r\n", "last"}));
    std::filesystem::remove(path);
}

TEST(ReadLine, LfAloneDoesNotEndALine) {
    std::string path = TempFile("lf", "alpha\nbeta\ngamma\n");
    EXPECT_EQ(AllLines(path), (std::vector<std::string>{"alpha\nbeta\ngamma\n"}));
    std::filesystem::remove(path);
}

TEST(ReadLine, EmptyOrClosedFileGivesNothing) {
    std::string path = TempFile("empty", "");
    CFileX f;
    ASSERT_EQ(f.Open(path.c_str(), CFileX::modeRead), 1);
    std::string line = "stale";
    EXPECT_EQ(f.ReadLine(line), 0);
    EXPECT_EQ(line, "");
    f.Close();
    line = "stale";
    EXPECT_EQ(f.ReadLine(line), 0);
    EXPECT_EQ(line, "");
    std::filesystem::remove(path);
}

TEST(WriteString, WritesCharactersUnchanged) {
    std::string path = ::testing::TempDir() + "vok_deffile_write";
    CFileX f;
    ASSERT_EQ(f.Create(path), 1);
    std::string big(70000, 'x'); // more than one 16-bit write
    EXPECT_EQ(f.WriteString("a\r\nb"), 1);
    EXPECT_EQ(f.WriteString(big), 1);
    EXPECT_EQ(f.WriteString(std::string("\0z", 2)), 1);
    f.Close();
    EXPECT_EQ(f.WriteString("closed"), 0);
    std::ifstream in(path, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, "a\r\nb" + big + std::string("\0z", 2));
    std::filesystem::remove(path);
}

TEST(DefFile, TokensAndIntegers) {
    EXPECT_EQ(FirstToken("  Knee\tleft\r\n"), "Knee");
    EXPECT_EQ(FirstToken(" \r\n"), "");
    int v[5] = {};
    EXPECT_EQ(ScanInts("1 -2\t+3 4 5 6\r\n", v, 5), 5);
    EXPECT_EQ(v[1], -2);
    EXPECT_EQ(v[2], 3);
    EXPECT_EQ(v[4], 5);
    EXPECT_EQ(ScanInts("7 8 x 9", v, 5), 2);
    EXPECT_EQ(ScanInts("2147483648 1", v, 5), 0);
    EXPECT_EQ(ScanInts("-2147483648", v, 5), 1);
    EXPECT_EQ(v[0], INT32_MIN);
    EXPECT_EQ(ScanInts("", v, 5), 0);
}
