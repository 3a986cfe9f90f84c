#include "InverseIteration.h"

#include "DenseReference.h"
#include "DynamicLayerMatrices.h"
#include "HorizontalSoilModel.h"
#include "RecordFile.h"
#include "SoilColumn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace kd;
using kd::test::relDiff;
using kd::test::SoilColumn;

namespace {

// Dense Q(k) = k^2 A + k B + D of the two-component model, row-major, B
// symmetric with couplings p..p+1 (BAND1) and p..p+3 (BAND3).
std::vector<Cx> denseQ(HorizontalSoilModel& soil, Cx k)
{
    ThinLayerBands& b = soil.bands;
    const int m = 2 * soil.n;
    std::vector<Cx> q(static_cast<std::size_t>(m * m));
    auto add = [&](int p, int r, Cx value) {
        q[(p - 1) * m + (r - 1)] += value;
        if (p != r)
            q[(r - 1) * m + (p - 1)] += value;
    };
    const Cx k2 = k * k;
    for (int p = 1; p <= m; ++p) {
        add(p, p, k2 * b.PSV_A_DIAG(p) + soil.PSV_DYN_DIAG(p));
        if (p + 1 <= m)
            add(p, p + 1, k * b.PSV_B_BAND1(p));
        if (p + 2 <= m)
            add(p, p + 2, k2 * b.PSV_A_OFF(p) + soil.PSV_DYN_OFF(p));
        if (p + 3 <= m)
            add(p, p + 3, k * b.PSV_B_BAND3(p));
    }
    return q;
}

// phi_j^T K phi_j for a dense row-major K.
Cx bilinear(const std::vector<Cx>& mat, HorizontalSoilModel& soil, int col, int m)
{
    Cx sum{0.0, 0.0};
    for (int p = 1; p <= m; ++p)
        for (int r = 1; r <= m; ++r)
            sum += soil.PSV_MODES(p, col) * mat[(p - 1) * m + (r - 1)] * soil.PSV_MODES(r, col);
    return sum;
}

struct Profile {
    std::string name;
    SoilColumn column;
    double omega2;
};

SoilColumn layeredColumn(double beta)
{
    SoilColumn c;
    c.add(2, 2.0, 1.8, 3.0, 0.30, beta);
    c.add(3, 3.0, 1.9, 4.5, 0.35, beta);
    c.add(3, 6.0, 2.1, 8.0, 0.25, beta);
    return c;
}

std::vector<Profile> profiles()
{
    std::vector<Profile> list;
    SoilColumn one;
    one.add(1, 4.0, 2.0, 5.0, 0.3, 0.05);
    list.push_back({"one sublayer", one, 20.0});
    SoilColumn uniform;
    uniform.add(6, 12.0, 2.0, 5.0, 0.3, 0.05);
    list.push_back({"uniform, 6 sublayers", uniform, 8.0});
    list.push_back({"layered, low frequency", layeredColumn(0.05), 2.0});
    list.push_back({"layered, high frequency", layeredColumn(0.03), 60.0});
    SoilColumn soft;
    soft.add(4, 3.0, 1.7, 2.0, 0.45, 0.02);
    soft.add(10, 10.0, 2.0, 6.0, 0.30, 0.02);
    list.push_back({"soft over stiff, 14 sublayers", soft, 30.0});
    return list;
}

HorizontalSoilModel solve(const SoilColumn& column, double omega2, OutputChannel& report)
{
    HorizontalSoilModel soil = column.model();
    FORM_DYN_PSV(soil, omega2);
    EIGENVECTORS_H(soil, report);
    return soil;
}

} // namespace

