#include "Misc.h"
#include "MiscMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Misc, RoundToInt64TiesGoToEven)
{
    struct Row {
        Extended x;
        std::int64_t expected;
    };
    const Row rows[] = {{2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {-3.5L, -4}, {2.4999L, 2}, {0.5L, 0},
                        {-9223372036854775808.0L, INT64_MIN}};
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<double>(r.x));
        EXPECT_EQ(RoundToInt64(r.x), r.expected);
    }
}

TEST(Misc, IntegerConversionsOutOfRangeRaise)
{
    EXPECT_THROW(RoundToInt64(9223372036854775808.0L), EInvalidOp);
    EXPECT_THROW(RoundToInt64(-9223372036854775810.0L), EInvalidOp);
    EXPECT_THROW(RoundToInt64(std::numeric_limits<Extended>::infinity()), EInvalidOp);
    EXPECT_THROW(RoundToInt64(std::numeric_limits<Extended>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(TruncToInt64(1e30L), EInvalidOp);
    EXPECT_EQ(TruncToInt64(-7.9L), -7);
    EXPECT_EQ(RoundToInt32(2147483647.4L), 2147483647);
    EXPECT_THROW(RoundToInt32(2147483647.5L), EInvalidOp);
}

TEST(Misc, IntegerHelpers)
{
    EXPECT_EQ(IntMax(3, -4), 3);
    EXPECT_EQ(IntMin(3, -4), -4);
    EXPECT_EQ(IntIfThen(true, 1, 2), 1);
    EXPECT_EQ(IntIfThen(false, 1, 2), 2);
    EXPECT_EQ(IntMinOf({5, -2, 9, -2, 0}), -2);
    EXPECT_EQ(FoldInts([](int a, int b) { return a * 10 + b; }, {1, 2, 3}), 123);
    EXPECT_THROW(IntMinOf({}), EAssertionFailed);
    EXPECT_TRUE(InRangeInt(3, 3, 3));
    EXPECT_FALSE(InRangeInt(4, 1, 3));
    EXPECT_EQ(FracOf(-1.25L), -0.25L);
    EXPECT_EQ(MiscMath::IfThen(false, 1, 2), 2);
    EXPECT_EQ(MiscMath::Min(1, 2), 1);
    EXPECT_EQ(MiscMath::Max(1, 2), 2);
}

TEST(Misc, ConditionHelpersRaiseTheClassGiven)
{
    EXPECT_NO_THROW(Check(true, "x"));
    EXPECT_THROW(Check(false, "x"), EAssertionFailed);
    EXPECT_THROW(RaiseIf<EListError>(true, "x"), EListError);
    try {
        CheckFmt<EConvertError>(false, "Entry must be between %d and %d.", {1, 40});
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Entry must be between 1 and 40.");
    }
    try {
        RaiseIfFmt(true, "Error occured when creating column %d: %s", {0, "boom"});
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Error occured when creating column 0: boom");
    }
}

namespace {

struct Counted {
    explicit Counted(int& alive) : m_alive(alive) { ++m_alive; }
    ~Counted() { --m_alive; }
    int& m_alive;
};

} // namespace

TEST(Misc, ObjectListOwnsItsItems)
{
    int alive = 0;
    {
        TObjectList<Counted> list;
        EXPECT_TRUE(list.OwnsObjects());
        auto* a = new Counted(alive);
        auto* b = new Counted(alive);
        EXPECT_EQ(list.Add(a), 0);
        list.Insert(0, b);
        EXPECT_EQ(list.IndexOf(a), 1);
        EXPECT_EQ(list.IndexOf(nullptr), -1);
        list.Put(1, a); // the same object at its own index frees nothing
        EXPECT_EQ(alive, 2);
        list.Put(1, new Counted(alive)); // replaces and frees a
        EXPECT_EQ(alive, 2);
        list.Delete(0); // frees b
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(list.Count(), 1);
        EXPECT_THROW(list.Items(1), EListError);
        EXPECT_THROW(list.Insert(3, nullptr), EListError);
        list.Add(new Counted(alive));
    }
    EXPECT_EQ(alive, 0);

    auto* plain = new std::vector<Counted*>{new Counted(alive), new Counted(alive)};
    FreeListAndItems(plain);
    FreeListAndItems<Counted>(nullptr);
    EXPECT_EQ(alive, 0);
}
