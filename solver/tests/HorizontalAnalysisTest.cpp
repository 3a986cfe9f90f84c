// The horizontal analysis against physical limits and invariants: the static
// fixed-head beam, one pile as a group, coincident piles, rigid motions and
// renumbering of the layout, and the scaling of all lengths.

#include "AnalysisFixture.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace kd;
using namespace kdtest;

namespace {

ProjectInput irregularGroup()
{
    ProjectInput in = twoLayerProject();
    in.x = {0.0, 1.2, -0.7, 2.1};
    in.y = {0.0, 0.4, 1.5, -1.1};
    in.nfreq = 3;
    in.freq0 = 0.0;
    in.dfreq = 6.0;
    in.baseMass = 50.0;
    in.topMass = 120.0;
    in.spring = 8.0e4;
    in.damping = 0.04;
    return in;
}

void expectSameLines(const HorizontalLines& a, const HorizontalLines& b, double tol)
{
    EXPECT_LT(relDiff(a.uff, b.uff), tol);
    EXPECT_LT(relDiff(a.up, b.up), tol);
    EXPECT_LT(relDiff(a.dkshh, b.dkshh), tol);
    EXPECT_LT(relDiff(a.upp, b.upp), tol);
    EXPECT_LT(relDiff(a.dkghh, b.dkghh), tol);
    EXPECT_LT(relDiff(a.ustSingle, b.ustSingle), tol);
    EXPECT_LT(relDiff(a.u0Single, b.u0Single), tol);
    EXPECT_LT(relDiff(a.ustGroup, b.ustGroup), tol);
    EXPECT_LT(relDiff(a.u0Group, b.u0Group), tol);
}

} // namespace

TEST(HorizontalAnalysis, SoftSoilStaticLimitIsTheFixedHeadTimoshenkoBeam)
{
    // A pile through very soft soil down to the rigid base, both ends fixed
    // against rotation: the head stiffness is 12 EI / (L^3 (1 + phi)) with
    // phi = 12 EI / (G As L^2), G = EP / (2 (1 + nu)) and the shear area As
    // half the section.
    ProjectInput in = twoLayerProject();
    in.layers = {{5, 10.0, 0.01, 0.3, 1.0, 0.0}};
    in.length = 10.0;
    in.dampp = 0.0;
    in.nfreq = 1;
    HorizontalRun run(in);
    const auto lines = run.run();
    const double ei = in.ep * in.ip;
    const double l = in.length;
    const double gAs = in.ep / (2.0 * (1.0 + in.poissonp)) * (0.5 * in.ap);
    const double phi = 12.0 * ei / (gAs * l * l);
    const double expected = 12.0 * ei / (l * l * l * (1.0 + phi));
    EXPECT_NEAR(lines[0].dkshh.re / expected, 1.0, 1e-5);
    EXPECT_LT(std::fabs(lines[0].dkshh.im / expected), 1e-5);
}

TEST(HorizontalAnalysis, OnePileGroupIsTheSinglePile)
{
    ProjectInput in = irregularGroup();
    in.x = {3.0};
    in.y = {-2.0};
    HorizontalRun run(in);
    for (const auto& l : run.run()) {
        EXPECT_EQ(l.dkghh, l.dkshh);
        EXPECT_EQ(l.upp, l.up);
        EXPECT_EQ(l.ustGroup, l.ustSingle);
        EXPECT_EQ(l.u0Group, l.u0Single);
    }
}

TEST(HorizontalAnalysis, TwoCoincidentPilesDoubleTheStiffness)
{
    ProjectInput in = irregularGroup();
    in.x = {0.5, 0.5};
    in.y = {1.0, 1.0};
    HorizontalRun run(in);
    for (const auto& l : run.run()) {
        EXPECT_LT(relDiff(l.dkghh, 2.0 * l.dkshh), 1e-15);
        EXPECT_LT(relDiff(l.upp, l.up), 1e-15);
    }
}

TEST(HorizontalAnalysis, LayoutRenumberedTranslatedOrMirroredGivesTheSameResults)
{
    const ProjectInput base = irregularGroup();
    HorizontalRun reference(base);
    const auto expected = reference.run();

    struct Case {
        const char* name;
        std::vector<double> x, y;
    };
    std::vector<Case> cases;
    cases.push_back({"renumbered", {base.x[2], base.x[0], base.x[3], base.x[1]},
                     {base.y[2], base.y[0], base.y[3], base.y[1]}});
    Case moved{"translated", base.x, base.y};
    for (auto& v : moved.x)
        v += 13.7;
    for (auto& v : moved.y)
        v -= 4.2;
    cases.push_back(moved);
    Case mirrored{"mirrored", base.x, base.y};
    for (auto& v : mirrored.x)
        v = -v;
    cases.push_back(mirrored);
    Case flipped{"mirrored in y", base.x, base.y};
    for (auto& v : flipped.y)
        v = -v;
    cases.push_back(flipped);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectInput in = base;
        in.x = c.x;
        in.y = c.y;
        HorizontalRun run(in);
        const auto got = run.run();
        for (std::size_t i = 0; i < got.size(); ++i)
            expectSameLines(got[i], expected[i], 1e-9);
    }
}

TEST(HorizontalAnalysis, DoublingAllLengthsDoublesStiffnessAtHalfTheFrequency)
{
    const ProjectInput base = irregularGroup();
    ProjectInput big = base;
    for (auto& l : big.layers)
        l.height *= 2.0;
    big.ip *= 16.0;
    big.ap *= 4.0;
    big.r *= 2.0;
    big.length *= 2.0;
    for (auto& v : big.x)
        v *= 2.0;
    for (auto& v : big.y)
        v *= 2.0;
    big.baseMass *= 8.0;  // masses grow with the volume
    big.topMass *= 8.0;
    big.spring *= 2.0;    // stiffness with the length at equal moduli
    big.freq0 *= 0.5;
    big.dfreq *= 0.5;

    HorizontalRun small(base);
    HorizontalRun large(big);
    const auto a = small.run();
    const auto b = large.run();
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LT(relDiff(b[i].dkshh, 2.0 * a[i].dkshh), 1e-8);
        EXPECT_LT(relDiff(b[i].dkghh, 2.0 * a[i].dkghh), 1e-8);
        HorizontalLines scaled = b[i];
        scaled.dkshh = 0.5 * b[i].dkshh;
        scaled.dkghh = 0.5 * b[i].dkghh;
        expectSameLines(scaled, a[i], 1e-8);
    }
}

TEST(HorizontalAnalysis, GroupOfSpacedPilesIsSofterThanItsPilesAlone)
{
    // Interaction through the soil: at the static limit a group of close piles
    // is less stiff than the same number of isolated piles, and its factor
    // tends to 1 as the spacing grows.
    double previous = 0.0;
    for (double spacing : {1.0, 3.0, 12.0}) {
        SCOPED_TRACE(spacing);
        ProjectInput in = twoLayerProject();
        in.x = {0.0, spacing};
        in.y = {0.0, 0.0};
        HorizontalRun run(in);
        const auto l = run.run()[0];
        const double factor = l.dkghh.re / (2.0 * l.dkshh.re);
        EXPECT_LT(factor, 1.0);
        EXPECT_GT(factor, previous);
        previous = factor;
    }
    EXPECT_GT(previous, 0.9);
}
