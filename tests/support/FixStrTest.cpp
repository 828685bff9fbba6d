#include "support/FixStr.h"

#include <gtest/gtest.h>
#include <string>

TEST(FixStr, FieldConstructionWidthAndAlignment) {
    const char field[] = {'A', 'B', ' ', ' ', 'Z'}, inner[] = {'A', '\0', 'B', '\0'};
    EXPECT_STREQ(CFixStr(field, 4).c_str(), "AB"); // trailing padding dropped
    EXPECT_STREQ(CFixStr("    ", 4).c_str(), "");
    EXPECT_EQ(CFixStr(inner, 4).GetLength(), 1); // text ends at the first NUL it keeps

    // {text, width, result of SetWidth, padded or cut text}
    const std::tuple<const char*, int, int, const char*> widths[] = {
        {"ABC", 5, 5, "ABC  "}, {"ABC", 2, 2, "AB"}, {"A BC", 2, 2, "A "}, {"AB", -3, 0, ""}};
    for (auto [text, width, result, after] : widths) {
        CFixStr f(text);
        EXPECT_EQ(f.SetWidth(width), result) << text << " " << width;
        EXPECT_STREQ(f.c_str(), after) << text << " " << width;
    }
    for (auto [width, after] : {std::pair(5, "  ABC"), std::pair(2, "AB")}) {
        CFixStr r("ABC");
        r.RightAlign(width);
        EXPECT_STREQ(r.c_str(), after) << width;
    }
}

TEST(FixStr, SearchCompareConcat) {
    CFixStr s("a,b,c");
    EXPECT_EQ(std::tuple(s.FindNth(',', 0), s.FindNth(',', 1), s.FindNth(',', 2)),
              std::tuple(1, 3, -1));
    EXPECT_EQ(std::pair(s.ReverseFind(','), s.ReverseFind('x')), std::pair(3, -1));
    EXPECT_TRUE(CFixStr("ab") == CFixStr("ab"));
    EXPECT_FALSE(CFixStr("ab") == CFixStr("abc"));
    CFixStr t("ab");
    CFixStr u = t;
    t += CFixStr("cd");
    EXPECT_STREQ(t.c_str(), "abcd");
    EXPECT_STREQ(u.c_str(), "ab");
    EXPECT_STREQ((u + t).c_str(), "ababcd");
    u = u;
    EXPECT_STREQ(u.c_str(), "ab");
}
