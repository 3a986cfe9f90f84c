// How a run starts: the file list, the project file and the checks of the
// input, each with its console message, exit status and files left behind.

#include "KdcalcRun.h"
#include "ProjectText.h"
#include "RunChannels.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace kdtest;

namespace {

bool noResultFiles(const TempDir& dir, const std::string& base)
{
    for (const char* name : kd::scratchFileNames())
        if (fileExists(dir.file(name)))
            return false;
    return !fileExists(dir.file(base + ".klp"));
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kListMessage =
    " PLEASE CREATE AN INPUT DATA FILE AND SAVE IT\n BEFORE COMPUTATION.  TRY IT AGAIN!\n";

} // namespace

TEST(RunStart, CompleteFileListRuns)
{
    TempDir dir;
    writeFile(dir.file("p.kld"), ProjectText{}.text());
    writeFileList(dir.path(), "p");
    const auto run = runKdcalc(dir.path());
    EXPECT_FALSE(contains(run.console, "PLEASE CREATE")) << run.console;
    EXPECT_TRUE(contains(run.console, " DATA READING COMPLETED.\n COMPUTATION IN PROGRESS!\n\n")) << run.console;
    // One progress line per frequency, flushed in order.
    EXPECT_TRUE(contains(run.console, " HORIZONTAL BEHAVIOR, AT FREQUENCY =       0.00\n"
                                      " HORIZONTAL BEHAVIOR, AT FREQUENCY =       5.00\n"))
        << run.console;
    EXPECT_TRUE(fileExists(dir.file("p.klo")));
    EXPECT_TRUE(fileExists(dir.file("p.klr")));
}

TEST(RunStart, FileListCases)
{
    struct Case {
        const char* name;
        std::function<void(const TempDir&)> prepare;
        bool listMessage;
        bool runs;
        const char* consolePart;
    };
    const Case cases[] = {
        {"five lines still run",
         [](const TempDir& d) {
             const std::string b = d.path() + "/p";
             writeFile(d.file("names.dat"), b + ".kld\r\n" + b + ".klo\r\n" + b + ".klp\r\n" + b + ".klr\r\n" + b +
                                                ".klr\r\n");
         },
         true, true, " DATA READING COMPLETED."},
        {"no list", [](const TempDir&) {}, true, false, "NAMES NO PROJECT FILE"},
        {"three lines lack the run notes",
         [](const TempDir& d) {
             const std::string b = d.path() + "/p";
             writeFile(d.file("names.dat"), b + ".kld\n" + b + ".klo\n" + b + ".klp\n");
         },
         true, false, "NAMES NO RUN NOTES"},
        {"report named as the project",
         [](const TempDir& d) {
             const std::string b = d.path() + "/p";
             writeFile(d.file("names.dat"), b + ".kld\n" + d.path() + "/./p.kld\n" + b + ".klp\n" + b + ".klr\n" +
                                                b + ".klr\n" + b + ".klr\n");
         },
         false, false, "ARE THE SAME FILE"},
        {"plot data file named as the run notes",
         [](const TempDir& d) {
             const std::string b = d.path() + "/p";
             writeFile(d.file("names.dat"), b + ".kld\n" + b + ".klo\n" + b + ".klr\n" + b + ".klr\n" + b +
                                                ".klr\n" + b + ".klr\n");
         },
         false, false, "ARE THE SAME FILE"},
        {"report named as a scratch file",
         [](const TempDir& d) {
             const std::string b = d.path() + "/p";
             writeFile(d.file("names.dat"), b + ".kld\n" + d.path() + "/pldata1\n" + b + ".klp\n" + b + ".klr\n" +
                                                b + ".klr\n" + b + ".klr\n");
         },
         false, false, "SCRATCH FILE pldata1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir.file("p.kld"), ProjectText{}.text());
        c.prepare(dir);
        const auto run = runKdcalc(dir.path());
        EXPECT_EQ(run.console.rfind(kListMessage, 0) == 0, c.listMessage) << run.console;
        EXPECT_TRUE(contains(run.console, c.consolePart)) << run.console;
        if (c.runs) {
            EXPECT_TRUE(fileExists(dir.file("p.klo")));
        } else {
            EXPECT_NE(run.status, 0);
            EXPECT_FALSE(fileExists(dir.file("p.klo")));
            EXPECT_TRUE(noResultFiles(dir, "p"));
            EXPECT_EQ(readFile(dir.file("p.kld")), ProjectText{}.text());
        }
    }
}

TEST(RunStart, LongPathIsKeptWhole)
{
    TempDir dir;
    const std::string sub = dir.path() + "/" + std::string(70, 'a') + "/" + std::string(40, 'b');
    std::filesystem::create_directories(sub);
    ASSERT_GT(sub.size() + 6, 80u);
    writeFile(sub + "/p.kld", ProjectText{}.text());
    writeFileList(dir.path(), std::string(70, 'a') + "/" + std::string(40, 'b') + "/p");
    const auto run = runKdcalc(dir.path());
    EXPECT_TRUE(contains(run.console, " DATA READING COMPLETED.")) << run.console;
    EXPECT_TRUE(fileExists(sub + "/p.klo"));
    EXPECT_TRUE(fileExists(sub + "/p.klr"));
}

TEST(RunStart, MissingProjectFileCreatesNothing)
{
    TempDir dir;
    writeFileList(dir.path(), "absent");
    const auto run = runKdcalc(dir.path());
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(contains(run.console, " CANNOT OPEN THE PROJECT FILE " + dir.path() + "/absent.kld")) << run.console;
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u);  // names.dat only
}

TEST(RunStart, OutputFilesStartEmpty)
{
    TempDir dir;
    writeFile(dir.file("p.kld"), ProjectText{}.text());
    writeFileList(dir.path(), "p");
    const std::string stale(100000, 'x');
    writeFile(dir.file("p.klo"), stale);
    writeFile(dir.file("p.klr"), stale);
    writeFile(dir.file("TRNPLSSW.CBM"), stale);
    runKdcalc(dir.path());
    EXPECT_EQ(readFile(dir.file("p.klo")).find("xxxx"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("p.klr")).find("xxxx"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("TRNPLSSW.CBM")).find("xxxx"), std::string::npos);
}

TEST(RunStart, InvalidInputIsRefused)
{
    struct Case {
        const char* name;
        std::function<void(ProjectText&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"units 3", [](ProjectText& p) { p.units = 3; }, "RECORD 2 (UNITS): UNITS = 3"},
        {"no layer", [](ProjectText& p) { p.layers.clear(); }, "RECORD 3 (LAYER COUNT): NUMBER OF LAYERS = 0"},
        {"no sublayer", [](ProjectText& p) { p.layers[1].nsub = 0; }, "RECORD 4 (LAYER 2): NUMBER OF SUBLAYERS = 0"},
        {"41 sublayers", [](ProjectText& p) { p.layers[0].nsub = 39; }, "TOTAL NUMBER OF SUBLAYERS = 41"},
        {"zero height", [](ProjectText& p) { p.layers[0].height = 0.0; }, "RECORD 4 (LAYER 1): HEIGHT = 0"},
        {"negative velocity", [](ProjectText& p) { p.layers[1].vs = -200.0; }, "SHEAR-WAVE VELOCITY = -200"},
        {"zero density", [](ProjectText& p) { p.layers[0].rho = 0.0; }, "RECORD 4 (LAYER 1): DENSITY = 0"},
        {"soil Poisson 0.5", [](ProjectText& p) { p.layers[0].nu = 0.5; }, "POISSON RATIO = 0.5"},
        {"soil Poisson negative", [](ProjectText& p) { p.layers[0].nu = -0.1; }, "POISSON RATIO = -0.1"},
        {"negative soil damping", [](ProjectText& p) { p.layers[1].beta = -0.01; }, "DAMPING RATIO = -0.01"},
        {"zero modulus", [](ProjectText& p) { p.ep = 0.0; }, "RECORD 5 (PILE): EP = 0"},
        {"zero inertia", [](ProjectText& p) { p.ip = 0.0; }, "RECORD 5 (PILE): IP = 0"},
        {"zero area", [](ProjectText& p) { p.ap = 0.0; }, "RECORD 5 (PILE): AP = 0"},
        {"pile Poisson 0.5", [](ProjectText& p) { p.poissonp = 0.5; }, "RECORD 5 (PILE): POISSONP = 0.5"},
        {"zero radius", [](ProjectText& p) { p.r = 0.0; }, "RECORD 5 (PILE): R = 0"},
        {"negative pile density", [](ProjectText& p) { p.roup = -1.0; }, "RECORD 5 (PILE): ROUP = -1"},
        {"negative pile damping", [](ProjectText& p) { p.dampp = -0.1; }, "RECORD 5 (PILE): DAMPP = -0.1"},
        {"zero length", [](ProjectText& p) { p.length = 0.0; }, "RECORD 6 (PILE LENGTH): L = 0"},
        {"no pile", [](ProjectText& p) { p.piles.clear(); }, "RECORD 7 (PILE COUNT): NUMBER OF PILES = 0"},
        {"2001 piles", [](ProjectText& p) { p.piles.assign(2001, {0.0, 0.0}); }, "NUMBER OF PILES = 2001"},
        {"negative structure damping", [](ProjectText& p) { p.damping = -1.0; }, "RECORD 9 (SUPERSTRUCTURE)"},
        {"no frequency", [](ProjectText& p) { p.nfreq = 0; }, "NUMBER OF FREQUENCIES = 0"},
        {"101 frequencies", [](ProjectText& p) { p.nfreq = 101; }, "NUMBER OF FREQUENCIES = 101"},
        {"negative start", [](ProjectText& p) { p.freq0 = -1.0; }, "FREQUENCY 1 = -1"},
        {"range goes negative", [](ProjectText& p) { p.freq0 = 5.0; p.dfreq = -10.0; }, "FREQUENCY 2 = -5"},
        {"last frequency too wide for its field",
         [](ProjectText& p) { p.nfreq = 3; p.freq0 = 9000.0; p.dfreq = 500.0; }, "FREQUENCY 3 = 10000"},
        {"9999.9995 does not fit F8.3", [](ProjectText& p) { p.nfreq = 1; p.freq0 = 9999.9995; },
         "FREQUENCY 1 = 9999.9995"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ProjectText project;
        c.change(project);
        writeFile(dir.file("p.kld"), project.text());
        writeFileList(dir.path(), "p");
        const auto run = runKdcalc(dir.path());
        EXPECT_NE(run.status, 0);
        EXPECT_TRUE(contains(run.console, " INPUT REFUSED: ")) << run.console;
        EXPECT_TRUE(contains(run.console, c.message)) << run.console;
        EXPECT_EQ(std::count(run.console.begin(), run.console.end(), '\n'), 1) << run.console;
        EXPECT_TRUE(noResultFiles(dir, "p"));
        EXPECT_FALSE(fileExists(dir.file("p.klo")));
    }
}

TEST(RunStart, UnreadableRecordsAreNamed)
{
    struct Case {
        const char* name;
        std::string text;
        const char* message;
    };
    const std::string good = ProjectText{}.text();
    const Case cases[] = {
        {"empty file", "", "RECORD 1 (TITLE)"},
        {"units not an integer", "T\r\nSI\r\n", "RECORD 2 (UNITS)"},
        {"truncated in the layers", good.substr(0, good.find("2 4 200")), "RECORD 4 (LAYER 2)"},
        {"non-numeric modulus", "T\r\n2 \r\n1\r\n2 4 200 0.3 2 0\r\nabc 1 1 0.2 0.3 2 0\r\n", "EP = \"abc\""},
        {"infinite value", "T\r\n2 \r\n1\r\n2 4 inf 0.3 2 0\r\n", "SHEAR-WAVE VELOCITY = \"inf\""},
        {"overflowing value", "T\r\n2 \r\n1\r\n2 4 1e999 0.3 2 0\r\n", "SHEAR-WAVE VELOCITY = \"1e999\""},
        {"missing frequency record", good.substr(0, good.rfind("2 0 5")), "RECORD 10 (FREQUENCIES)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir.file("p.kld"), c.text);
        writeFileList(dir.path(), "p");
        const auto run = runKdcalc(dir.path());
        EXPECT_NE(run.status, 0);
        EXPECT_TRUE(contains(run.console, c.message)) << run.console;
        EXPECT_TRUE(noResultFiles(dir, "p"));
        EXPECT_FALSE(fileExists(dir.file("p.klo")));
    }
}

TEST(RunStart, PileBelowSoilColumnStopsWithWarning)
{
    TempDir dir;
    ProjectText project;
    // Soil column 7.0 whose last sublayer is 1.0 thick: a tip 0.6 below it is refused.
    project.layers = {{3, 3.0, 100.0, 0.3, 1.8, 0.05}, {4, 4.0, 200.0, 0.35, 2.0, 0.02}};
    project.length = 7.6;
    writeFile(dir.file("p.kld"), project.text());
    writeFileList(dir.path(), "p");
    const auto run = runKdcalc(dir.path());
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(contains(run.console, " THE PILE IS LONGER THAN THE SOIL COLUMN")) << run.console;
    EXPECT_FALSE(contains(run.console, "HORIZONTAL BEHAVIOR")) << run.console;
    const auto report = readLines(dir.file("p.klo"));
    ASSERT_GE(report.size(), 3u);
    EXPECT_EQ(report[report.size() - 3], "       WARNING - PILE LENGTH IS OVER THE BOTTOM OF THE LAST LAYER.");
    EXPECT_EQ(report[report.size() - 2], "          PLEASE SHORTEN THE PILE OR ADD MORE SOIL LAYERS.");
    EXPECT_EQ(report[report.size() - 1], "");
    EXPECT_TRUE(noResultFiles(dir, "p"));

    // 0.4 of a last sublayer of 1.0 below the column is still accepted.
    project.length = 7.4;
    writeFile(dir.file("p.kld"), project.text());
    const auto accepted = runKdcalc(dir.path());
    EXPECT_TRUE(contains(accepted.console, "HORIZONTAL BEHAVIOR")) << accepted.console;
}
