#include "VerticalAnalysis.h"

#include "ComplexKernels.h"
#include "DynamicLayerMatrices.h"
#include "GroupStiffnessV.h"
#include "InverseIteration.h"
#include "PileBarModel.h"
#include "PileDepthWalk.h"
#include "PairKernels.h"
#include "PairSchedule.h"
#include "ProjectInput.h"
#include "SharedStorage.h"
#include "SoilFlexibilityV.h"
#include "ThinLayerMatrices.h"

#include <cmath>

namespace kd {

namespace {

// Scratch of one pair run; one per worker.
struct PairWork {
    explicit PairWork(KernelPath path) : kernels(path) {}
    Matrix<Cx> g;      // modal field at the pair's distance (m x m)
    Matrix<Cx> out;    // flexibility of the receiving pile, then of pile and soil
    PairKernelWork kernels;  // field rows and the inversions' work area
};

} // namespace

// Storage of the vertical run, sized for the project.
struct VerticalAnalysis::Run {
    int n = 0;   // sublayers
    int m = 0;   // 2n
    int piles = 0;

    ThinLayerBands bands;
    Matrix<Cx> moduli;  // column 1 E*, 2 G*, 3 lambda* (leading dimension 50)
    Vector<Cx> dynDiag, dynOff, wavenumbers;
    Matrix<Cx> modes;
    InverseIterationWork modeWork;
    Matrix<Cx> st, u;  // soil stiffness; modal displacements, their inverse, then the field at a distance
    Vector<int> ipiv;
    Vector<Cx> work;
    Matrix<Cx> s;      // soil block of the vertical components (n x n), then its inverse F
    Matrix<Cx> bar;    // pile bar matrix (n + 2 nodes)
    Matrix<Cx> w;      // single-pile system
    Matrix<Cx> t;      // modal amplitudes of the unit vertical loads (m x n)
    SplitRows tRows;   // t as the pair runs read it
    WorkerPool* pool = nullptr;      // null: the straightforward sequential computation
    std::vector<PairWork> pairWork;  // one per worker
    Matrix<Cx> alpha;  // interaction factors, then their factorisation
    Vector<Cx> rhs;
    Vector<double> thickness, density, area;
    Vector<Cx> youngs;

    void resize(int sublayers, int pileCount, const RunResources& resources)
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
        tRows.reserve(m, n);
        pool = resources.pool;
        pairWork.clear();
        const int workers = pool ? pool->size() : 1;
        for (int w = 0; w < workers; ++w) {
            PairWork& pw = pairWork.emplace_back(resources.kernels);
            pw.g.resize(m, m);
            pw.out.resize(n, n);
            pw.kernels.reserve(n, n, n);
        }
        alpha.resize(piles, piles);
        rhs.assign(piles);
        thickness.assign(n);
        density.assign(n);
        area.assign(n);
        youngs.assign(n);
    }
};

VerticalAnalysis::VerticalAnalysis(SharedStorage& storage, const ProjectInput& input, OutputChannel& report,
                                   OutputChannel& notes, const RunResources& resources)
    : m_storage(storage), m_input(input), m_report(report), m_notes(notes), m_resources(resources),
      m_run(std::make_unique<Run>())
{
}

VerticalAnalysis::~VerticalAnalysis() = default;

