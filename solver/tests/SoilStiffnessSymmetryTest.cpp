#include "RecordFile.h"
#include "SoilStiffnessSymmetry.h"

#include <gtest/gtest.h>

using namespace kd;

namespace {

Matrix<Cx> symmetricMatrix(int n)
{
    Matrix<Cx> a(n, n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i)
            a(i, j) = Cx{1.0 / (i + j), 0.1 * (i == j)};
    return a;
}

} // namespace

TEST(SoilStiffnessSymmetry, ReportsPairsBeyondTheToleranceAndAveragesEveryPair)
{
    struct Case {
        const char* name;
        double asymmetry;  // of the row maximum
        bool reported;
    };
    const Case cases[] = {{"2e-6 of the row maximum", 2e-6, true}, {"5e-7", 5e-7, false}, {"exact", 0.0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix<Cx> st = symmetricMatrix(4);
        // Row 2's largest modulus is st(2, 1) = 1/3.
        const Cx before = st(2, 3);
        st(2, 3) = before + Cx{c.asymmetry / 3.0, 0.0};
        const Cx upper = st(2, 3), lower = st(3, 2);
        OutputChannel notes;
        symmetrizeSoilStiffness(st, 4, 1e-6, " VERTICAL STIFNESS,  FREQUENCY= ", 5.0, notes);
        const auto& lines = notes.memoryLines();
        if (c.reported) {
            ASSERT_EQ(lines.size(), 3u);
            EXPECT_EQ(lines[0], "");
            EXPECT_EQ(lines[1], " VERTICAL STIFNESS,  FREQUENCY=     5.0000");
            char expected[200];
            std::snprintf(expected, sizeof expected,
                          " SYMMETRY CHECK: ST(  2,  3) = %15s%15s , ST(  3,  2) = %15s%15s", "0.2000007E+00",
                          "0.0000000E+00", "0.2000000E+00", "0.0000000E+00");
            EXPECT_EQ(lines[2], expected);
        } else {
            EXPECT_TRUE(lines.empty());
        }
        const Cx mean = cdiv(upper + lower, Cx{2.0, 0.0});
        EXPECT_EQ(st(2, 3), mean);
        EXPECT_EQ(st(3, 2), mean);
        for (int j = 1; j <= 4; ++j)
            for (int i = 1; i <= 4; ++i)
                EXPECT_EQ(st(i, j), st(j, i));
    }
}

TEST(SoilStiffnessSymmetry, ZeroRowIsAveragedAndRunGoesOn)
{
    Matrix<Cx> st(2, 2);
    st(2, 1) = Cx{1.0, 0.0};  // row 1 is all zero, its mirror is not
    OutputChannel notes;
    symmetrizeSoilStiffness(st, 2, 1e-6, " HORIZONTAL STIFNESS,  FREQUENCY= ", 12.5, notes);
    EXPECT_EQ(st(1, 2), (Cx{0.5, 0.0}));
    EXPECT_EQ(st(2, 1), (Cx{0.5, 0.0}));
    ASSERT_EQ(notes.memoryLines().size(), 3u);
    EXPECT_EQ(notes.memoryLines()[1], " HORIZONTAL STIFNESS,  FREQUENCY=    12.5000");
}
