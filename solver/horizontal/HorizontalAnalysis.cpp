#include "HorizontalAnalysis.h"

#include "ComplexKernels.h"
#include "FreeFieldColumn.h"
#include "GroupResponseH.h"
#include "HeadImpedance.h"
#include "HorizontalResultFiles.h"
#include "HorizontalSoilModel.h"
#include "PileBeamModel.h"
#include "PairKernels.h"
#include "PileInteractionH.h"
#include "PairSchedule.h"
#include "ProjectInput.h"
#include "RunChannels.h"
#include "SharedStorage.h"
#include "SoilFlexibilityH.h"

#include <cmath>
#include <vector>

namespace kd {

namespace {

// Scratch of one pair run; one per worker.
struct PairWork {
    explicit PairWork(KernelPath path) : kernels(path) {}
    Matrix<Cx> fm;   // modal field at the pair's distance (3N x 3N)
    Matrix<Cx> out;  // flexibility block of the receiving pile (N x N)
    Matrix<Cx> w;    // head-impedance work matrix
    Vector<Cx> v;    // fresh copy of the load vector
    PairKernelWork kernels;  // field rows and the inversions' work area
};

struct PairResult {
    Cx upair;  // head motion of the receiving pile
    Cx kpair;  // its head stiffness
};

} // namespace

// Work areas of one run, sized for the project once and reused for every
// frequency.
struct HorizontalAnalysis::Run {
    Run(SharedStorage& s, Matrix<Cx>& m, const ProjectInput& in, RunChannels& c, const RunResources& res)
        : storage(s), moduli(m), input(in), channels(c), resources(res),
          files(c, in.iunits, in.nfreq, in.spring > 0.0)
    {
    }

    SharedStorage& storage;
    Matrix<Cx>& moduli;
    const ProjectInput& input;
    RunChannels& channels;
    RunResources resources;
    HorizontalResultFiles files;

    int n = 0;        // soil nodes (sublayers)
    HorizontalSoilModel soil;

    Matrix<Cx> st, u;          // soil stiffness (3N), modal displacements and their inverse
    Vector<int> ipiv;
    Vector<Cx> work3n;
    Matrix<Cx> c;              // node soil matrix (2N)
    Matrix<Cx> x;              // soil solution, 3N rows, N columns
    SplitRows xRows;           // x as the pair runs read it
    Vector<Cx> ffD, ffE, ffL, ffB;  // free-field system; ffB the response
    Matrix<Cx> k;              // pile beam matrix, then the head-impedance work matrix
    Matrix<Cx> kc;             // condensed pile matrix
    Vector<Cx> v1, v2, vSaved; // load vectors of the unit base displacement
    Matrix<Cx> f;              // head flexibility block (N x N)
    Matrix<Cx> fs;             // kept soil flexibility block
    WorkerPool* pool = nullptr;        // null: the straightforward sequential computation
    std::vector<PairWork> pairWork;    // one per worker
    Vector<double> rhoPile;    // sublayer densities as a view source
    Vector<Cx> youngs;         // complex Young's modulus per sublayer
    Vector<double> thickness;

    int piles = 0;
    Matrix<Cx> alpha, g;       // interaction factors; group matrix and its inverse
    Vector<Cx> vGroup, wGroup; // pile-head motions u of the piles; GROUP_MATRIX's row sums