// Each returned pair solves (k^2 A - k B + D) phi = 0: the final pass turns
// every mode of the search's Q(k) = k^2 A + k B + D into its mirror (-k with
// the even positions negated, or the even positions negated alone), the form
// the soil stiffness reads. Each is normalised so that phi^T (2kA - B) phi = 2k
// (equivalently phi^T A phi - phi^T D phi / k^2 = 2), decays (Im k <= 0), and
// the set is complete: Q(-k) mirrors Q(k), so
// det Q(z) = det A * prod_j (z^2 - k_j^2), checked at points away from the wave numbers.
// That identity is an independent dense check of all wave numbers with their
// multiplicities (LU determinants of the dense matrices, no eigen-solver).
TEST(InverseIteration, ModesSolveTheQuadraticProblem)
{
    for (const Profile& profile : profiles()) {
        SCOPED_TRACE(profile.name);
        OutputChannel report;
        HorizontalSoilModel soil = solve(profile.column, profile.omega2, report);
        EXPECT_TRUE(report.memoryLines().empty()) << report.memoryLines().front();
        const int m = 2 * soil.n;
        // A and B split off Q(0) = D, Q(1) = A + B + D and Q(-1) = A - B + D.
        const std::vector<Cx> dDense = denseQ(soil, Cx{0.0, 0.0});
        const std::vector<Cx> qUnit = denseQ(soil, Cx{1.0, 0.0});
        const std::vector<Cx> qMinus = denseQ(soil, Cx{-1.0, 0.0});
        std::vector<Cx> aDense(dDense.size());
        std::vector<Cx> bDense(dDense.size());
        for (std::size_t e = 0; e < dDense.size(); ++e) {
            aDense[e] = 0.5 * (qUnit[e] + qMinus[e]) - dDense[e];
            bDense[e] = 0.5 * (qUnit[e] - qMinus[e]);
        }
        for (int j = 1; j <= m; ++j) {
            SCOPED_TRACE("mode " + std::to_string(j));
            const Cx k = soil.PSV_WAVENUMBERS(j);
            EXPECT_LE(k.im, 0.0);
            const std::vector<Cx> q = denseQ(soil, -k);  // k^2 A - k B + D
            double residual = 0.0, scale = 0.0, size = 0.0;
            for (int p = 1; p <= m; ++p) {
                Cx r{0.0, 0.0};
                for (int c = 1; c <= m; ++c) {
                    r += q[(p - 1) * m + (c - 1)] * soil.PSV_MODES(c, j);
                    scale = std::max(scale, modulus(q[(p - 1) * m + (c - 1)]));
                }
                residual = std::max(residual, modulus(r));
                size = std::max(size, modulus(soil.PSV_MODES(p, j)));
            }
            EXPECT_LT(residual, 1e-9 * scale * size);
            // phi^T (2kA - B) phi = 2k.
            std::vector<Cx> qd(q.size());
            for (std::size_t e = 0; e < q.size(); ++e)
                qd[e] = 2.0 * k * aDense[e] - bDense[e];
            EXPECT_LT(relDiff(bilinear(qd, soil, j, m), 2.0 * k), 1e-9);
        }

        // Completeness: det Q(z) against det A * prod (z^2 - k_j^2).
        const Cx detA = kd::test::determinant(aDense, m);
        double kmax = 0.0;
        for (int j = 1; j <= m; ++j)
            kmax = std::max(kmax, modulus(soil.PSV_WAVENUMBERS(j)));
        for (Cx z : {Cx{0.3, 0.1}, Cx{0.7, -0.4}, Cx{-0.2, 0.9}}) {
            const Cx zz = kmax * z;
            Cx product = detA;
            for (int j = 1; j <= m; ++j)
                product = product * (zz * zz - soil.PSV_WAVENUMBERS(j) * soil.PSV_WAVENUMBERS(j));
            EXPECT_LT(relDiff(kd::test::determinant(denseQ(soil, zz), m), product), 1e-8);
        }
    }
}

