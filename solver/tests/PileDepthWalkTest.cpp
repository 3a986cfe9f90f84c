#include "PileDepthWalk.h"
#include "SharedStorage.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(PileDepthWalk, Cases)
{
    struct Case {
        const char* name;
        int sublayers;     // the rest of the column is empty
        double thickness;  // of each sublayer
        double length;
        int expected;      // 0: below the soil column
    };
    const Case cases[] = {
        {"3.4 ends in sublayer 3 (0.4 below is less than half)", 10, 1.0, 3.4, 3},
        {"3.6 reaches into sublayer 4", 10, 1.0, 3.6, 4},
        {"3.0 ends at the bottom of sublayer 3", 10, 1.0, 3.0, 3},
        {"a tip 0.0005 below a bottom snaps to it", 10, 1.0, 3.0005, 3},
        {"a tip 0.0005 above a bottom snaps to it", 10, 1.0, 2.9995, 3},
        {"10.4 in a column of 10.0 is accepted", 10, 1.0, 10.4, 10},
        {"10.6 in a column of 10.0 is refused", 10, 1.0, 10.6, 0},
        {"a pile in the deepest of 50 sublayers", 50, 1.0, 49.7, 50},
        {"beyond 50 sublayers", 50, 1.0, 50.6, 0},
        // A tip at the middle of a sublayer goes on, also where the digits of
        // the project file or a change of units put it a hair above it.
        {"a tip exactly at the middle goes on", 10, 1.0, 2.5, 3},
        {"SI: 5 m in sublayers of 2 m", 5, 2.0, 5.0, 3},
        {"English: 196.85039 in, sublayers of 393.70079 / 5 in", 5, 393.70079 / 5, 196.85039, 3},
        {"English, the tip eight digits above the middle", 5, 393.70079 / 5, 196.85038, 3},
        {"a tip a thousandth of a sublayer above the middle stops", 10, 1.0, 2.499, 2},
        {"a tip a thousandth of a sublayer below the middle goes on", 10, 1.0, 2.501, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SharedStorage s;
        for (int i = 1; i <= c.sublayers; ++i)
            s.subH[i] = c.thickness;
        EXPECT_EQ(pileDepthWalk(s, c.length), c.expected);
    }
}
