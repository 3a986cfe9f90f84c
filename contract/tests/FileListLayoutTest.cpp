#include "FileListLayout.h"
#include "OutputNames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kd;

TEST(FileListLayout, TextOfAProjectIsSixCrLfLines)
{
    EXPECT_EQ(fileListText("/home/u/my projects/p.kld"),
              "/home/u/my projects/p.kld\r\n/home/u/my projects/p.klo\r\n/home/u/my projects/p.klp\r\n"
              "/home/u/my projects/p.klr\r\n/home/u/my projects/p.klr\r\n/home/u/my projects/p.klr\r\n");
}

TEST(FileListLayout, WrittenTextReadsBackWhole)
{
    const std::string folder = "/w/" + std::string(300, 'x') + " with blanks/";
    const FileList list = parseFileList(fileListText(folder + "p.kld"));
    EXPECT_TRUE(list.complete);
    EXPECT_EQ(list.names[kProjectLine], folder + "p.kld");
    EXPECT_EQ(list.names[kReportLine], folder + "p.klo");
    EXPECT_EQ(list.names[kPlotDataLine], folder + "p.klp");
    for (int i = kRunNotesLine; i <= kFileListLines; ++i)
        EXPECT_EQ(list.names[static_cast<std::size_t>(i)], folder + "p.klr");
}

TEST(FileListLayout, NameThatWouldNotReadBackIsRefused)
{
    const struct {
        std::string name;
        const char* why;  // nullptr: written, and read back as itself
        const char* shown;
    } cases[] = {
        {"/w/p.kld", nullptr, nullptr},
        {"/w/ lead/ p.kld", nullptr, nullptr},  // blanks inside the path are carried
        {"/w/\xc3\xa4 \xff.kld", nullptr, nullptr},
        {"/w/p.kld ", "it ends with a blank", "/w/p.kld "},
        {" /w/p.kld", "it begins with a blank", " /w/p.kld"},
        {"/w/p.kld\t", "it holds a control character", "/w/p.kld?"},
        {"/w/p\n.kld", "it holds a line break", "/w/p?.kld"},
        {"/w/p.kld\r", "it holds a line break", "/w/p.kld?"},
        {std::string("/w/p\0q.kld", 10), "it holds a control character", "/w/p?q.kld"},
        {"/w/p\x1b[2J.kld", "it holds a control character", "/w/p?[2J.kld"},
        {"/w/p\x7f.kld", "it holds a control character", "/w/p?.kld"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto problem = fileListProblem(c.name);
        if (!c.why) {
            EXPECT_FALSE(problem.has_value());
            EXPECT_EQ(parseFileList(fileListText(c.name)).names[kProjectLine], c.name);
            continue;
        }
        const std::string message = std::string("The project file name ") + c.shown +
                                    " cannot be passed to the analysis program: " + c.why + ".";
        EXPECT_EQ(problem.value_or(""), message);
        try {
            fileListText(c.name);
            ADD_FAILURE() << "no refusal";
        } catch (const FileListRefused& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

TEST(FileListLayout, OutputsInAFolderOfTheirOwn)
{
    const std::string project = "/home/u/my projects/p.kld";
    const FileList list = parseFileList(fileListText(project, outputNamesIn("/tmp/run 1", project)));
    EXPECT_TRUE(list.complete);
    EXPECT_EQ(list.names[kProjectLine], project);
    EXPECT_EQ(list.names[kReportLine], "/tmp/run 1/p.klo");
    EXPECT_EQ(list.names[kPlotDataLine], "/tmp/run 1/p.klp");
    for (int i = kRunNotesLine; i <= kFileListLines; ++i)
        EXPECT_EQ(list.names[static_cast<std::size_t>(i)], "/tmp/run 1/p.klr");

    // The project is refused first, with its own message; then an output.
    const struct {
        std::string project, folder, message;
    } refused[] = {
        {"/w/p.kld ", "/tmp/r",
         "The project file name /w/p.kld  cannot be passed to the analysis program: it ends with a blank."},
        {"/w/p.kld", "/tmp/r\n", "The output file name /tmp/r?/p.klo cannot be passed to the analysis program: it "
                                  "holds a line break."},
        {"/w/p.kld", " r", "The output file name  r/p.klo cannot be passed to the analysis program: it begins with "
                           "a blank."},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.folder);
        try {
            fileListText(c.project, outputNamesIn(c.folder, c.project));
            ADD_FAILURE() << "no refusal";
        } catch (const FileListRefused& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

TEST(FileListLayout, LinesAsWrittenByHand)
{
    const struct {
        const char* text;
        bool complete;
        std::array<const char*, 7> names;
    } cases[] = {
        {"a\nb\nc\nd\ne\nf", true, {"", "a", "b", "c", "d", "e", "f"}},  // LF, last line without an end
        {"a  \t\r\nb\r\n\r\nd\r\ne\r\nf\r\ng\r\n", true, {"", "a", "b", "", "d", "e", "f"}},  // blanks, an empty line, a 7th
        {"a\r\nb\r\nc\r\n", false, {"", "a", "b", "c", "", "", ""}},
        {"", false, {"", "", "", "", "", "", ""}},
        {" lead\r\n", false, {"", " lead", "", "", "", "", ""}},  // leading blanks are part of the name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const FileList list = parseFileList(c.text);
        EXPECT_EQ(list.complete, c.complete);
        for (std::size_t i = 1; i < c.names.size(); ++i)
            EXPECT_EQ(list.names[i], c.names[i]) << "line " << i;
    }
}

TEST(FileListLayout, WritesAndReadsAFile)
{
    const auto dir = std::filesystem::temp_directory_path() / ("kd_contract_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / kFileListName).string();
    ASSERT_EQ(writeFileList(path, "/p/q.kld"), std::nullopt);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), fileListText("/p/q.kld"));
    EXPECT_EQ(readFileList(path).names[kRunNotesLine], "/p/q.klr");

    const FileList missing = readFileList((dir / "missing.dat").string());
    EXPECT_FALSE(missing.complete);
    EXPECT_EQ(missing.names[kProjectLine], "");
    EXPECT_EQ(writeFileList((dir / "no-such-folder" / kFileListName).string(), "/p/q.kld"),
              "The file list " + (dir / "no-such-folder" / kFileListName).string() +
                  " is not written: No such file or directory.");
    // A refused name leaves the list as it was.
    EXPECT_THROW(writeFileList(path, "/p/q.kld "), FileListRefused);
    EXPECT_EQ(readFileList(path).names[kProjectLine], "/p/q.kld");
    std::filesystem::remove_all(dir);
}
