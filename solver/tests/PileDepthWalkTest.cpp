#include "PileDepthWalk.h"
#include "SharedStorage.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(PileDepthWalk, Cases)
{
    struct Case {
        const char* name;
        int sublayers;    // of thickness 1.0, the rest of the column is empty
        double length;
        int expected;     // 0: below the soil column
    };
    const Case cases[] = {
        {"3.4 ends in sublayer 3 (0.4 below is less than half)", 10, 3.4, 3},
        {"3.6 reaches into sublayer 4", 10, 3.6, 4},
        {"3.0 ends at the bottom of sublayer 3", 10, 3.0, 3},
        {"a tip 0.0005 below a bottom snaps to it", 10, 3.0005, 3},
        {"a tip 0.0005 above a bottom snaps to it", 10, 2.9995, 3},
        {"10.4 in a column of 10.0 is accepted", 10, 10.4, 10},
        {"10.6 in a column of 10.0 is refused", 10, 10.6, 0},
        {"a pile in the deepest of 50 sublayers", 50, 49.7, 50},
        {"beyond 50 sublayers", 50, 50.6, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SharedStorage s;
        for (int i = 1; i <= c.sublayers; ++i)
            s.subH[i] = 1.0;
        EXPECT_EQ(pileDepthWalk(s, c.length), c.expected);
    }
}
