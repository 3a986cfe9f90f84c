#include "OutputNames.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(OutputNames, ExtensionOfTheFileNameOnlyIsReplaced)
{
    const struct {
        const char* path;
        const char* ext;
        const char* expected;
    } cases[] = {
        {"/w/a.b/pile.kld", ".klp", "/w/a.b/pile.klp"},
        {"/w/a.b/pile", ".klo", "/w/a.b/pile.klo"},  // a dot in a folder name only
        {"pile.x.kld", ".klr", "pile.x.klr"},        // the last dot counts
        {"C:\\w.1\\pile", ".klo", "C:\\w.1\\pile.klo"},
        {"/w/.kld", ".klo", "/w/.klo"},
        {"pile", ".klp", "pile.klp"},
        {"", ".klp", ".klp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(changeFileExtension(c.path, c.ext), c.expected);
    }
}

TEST(OutputNames, ReportPlotDataAndRunNotesBesideTheProject)
{
    const OutputNames n = outputNamesFor("/home/u/my projects/p.kld");
    EXPECT_EQ(n.report, "/home/u/my projects/p.klo");
    EXPECT_EQ(n.plotData, "/home/u/my projects/p.klp");
    EXPECT_EQ(n.runNotes, "/home/u/my projects/p.klr");
    for (const char* ext : kOutputExtensions)
        EXPECT_NE(std::string(ext), kProjectExtension);
}

TEST(OutputNames, TheSameFileNamesInAnotherFolder)
{
    const struct {
        const char* project;
        const char* report;  // the others follow it
    } cases[] = {
        {"/home/u/my projects/p.kld", "/run/p.klo"},
        {"/w/a.b/pile", "/run/pile.klo"},
        {"/w/a\\b.x.kld", "/run/a\\b.x.klo"},  // a backslash is part of a file name here
        {"p.kld", "/run/p.klo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.project);
        const OutputNames n = outputNamesIn("/run", c.project);
        EXPECT_EQ(n.report, c.report);
        EXPECT_EQ(n.plotData, changeFileExtension(c.report, kPlotDataExtension));
        EXPECT_EQ(n.runNotes, changeFileExtension(c.report, kRunNotesExtension));
    }
}
