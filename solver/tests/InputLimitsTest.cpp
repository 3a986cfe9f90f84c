// Limits the analysis program keeps whatever the project holds: results that
// must stay apart in their line, piles that must not overlap, lines of bounded
// length, only regular files read.

#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "ProjectInput.h"
#include "RecordError.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace kd;

TEST(InputLimits, ResultValuesKeepABlankBeforeThem)
{
    struct Case {
        double value;
        bool written;
    };
    // E13.5 fills its 13 characters only with a sign and a three-digit exponent.
    const Case cases[] = {
        {-1.1845e304, false}, {-1.5e-120, false},  {-1e99, false},   {-9.999996e98, false},  // "-0.10000E+100"
        {-9.9e-101, false},   {-9.99994e98, true}, {-1e-100, true},  {1.1845e304, true},
        {1.5e-120, true},     {-1.5e-99, true},    {0.0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        if (c.written) {
            const std::string line = resultLine(1.0, {1.0, c.value});
            EXPECT_EQ(line.size(), 14u + 26u);
            EXPECT_EQ(line[27], ' ');
            continue;
        }
        try {
            resultLine(1.0, {1.0, c.value});
            ADD_FAILURE() << "written";
        } catch (const UnseparatedValue& e) {
            EXPECT_EQ(e.frequency(), 1.0);
            EXPECT_EQ(e.text(), fmtE(c.value, 13, 5));
            EXPECT_EQ(e.text().size(), 13u);
        }
    }
}

TEST(InputLimits, OverlappingPilesAreFoundInFileOrder)
{
    ProjectInput in;
    in.r = 0.5;
    // A 40 x 50 grid at twice the diameter: no pair overlaps.
    for (int i = 0; i < 2000; ++i) {
        in.x.push_back(2.0 * (i % 40));
        in.y.push_back(2.0 * (i / 40));
    }
    EXPECT_FALSE(firstOverlappingPiles(in));

    // Touching piles (centre distance exactly one diameter) do not overlap.
    in.x[1999] = in.x[0] + 1.0;
    in.y[1999] = in.y[0];
    EXPECT_FALSE(firstOverlappingPiles(in));

    in.x[1999] = in.x[0] + 0.6;
    in.y[1999] = in.y[0] + 0.8 - 1e-9;
    auto found = firstOverlappingPiles(in);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->first, 1);
    EXPECT_EQ(found->second, 2000);
    EXPECT_NEAR(found->distance, 1.0, 1e-8);

    // Of two overlapping pairs the one with the lower first pile is named,
    // whatever the order of x.
    in.x[1500] = in.x[10];
    in.y[1500] = in.y[10];
    found = firstOverlappingPiles(in);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->first, 1);
    in.x[1999] = 1000.0;
    found = firstOverlappingPiles(in);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->first, 11);
    EXPECT_EQ(found->second, 1501);
    EXPECT_EQ(found->distance, 0.0);

    // Coordinates far apart never overflow into a false overlap.
    ProjectInput far;
    far.r = 0.5;
    far.x = {-1e308, 1e308};
    far.y = {1e308, -1e308};
    EXPECT_FALSE(firstOverlappingPiles(far));
}

TEST(InputLimits, ReaderTakesOnlyRegularFilesAndBoundedLines)
{
    FreeFormatReader reader;
    EXPECT_THROW(reader.open("/dev/zero"), RecordError);
    EXPECT_EQ(reader.openProblem(), "IT IS NOT A REGULAR FILE");
    EXPECT_THROW(reader.open("/"), RecordError);
    EXPECT_EQ(reader.openProblem(), "IT IS NOT A REGULAR FILE");

    char name[] = "/tmp/kdlimitsXXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    {
        std::ofstream out(name, std::ios::binary);
        out << std::string(kMaxLineLength, 'a') << "\r\n" << std::string(kMaxLineLength + 1, 'b') << "\n";
    }
    reader.open(name);
    EXPECT_EQ(reader.readText("1 (TITLE)").size(), kMaxLineLength);
    try {
        reader.readText("2 (UNITS)");
        ADD_FAILURE() << "read";
    } catch (const RecordError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("CANNOT READ RECORD 2 (UNITS) OF FILE ") + name +
                                             ": LINE 2 IS LONGER THAN 65536 CHARACTERS");
    }
    reader.close();
    std::remove(name);
}
