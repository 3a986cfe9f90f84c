// The physical checks that every golden case's expected files passed when
// they were made, run again on the stored files so that a regenerated
// reference cannot take in a result that breaks them: the static limit
// (transfer functions of one, single-pile factors of one, group factors from
// zero to one), one pile = the single pile, symmetry of the layout, no
// imaginary stiffness below the first mode of an undamped column, and equal
// results for the mirrored and renumbered layout.

#include "GoldenCases.h"
#include "KdcalcRun.h"
#include "ResultFileNames.h"
#include "RunChannels.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

using namespace kdtest;

namespace {

using Row = std::vector<double>;  // frequency, then the values of a data line

// The data lines of a result file (below its three heading lines); a file
// left empty (the structure files without a superstructure) has none.
std::vector<std::string> dataLines(const std::string& path)
{
    auto lines = readLines(path);
    EXPECT_TRUE(lines.empty() || lines.size() >= 3u) << path;
    return lines.size() < 3 ? std::vector<std::string>() : std::vector<std::string>(lines.begin() + 3, lines.end());
}

std::vector<Row> rows(const std::string& path)
{
    std::vector<Row> out;
    for (const std::string& line : dataLines(path)) {
        std::istringstream in(line);
        Row r;
        double v;
        while (in >> v)
            r.push_back(v);
        out.push_back(r);
    }
    return out;
}

// Each value of a line against the line's largest: the files show five digits.
bool sameRow(const Row& a, const Row& b, double relative)
{
    if (a.size() != b.size() || a.empty() || a[0] != b[0])
        return false;
    double scale = 0.0;
    for (std::size_t i = 1; i < a.size(); ++i)
        scale = std::max({scale, std::fabs(a[i]), std::fabs(b[i])});
    for (std::size_t i = 1; i < a.size(); ++i)
        if (std::fabs(a[i] - b[i]) > relative * scale)
            return false;
    return true;
}

// The project's lines with the pile layout mirrored (x to -x) and its order reversed.
std::string mirroredProject(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const std::size_t layers = std::stoul(lines.at(2));
    const std::size_t countLine = 3 + layers + 2;
    const std::size_t piles = std::stoul(lines.at(countLine));
    std::vector<std::string> mirrored;
    for (std::size_t i = 0; i < piles; ++i) {
        std::istringstream pile(lines.at(countLine + 1 + i));
        double x, y;
        pile >> x >> y;
        std::ostringstream out;
        out.precision(17);
        out << -x << ' ' << y << " \r";
        mirrored.insert(mirrored.begin(), out.str());
    }
    std::string result;
    for (std::size_t i = 0; i < lines.size(); ++i)
        result += (i > countLine && i <= countLine + piles ? mirrored[i - countLine - 1] : lines[i]) + '\n';
    return result;
}

const char* const kStiffnessFiles[] = {"STSNGKHH.CBM", "STGRPKHH.CBM", "STSNGKVV.CBM",
                                       "STGRPKVV.CBM", "STGRPKRX.CBM", "STGRPKRY.CBM"};

class GoldenReference : public testing::TestWithParam<const GoldenCase*> {
protected:
    std::string file(const char* name) const { return goldenFolder(GetParam()->name) + "/" + name; }
};

} // namespace

namespace kdtest {
void PrintTo(const GoldenCase* c, std::ostream* os) { *os << c->name; }
} // namespace kdtest

