// A whole run of kdcalc: the result files, their copy into the report, the
// plot data file, in both systems of units, with and without a superstructure.

#include "KdcalcRun.h"
#include "ProjectText.h"
#include "RunChannels.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

using namespace kdtest;

namespace {

struct Completed {
    TempDir dir;
    RunResult run;
    std::vector<std::string> report;
};

void runProject(Completed& c, const ProjectText& p)
{
    writeFile(c.dir.file("p.kld"), p.text());
    writeFileList(c.dir.path(), "p");
    c.run = runKdcalc(c.dir.path());
    c.report = readLines(c.dir.file("p.klo"));
}

std::vector<double> numbers(const std::string& path)
{
    std::istringstream in(readFile(path));
    std::vector<double> out;
    std::string token;
    while (in >> token) {
        char* end = nullptr;
        const double v = std::strtod(token.c_str(), &end);
        EXPECT_EQ(*end, '\0') << "not a number: " << token;
        out.push_back(v);
    }
    return out;
}

// Indices of the report lines equal to `text`.
std::vector<std::size_t> find(const std::vector<std::string>& lines, const std::string& text)
{
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == text)
            at.push_back(i);
    return at;
}

std::string pad80(const std::string& s) { return s + std::string(80 - s.size(), ' '); }

ProjectText twoPiles(int units, bool superstructure)
{
    ProjectText p;
    p.units = units;
    p.piles = {{0.0, 0.0}, {1.5, 0.0}};
    p.nfreq = 2;
    p.freq0 = 0.0;
    p.dfreq = 12.5;
    if (superstructure) {
        p.baseMass = 40.0;
        p.topMass = 90.0;
        p.spring = 5.0e4;
        p.damping = 0.05;
    }
    return p;
}

} // namespace

TEST(FullRun, CompletesWithEveryFileInBothSystems)
{
    for (int units : {1, 2}) {
        SCOPED_TRACE(units);
        Completed c;
        runProject(c, twoPiles(units, true));
        ASSERT_EQ(c.run.status, 0) << c.run.console;
        EXPECT_NE(c.run.console.find(" VERTICAL/ROCKING BEHAVIOR, AT FREQUENCY =      12.50\n"), std::string::npos);
        EXPECT_NE(c.run.console.find("\n COMPUTATION COMPLETED.\n  CLOSE THE COMPUTATION SCREEN NOW!\n\n"),
                  std::string::npos)
            << c.run.console;
        for (const char* name : {"STGRPKVV.CBM", "STGRPKRX.CBM", "STGRPKRY.CBM", "RTGRPKVV.CBM", "RTGRPKRX.CBM",
                                 "STSNGKVV.CBM", "RTSNGKVV.CBM", "RTGRPKRY.CBM"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(readLines(c.dir.file(name)).size(), 3u + 2u);
        }

        // Report: ten horizontal blocks, one empty record, eight vertical blocks.
        EXPECT_EQ(find(c.report, "HORIZONTAL RESPONSE OF SINGLE PILE  ").size(), 5u);
        EXPECT_EQ(find(c.report, "HORIZONTAL RESPONSE OF PILE GROUP   ").size(), 5u);
        const auto single = find(c.report, "VERTICAL AND ROCKING RESPONSE OF SINGLE PILE   ");
        const auto group = find(c.report, "VERTICAL AND ROCKING RESPONSE OF PILE GROUP    ");
        ASSERT_EQ(single.size(), 2u);
        ASSERT_EQ(group.size(), 6u);
        const char* titles[] = {"VERTICAL STIFFNESS OF SINGLE PILE BY CBM",
                                "SINGLE PILE FACTOR DKSVV/SKSVV BY CBM",
                                "VERTICAL STIFFNESS OF GROUP PILE BY CBM",
                                "ROCKING STIFFNESS OF GROUP PILES FOR X-DIR BY CBM",
                                "ROCKING STIFFNESS OF GROUP PILES FOR Y-DIR BY CBM",
                                "GROUP FACTOR DKGVV/(N*SKSVV) BY CBM",
                                "GROUP FACTOR DKGRX/SUM(X*X*SKSVV) BY CBM",
                                "GROUP FACTOR DKGRY/SUM(Y*Y*SKSVV) BY CBM"};
        std::vector<std::size_t> blocks = single;
        blocks.insert(blocks.end(), group.begin(), group.end());
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            SCOPED_TRACE(titles[b]);
            const std::size_t at = blocks[b];
            EXPECT_EQ(c.report[at - 1], "");
            EXPECT_EQ(c.report[at - 2], "");
            EXPECT_EQ(c.report[at + 1], "");
            EXPECT_EQ(c.report[at + 2], pad80(titles[b]));
            EXPECT_EQ(c.report[at + 3], pad80("FREQUENCY        REAL PART    IMAG PART            "));
            // Two values per copied line.
            EXPECT_EQ(c.report[at + 5].size(), 8u + 6u + 2u * 13u);
            EXPECT_EQ(c.report[at + 6].substr(0, 8), "  12.500");
        }
        const std::string rockingUnits = units == 1 ? "   (HZ)         (LB-IN/RAD)  (LB-IN/RAD)             "
                                                    : "   (HZ)         (kN-M/RAD)   (kN-M/RAD)              ";
        EXPECT_EQ(c.report[group[1] + 4], pad80(rockingUnits));
        EXPECT_EQ(c.report[group[3] + 4], pad80("   (HZ)         "));
        // The vertical stage's empty record stands between the two parts.
        const auto lastHorizontal = find(c.report, "HORIZONTAL RESPONSE OF PILE GROUP   ").back();
        // title, empty line, 3 headings, 2 data lines, the empty record, 2 empty lines
        EXPECT_EQ(single[0], lastHorizontal + 1 + 1 + 3 + 2 + 1 + 2);

        // Plot data file: 1 + 9 NF records, 8/4/16/8 numbers per frequency.
        const auto plotLines = readLines(c.dir.file("p.klp"));
        EXPECT_EQ(plotLines.size(), 1u + 9u * 2u);
        const auto v = numbers(c.dir.file("p.klp"));
        ASSERT_EQ(v.size(), 2u + 2u * (8u + 4u + 16u + 8u));
        EXPECT_EQ(v[0], 2.0);
        EXPECT_EQ(v[1], units);
        // Frequencies of the records: blocks 1 to 4 hold 2, 1, 4 and 2 records
        // per frequency, in frequency order.
        std::vector<double> expectedFreq;
        for (int perFrequency : {2, 1, 4, 2})
            for (double f : {0.0, 12.5})
                for (int k = 0; k < perFrequency; ++k)
                    expectedFreq.push_back(f);
        for (std::size_t r = 0; r < expectedFreq.size(); ++r) {
            EXPECT_EQ(v[2 + 4 * r], expectedFreq[r]);
            EXPECT_EQ(v[2 + 4 * r + 1], 1.0);
        }
        EXPECT_EQ(plotLines[1].substr(0, 12), "  0.000E+00 ");
        EXPECT_EQ(plotLines[7].substr(0, 28), "   0.000        0.10000E+01 ");
    }
}

