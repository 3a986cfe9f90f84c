// Project files written to break the program: counts that would overflow or
// index past the storage, piles that overlap, negative superstructure values,
// lines without end, results too large for their field. Each is refused with
// one clear console line and exit status 1, and leaves no result behind. So is
// a run that meets a hostile process: too little memory, a file-size limit;
// closed standard streams do not change its files.

#include "KdcalcProcess.h"
#include "KdcalcRun.h"
#include "ProjectText.h"
#include "RunFolder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <csignal>
#include <filesystem>
#include <functional>
#include <utility>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kdtest;

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

long lineCount(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// The project that once crashed the program: 2147483647 + 2 sublayers
// overflowed to a negative total, passed the capacity check and the moduli
// were written far past their matrix.
const std::string kOverflowingSublayers = "x\n2\n2\n2147483647 6 150 0.4 1.8 0.05\n2 10 250 0.35 1.9 0.03\n"
                                          "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\n12\n1\n0 0\n"
                                          "0 0 0 0\n1 1 0\n";

struct Refused {
    RunResult run;
    std::vector<std::string> before, after;
};

Refused runText(const std::string& projectText)
{
    TempDir dir;
    writeFile(dir.file("p.kld"), projectText);
    writeFileList(dir.path(), "p");
    Refused r;
    r.run = runKdcalc(dir.path());
    EXPECT_TRUE(noResultFiles(dir.path(), "p"));
    EXPECT_FALSE(fileExists(dir.file("p.klo")));
    EXPECT_EQ(readFile(dir.file("p.kld")), projectText);
    return r;
}

#if !defined(__SANITIZE_ADDRESS__)
// Runs kdcalc in dir with env under an address-space limit of kib KiB, for at
// most 60 s (a hang gives status 124); its exit status (-1 for a signal) and
// console. (Not under AddressSanitizer, which needs far more address space.)
std::pair<int, std::string> runUnderMemoryLimit(const std::string& dir, int kib, const std::string& env)
{
    const std::string command = "cd '" + dir + "' && ulimit -v " + std::to_string(kib) + " && " + env +
                                " timeout 60 '" KDCALC_PATH "' 2>&1 < /dev/null";
    std::string console;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, console};
    char buf[4096];
    for (std::size_t n = 0; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        console.append(buf, n);
    const int raw = pclose(pipe);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, console};
}
#endif

} // namespace

