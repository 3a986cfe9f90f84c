#include "VerticalRocking.h"

#include "ComplexKernels.h"
#include "DynamicLayerMatrices.h"
#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "GroupStiffnessV.h"
#include "InverseIteration.h"
#include "PileBarModel.h"
#include "PileDepthWalk.h"
#include "PlotDataFile.h"
#include "ProjectInput.h"
#include "RecordFile.h"
#include "ResultFileNames.h"
#include "RunChannels.h"
#include "SharedStorage.h"
#include "SoilFlexibilityV.h"
#include "ThinLayerMatrices.h"

#include <cmath>
#include <vector>

namespace kd {

namespace {

// Circular frequency of the vertical analysis: f times 2 pi in this form.
constexpr double kTwoPiVertical = 6.283185307;

const char* const kPartHeading = "FREQUENCY        REAL PART    IMAG PART            ";
const char* const kFactorUnits = "   (HZ)         ";

struct VerticalFiles {
    OutputChannel stGrpKvv;  // 4
    OutputChannel stGrpKrx;  // 5
    OutputChannel stGrpKry;  // 6
    OutputChannel rtGrpKvv;  // 7
    OutputChannel rtGrpKrx;  // 8
    OutputChannel stSngKvv;  // 9
    OutputChannel rtSngKvv;  // 10
    OutputChannel rtGrpKry;  // 12
};

void heading(OutputChannel& out, const char* title, const char* units)
{
    out.line(title);
    out.line(kPartHeading);
    out.line(units);
}

void stiffnessHeading(OutputChannel& out, const char* title, int iunits, bool rocking)
{
    if (iunits == 1)
        heading(out, title, rocking ? "   (HZ)         (LB-IN/RAD)  (LB-IN/RAD)             "
                                    : "   (HZ)           (LB/IN)      (LB/IN)             ");
    else if (iunits == 2)
        heading(out, title, rocking ? "   (HZ)         (kN-M/RAD)   (kN-M/RAD)              "
                                    : "   (HZ)           (kN/M)       (kN/M)              ");
}

void resultLine3(OutputChannel& out, double f, Cx v) { out.line(resultLine(f, {v.re, v.im})); }

// A factor divides both parts by the real part of its static value; a static
// value of zero (piles all on one axis for the rocking about it) gives 0.
Cx factor(Cx value, Cx staticValue)
{
    if (staticValue.re == 0.0)
        return Cx{};
    return Cx{value.re / staticValue.re, value.im / staticValue.re};
}

// Storage of the vertical run, sized for the project.
struct VerticalRun {
    int n = 0;   // sublayers
    int m = 0;   // 2n
    int piles = 0;

    ThinLayerBands bands;
    Matrix<Cx> moduli;  // column 1 E*, 2 G*, 3 lambda*
    Vector<Cx> dynDiag, dynOff, wavenumbers;
    Matrix<Cx> modes;
    InverseIterationWork modeWork;
    Matrix<Cx> st, u;  // soil stiffness; modal displacements, then their inverse, then the field at a distance
    Vector<int> ipiv;
    Vector<Cx> work;
    Matrix<Cx> s;      // soil block of the vertical components (n x n), then its inverse F
    Matrix<Cx> bar;    // pile bar matrix (n + 2 nodes)
    Matrix<Cx> w;      // single-pile system
    Matrix<Cx> t;      // modal amplitudes of the unit vertical loads (m x n)
    Matrix<Cx> out;    // pair flexibility (n x n)
    Vector<Cx> field;  // one column of the field (m)
    Matrix<Cx> alpha;  // interaction factors, then their factorisation
    Vector<Cx> rhs;
    Vector<double> thickness, density, area;
    Vector<Cx> youngs;