TEST(FullRun, HorizontalBlocksWithAndWithoutSuperstructure)
{
    for (bool structure : {false, true}) {
        SCOPED_TRACE(structure);
        Completed c;
        runProject(c, twoPiles(2, structure));
        ASSERT_EQ(c.run.status, 0) << c.run.console;
        const auto single = find(c.report, "HORIZONTAL RESPONSE OF SINGLE PILE  ");
        const auto group = find(c.report, "HORIZONTAL RESPONSE OF PILE GROUP   ");
        EXPECT_EQ(single.size() + group.size(), structure ? 10u : 6u);
        std::vector<std::string> order;
        for (std::size_t i = 0; i < c.report.size(); ++i)
            if (c.report[i] == "HORIZONTAL RESPONSE OF SINGLE PILE  " ||
                c.report[i] == "HORIZONTAL RESPONSE OF PILE GROUP   ")
                order.push_back(c.report[i + 2].substr(0, 45));
        std::vector<std::string> expected = {"TRANSFER FUNCTIONS, MOTIONS AT PILE HEAD, BAS"};
        if (structure) {
            expected.push_back("TRANSFER FUNCTIONS, MOTIONS AT STRUCTURE, BAS");
            expected.push_back("TRANSFER FUNCTIONS, MOTIONS AT FOUNDATION, BA");
        }
        expected.push_back("HORIZONTAL STIFFNESS OF SINGLE PILE BY CBM   ");
        expected.push_back("SINGLE PILE FACTOR DKSHH/SKSHH BY CBM        ");
        expected.push_back("TRANSFER FUNCTIONS, MOTIONS AT PILE HEAD, BAS");
        if (structure) {
            expected.push_back("TRANSFER FUNCTIONS, MOTIONS AT STRUCTURE, BAS");
            expected.push_back("TRANSFER FUNCTIONS, MOTIONS AT FOUNDATION, BA");
        }
        expected.push_back("HORIZONTAL STIFFNESS OF PILE GROUP BY CBM    ");
        expected.push_back("GROUP PILE FACTOR DKGHH/(N*SKSHH) BY CBM     ");
        EXPECT_EQ(order, expected);

        // Stiffness blocks carry a third value of zero on every copied line.
        const std::size_t stiffness = single[structure ? 3 : 1];
        EXPECT_EQ(c.report[stiffness + 5].substr(40), "  0.00000E+00");
        // Without a superstructure the single-pile structure files stay empty
        // and the group ones hold their headings only.
        EXPECT_EQ(readLines(c.dir.file("TRNSTSSW.CBM")).size(), structure ? 5u : 0u);
        EXPECT_EQ(readLines(c.dir.file("TRNFDGSW.CBM")).size(), structure ? 5u : 3u);
        EXPECT_EQ(readLines(c.dir.file("STSNGKHH.CBM"))[2],
                  "   (HZ)           (kN/M)       (kN/M)              ");
    }
}