TEST(HostileInput, CountsAreCheckedBeforeAnyUse)
{
    const auto replacedIn = [](std::string s, const std::string& from, const std::string& to) {
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    const auto replaced = [&](const std::string& from, const std::string& to) {
        return replacedIn(kOverflowingSublayers, from, to);
    };
    const std::string valid = replaced("2147483647 6", "5 6");
    struct Case {
        const char* name;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"sum of sublayers overflows", kOverflowingSublayers,
         "RECORD 4 (LAYER 1): NUMBER OF SUBLAYERS = 2147483647 MUST BE FROM 1 TO 40"},
        {"one layer beyond the capacity", replaced("2147483647 6", "41 6"), "NUMBER OF SUBLAYERS = 41"},
        {"smallest integer", replaced("2147483647 6", "-2147483648 6"), "NUMBER OF SUBLAYERS = -2147483648"},
        {"count in the second layer", replacedIn(valid, "\n2 10 250", "\n2147483647 10 250"),
         "RECORD 4 (LAYER 2): NUMBER OF SUBLAYERS = 2147483647"},
        {"beyond an int", replaced("2147483647 6", "2147483648 6"), "NUMBER OF SUBLAYERS = \"2147483648\""},
        {"layer count", replacedIn(valid, "\n2\n2\n", "\n2\n2147483647\n"), "NUMBER OF LAYERS = 2147483647"},
        {"pile count", replacedIn(valid, "\n12\n1\n", "\n12\n2147483647\n"), "NUMBER OF PILES = 2147483647"},
        {"frequency count", replacedIn(valid, "\n1 1 0\n", "\n2147483647 1 0\n"), "NUMBER OF FREQUENCIES = 2147483647"},
        {"negative frequency count", replacedIn(valid, "\n1 1 0\n", "\n-1 1 0\n"), "NUMBER OF FREQUENCIES = -1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = runText(c.text);
        EXPECT_EQ(r.run.status, 1);
        EXPECT_TRUE(contains(r.run.console, c.message)) << r.run.console;
        EXPECT_EQ(lineCount(r.run.console), 1) << r.run.console;
    }
}

TEST(HostileInput, OverlappingPilesAreRefusedByNumber)
{
    struct Case {
        const char* name;
        double r;
        std::vector<std::pair<double, double>> piles;
        const char* message;  // nullptr: the project runs
    };
    const Case cases[] = {
        {"coincident piles", 0.25, {{1.0, 1.0}, {1.0, 1.0}},
         "RECORD 8 (PILES 1 AND 2): CENTRE DISTANCE = 0 IS BELOW ONE PILE DIAMETER (2 R = 0.5)"},
        {"0.05 apart with radius 0.3", 0.3, {{0.0, 0.0}, {0.05, 0.0}},
         "RECORD 8 (PILES 1 AND 2): CENTRE DISTANCE = 0.05 IS BELOW ONE PILE DIAMETER (2 R = 0.6)"},
        // The overlapping pair is neither adjacent in the file nor in order of x.
        {"second and fourth pile", 0.25, {{3.0, 0.0}, {2.0, 5.0}, {0.0, 0.0}, {2.0, 5.25}, {0.0, 9.0}},
         "RECORD 8 (PILES 2 AND 4): CENTRE DISTANCE = 0.25 IS BELOW"},
        {"first pair in file order", 0.25, {{0.0, 0.0}, {5.0, 0.0}, {5.1, 0.0}, {0.1, 0.0}}, "RECORD 8 (PILES 1 AND 4)"},
        {"touching piles run", 0.25, {{0.0, 0.0}, {0.5, 0.0}, {0.0, 0.5}}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectText p;
        p.r = c.r;
        p.piles = c.piles;
        TempDir dir;
        writeFile(dir.file("p.kld"), p.text());
        writeFileList(dir.path(), "p");
        const auto run = runKdcalc(dir.path());
        if (!c.message) {
            EXPECT_EQ(run.status, 0) << run.console;
            continue;
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.console, std::string(" INPUT REFUSED: ") + c.message)) << run.console;
        EXPECT_EQ(lineCount(run.console), 1) << run.console;
        EXPECT_TRUE(noResultFiles(dir.path(), "p"));
        EXPECT_FALSE(fileExists(dir.file("p.klo")));
    }
}

TEST(HostileInput, NegativeSuperstructureValuesAreRefused)
{
    struct Case {
        const char* name;
        std::function<void(ProjectText&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"base mass", [](ProjectText& p) { p.baseMass = -1.0; }, "RECORD 9 (SUPERSTRUCTURE): BASE MASS = -1"},
        {"top mass", [](ProjectText& p) { p.topMass = -2.5; }, "RECORD 9 (SUPERSTRUCTURE): TOP MASS = -2.5"},
        {"spring", [](ProjectText& p) { p.spring = -1e3; }, "RECORD 9 (SUPERSTRUCTURE): SPRING = -1000"},
        {"masses with a negative spring",
         [](ProjectText& p) {
             p.baseMass = 10.0;
             p.topMass = 5.0;
             p.spring = -100.0;
         },
         "RECORD 9 (SUPERSTRUCTURE): SPRING = -100 MUST NOT BE NEGATIVE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectText p;
        c.change(p);
        const auto r = runText(p.text());
        EXPECT_EQ(r.run.status, 1);
        EXPECT_TRUE(contains(r.run.console, std::string(" INPUT REFUSED: ") + c.message)) << r.run.console;
        EXPECT_EQ(lineCount(r.run.console), 1) << r.run.console;
    }
}

TEST(HostileInput, ResultThatFillsItsFieldStopsTheRun)
{
    // With a pile area of 1e300 a stiffness is about -1e302: its E13.5 text
    // "-0.xxxxxE+3xx" fills all 13 characters and would fuse with the value
    // before it.
    ProjectText p;
    p.ap = 1e300;
    p.nfreq = 2;
    p.freq0 = 1.0;
    p.dfreq = 1.0;
    TempDir dir;
    writeFile(dir.file("p.kld"), p.text());
    writeFileList(dir.path(), "p");
    const auto run = runKdcalc(dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.console, " A RESULT AT FREQUENCY      1.000 HZ (-0.")) << run.console;
    EXPECT_TRUE(contains(run.console, ") FILLS ITS WHOLE FIELD AND WOULD RUN INTO THE VALUE BEFORE IT:"
                                      " THE RUN IS STOPPED WITHOUT RESULTS.\n"))
        << run.console;
    EXPECT_TRUE(noResultFiles(dir.path(), "p"));
    // The report stays as a diagnostic.
    EXPECT_TRUE(fileExists(dir.file("p.klo")));
}

TEST(HostileInput, OverlongLinesAreRefusedWithTheRecord)
{
    const std::string good = ProjectText{}.text();
    const std::string limit(65536, 'a');
    struct Case {
        const char* name;
        std::string project;
        std::string fileList;  // empty: the usual list
        const char* message;   // nullptr: the project runs
    };
    const Case cases[] = {
        {"title at the limit", limit + good.substr(good.find('\r')), "", nullptr},
        {"title one beyond", limit + "a" + good.substr(good.find('\r')), "",
         "RECORD 1 (TITLE) OF FILE "},
        {"blanks after the layer count", good.substr(0, good.find("\r\n3 3")) + std::string(70000, ' ') +
                                             good.substr(good.find("\r\n3 3")),
         "", "RECORD 3 (LAYER COUNT) OF FILE "},
        {"line without end in the pile record", good.substr(0, good.rfind('\n', good.find(" 0.0049087385")) + 1) + std::string(200000, '1'),
         "", "RECORD 5 (PILE) OF FILE "},
        {"file list", good, std::string(70000, 'n') + "\n", "RECORD 1 OF FILE names.dat: LINE 1 IS LONGER"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir.file("p.kld"), c.project);
        writeFileList(dir.path(), "p");
        if (!c.fileList.empty())
            writeFile(dir.file("names.dat"), c.fileList);
        const auto run = runKdcalc(dir.path());
        if (!c.message) {
            EXPECT_EQ(run.status, 0) << run.console.substr(0, 300);
            continue;
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.console, c.message)) << run.console.substr(0, 300);
        EXPECT_TRUE(contains(run.console, " IS LONGER THAN 65536 CHARACTERS\n")) << run.console.substr(0, 300);
        EXPECT_LT(run.console.size(), 1000u);
        EXPECT_TRUE(noResultFiles(dir.path(), "p"));
        EXPECT_FALSE(fileExists(dir.file("p.klo")));
    }
}

