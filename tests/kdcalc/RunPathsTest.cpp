// Every way of carrying out a run writes the same bytes: the sequential
// computation, the fast path on 1, 3 and 8 threads, and each form of the
// pair kernels (a form the processor lacks falls back to one it has).

#include "KdcalcRun.h"
#include "ProjectText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <set>

using namespace kdtest;

namespace {

// An irregular group (no pair repeats) with a pile at the origin; sublayer counts that are no multiple of the vector width; a
// superstructure, so that the head model has its extra variable.
ProjectText irregularGroup()
{
    ProjectText p;
    p.layers = {{4, 3.0, 100.0, 0.3, 1.8, 0.05}, {5, 4.0, 200.0, 0.35, 2.0, 0.02}};
    p.length = 6.0;
    p.piles.clear();
    // Random positions at least two diameters apart (closer piles are refused).
    p.piles.emplace_back(0.0, 0.0);
    std::mt19937 rng(1811);
    std::uniform_real_distribution<double> u(0.0, 12.0);
    while (p.piles.size() < 16) {
        const double x = std::round(u(rng) * 1000.0) / 1000.0, y = std::round(u(rng) * 1000.0) / 1000.0;
        bool apart = true;
        for (const auto& [px, py] : p.piles)
            apart = apart && std::hypot(x - px, y - py) >= 4.0 * p.r;
        if (apart)
            p.piles.emplace_back(x, y);
    }
    p.baseMass = 40.0;
    p.topMass = 90.0;
    p.spring = 5.0e4;
    p.damping = 0.05;
    p.nfreq = 3;
    p.freq0 = 0.5;
    p.dfreq = 11.0;
    return p;
}

std::set<std::string> names(const std::string& dir)
{
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename() != "names.dat")  // holds the folder's own path
            out.insert(e.path().filename().string());
    return out;
}

} // namespace

TEST(RunPaths, EveryPathWritesTheSameBytes)
{
    const char* environments[] = {
        "KDCALC_SEQUENTIAL=1",
        "KDCALC_THREADS=1",
        "KDCALC_THREADS=3",
        "KDCALC_THREADS=8",
        "KDCALC_SEQUENTIAL=1 KDCALC_KERNELS=portable",
        "KDCALC_THREADS=3 KDCALC_KERNELS=portable",
        "KDCALC_THREADS=3 KDCALC_KERNELS=avx2",
        "KDCALC_SEQUENTIAL=1 KDCALC_KERNELS=avx512",
    };
    const ProjectText p = irregularGroup();
    std::vector<std::unique_ptr<TempDir>> dirs;
    for (const char* env : environments) {
        SCOPED_TRACE(env);
        auto& d = dirs.emplace_back(std::make_unique<TempDir>());
        writeFile(d->file("p.kld"), p.text());
        writeFileList(d->path(), "p");
        const RunResult run = runKdcalc(d->path(), env);
        ASSERT_EQ(run.status, 0) << run.console;
    }
    const std::set<std::string> reference = names(dirs[0]->path());
    EXPECT_GE(reference.size(), 20u);  // report, notes, plot data, pldata1, the .CBM files
    for (std::size_t i = 1; i < dirs.size(); ++i) {
        SCOPED_TRACE(environments[i]);
        EXPECT_EQ(names(dirs[i]->path()), reference);
        for (const std::string& name : reference) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(readFile(dirs[i]->file(name)) == readFile(dirs[0]->file(name)));
        }
    }
}