namespace {

// Largest relative difference of two mode sets, pairing wave numbers by
// nearness; modes compared up to their overall sign, which the iteration
// leaves open (soil stiffness uses modes in products that cancel it).
struct SetDifference {
    double waveNumbers = 0.0;
    double modes = 0.0;
};

SetDifference compareSets(HorizontalSoilModel& a, HorizontalSoilModel& b)
{
    SetDifference d;
    const int m = 2 * a.n;
    std::vector<bool> used(m + 1, false);
    for (int j = 1; j <= m; ++j) {
        int best = 0;
        for (int i = 1; i <= m; ++i)
            if (!used[i] && (best == 0 || modulus(b.PSV_WAVENUMBERS(i) - a.PSV_WAVENUMBERS(j))
                                              < modulus(b.PSV_WAVENUMBERS(best) - a.PSV_WAVENUMBERS(j))))
                best = i;
        used[best] = true;
        d.waveNumbers = std::max(d.waveNumbers, relDiff(a.PSV_WAVENUMBERS(j), b.PSV_WAVENUMBERS(best)));
        double plus = 0.0, minus = 0.0, size = 0.0;
        for (int p = 1; p <= m; ++p) {
            plus = std::max(plus, modulus(a.PSV_MODES(p, j) - b.PSV_MODES(p, best)));
            minus = std::max(minus, modulus(a.PSV_MODES(p, j) + b.PSV_MODES(p, best)));
            size = std::max(size, modulus(a.PSV_MODES(p, j)));
        }
        d.modes = std::max(d.modes, std::min(plus, minus) / size);
    }
    return d;
}

} // namespace

SoilColumn uniformQuarterColumn(double beta)
{
    // Poisson's ratio 0.25 makes lambda = G exactly, so the in-layer coupling
    // (G - lambda)/2 vanishes: band elements cancel exactly in the elimination.
    SoilColumn c;
    c.add(4, 4.0, 2.0, 2.0, 0.25, beta);
    return c;
}

// Undamped soil is the limit of damped soil: the propagating (real) modes
// must come out outgoing, as the limit from Im k < 0 gives them, and no zero
// pivot may stop the search. The uniform rows at omega^2 = 1.5 and 4 land an
// eliminated element exactly on zero; at 4, 16.5 and 22 the raw iteration
// vector has the phase that turned propagating modes around.
TEST(InverseIteration, UndampedProfileIsTheLimitOfDampedSoil)
{
    struct Case {
        const char* name;
        SoilColumn (*column)(double beta);
        double omega2;
    };
    const Case cases[] = {{"uniform", uniformQuarterColumn, 1.5},  {"uniform", uniformQuarterColumn, 4.0},
                          {"uniform", uniformQuarterColumn, 16.5}, {"uniform", uniformQuarterColumn, 22.0},
                          {"layered", layeredColumn, 2.0},         {"layered", layeredColumn, 20.0},
                          {"layered", layeredColumn, 60.0},        {"layered", layeredColumn, 150.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", omega^2 = " + std::to_string(c.omega2));
        OutputChannel undampedReport;
        OutputChannel dampedReport;
        HorizontalSoilModel undamped = solve(c.column(0.0), c.omega2, undampedReport);
        HorizontalSoilModel damped = solve(c.column(1e-6), c.omega2, dampedReport);
        EXPECT_TRUE(undampedReport.memoryLines().empty());
        EXPECT_TRUE(dampedReport.memoryLines().empty());
        int realModes = 0;
        for (int j = 1; j <= 2 * undamped.n; ++j) {
            EXPECT_TRUE(isFinite(undamped.PSV_WAVENUMBERS(j)));
            if (undamped.PSV_WAVENUMBERS(j).im == 0.0)
                ++realModes;
        }
        EXPECT_GT(realModes, 0);
        const SetDifference d = compareSets(undamped, damped);
        EXPECT_LT(d.waveNumbers, 1e-4);
        EXPECT_LT(d.modes, 1e-4);
    }
}