TEST(HostileInput, EarlierPlotDataFileGoesBeforeTheRunWrites)
{
    TempDir dir;
    writeFile(dir.file("p.kld"), slowProjectText(100));
    writeFileList(dir.path(), "p");
    writeFile(dir.file("p.klp"), "plot data of an earlier run\n");

    // A run stopped during its horizontal stage leaves no plot data file.
    KdcalcProcess run(dir.path());
    ASSERT_TRUE(run.waitForText(" HORIZONTAL BEHAVIOR, AT FREQUENCY =")) << run.console();
    EXPECT_FALSE(fileExists(dir.file("p.klp")));
    run.kill();
    EXPECT_EQ(run.finish(), -1);
    EXPECT_FALSE(fileExists(dir.file("p.klp")));

    // A refused project writes nothing: the earlier run's files stay together.
    writeFile(dir.file("p.klp"), "plot data of an earlier run\n");
    writeFile(dir.file("p.klo"), "report of an earlier run\n");
    ProjectText refused;
    refused.units = 3;
    writeFile(dir.file("p.kld"), refused.text());
    EXPECT_EQ(runKdcalc(dir.path()).status, 1);
    EXPECT_EQ(readFile(dir.file("p.klp")), "plot data of an earlier run\n");
    EXPECT_EQ(readFile(dir.file("p.klo")), "report of an earlier run\n");
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(HostileInput, OutOfMemoryEndsTheRunWithItsMessage)
{
    // 2000 piles under a 100 MB address-space limit: the group matrices cannot
    // be had. (Not under AddressSanitizer, which needs far more address space.)
    ProjectText p;
    p.piles.clear();
    for (int i = 0; i < 2000; ++i)
        p.piles.emplace_back(2.0 * (i % 50), 2.0 * (i / 50));
    p.nfreq = 1;
    TempDir dir;
    writeFile(dir.file("p.kld"), p.text());
    writeFileList(dir.path(), "p");
    const auto [status, console] = runUnderMemoryLimit(dir.path(), 100000, "KDCALC_SEQUENTIAL=1");
    EXPECT_EQ(status, 1) << console;
    EXPECT_TRUE(contains(console, "\n NOT ENOUGH MEMORY FOR THIS PROJECT: THE RUN IS STOPPED.\n")) << console;
    EXPECT_TRUE(noResultFiles(dir.path(), "p"));
}
#endif

#if !defined(__SANITIZE_ADDRESS__)
TEST(HostileInput, WorkerThreadsThatCannotStartEndTheRun)
{
    // 64 worker threads under a 150 MB address-space limit: their stacks
    // cannot all be had. The threads already started must be stopped, and the
    // run ends as a failure instead of waiting for ever (timeout gives 124).
    TempDir dir;
    writeFile(dir.file("p.kld"), ProjectText{}.text());
    writeFileList(dir.path(), "p");
    const auto [status, console] = runUnderMemoryLimit(dir.path(), 150000, "KDCALC_THREADS=64");
    EXPECT_EQ(status, 1) << console;
    EXPECT_TRUE(contains(console, "\n THE RUN IS STOPPED: ")) << console;
    EXPECT_TRUE(noResultFiles(dir.path(), "p"));
}
#endif

TEST(HostileInput, ProjectChangedDuringTheRunStopsIt)
{
    // The vertical stage reads the project file again: one changed meanwhile
    // (here to counts beyond every capacity) is not taken.
    TempDir dir;
    writeFile(dir.file("p.kld"), slowProjectText(20));
    writeFileList(dir.path(), "p");
    KdcalcProcess run(dir.path());
    ASSERT_TRUE(run.waitForText(" HORIZONTAL BEHAVIOR, AT FREQUENCY =")) << run.console();
    writeFile(dir.file("p.kld"), kOverflowingSublayers);
    EXPECT_EQ(run.finish(), 1);
    EXPECT_TRUE(contains(run.console(), "\n THE PROJECT FILE " + dir.file("p.kld") + " WAS CHANGED DURING THE RUN\n"))
        << run.console();
    EXPECT_TRUE(noResultFiles(dir.path(), "p"));
}

TEST(HostileInput, ClosedStandardStreamsDoNotChangeTheFiles)
{
    TempDir dir;
    writeFile(dir.file("p.kld"), ProjectText{}.text());
    writeFileList(dir.path(), "p");
    ASSERT_EQ(runKdcalc(dir.path()).status, 0);
    // Every file of the run, the lock file (empty) and the list included.
    std::vector<std::string> names{"p.klo", "p.klp", "p.klr", "kdcalc.lock", "names.dat"};
    for (const auto& s : scratchFileNames())
        names.push_back(s);
    std::vector<std::string> reference;
    for (const auto& name : names)
        reference.push_back(readFile(dir.file(name)));

    struct Case {
        const char* name;
        std::vector<int> closed;
    } const cases[] = {
        {"standard output", {1}},
        {"standard input", {0}},
        {"standard error", {2}},
        {"all three", {0, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KdcalcProcess run(dir.path(), [&] {
            for (const int fd : c.closed)
                ::close(fd);
            return true;
        });
        EXPECT_EQ(run.finish(), 0) << run.console();
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_TRUE(readFile(dir.file(names[i])) == reference[i]) << names[i];
    }
}

TEST(HostileInput, WriteBeyondTheFileSizeLimitFailsTheRun)
{
    // The limit lies below the report's size and above every other file's:
    // the report is the one that cannot be written whole.
    TempDir dir;
    writeFile(dir.file("p.kld"), ProjectText{}.text());
    writeFileList(dir.path(), "p");
    ASSERT_EQ(runKdcalc(dir.path()).status, 0);
    const auto limit = static_cast<rlim_t>(std::filesystem::file_size(dir.file("p.klo")) / 2);
    for (const auto& name : scratchFileNames())
        ASSERT_LT(std::filesystem::file_size(dir.file(name)), limit) << name;
    for (const char* name : {"p.klp", "p.klr"})
        ASSERT_LT(std::filesystem::file_size(dir.file(name)), limit) << name;

    KdcalcProcess run(dir.path(), [limit] {
        // The signal as a shell leaves it: by default it kills the process.
        std::signal(SIGXFSZ, SIG_DFL);
        const struct rlimit small {limit, limit};
        return ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    });
    EXPECT_EQ(run.finish(), 1) << run.console();
    EXPECT_TRUE(contains(run.console(), "\n CANNOT WRITE FILE " + dir.file("p.klo") + ": File too large\n"))
        << run.console();
    EXPECT_TRUE(noResultFiles(dir.path(), "p"));
    // The report stays as a diagnostic, cut at the limit.
    EXPECT_TRUE(fileExists(dir.file("p.klo")));
    EXPECT_LE(std::filesystem::file_size(dir.file("p.klo")), limit);
}
