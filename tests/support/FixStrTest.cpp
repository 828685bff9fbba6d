#include "support/FixStr.h"

#include <gtest/gtest.h>
#include <string>

TEST(FixStr, FieldConstructionDropsTrailingPadding) {
    const char field[] = {'A', 'B', ' ', ' ', 'Z'};
    EXPECT_STREQ(CFixStr(field, 4).c_str(), "AB");
    EXPECT_STREQ(CFixStr("    ", 4).c_str(), "");
    const char inner[] = {'A', '\0', 'B', '\0'};
    CFixStr keep(inner, 4);
    EXPECT_EQ(keep.GetLength(), 1); // text ends at the first NUL it keeps
}

TEST(FixStr, WidthAndAlignment) {
    CFixStr a("ABC");
    EXPECT_EQ(a.SetWidth(5), 5);
    EXPECT_STREQ(a.c_str(), "ABC  ");
    CFixStr b("ABC");
    EXPECT_EQ(b.SetWidth(2), 2);
    EXPECT_STREQ(b.c_str(), "AB");
    CFixStr c("A BC");
    EXPECT_EQ(c.SetWidth(2), 2);
    EXPECT_STREQ(c.c_str(), "A ");
    CFixStr z("AB");
    EXPECT_EQ(z.SetWidth(-3), 0);
    CFixStr r("ABC");
    r.RightAlign(5);
    EXPECT_STREQ(r.c_str(), "  ABC");
    CFixStr r2("ABC");
    r2.RightAlign(2);
    EXPECT_STREQ(r2.c_str(), "AB");
}

TEST(FixStr, SearchCompareConcat) {
    CFixStr s("a,b,c");
    EXPECT_EQ(s.FindNth(',', 0), 1);
    EXPECT_EQ(s.FindNth(',', 1), 3);
    EXPECT_EQ(s.FindNth(',', 2), -1);
    EXPECT_EQ(s.ReverseFind(','), 3);
    EXPECT_EQ(s.ReverseFind('x'), -1);
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