namespace {

std::string caseName(const testing::TestParamInfo<const GoldenCase*>& info)
{
    std::string name = info.param->name;
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

template <typename Pick>
std::vector<const GoldenCase*> casesWhere(Pick pick)
{
    std::vector<const GoldenCase*> out;
    for (const GoldenCase& c : goldenCases())
        if (pick(c))
            out.push_back(&c);
    return out;
}

// One suite per property, run on the cases that have it.
class OnePileReference : public GoldenReference {};
class SymmetricReference : public GoldenReference {};
class UndampedReference : public GoldenReference {};
class GroupReference : public GoldenReference {};

} // namespace

TEST_P(GoldenReference, StaticLimit)
{
    // Every case starts at 0 Hz: the pile, the foundation and the structure
    // move with the base, the single-pile factors are one, and a group of
    // piles interacting through the soil is softer than its piles alone.
    std::vector<const char*> transfer = {"TRNPLSSW.CBM", "TRNPLGSW.CBM"};
    if (GetParam()->superstructure)
        transfer.insert(transfer.end(), {"TRNSTSSW.CBM", "TRNFDSSW.CBM", "TRNSTGSW.CBM", "TRNFDGSW.CBM"});
    for (const char* name : transfer) {
        SCOPED_TRACE(name);
        const auto lines = dataLines(file(name));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "   0.000        0.10000E+01  0.10000E+01  0.10000E+01");
    }
    for (const char* name : {"RTSNGKHH.CBM", "RTSNGKVV.CBM"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(dataLines(file(name)).at(0).substr(0, 27), "   0.000        0.10000E+01");
    }
    for (const char* name : kStiffnessFiles) {
        SCOPED_TRACE(name);
        const Row r = rows(file(name)).at(0);
        EXPECT_TRUE(r[1] > 0.0 || (r[1] == 0.0 && std::string(name).substr(0, 7) == "STGRPKR"));
    }
    for (const char* name : {"RTGRPKHH.CBM", "RTGRPKVV.CBM"}) {
        SCOPED_TRACE(name);
        const Row r = rows(file(name)).at(0);
        if (GetParam()->onePile)
            EXPECT_EQ(r[1], 1.0);
        else
            EXPECT_TRUE(r[1] > 0.0 && r[1] < 1.0) << r[1];
    }
}

TEST_P(OnePileReference, OnePileIsTheSinglePile)
{
    const std::pair<const char*, const char*> same[] = {
        {"STSNGKHH.CBM", "STGRPKHH.CBM"}, {"RTSNGKHH.CBM", "RTGRPKHH.CBM"}, {"TRNPLSSW.CBM", "TRNPLGSW.CBM"},
        {"STSNGKVV.CBM", "STGRPKVV.CBM"}, {"RTSNGKVV.CBM", "RTGRPKVV.CBM"}};
    for (const auto& [single, group] : same) {
        SCOPED_TRACE(group);
        EXPECT_EQ(dataLines(file(single)), dataLines(file(group)));
    }
    // Rocking of the one pile about the axes: its vertical stiffness times
    // the squared distance, x for the x direction, y for the y direction.
    std::istringstream project(readFile(goldenFolder(GetParam()->name) + "/" +
                                        goldenProjectFile(goldenFolder(GetParam()->name))));
    std::vector<std::string> lines;
    for (std::string line; std::getline(project, line);)
        lines.push_back(line);
    std::istringstream pile(lines.at(3 + std::stoul(lines.at(2)) + 3));
    double x = 0.0, y = 0.0;
    pile >> x >> y;
    const auto vertical = rows(file("STSNGKVV.CBM"));
    const auto rx = rows(file("STGRPKRX.CBM"));
    const auto ry = rows(file("STGRPKRY.CBM"));
    ASSERT_EQ(rx.size(), vertical.size());
    ASSERT_EQ(ry.size(), vertical.size());
    for (std::size_t i = 0; i < vertical.size(); ++i) {
        SCOPED_TRACE(vertical[i][0]);
        EXPECT_TRUE(sameRow(rx[i], {vertical[i][0], x * x * vertical[i][1], x * x * vertical[i][2]}, 2e-4));
        EXPECT_TRUE(sameRow(ry[i], {vertical[i][0], y * y * vertical[i][1], y * y * vertical[i][2]}, 2e-4));
    }
}

TEST_P(SymmetricReference, SymmetricLayoutRocksAlikeAboutBothAxes)
{
    EXPECT_EQ(dataLines(file("STGRPKRX.CBM")), dataLines(file("STGRPKRY.CBM")));
    EXPECT_EQ(dataLines(file("RTGRPKRX.CBM")), dataLines(file("RTGRPKRY.CBM")));
}

TEST_P(UndampedReference, UndampedColumnHasNoImaginaryStiffnessBelowItsFirstMode)
{
    const double below = GetParam()->undampedBelowHz;
    int checked = 0;
    for (const char* name : kStiffnessFiles) {
        SCOPED_TRACE(name);
        for (const Row& r : rows(file(name)))
            if (r[0] < below) {
                EXPECT_LE(std::fabs(r[2]), 1e-9 * std::fabs(r[1])) << "at " << r[0] << " Hz";
                ++checked;
            }
    }
    EXPECT_GT(checked, 6);
}

TEST_P(GroupReference, MirroredAndRenumberedLayoutGivesTheSameResults)
{
    const std::string folder = goldenFolder(GetParam()->name);
    TempDir dir;
    writeFile(dir.file("m.kld"), mirroredProject(readFile(folder + "/" + goldenProjectFile(folder))));
    writeFileList(dir.path(), "m");
    const RunResult run = runKdcalc(dir.path());
    ASSERT_EQ(run.status, 0) << run.console;
    for (const char* name : kd::scratchFileNames()) {
        if (std::string(name) == kd::kPlotScratchName)
            continue;
        SCOPED_TRACE(name);
        const auto expected = rows(file(name));
        const auto mirrored = rows(dir.file(name));
        ASSERT_EQ(mirrored.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(sameRow(expected[i], mirrored[i], 2e-4)) << "data line " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenReference, testing::ValuesIn(casesWhere([](const GoldenCase&) { return true; })),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Golden, OnePileReference,
                         testing::ValuesIn(casesWhere([](const GoldenCase& c) { return c.onePile; })), caseName);
INSTANTIATE_TEST_SUITE_P(Golden, SymmetricReference,
                         testing::ValuesIn(casesWhere([](const GoldenCase& c) { return c.symmetricXY; })), caseName);
INSTANTIATE_TEST_SUITE_P(Golden, UndampedReference,
                         testing::ValuesIn(casesWhere([](const GoldenCase& c) { return c.undampedBelowHz > 0.0; })),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Golden, GroupReference,
                         testing::ValuesIn(casesWhere([](const GoldenCase& c) { return c.mirrorRun; })), caseName);