void VerticalAnalysis::setUp()
{
    SharedStorage& st = m_storage;
    const ProjectInput& in = m_input;
    Run& run = *m_run;
    run.resize(in.totalSublayers(), static_cast<int>(in.x.size()), m_resources);

    int k = 0;
    for (const auto& layer : in.layers) {
        for (int j = 0; j < layer.nsub; ++j) {
            ++k;
            st.subH[k] = layer.height / layer.nsub;
            st.subVs[k] = layer.vs;
            st.subRho[k] = layer.rho;
            st.subNu[k] = layer.nu;
            // The vertical analysis's own order of operations.
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
    st.setPileModelSettings();

    // Depth walk without a message: the horizontal run has already refused a
    // pile below the soil column.
    const int nseg = pileDepthWalk(st, in.length);
    if (nseg > 0)
        st.nseg = nseg;
    st.nsegVertical = st.nseg;
    st.nel = st.nseg;
    for (int i = 1; i <= st.nseg; ++i) {
        st.elemAp[i] = in.ap;
        st.elemIp[i] = in.ip;
    }

    LAYER_MATRICES_V(run.bands, st.subH, run.moduli, run.n, run.m, st.r, st.subRho);
    for (int i = 1; i <= run.n; ++i) {
        run.thickness(i) = st.subH[i];
        run.density(i) = st.subRho[i];
        run.youngs(i) = run.moduli(i, 1);
        run.area(i) = st.elemAp[i];
    }
}

VerticalResults VerticalAnalysis::runFrequency(double f, double w2)
{
    SharedStorage& st = m_storage;
    const ProjectInput& in = m_input;
    Run& run = *m_run;
    const int n = run.n;
    const int m = run.m;
    const int p = run.piles;

    // Soil: modes, stiffness at the interface, its vertical block.
    FORM_DYN_PSV(n, w2, run.dynDiag, run.dynOff, run.bands.PSV_G_DIAG, run.bands.PSV_G_OFF,
                 run.bands.PSV_M_DIAG, run.bands.PSV_M_OFF);
    EIGENVECTORS_V(run.bands.PSV_A_DIAG, run.bands.PSV_A_OFF, run.bands.PSV_B_BAND1, run.bands.PSV_B_BAND3,
                   run.dynDiag, run.dynOff, run.wavenumbers, run.modes, run.modeWork.band, run.modeWork.v,
                   run.modeWork.x, run.modeWork.dv, run.modeWork.ax, run.modeWork.spare, run.modeWork.sumk,
                   run.modeWork.sum1, run.modeWork.start1, run.modeWork.start2, run.modeWork.rowLimit, m,
                   m_report);
    SOIL_FLEXIBILITY_V(run.st, run.u, run.wavenumbers, run.modes, run.bands, n, m, st.r);
    SOIL_STIFFNESS_V(run.st, run.u, run.ipiv, run.work, m, f, m_notes);
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

    // Group: interaction factors of every pair i < j.
    CMATINV(run.s, n);  // the soil flexibility F at the pile nodes
    REARRANGE_FLEX_V(run.t, run.u, run.s, n, m);
    run.tRows.assign(run.t, m, n);
    run.alpha.fill(Cx{});
    for (int a = 1; a <= p; ++a)
        run.alpha(a, a) = Cx{1.0, 0.0};
    const auto key = [&](int a, int b) -> std::optional<std::array<double, 1>> {
        const double dx = in.x[static_cast<std::size_t>(b - 1)] - in.x[static_cast<std::size_t>(a - 1)];
        const double dy = in.y[static_cast<std::size_t>(b - 1)] - in.y[static_cast<std::size_t>(a - 1)];
        return std::array<double, 1>{std::sqrt(dx * dx + dy * dy)};
    };
    const auto pairRun = [&](const std::array<double, 1>& dist, int worker) {
        PairWork& pw = run.pairWork[static_cast<std::size_t>(worker)];
        const Run& shared = run;  // the pair runs only read the run's soil solution
        PILE_INTERACTION_V(shared.tRows, pw.g, shared.s, pw.out, shared.wavenumbers, shared.modes, dist[0], n, m,
                           pw.kernels);
        CMATINV(pw.out, n, pw.kernels);
        for (int k = 1; k <= n; ++k)
            for (int j = 1; j <= n; ++j)
                pw.out(j, k) = pw.out(j, k) + shared.bar(j, k);
        CMATINV(pw.out, n, pw.kernels);
        return cdiv(pw.out(1, 1), fs) - Cx{1.0, 0.0};
    };
    const auto apply = [&](int a, int b, const Cx& alpha) {
        run.alpha(a, b) = alpha;
        run.alpha(b, a) = alpha;
    };
    runPairs<1, Cx>(p, run.pool, key, pairRun, apply);
    CSYM_FACTOR(run.alpha, p, run.pool, run.pairWork.front().kernels.path());

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

    return VerticalResults{dksvv, dkgvv, dkgrx, dkgry};
}

} // namespace kd