TEST(InverseIteration, FailureMessagesLeaveTheOutputs)
{
    const Cx sentinel{-5.0, 5.0};
    auto prefill = [&](HorizontalSoilModel& soil) {
        for (int j = 1; j <= 2 * soil.n; ++j) {
            soil.PSV_WAVENUMBERS(j) = sentinel;
            for (int p = 1; p <= 2 * soil.n; ++p)
                soil.PSV_MODES(p, j) = sentinel;
        }
    };
    // No convergence: a NaN in the dynamic matrix.
    {
        HorizontalSoilModel soil = layeredColumn(0.05).model();
        FORM_DYN_PSV(soil, 20.0);
        soil.PSV_DYN_DIAG(3) = Cx{std::nan(""), 0.0};
        prefill(soil);
        OutputChannel report;
        EIGENVECTORS_H(soil, report);
        EXPECT_EQ(report.memoryLines(), std::vector<std::string>{"1 FAILURE TO CONVERGE IN 100 ITERATION STEPS"});
        for (int j = 1; j <= 2 * soil.n; ++j)
            EXPECT_TRUE(soil.PSV_WAVENUMBERS(j) == sentinel);
    }
    // Orthogonality, forced through the core with a limit nothing can meet:
    // the first mode is stored as found (no final sign pass), the rest keep
    // their contents.
    {
        HorizontalSoilModel soil = layeredColumn(0.05).model();
        FORM_DYN_PSV(soil, 20.0);
        prefill(soil);
        OutputChannel report;
        InverseIterationLimits limits = kHorizontalModeLimits;
        limits.orthogonal = 0.0;
        ThinLayerBands& b = soil.bands;
        const ModeSearchStatus status = inverseIterationModes(
            limits, b.PSV_A_DIAG, b.PSV_A_OFF, b.PSV_B_BAND1, b.PSV_B_BAND3, soil.PSV_DYN_DIAG, soil.PSV_DYN_OFF,
            soil.PSV_WAVENUMBERS, soil.PSV_MODES, soil.modeWork, 2 * soil.n, report);
        EXPECT_EQ(status, ModeSearchStatus::NotOrthogonal);
        EXPECT_EQ(report.memoryLines(),
                  std::vector<std::string>{"1 FAILURE TO FIND THE EIGENVECTOR ORTHOGONAL TO THE ONES FOUND BEFORE"});
        EXPECT_FALSE(soil.PSV_WAVENUMBERS(1) == sentinel);
        // Found by the search of Q(k) = k^2 A + k B + D, before the final pass.
        const std::vector<Cx> q = denseQ(soil, soil.PSV_WAVENUMBERS(1));
        const int m = 2 * soil.n;
        double residual = 0.0;
        for (int p = 1; p <= m; ++p) {
            Cx r{0.0, 0.0};
            for (int c = 1; c <= m; ++c)
                r += q[(p - 1) * m + (c - 1)] * soil.PSV_MODES(c, 1);
            residual = std::max(residual, modulus(r));
        }
        EXPECT_LT(residual, 1e-7);
        for (int j = 2; j <= m; ++j)
            EXPECT_TRUE(soil.PSV_WAVENUMBERS(j) == sentinel);
    }
}

// The vertical entry point runs the same search with double thresholds: the
// same wave numbers to the accuracy of the convergence tests.
TEST(InverseIteration, VerticalTwinAgreesWithHorizontal)
{
    struct Case {
        SoilColumn column;
        double omega2;
    };
    const Case cases[] = {{layeredColumn(0.05), 20.0}, {uniformQuarterColumn(0.0), 4.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.omega2);
        OutputChannel hReport;
        HorizontalSoilModel h = solve(c.column, c.omega2, hReport);
        HorizontalSoilModel v = c.column.model();
        FORM_DYN_PSV(v, c.omega2);
        OutputChannel vReport;
        ThinLayerBands& b = v.bands;
        InverseIterationWork& w = v.modeWork;
        EIGENVECTORS_V(b.PSV_A_DIAG, b.PSV_A_OFF, b.PSV_B_BAND1, b.PSV_B_BAND3, v.PSV_DYN_DIAG, v.PSV_DYN_OFF,
                       v.PSV_WAVENUMBERS, v.PSV_MODES, w.band, w.v, w.x, w.dv, w.ax, w.spare, w.sumk, w.sum1,
                       w.start1, w.start2, w.rowLimit, 2 * v.n, vReport);
        EXPECT_TRUE(hReport.memoryLines().empty());
        EXPECT_TRUE(vReport.memoryLines().empty());
        const SetDifference d = compareSets(h, v);
        EXPECT_LT(d.waveNumbers, 1e-8);
        EXPECT_LT(d.modes, 1e-6);
    }
}
