// Benchmark of kdcalc on generated projects: wall time, peak memory, the
// speed ratio of the fast path against the straightforward sequential
// computation (KDCALC_SEQUENTIAL=1) and the byte identity of every output
// file of both.
//
// Usage: kdcalc_bench [--short] [case ...]   (cases 1 to 6; default: all but 6)
//   --short                      every case's generated project through kdcalc
//                                in a form that takes seconds: the fast path
//                                (case 4 on one frequency, case 5 on 400 of
//                                its random piles and one frequency) and the
//                                sequential comparison where that is quick; a
//                                case whose project no longer runs fails
//   KDCALC_BENCH_BASELINE=path   also runs another kdcalc (an older build) on the
//                                same projects, side by side, for cases 5 and 6

#include "FileListLayout.h"
#include "OutputNames.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Project {
    std::string name;
    int sublayers = 20;
    int nfreq = 3;
    std::vector<std::pair<double, double>> piles;
};

std::string number(double v)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.precision(8);
    s << v;
    return s.str();
}

std::string projectText(const Project& p)
{
    const int top = p.sublayers / 2;
    const int bottom = p.sublayers - top;
    std::string s = p.name + "\r\n2 \r\n2\r\n";
    s += std::to_string(top) + " 8 150 0.4 1.8 0.05\r\n";
    s += std::to_string(bottom) + " 16 250 0.35 1.9 0.03\r\n";
    s += "30000000 0.0030679616 0.19634954 0.25 0.25 2.5 0.01\r\n";
    s += "18\r\n" + std::to_string(p.piles.size()) + "\r\n";
    for (const auto& [x, y] : p.piles)
        s += number(x) + " " + number(y) + " \r\n";
    s += "200 500 200000 0.05\r\n";
    s += std::to_string(p.nfreq) + " 0.5 " + number(p.nfreq > 1 ? 49.5 / (p.nfreq - 1) : 1.0) + "\r\n";
    return s;
}

std::vector<std::pair<double, double>> grid(int nx, int ny, double spacing)
{
    std::vector<std::pair<double, double>> out;
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j)
            out.emplace_back(i * spacing, j * spacing);
    return out;
}

struct Measure {
    double seconds = 0.0;
    double cpuSeconds = 0.0;  // user time of all threads: less sensitive to a loaded machine
    long peakKb = 0;
    int status = -1;
};

const char* baselineProgram()
{
    const char* b = std::getenv("KDCALC_BENCH_BASELINE");
    return b && *b ? b : nullptr;
}

// Runs `program` (kdcalc) in `dir` (which holds names.dat); sequential
// selects the straightforward computation; `kernels` sets KDCALC_KERNELS.
Measure runKdcalc(const fs::path& dir, bool sequential, const char* program = KDCALC_PATH,
                  const char* kernels = nullptr)
{
    Measure m;
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        if (sequential)
            setenv("KDCALC_SEQUENTIAL", "1", 1);
        else
            unsetenv("KDCALC_SEQUENTIAL");
        if (kernels)
            setenv("KDCALC_KERNELS", kernels, 1);
        else
            unsetenv("KDCALC_KERNELS");
        if (!freopen("/dev/null", "w", stdout))
            _exit(127);
        execl(program, "kdcalc", static_cast<char*>(nullptr));
        _exit(127);
    }
    int raw = 0;
    rusage usage{};
    wait4(pid, &raw, 0, &usage);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKb = usage.ru_maxrss;
    m.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6;
    m.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return m;
}

fs::path prepare(const fs::path& root, const std::string& folder, const Project& p)
{
    const fs::path dir = root / folder;
    fs::create_directories(dir);
    std::ofstream(dir / "p.kld", std::ios::binary) << projectText(p);
    kd::writeFileList((dir / kd::kFileListName).string(), (dir / "p.kld").string());
    return dir;
}