    HorizontalLines last;
    Cx skshh, nskshh;
    std::vector<double> frequencies;
    std::vector<Cx> groupFactors, singleFactors;
};

HorizontalAnalysis::HorizontalAnalysis(SharedStorage& storage, Matrix<Cx>& moduli, const ProjectInput& input,
                                       RunChannels& channels, const RunResources& resources)
    : m_run(std::make_unique<Run>(storage, moduli, input, channels, resources))
{
}

HorizontalAnalysis::~HorizontalAnalysis() = default;

void HorizontalAnalysis::setUp()
{
    Run& r = *m_run;
    const int n = r.input.totalSublayers();
    r.n = n;
    r.soil.resize(n);
    LAYER_MATRICES_H(r.soil, r.storage.subH, r.moduli, 1.0, r.storage.r,
                     r.storage.subRho);

    const int m = 3 * n;
    r.st.resize(m, m);
    r.u.resize(m, m);
    r.ipiv.assign(m);
    r.work3n.assign(m);
    r.c.resize(2 * n, 2 * n);
    r.x.resize(m, n);
    r.ffD.assign(n);
    r.ffE.assign(n);
    r.ffL.assign(n);
    r.ffB.assign(n);
    // Beam column: one element per sublayer (and one above ground when the
    // first setting asks for it), two variables per node.
    const int nodes = n + 2;
    r.k.resize(2 * nodes, 2 * nodes);
    r.kc.resize(nodes, nodes);
    r.v1.assign(nodes);
    r.v2.assign(nodes);
    r.vSaved.assign(nodes);
    r.f.resize(n, n);
    r.fs.resize(n, n);
    r.pool = r.resources.pool;
    r.xRows.reserve(m, n);
    r.pairWork.clear();
    const int workers = r.pool ? r.pool->size() : 1;
    for (int w = 0; w < workers; ++w) {
        PairWork& pw = r.pairWork.emplace_back(r.resources.kernels);
        pw.fm.resize(m, m);
        pw.out.resize(n, n);
        pw.w.resize(nodes, nodes);
        pw.v.assign(nodes);
        pw.kernels.reserve(n, n, nodes);
    }
    r.youngs.assign(n);
    r.rhoPile.assign(n);
    r.thickness.assign(n);
    for (int i = 1; i <= n; ++i) {
        r.youngs(i) = r.moduli(i, 1);
        r.rhoPile(i) = r.storage.subRho[i];
        r.thickness(i) = r.storage.subH[i];
    }

    r.piles = static_cast<int>(r.input.x.size());
    r.alpha.resize(r.piles, r.piles);
    r.g.resize(r.piles, r.piles);
    r.vGroup.assign(r.piles);
    r.wGroup.assign(r.piles);
}

void HorizontalAnalysis::runFrequency(const FrequencyState& state)
{
    Run& r = *m_run;
    SharedStorage& s = r.storage;
    const int n = r.n;
    const int m = 3 * n;
    const double f = state.frequency;
    const double w2 = state.omega2;
    const double s1 = s.settings[1];

    // Modes of the layered soil.
    FORM_DYN_SH(r.soil, w2);
    NEWTON_WAVENUMBERS_H(r.soil, f, r.channels.notes);
    FORM_DYN_PSV(r.soil, w2);
    EIGENVECTORS_H(r.soil, r.channels.report);

    // Soil stiffness at the pile nodes and the soil's flexibility under unit
    // lateral loads at the nodes.
    SOIL_FLEXIBILITY_H(r.st, r.u, r.soil.SH_WAVENUMBERS, r.soil.PSV_WAVENUMBERS, r.soil.SH_MODES, r.soil.PSV_MODES,
                       r.soil.bands, n, 2 * n, m, s.r, 1, 1.0, r.ipiv, r.work3n, f, r.channels.notes);
    FILL_NODE_MATRIX_H(r.st, r.c, n, s.r, s1);
    r.x.fill(Cx{});
    for (int i = 1; i <= n; ++i)
        r.x(i, i) = Cx{1.0, 0.0};
    CGAUSS_2N(r.c, r.x, n);

    // Free field: the soil column under a unit base motion.
    FORM_BAND_SYSTEM(n, w2, r.ffD, r.ffE, r.ffL, r.soil.bands.SH_G_DIAG, r.soil.bands.SH_G_OFF,
                     r.soil.bands.SH_M_DIAG, r.soil.bands.SH_M_OFF, r.ffB);
    const Cx uff = r.ffB(1);

    // The pile, condensed onto its lateral displacements.
    int nodes = 0;
    PILE_BEAM_MATRICES(s, n, nodes, r.thickness, w2, r.k, r.youngs, r.rhoPile);
    CBACKSUB_BLOCKS(r.k, r.kc, r.v1, r.v2, nodes);
    for (int i = 1; i <= nodes; ++i)
        r.vSaved(i) = r.v2(i);
    for (int kk = 1; kk <= n; ++kk)
        for (int j = 1; j <= n; ++j)
            r.f(j, kk) = r.x(j, kk);

    // Single pile.
    Cx up, dkshh;
    HEAD_IMPEDANCE(r.k, r.kc, r.f, r.v1, r.ffB, s1, n, up, dkshh);
    REARRANGE_FLEX_H(r.fs, r.u, r.x, s.r, n, m);
    r.xRows.assign(r.x, m, n);

    // Pile group: one pair run per unordered pair at a non-zero distance. The
    // pair's head motion serves both piles: u(i) starts at UP and adds
    // UPAIR - UP for every partner, in ascending order of the partner.
    const int p = r.piles;
    r.alpha.fill(Cx{});
    for (int i = 1; i <= p; ++i) {
        r.alpha(i, i) = Cx{1.0, 0.0};
        r.vGroup(i) = up;
    }
    const auto key = [&](int i, int j) -> std::optional<std::array<double, 3>> {
        const double dx = r.input.x[static_cast<std::size_t>(j - 1)] - r.input.x[static_cast<std::size_t>(i - 1)];
        const double dy = r.input.y[static_cast<std::size_t>(j - 1)] - r.input.y[static_cast<std::size_t>(i - 1)];
        const double dist = std::sqrt(dy * dy + dx * dx);
        if (dist == 0.0)
            return std::nullopt;  // coincident piles: no pair run
        return std::array<double, 3>{dist, (dx / dist) * (dx / dist), (dy / dist) * (dy / dist)};
    };
    const auto pairRun = [&](const std::array<double, 3>& k, int worker) {
        PairWork& pw = r.pairWork[static_cast<std::size_t>(worker)];
        const Run& shared = r;  // the pair runs only read the run's soil solution
        PILE_INTERACTION_H(shared.xRows, pw.fm, pw.out, shared.fs, shared.soil.SH_WAVENUMBERS,
                           shared.soil.PSV_WAVENUMBERS, shared.soil.SH_MODES, shared.soil.PSV_MODES, k[0], k[1], k[2],
                           m, pw.kernels);
        for (int kk = 1; kk <= nodes; ++kk)
            pw.v(kk) = shared.vSaved(kk);
        PairResult res;
        HEAD_IMPEDANCE(pw.w, shared.kc, pw.out, pw.v, shared.ffB, s1, n, res.upair, res.kpair, pw.kernels);
        return res;
    };
    const auto apply = [&](int i, int j, const PairResult& res) {
        const Cx delta = res.upair - up;
        r.vGroup(i) = r.vGroup(i) + delta;
        r.vGroup(j) = r.vGroup(j) + delta;
        const Cx a = cdiv(dkshh, res.kpair) - Cx{1.0, 0.0};
        r.alpha(i, j) = a;
        r.alpha(j, i) = a;
    };
    runPairs<3, PairResult>(p, r.pool, key, pairRun, apply);
    GROUP_MATRIX(r.g, r.wGroup, p, r.alpha, r.vGroup);
    CMATINV(r.g, p, r.pool, r.pairWork.front().kernels.path());
    const GroupHeadResponse group = groupHeadResponse(r.g, r.vGroup, p);
    const Cx dkghh = dkshh * group.sum;

    if (state.first) {
        r.skshh = dkshh;
        r.nskshh = static_cast<double>(p) * dkshh;
    }
    r.frequencies.push_back(f);
    r.groupFactors.push_back(Cx{dkghh.re / r.nskshh.re, dkghh.im / r.nskshh.re});
    r.singleFactors.push_back(Cx{dkshh.re / r.skshh.re, dkshh.im / r.skshh.re});

    HorizontalLines lines;
    lines.frequency = f;
    lines.uff = uff;
    lines.up = up;
    lines.dkshh = dkshh;
    lines.upp = group.upp;
    lines.dkghh = dkghh;
    if (state.superstructure) {
        const auto& in = r.input;
        const auto single = superstructureResponse(in.spring, in.damping, in.baseMass, in.topMass, w2, dkshh, up);
        const auto grp = superstructureResponse(in.spring, in.damping, in.baseMass, in.topMass, w2, dkghh, group.upp);
        lines.ustSingle = single.ust;
        lines.u0Single = single.u0;
        lines.ustGroup = grp.ust;
        lines.u0Group = grp.u0;
    }
    r.last = lines;
    r.files.writeFrequency(lines, state.first);
}

const HorizontalLines& HorizontalAnalysis::lastLines() const { return m_run->last; }

void HorizontalAnalysis::finish()
{
    Run& r = *m_run;
    r.files.writeFactors(r.frequencies, r.groupFactors, r.singleFactors);
    r.files.closeAndCopyToReport();
}

} // namespace kd
