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
} // namespace

TEST(ReadLine, EndsAtCrLfOrLoneCrAndKeepsTerminators) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"one\r\ntwo\rthree\r\r\nlast", {"one\r\n", "two\r", "three\r", "\r\n", "last"}},
        {"alpha\nbeta\ngamma\n", {"alpha\nbeta\ngamma\n"}}, // LF alone ends no line
        {"", {}}};
    for (const auto& [bytes, want] : cases) {
        const std::string path = TempFile("lines", bytes);
        CFileX f;
        ASSERT_EQ(f.Open(path.c_str(), CFileX::modeRead), 1);
        std::vector<std::string> lines;
        std::string line = "stale";
        while (f.ReadLine(line))
            lines.push_back(line);
        EXPECT_EQ(lines, want);
        EXPECT_EQ(line, ""); // the failed read leaves nothing
        EXPECT_TRUE(f.IsAtEnd());
        f.Close();
        line = "stale";
        EXPECT_EQ(f.ReadLine(line), 0); // closed
        EXPECT_EQ(line, "");
        std::filesystem::remove(path);
    }
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
    EXPECT_EQ(std::vector<int>(v, v + 5), (std::vector<int>{1, -2, 3, 4, 5}));
    EXPECT_EQ(ScanInts("7 8 x 9", v, 5), 2);
    EXPECT_EQ(ScanInts("2147483648 1", v, 5), 0);
    EXPECT_EQ(ScanInts("-2147483648", v, 5), 1);
    EXPECT_EQ(v[0], INT32_MIN);
    EXPECT_EQ(ScanInts("", v, 5), 0);
}
