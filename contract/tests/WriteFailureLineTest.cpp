#include "WriteFailureLine.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kd;

namespace {

struct FormRow {
    const char* name;
    std::function<std::string()> build;
    const char* text;  // what kdcalc prints after its blank
    const char* file;
    const char* reason;
};

} // namespace

// Each message as kdcalc prints it, and what the front end reads back from it.
TEST(WriteFailureLine, EachFormReadsBackItsFileAndReason)
{
    const FormRow rows[] = {
        {"open", [] { return cannotOpenForWritingText("/tmp/keldor-run-a/run.klo", "Permission denied"); },
         "CANNOT OPEN FILE /tmp/keldor-run-a/run.klo FOR WRITING: Permission denied", "/tmp/keldor-run-a/run.klo",
         "Permission denied"},
        {"open, a reason naming a file",
         [] { return cannotOpenForWritingText("a b.klr", "IT IS THE SAME FILE AS x.klo"); },
         "CANNOT OPEN FILE a b.klr FOR WRITING: IT IS THE SAME FILE AS x.klo", "a b.klr",
         "IT IS THE SAME FILE AS x.klo"},
        {"open, no reason", [] { return cannotOpenForWritingText("pldata1", ""); },
         "CANNOT OPEN FILE pldata1 FOR WRITING: ", "pldata1", ""},
        {"write", [] { return cannotWriteText("STGRPKVV.CBM", "No space left on device"); },
         "CANNOT WRITE FILE STGRPKVV.CBM: No space left on device", "STGRPKVV.CBM", "No space left on device"},
        {"write, a folder with a colon", [] { return cannotWriteText("/tmp/a: b/run.klo", "Input/output error"); },
         "CANNOT WRITE FILE /tmp/a: b/run.klo: Input/output error", "/tmp/a: b/run.klo", "Input/output error"},
        {"write, no reason", [] { return cannotWriteText("run.klp", ""); }, "CANNOT WRITE FILE run.klp", "run.klp", ""},
        {"lock", [] { return cannotLockText("No space left on device"); },
         "CANNOT LOCK THE FOLDER WITH kdcalc.lock: No space left on device", "kdcalc.lock", "No space left on device"},
        {"lock, no reason", [] { return cannotLockText(""); }, "CANNOT LOCK THE FOLDER WITH kdcalc.lock: ",
         "kdcalc.lock", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.build(), row.text);
        for (const std::string& line : {" " + std::string(row.text), std::string(row.text)}) {
            const auto failure = parseWriteFailureLine(line);
            ASSERT_TRUE(failure.has_value());
            EXPECT_EQ(failure->file, row.file);
            EXPECT_EQ(failure->reason, row.reason);
        }
    }
}

// Failures of the project, the file list or the run are not failures to
// write the program's own files.
TEST(WriteFailureLine, OtherLinesAreNotRecognised)
{
    const char* others[] = {
        "",
        " COMPUTATION COMPLETED.",
        " CANNOT OPEN FILE x: No such file or directory",
        " CANNOT OPEN THE PROJECT FILE /p/run.kld: Permission denied",
        " CANNOT READ RECORD 1 OF FILE STGRPKVV.CBM: END OF FILE",
        " CANNOT READ THE FILE LIST names.dat: Is a directory",
        " CANNOT REMOVE THE PLOT DATA FILE run.klp OF AN EARLIER RUN: Permission denied",
        " CANNOT LOCK THE FOLDER WITH other.lock: Permission denied",
        " THE RUN IS STOPPED: CANNOT WRITE FILE x",
        " ANOTHER RUN IS USING THE FOLDER /tmp/r: THIS RUN IS REFUSED.",
    };
    for (const char* line : others) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(parseWriteFailureLine(line).has_value());
    }
}

TEST(WriteFailureLine, NoRoomIsAFullFileSystemOrQuota)
{
    const struct {
        const char* reason;
        bool noRoom;
    } rows[] = {
        {"No space left on device", true},
        {"Disk quota exceeded", true},
        {"Input/output error", false},
        {"Permission denied", false},
        {"No space left on device.", false},
        {"", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        EXPECT_EQ(isNoRoomReason(row.reason), row.noRoom);
    }
}
