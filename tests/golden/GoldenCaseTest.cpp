// Whole runs of kdcalc on the golden cases, compared byte for byte with the
// files they wrote when their reference was checked: the fast computation and
// the sequential one (KDCALC_SEQUENTIAL=1) must both give every digit again.

#include "GoldenCases.h"
#include "FileListLayout.h"
#include "KdcalcRun.h"
#include "OutputNames.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace kdtest;

namespace {

struct GoldenRun {
    const GoldenCase* goldenCase;
    bool sequential;
};

void PrintTo(const GoldenRun& run, std::ostream* os)
{
    *os << run.goldenCase->name << (run.sequential ? " sequential" : " fast");
}

std::string runName(const testing::TestParamInfo<GoldenRun>& info)
{
    std::string name = info.param.goldenCase->name;
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name + (info.param.sequential ? "_sequential" : "_fast");
}

std::vector<GoldenRun> allRuns()
{
    std::vector<GoldenRun> runs;
    for (const GoldenCase& c : goldenCases())
        for (bool sequential : {false, true})
            runs.push_back({&c, sequential});
    return runs;
}

// "" when equal, else where the two texts first differ, line by line.
std::string firstDifference(const std::string& expected, const std::string& actual)
{
    if (expected == actual)
        return std::string();
    std::size_t line = 1, start = 0;
    for (std::size_t i = 0; i < std::min(expected.size(), actual.size()) && expected[i] == actual[i]; ++i)
        if (expected[i] == '\n') {
            ++line;
            start = i + 1;
        }
    const auto lineAt = [start](const std::string& s) {
        if (start >= s.size())
            return std::string("(end of file)");
        const std::size_t end = s.find('\n', start);
        std::string text = "\"";
        text.append(s, start, end == std::string::npos ? std::string::npos : end - start);
        text += '"';
        return text;
    };
    return "first difference in line " + std::to_string(line) + "\n  expected: " + lineAt(expected) +
           "\n  actual:   " + lineAt(actual);
}

class GoldenCaseRun : public testing::TestWithParam<GoldenRun> {};

} // namespace

TEST_P(GoldenCaseRun, WritesEveryFileByteForByte)
{
    const GoldenCase& gc = *GetParam().goldenCase;
#if !KELDOR_RELEASE_BUILD
    if (gc.roundoffDigits)
        GTEST_SKIP() << "its roundoff digits are compared in a Release build only";
#endif
    const std::string folder = goldenFolder(gc.name);
    const std::string project = goldenProjectFile(folder);
    ASSERT_FALSE(project.empty()) << "no project file in " << folder;
    const std::vector<std::string> expected = goldenExpectedFiles(folder);
    ASSERT_GT(expected.size(), 3u) << "no expected files in " << folder;

    TempDir dir;
    std::filesystem::copy_file(folder + "/" + project, dir.file(project));
    writeFileList(dir.path(), project.substr(0, project.size() - 4));
    const RunResult run = runKdcalc(dir.path(), GetParam().sequential ? "KDCALC_SEQUENTIAL=1" : "");
    ASSERT_EQ(run.status, 0) << run.console;

    for (const std::string& name : expected) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(fileExists(dir.file(name))) << name << " was not written";
        const std::string difference = firstDifference(readFile(folder + "/" + name), readFile(dir.file(name)));
        EXPECT_TRUE(difference.empty()) << name << ": " << difference;
    }
    // Nothing else is written: a new output file needs its expected copy.
    const std::set<std::string> known(expected.begin(), expected.end());
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(known.count(name) || name == project || name == kd::kFileListName || name == kd::kRunLockName) << "unexpected file " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenCaseRun, testing::ValuesIn(allRuns()), runName);

TEST(GoldenCases, EveryCaseFolderIsListed)
{
    std::set<std::string> listed;
    for (const GoldenCase& c : goldenCases())
        listed.insert(c.name);
    for (const auto& e : std::filesystem::directory_iterator(KELDOR_GOLDEN_DIR)) {
        if (e.is_directory()) {
            EXPECT_TRUE(listed.count(e.path().filename().string())) << e.path();
        }
    }
}
