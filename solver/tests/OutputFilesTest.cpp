// What an output may be, and what the clean-up of a failed run removes.

#include "OutputFiles.h"
#include "RecordError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace kd;
namespace fs = std::filesystem;

namespace {

// A run folder for one test; the run's record of files starts empty.
struct Folder {
    std::string path;
    Folder()
    {
        forgetRunFiles();
        std::string templ = (fs::temp_directory_path() / "kdoutputsXXXXXX").string();
        path = ::mkdtemp(templ.data());
    }
    ~Folder() { fs::remove_all(path); }
    std::string file(const std::string& name, const char* content = nullptr) const
    {
        const std::string p = path + "/" + name;
        if (content)
            std::ofstream(p) << content;
        return p;
    }
};

std::string content(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(OutputFiles, OpeningRefusesWhatMustNotBeWritten)
{
    Folder d;
    const std::string input = d.file("input.txt", "input\n");
    protectInputFile(input);
    fs::create_symlink(input, d.file("link"));
    fs::create_hard_link(input, d.file("hard"));
    fs::create_directory(d.file("dir"));
    ::mkfifo(d.file("fifo").c_str(), 0600);
    const struct {
        const char* name;
        const char* why;
    } cases[] = {{"link", "IT IS A SYMBOLIC LINK"},
                 {"hard", "IT IS THE SAME FILE AS "},
                 {"dir", ""},
                 {"fifo", ""}};  // no reader: refused at once, never waits
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ::close(openOutputFile(d.file(c.name)));
            ADD_FAILURE() << "opened";
        } catch (const RecordError& e) {
            EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(content(input), "input\n");

    // Two names of one file as two outputs are refused before anything is
    // written; opened anyway, the first name gets a new file and the second
    // keeps the old content.
    const std::string first = d.file("first", "old\n");
    fs::create_hard_link(first, d.file("second"));
    EXPECT_EQ(checkOutputNames({{"REPORT", first}, {"RUN NOTES", d.file("second")}}),
              " THE RUN NOTES " + d.file("second") + " AND THE REPORT " + first +
                  " ARE THE SAME FILE: THE RUN IS REFUSED.");
    ::close(openOutputFile(first));
    EXPECT_EQ(fs::hard_link_count(first), 1u);
    EXPECT_EQ(content(d.file("second")), "old\n");
    removeOutputsOfThisRun({});
}

TEST(OutputFiles, CleanUpRemovesOnlyTheFilesTheRunOpened)
{
    Folder d;
    const std::string kept = d.file("report", "old report\n");
    const std::string written = d.file("scratch", "old scratch\n");
    const std::string replaced = d.file("replaced");
    const std::string untouched = d.file("untouched", "not opened\n");
    for (const auto& p : {kept, written, replaced})
        ::close(openOutputFile(p));
    EXPECT_EQ(content(written), "");
    // Another file now stands under one of the names: it is not the run's.
    fs::rename(d.file("other", "someone else's\n"), replaced);

    removeOutputsOfThisRun({kept});
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_FALSE(fs::exists(written));
    EXPECT_EQ(content(replaced), "someone else's\n");
    EXPECT_EQ(content(untouched), "not opened\n");
}