std::string content(const fs::path& f)
{
    std::ifstream in(f, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every output file of the two folders, compared byte for byte. The run's
// lock file is no output (it stays empty, and older programs write none).
bool sameOutputs(const fs::path& a, const fs::path& b, std::string& detail)
{
    int files = 0;
    for (const auto& e : fs::directory_iterator(a)) {
        const std::string name = e.path().filename().string();
        if (name == kd::kFileListName || name == "p.kld" || name == kd::kRunLockName)
            continue;
        ++files;
        if (!fs::exists(b / name) || content(e.path()) != content(b / name)) {
            detail = name + " differs";
            return false;
        }
    }
    detail = std::to_string(files) + " files identical";
    return files > 0;
}

void report(const char* label, const Measure& m)
{
    std::printf("  %-26s %9.2f s  (CPU %9.2f s)  peak %8.1f MB  exit %d\n", label, m.seconds, m.cpuSeconds,
                m.peakKb / 1024.0, m.status);
}

// A run that did not complete: says so, for the bench's exit status.
bool completed(const char* label, const Measure& m)
{
    if (m.status != 0)
        std::printf("  %s: KDCALC DID NOT COMPLETE (exit %d)\n", label, m.status);
    return m.status == 0;
}

// The fast run alone.
bool fastCase(const fs::path& root, const std::string& id, const Project& p)
{
    const Measure f = runKdcalc(prepare(root, id + "-fast", p), false);
    report("fast", f);
    return completed("fast", f);
}

bool compareCase(const fs::path& root, const std::string& id, const Project& p)
{
    const fs::path fast = prepare(root, id + "-fast", p);
    const fs::path seq = prepare(root, id + "-sequential", p);
    const Measure f = runKdcalc(fast, false);
    const Measure s = runKdcalc(seq, true);
    report("fast", f);
    report("sequential", s);
    std::string detail;
    const bool same = sameOutputs(fast, seq, detail) && sameOutputs(seq, fast, detail);
    std::printf("  speed ratio %.1f; %s\n", s.seconds / f.seconds, same ? detail.c_str() : ("NOT IDENTICAL: " + detail).c_str());
    const bool ran = completed("fast", f) & completed("sequential", s);
    return same && ran;
}

// Seeded random positions in a square of side `side`, rounded to millimetres,
// no two closer than `minimum`.
std::vector<std::pair<double, double>> randomLayout(int count, double side, double minimum, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, side);
    std::vector<std::pair<double, double>> out;
    while (static_cast<int>(out.size()) < count) {
        const double x = std::round(u(rng) * 1000.0) / 1000.0;
        const double y = std::round(u(rng) * 1000.0) / 1000.0;
        bool free = true;
        for (const auto& [px, py] : out)
            if ((px - x) * (px - x) + (py - y) * (py - y) < minimum * minimum) {
                free = false;
                break;
            }
        if (free)
            out.emplace_back(x, y);
    }
    return out;
}

// Pile diameter of the generated projects (radius 0.25 m).
constexpr double kDiameter = 0.5;

// Microseconds per pile pair of one frequency: the run of `piles` random
// piles less the run of one pile, over the pairs.
bool perPair(const fs::path& root, const char* program, const char* label, bool sequential)
{
    const int piles = 300;
    Project p{"bench random 300", 40, 1, randomLayout(piles, 60.0, 2.0 * kDiameter, 300)};
    Project one{"bench random one", 40, 1, {p.piles.front()}};
    const std::string tag = std::string(label) + (sequential ? "-sequential" : "-fast");
    const Measure all = runKdcalc(prepare(root, "pairs-" + tag, p), sequential, program);
    const Measure single = runKdcalc(prepare(root, "pairs-one-" + tag, one), sequential, program);
    const double pairs = piles * (piles - 1) / 2.0;
    std::printf("  %-8s %-11s %8.1f us per pair, %8.1f us of CPU time   (%.2f s for 300 piles, %.2f s for one)\n",
                label, sequential ? "sequential" : "all cores", (all.seconds - single.seconds) / pairs * 1e6,
                (all.cpuSeconds - single.cpuSeconds) / pairs * 1e6, all.seconds, single.seconds);
    const bool ran = completed(label, all) & completed(label, single);
    return ran;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> cases;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--short") == 0)
            quick = true;
        else
            cases.push_back(std::atoi(argv[i]));
    }
    if (cases.empty())
        cases = quick ? std::vector<int>{1, 2, 3, 4, 5, 6} : std::vector<int>{1, 2, 3, 4, 5};
    char templ[] = "/tmp/kdcalc_bench_XXXXXX";
    const char* keep = std::getenv("KDCALC_BENCH_KEEP");
    const fs::path root = mkdtemp(templ);
    bool ok = true;

    for (int c : cases) {
        if (c == 1) {
            std::printf("case 1: single pile, 40 sublayers, 100 frequencies\n");
            Project p{"bench single pile", 40, 100, {{0.0, 0.0}}};
            ok = compareCase(root, "case1", p) && ok;
        } else if (c == 2) {
            std::printf("case 2: 20 x 20 grid (400 piles), 20 sublayers, 3 frequencies\n");
            Project p{"bench grid 20 x 20", 20, 3, grid(20, 20, 1.5)};
            // Its sequential run takes half a minute.
            ok = (quick ? fastCase(root, "case2", p) : compareCase(root, "case2", p)) && ok;
        } else if (c == 3) {
            std::printf("case 3: 150 piles at seeded random positions (no two closer than two diameters), 20 sublayers, "
                        "3 frequencies\n");
            Project p{"bench random 150", 20, 3, randomLayout(150, 30.0, 2.0 * kDiameter, 20261210)};
            ok = compareCase(root, "case3", p) && ok;
        } else if (c == 4) {
            Project p{"bench grid 2000", 40, quick ? 1 : 100, {}};
            std::printf("case 4: 45 x 45 grid less 25 piles (2000 piles), 40 sublayers, %d frequenc%s\n", p.nfreq,
                        p.nfreq == 1 ? "y" : "ies");
            for (const auto& xy : grid(45, 45, 1.5)) {
                const int i = static_cast<int>(std::lround(xy.first / 1.5));
                const int j = static_cast<int>(std::lround(xy.second / 1.5));
                if (i >= 20 && i < 25 && j >= 20 && j < 25)
                    continue;  // a 5 x 5 hole in the middle
                p.piles.push_back(xy);
            }
            const Measure f = runKdcalc(prepare(root, "case4-fast", p), false);
            report("fast", f);
            // Sequential estimate: the per-pair time of both analyses measured on
            // one frequency of a 100-pile part of the same grid, less the time of
            // a single pile, times the pairs and frequencies of the case (a lower
            // bound: the group matrices' own cost is left out).
            Project part{"bench grid part", 40, 1, {}};
            part.piles.assign(p.piles.begin(), p.piles.begin() + 100);
            Project one{"bench grid one", 40, 1, {p.piles.front()}};
            const Measure sPart = runKdcalc(prepare(root, "case4-part", part), true);
            const Measure sOne = runKdcalc(prepare(root, "case4-one", one), true);
            const double perPair = (sPart.seconds - sOne.seconds) / (100.0 * 99.0 / 2.0);
            const double pairs = 2000.0 * 1999.0 / 2.0;
            const double estimate = p.nfreq * (pairs * perPair + sOne.seconds);
            std::printf("  sequential estimate        %9.0f s  (%.3f ms per pair and frequency, both analyses)\n",
                        estimate, perPair * 1000.0);
            std::printf("  speed ratio about %.0f\n", estimate / f.seconds);
            const bool ran = completed("fast", f) & completed("part, sequential", sPart) &
                             completed("one pile, sequential", sOne);
            ok = ran && ok;
        } else if (c == 5) {
            if (quick) {
                // The same layout generator at the same density, on fewer
                // piles: the code path of the full case in a few seconds.
                std::printf("case 5, short: 400 piles at seeded random positions, 40 sublayers, 1 frequency\n");
                Project p{"bench random 400", 40, 1, randomLayout(400, 100.0 * std::sqrt(0.2), 2.0 * kDiameter, 2000)};
                ok = fastCase(root, "case5", p) && ok;
                std::fflush(stdout);
                continue;
            }
            Project p{"bench random 2000", 40, 2, randomLayout(2000, 100.0, 2.0 * kDiameter, 2000)};
            std::printf("case 5: 2000 piles at seeded random positions, 40 sublayers, %d frequencies\n", p.nfreq);
            const fs::path fastDir = prepare(root, "case5-fast", p);
            const Measure f = runKdcalc(fastDir, false);
            report("fast", f);
            std::printf("  estimate for 100 frequencies %7.0f s  (50 times the 2 frequencies)\n", 50.0 * f.seconds);
            // The portable kernels on the same project: the same bytes.
            const fs::path portableDir = prepare(root, "case5-portable", p);
            const Measure pf = runKdcalc(portableDir, false, KDCALC_PATH, "portable");
            report("fast, portable kernels", pf);
            std::string detail;
            const bool same = sameOutputs(fastDir, portableDir, detail) && sameOutputs(portableDir, fastDir, detail);
            std::printf("  %s\n", same ? detail.c_str() : ("NOT IDENTICAL: " + detail).c_str());
            if (const char* base = baselineProgram()) {
                const fs::path baseDir = prepare(root, "case5-baseline", p);
                const Measure b = runKdcalc(baseDir, false, base);
                report("baseline, fast", b);
                const bool sameBase = sameOutputs(fastDir, baseDir, detail) && sameOutputs(baseDir, fastDir, detail);
                std::printf("  against the baseline: %s\n",
                            sameBase ? detail.c_str() : ("NOT IDENTICAL: " + detail).c_str());
                ok = sameBase && ok;
            }
            const bool ran = completed("fast", f) & completed("fast, portable kernels", pf);
            ok = same && ran && ok;
        } else if (c == 6) {
            std::printf("case 6: per pair, 300 random piles, 40 sublayers, one frequency\n");
            const char* base = baselineProgram();
            for (bool sequential : {false, true}) {
                if (sequential && quick)
                    break;
                ok = perPair(root, KDCALC_PATH, "this", sequential) && ok;
                if (base)
                    ok = perPair(root, base, "baseline", sequential) && ok;
            }
        }
        std::fflush(stdout);
    }
    std::error_code ec;
    if (keep && *keep)
        std::printf("projects kept in %s\n", root.c_str());
    else
        fs::remove_all(root, ec);
    return ok ? 0 : 1;
}