    void resize(int sublayers, int pileCount)
    {
        n = sublayers;
        m = 2 * n;
        piles = pileCount;
        bands.resize(n);
        moduli.resize(kMaxSublayers, 3);
        dynDiag.assign(m);
        dynOff.assign(m);
        wavenumbers.assign(m);
        modes.resize(m, m);
        modeWork.resize(m);
        st.resize(m, m);
        u.resize(m, m);
        ipiv.assign(m);
        work.assign(m);
        s.resize(n, n);
        bar.resize(n + 2, n + 2);
        w.resize(n, n);
        t.resize(m, n);
        out.resize(n, n);
        field.assign(m);
        alpha.resize(piles, piles);
        rhs.assign(piles);
        thickness.assign(n);
        density.assign(n);
        area.assign(n);
        youngs.assign(n);
    }
};

// Rereads the project file into the vertical run's own variables and refills
// the shared sublayer and pile data from it.
ProjectInput rereadProject(SharedStorage& st, VerticalRun& run)
{
    FreeFormatReader reader;
    reader.open(st.fileNames[1]);
    ProjectInput in = readProjectInput(reader);
    run.resize(in.totalSublayers(), static_cast<int>(in.x.size()));
    int k = 0;
    for (const auto& layer : in.layers) {
        for (int j = 0; j < layer.nsub; ++j) {
            ++k;
            st.subH[k] = layer.height / layer.nsub;
            st.subVs[k] = layer.vs;
            st.subRho[k] = layer.rho;
            st.subNu[k] = layer.nu;
            const double g = layer.rho * layer.vs * layer.vs;
            const double e = 2.0 * g * (1.0 + layer.nu);
            const double lambda = 2.0 * layer.nu * g / (1.0 - 2.0 * layer.nu);
            st.subEs[k] = e;
            const double twoBeta = 2.0 * layer.beta;
            run.moduli(k, 1) = Cx{e, e * twoBeta};
            run.moduli(k, 2) = Cx{g, g * twoBeta};
            run.moduli(k, 3) = Cx{lambda, lambda * twoBeta};
        }
    }
    st.ep = in.ep;
    st.r = in.r;
    st.roup = in.roup;
    st.dampp = in.dampp;
    return in;
}

void copyToReport(OutputChannel& report, const char* name, bool single, int nfreq)
{
    FreeFormatReader in;
    in.open(name);
    report.emptyLine();
    report.emptyLine();
    report.line(single ? "VERTICAL AND ROCKING RESPONSE OF SINGLE PILE   "
                       : "VERTICAL AND ROCKING RESPONSE OF PILE GROUP    ");
    report.emptyLine();
    for (int h = 0; h < 3; ++h)
        report.line(fmtA(in.readText(std::string("HEADING OF ") + name), 80));
    for (int i = 0; i < nfreq; ++i) {
        const auto v = parseResultLine(in.readText(std::string("DATA LINE OF ") + name), 2, name);
        report.line(resultLine(v.frequency, {v.values[0], v.values[1]}));
    }
}

} // namespace

void VERTICAL_ROCKING(SharedStorage& st, RunChannels& ch)
{
    // The plot channel leaves "pldata1" (complete on disk once closed) for the
    // plot data file.
    ch.plotData.close();
    ch.plotData.open(st.fileNames[3]);
    VerticalFiles files;
    files.stGrpKvv.open(kStGrpKvv);
    files.stGrpKrx.open(kStGrpKrx);
    files.stGrpKry.open(kStGrpKry);
    files.rtGrpKvv.open(kRtGrpKvv);
    files.rtGrpKrx.open(kRtGrpKrx);
    files.stSngKvv.open(kStSngKvv);
    files.rtSngKvv.open(kRtSngKvv);
    files.rtGrpKry.open(kRtGrpKry);

    transferHorizontalPlotLines(kPlotScratchName, st.iunits, ch.plotData);

    VerticalRun run;
    const ProjectInput in = rereadProject(st, run);
    ch.report.emptyLine();
    st.setPileModelSettings();

    const int nseg = pileDepthWalk(st, in.length);
    if (nseg > 0)
        st.nseg = nseg;
    st.nsegVertical = st.nseg;
    st.nel = st.nseg;
    for (int k = 1; k <= st.nseg; ++k) {
        st.elemAp[k] = in.ap;
        st.elemIp[k] = in.ip;
    }

    const int n = run.n;
    const int m = run.m;
    const int p = run.piles;
    LAYER_MATRICES_V(run.bands, st.subH, run.moduli, n, m, st.r, st.subRho);
    for (int i = 1; i <= n; ++i) {
        run.thickness(i) = st.subH[i];
        run.density(i) = st.subRho[i];
        run.youngs(i) = run.moduli(i, 1);
        run.area(i) = i <= kMaxSublayers ? st.elemAp[i] : 0.0;
    }

    consoleLine(" ");
    consoleLine("");

    std::vector<double> freqs;
    std::vector<Cx> singleFactor, rockYFactor, rockXFactor, groupFactor;
    Cx sksvv, ns, sx, sy;
    const bool superstructureUnused = false;
    (void)superstructureUnused;

    for (int i = 1; i <= in.nfreq; ++i) {
        const double f = in.dfreq * static_cast<double>(i - 1) + in.freq0;
        const double omega = f * kTwoPiVertical;
        const double w2 = omega * omega;
        consoleLine(" VERTICAL/ROCKING BEHAVIOR, AT FREQUENCY = " + fmtF(f, 10, 2));

        // Soil: modes, stiffness at the interface, its vertical block.
        FORM_DYN_PSV(n, w2, run.dynDiag, run.dynOff, run.bands.PSV_G_DIAG, run.bands.PSV_G_OFF,
                     run.bands.PSV_M_DIAG, run.bands.PSV_M_OFF);
        EIGENVECTORS_V(run.bands.PSV_A_DIAG, run.bands.PSV_A_OFF, run.bands.PSV_B_BAND1, run.bands.PSV_B_BAND3,
                       run.dynDiag, run.dynOff, run.wavenumbers, run.modes, run.modeWork.band, run.modeWork.v,
                       run.modeWork.x, run.modeWork.dv, run.modeWork.ax, run.modeWork.spare, run.modeWork.sumk,
                       run.modeWork.sum1, run.modeWork.start1, run.modeWork.start2, run.modeWork.rowLimit, m,
                       ch.report);
        SOIL_FLEXIBILITY_V(run.st, run.u, run.wavenumbers, run.modes, run.bands, n, m, st.r);
        SOIL_STIFFNESS_V(run.st, run.u, run.ipiv, run.work, m, f, ch.notes);
        AXIAL_EXTRACT_V(run.st, run.s, n);

        // Pile.
        PILE_BAR_MATRICES(st, run.bar, n, run.thickness, run.youngs, run.density, w2, run.area);

        // Single pile.
        for (int k = 1; k <= n; ++k)
            for (int j = 1; j <= n; ++j)
                run.w(j, k) = run.bar(j, k) + run.s(j, k);
        CMATINV(run.w, n);
        const Cx fs = run.w(1, 1);
        const Cx dksvv = recip(fs);
        if (i == 1)
            stiffnessHeading(files.stSngKvv, "VERTICAL STIFFNESS OF SINGLE PILE BY CBM", st.iunits, false);
        resultLine3(files.stSngKvv, f, dksvv);
        writePlotResult(ch.plotData, f, dksvv);

        // Group: interaction factors of every pair i < j.
        CMATINV(run.s, n);  // the soil flexibility F at the pile nodes
        REARRANGE_FLEX_V(run.t, run.u, run.s, n, m);
        run.alpha.fill(Cx{});
        for (int a = 1; a <= p; ++a)
            run.alpha(a, a) = Cx{1.0, 0.0};
        for (int a = 1; a <= p - 1; ++a) {
            for (int b = a + 1; b <= p; ++b) {
                const double dx = in.x[static_cast<std::size_t>(b - 1)] - in.x[static_cast<std::size_t>(a - 1)];
                const double dy = in.y[static_cast<std::size_t>(b - 1)] - in.y[static_cast<std::size_t>(a - 1)];
                const double dist = std::sqrt(dx * dx + dy * dy);
                PILE_INTERACTION_V(run.t, run.u, run.s, run.out, run.wavenumbers, run.modes, dist, n, m, run.field);
                CMATINV(run.out, n);
                for (int k = 1; k <= n; ++k)
                    for (int j = 1; j <= n; ++j)
                        run.out(j, k) = run.out(j, k) + run.bar(j, k);
                CMATINV(run.out, n);
                const Cx alpha = cdiv(run.out(1, 1), fs) - Cx{1.0, 0.0};
                run.alpha(a, b) = alpha;
                run.alpha(b, a) = alpha;
            }
        }
        CSYM_FACTOR(run.alpha, p);

        auto solveAndSum = [&](auto rhsOf, auto weightOf) {
            for (int a = 1; a <= p; ++a)
                run.rhs(a) = Cx{rhsOf(a), 0.0};
            CSYM_SOLVE(run.alpha, run.rhs, p);
            Cx sum{};
            for (int a = 1; a <= p; ++a)
                sum = sum + Cx{weightOf(a), 0.0} * run.rhs(a);
            return dksvv * sum;
        };
        auto one = [](int) { return 1.0; };
        auto xOf = [&](int a) { return in.x[static_cast<std::size_t>(a - 1)]; };
        auto yOf = [&](int a) { return in.y[static_cast<std::size_t>(a - 1)]; };
        const Cx dkgvv = solveAndSum(one, one);
        const Cx dkgrx = solveAndSum(xOf, xOf);
        const Cx dkgry = solveAndSum(yOf, yOf);

        if (i == 1) {
            sksvv = dksvv;
            ns = static_cast<double>(p) * sksvv;
            sx = Cx{};
            sy = Cx{};
            for (int a = 1; a <= p; ++a) {
                sx = sx + (xOf(a) * xOf(a)) * sksvv;
                sy = sy + (yOf(a) * yOf(a)) * sksvv;
            }
        }
        freqs.push_back(f);
        groupFactor.push_back(factor(dkgvv, ns));
        rockXFactor.push_back(factor(dkgrx, sx));
        singleFactor.push_back(factor(dksvv, sksvv));
        rockYFactor.push_back(factor(dkgry, sy));

        if (i == 1) {
            stiffnessHeading(files.stGrpKvv, "VERTICAL STIFFNESS OF GROUP PILE BY CBM", st.iunits, false);
            stiffnessHeading(files.stGrpKrx, "ROCKING STIFFNESS OF GROUP PILES FOR X-DIR BY CBM", st.iunits, true);
            stiffnessHeading(files.stGrpKry, "ROCKING STIFFNESS OF GROUP PILES FOR Y-DIR BY CBM", st.iunits, true);
        }
        resultLine3(files.stGrpKvv, f, dkgvv);
        resultLine3(files.stGrpKrx, f, dkgrx);
        resultLine3(files.stGrpKry, f, dkgry);
        writePlotResult(ch.plotData, f, dkgvv);
        writePlotResult(ch.plotData, f, dkgrx);
        writePlotResult(ch.plotData, f, dkgry);
    }

    heading(files.rtGrpKvv, "GROUP FACTOR DKGVV/(N*SKSVV) BY CBM", kFactorUnits);
    heading(files.rtGrpKrx, "GROUP FACTOR DKGRX/SUM(X*X*SKSVV) BY CBM", kFactorUnits);
    heading(files.rtGrpKry, "GROUP FACTOR DKGRY/SUM(Y*Y*SKSVV) BY CBM", kFactorUnits);
    heading(files.rtSngKvv, "SINGLE PILE FACTOR DKSVV/SKSVV BY CBM", kFactorUnits);
    for (std::size_t k = 0; k < freqs.size(); ++k) {
        const double f = freqs[k];
        resultLine3(files.rtGrpKrx, f, rockXFactor[k]);
        writePlotResult(ch.plotData, f, rockXFactor[k]);
        resultLine3(files.rtGrpKvv, f, groupFactor[k]);
        writePlotResult(ch.plotData, f, groupFactor[k]);
        resultLine3(files.rtSngKvv, f, singleFactor[k]);
        resultLine3(files.rtGrpKry, f, rockYFactor[k]);
    }

    consoleLine("");
    consoleLine(" COMPUTATION COMPLETED.");
    consoleLine("  CLOSE THE COMPUTATION SCREEN NOW!");
    consoleLine("");

    files.stGrpKvv.close();
    files.stGrpKrx.close();
    files.stGrpKry.close();
    files.rtGrpKvv.close();
    files.rtGrpKrx.close();
    files.stSngKvv.close();
    files.rtSngKvv.close();
    files.rtGrpKry.close();

    const struct {
        const char* name;
        bool single;
    } blocks[] = {{kStSngKvv, true},  {kRtSngKvv, true},  {kStGrpKvv, false}, {kStGrpKrx, false},
                  {kStGrpKry, false}, {kRtGrpKvv, false}, {kRtGrpKrx, false}, {kRtGrpKry, false}};
    for (const auto& b : blocks)
        copyToReport(ch.report, b.name, b.single, in.nfreq);

    ch.report.close();
    ch.notes.close();
    ch.plotData.close();
}

} // namespace kd