TEST(FullRun, OnePileAtTheOriginGroupEqualsSingleAndRockingFactorsAreZero)
{
    Completed c;
    ProjectText p = twoPiles(2, true);
    p.piles = {{0.0, 0.0}};
    runProject(c, p);
    ASSERT_EQ(c.run.status, 0) << c.run.console;
    auto data = [&](const char* name) {
        auto lines = readLines(c.dir.file(name));
        return std::vector<std::string>(lines.begin() + 3, lines.end());
    };
    EXPECT_EQ(data("STSNGKHH.CBM"), data("STGRPKHH.CBM"));
    EXPECT_EQ(data("RTSNGKHH.CBM"), data("RTGRPKHH.CBM"));
    EXPECT_EQ(data("TRNPLSSW.CBM"), data("TRNPLGSW.CBM"));
    EXPECT_EQ(data("TRNSTSSW.CBM"), data("TRNSTGSW.CBM"));
    EXPECT_EQ(data("TRNFDSSW.CBM"), data("TRNFDGSW.CBM"));
    EXPECT_EQ(data("STSNGKVV.CBM"), data("STGRPKVV.CBM"));
    EXPECT_EQ(data("RTSNGKVV.CBM"), data("RTGRPKVV.CBM"));
    // All piles on both axes: the rocking statics are zero and so are the factors.
    for (const auto& line : data("RTGRPKRX.CBM"))
        EXPECT_EQ(line.substr(8), "        0.00000E+00  0.00000E+00");
    for (const auto& line : data("RTGRPKRY.CBM"))
        EXPECT_EQ(line.substr(8), "        0.00000E+00  0.00000E+00");
    const auto v = numbers(c.dir.file("p.klp"));
    EXPECT_EQ(v.size(), 2u + 2u * 36u);
}

TEST(FullRun, ScratchFileHoldsTheHorizontalPlotLines)
{
    Completed c;
    ProjectText p = twoPiles(1, false);
    p.nfreq = 3;
    runProject(c, p);
    ASSERT_EQ(c.run.status, 0) << c.run.console;
    const auto lines = readLines(c.dir.file("pldata1"));
    ASSERT_EQ(lines.size(), 1u + 3u * 3u);
    EXPECT_EQ(lines[0], "           3           1");
    EXPECT_EQ(lines[1].substr(0, 8), "   0.000");
    EXPECT_EQ(lines[3].substr(0, 8), "  12.500");
    EXPECT_EQ(lines[9].substr(0, 8), "  25.000");
    // The first single-pile and group stiffness lines equal those of the result files.
    EXPECT_EQ(lines[1], readLines(c.dir.file("STSNGKHH.CBM"))[3]);
    EXPECT_EQ(lines[2], readLines(c.dir.file("STGRPKHH.CBM"))[3]);
    EXPECT_EQ(lines[7], readLines(c.dir.file("RTGRPKHH.CBM"))[3]);
}

TEST(FullRun, FastAndSequentialComputationsWriteTheSameBytes)
{
    // A regular 3 x 3 grid (repeated pair keys), an irregular pile and one
    // more pile in line with a grid row (overlapping piles are refused).
    ProjectText p = twoPiles(2, true);
    p.piles.clear();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            p.piles.emplace_back(1.5 * i, 1.5 * j);
    p.piles.emplace_back(0.77, 2.21);
    p.piles.emplace_back(4.5, 0.0);
    p.nfreq = 3;
    std::vector<const char*> files = {"p.klo", "p.klp", "p.klr"};
    for (const char* name : kd::scratchFileNames())
        files.push_back(name);
    TempDir fast, sequential;
    for (TempDir* d : {&fast, &sequential}) {
        writeFile(d->file("p.kld"), p.text());
        writeFileList(d->path(), "p");
    }
    ASSERT_EQ(runKdcalc(fast.path(), "KDCALC_THREADS=4").status, 0);
    ASSERT_EQ(runKdcalc(sequential.path(), "KDCALC_SEQUENTIAL=1").status, 0);
    for (const char* f : files) {
        SCOPED_TRACE(f);
        const std::string a = readFile(fast.file(f));
        EXPECT_TRUE(!a.empty() || std::string(f) == "p.klr");  // no run notes for this soil
        EXPECT_TRUE(a == readFile(sequential.file(f)));
    }
}

TEST(FullRun, ResultThatIsNotFiniteStopsTheRunWithoutResults)
{
    // A shear-wave velocity so small that the shear modulus underflows to zero:
    // the soil model divides by it and the first result is not a number.
    Completed c;
    ProjectText p = twoPiles(2, false);
    p.layers[0].vs = 1e-200;
    runProject(c, p);
    EXPECT_NE(c.run.status, 0);
    EXPECT_NE(c.run.console.find(" A RESULT AT FREQUENCY      0.000 HZ IS NOT A FINITE NUMBER"), std::string::npos)
        << c.run.console;
    for (const char* name : {"p.klp", "pldata1", "TRNPLSSW.CBM", "STSNGKHH.CBM", "STGRPKVV.CBM"})
        EXPECT_FALSE(fileExists(c.dir.file(name))) << name;
    for (const auto& line : c.report)
        EXPECT_EQ(line.find("NaN"), std::string::npos);
}
