#include "VrnString.h"

#include <gtest/gtest.h>

TEST(VrnString, GetCharOutsideTheStringIsCharacterZero)
{
    EXPECT_EQ(GetChar("abc", 0), QChar(0));
    EXPECT_EQ(GetChar("abc", 4), QChar(0));
    EXPECT_EQ(GetChar("abc", -7), QChar(0));
    EXPECT_EQ(GetChar("abc", 3), QChar(u'c'));
}

TEST(VrnString, CopyFromClampsItsPosition)
{
    EXPECT_EQ(CopyFrom("abcd", 2), "bcd");
    EXPECT_EQ(CopyFrom("abcd", 0), "abcd");
    EXPECT_EQ(CopyFrom("abcd", -3), "abcd");
    EXPECT_EQ(CopyFrom("abcd", 5), "");
    EXPECT_EQ(CopyFrom("abcd", 99), "");
}

TEST(VrnString, Searches)
{
    struct Row {
        const char* what;
        int got;
        int expected;
    };
    const Row rows[] = {
        {"PosFrom b in abcb from 3", PosFrom("b", "abcb", 3), 2},
        {"PosFrom b in abcb from 1", PosFrom("b", "abcb", 1), 2},
        {"PosFrom at the start position", PosFrom("c", "abcb", 3), 1},
        {"PosFrom absent", PosFrom("x", "abcb", 1), 0},
        {"PosFrom beyond the end", PosFrom("b", "abcb", 9), 0},
        {"PosFrom before the start", PosFrom("a", "abcb", -2), 1},
        {"PosFrom empty text is not found", PosFrom("", "abcb", 1), 0},
        {"PosOrEnd found", PosOrEnd("/", "F/L"), 2},
        {"PosOrEnd absent", PosOrEnd("/", "F"), 2},
        {"PosOrEnd empty text", PosOrEnd("", "F/L"), 4},
        {"PosOrDefault absent", PosOrDefault("x", "abc", -5), -5},
        {"PosOrDefault empty text", PosOrDefault("", "abc", 7), 7},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.got, r.expected);
    }
}

TEST(VrnString, ReplaceAllNeverSearchesInsertedText)
{
    struct Row {
        const char* s;
        const char* oldText;
        const char* newText;
        const char* expected;
    };
    const Row rows[] = {
        {"F-F", "F", "kips", "kips-kips"},
        {"F", "F", "FF", "FF"},
        {"FF", "F", "lbs", "lbslbs"},
        {"aaa", "aa", "b", "ba"},
        {"abc", "", "x", "abc"}, // an empty Old must not loop or match everywhere
        {"", "F", "x", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.s);
        EXPECT_EQ(ReplaceAll(r.s, r.oldText, r.newText), r.expected);
    }
}

TEST(VrnString, IsIntegerChecksFractionAndRange)
{
    EXPECT_TRUE(IsInteger(-2147483648.0L));
    EXPECT_TRUE(IsInteger(2147483647.0L));
    EXPECT_FALSE(IsInteger(2147483648.0L));
    EXPECT_FALSE(IsInteger(-2147483649.0L));
    EXPECT_FALSE(IsInteger(1.5L));
    EXPECT_FALSE(IsInteger(__builtin_nanl("")));
}
