// File lists and run folders set up to make kdcalc write where it must not:
// through symbolic links, onto the project file, twice into one file, into a
// directory, or from a device or a FIFO. Each run is refused before anything
// is written, and nothing outside the run folder changes. Two runs in one
// folder: one completes, the other is refused at once. A folder closed for
// writing keeps an earlier run's files whole. A project name that the list
// cannot carry exactly is refused by the list's writer.

#include "FileListLayout.h"
#include "KdcalcProcess.h"
#include "KdcalcRun.h"
#include "ProjectText.h"
#include "RunFolder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <iostream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kdtest;
namespace fs = std::filesystem;

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A run folder beside a folder of files the run must never touch.
struct Folders {
    TempDir root;
    std::string run = root.path() + "/run";
    std::string outside = root.path() + "/outside";
    std::string victim = outside + "/victim.txt";
    std::string project = run + "/p.kld";

    Folders()
    {
        fs::create_directory(run);
        fs::create_directory(outside);
        writeFile(victim, "a file outside the run folder\n");
        writeFile(project, ProjectText{}.text());
    }
    // names.dat with the project, then report, plot data file and run notes.
    void list(const std::string& report, const std::string& plot, const std::string& notes) const
    {
        writeFile(run + "/names.dat", project + "\n" + report + "\n" + plot + "\n" + notes + "\n" + notes + "\n" +
                                          notes + "\n");
    }
    void usualList() const { list(run + "/p.klo", run + "/p.klp", run + "/p.klr"); }
    // An expected message with "{run}" and "{outside}" put in.
    std::string expand(std::string text) const
    {
        for (const auto& [from, to] : {std::pair{"{run}", run}, std::pair{"{outside}", outside}})
            for (auto at = text.find(from); at != std::string::npos; at = text.find(from))
                text.replace(at, std::string(from).size(), to);
        return text;
    }
};

// Runs kdfilelist with one argument in dir: its exit status (-1 when it did
// not exit normally, also when it was killed after kRunTimeLimitSeconds) and
// what it printed.
std::pair<int, std::string> runKdfilelist(const std::string& dir, const std::string& project)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {-1, ""};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        ::alarm(kRunTimeLimitSeconds);
        if (::chdir(dir.c_str()) == 0)
            ::execl(KDFILELIST_PATH, KDFILELIST_PATH, project.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n = 0; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int raw = 0;
    if (pid < 0 || ::waitpid(pid, &raw, 0) != pid || !WIFEXITED(raw))
        return {-1, out};
    return {WEXITSTATUS(raw), out};
}

// Run in a child about to start a program: gives up root, for whom folder
// permissions do not hold. False when that is not possible.
bool asOrdinaryUser()
{
    return ::geteuid() != 0 || (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
}

// True when a process that gave up root can open dir but not create a file in it.
bool closedForOrdinaryUser(const std::string& dir)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!asOrdinaryUser())
            ::_exit(2);
        if (::open(dir.c_str(), O_RDONLY | O_DIRECTORY) < 0)
            ::_exit(3);
        const int fd = ::open((dir + "/probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ::_exit(fd < 0 && errno == EACCES ? 0 : 1);
    }
    int raw = 0;
    return pid > 0 && ::waitpid(pid, &raw, 0) == pid && WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

// Opens dir for everyone again when the test ends, so that it can be removed.
struct OpenedAtEnd {
    std::string dir;
    ~OpenedAtEnd()
    {
        std::error_code ec;
        fs::permissions(dir, fs::perms::all, ec);
    }
};

} // namespace

TEST(HostileFileList, RefusedBeforeAnythingIsWritten)
{
    struct Case {
        const char* name;
        std::function<void(const Folders&)> prepare;
        const char* message;
    };
    const Case cases[] = {
        {"report links to a file outside",
         [](const Folders& f) {
             fs::create_symlink(f.victim, f.run + "/p.klo");
             f.usualList();
         },
         " THE REPORT {run}/p.klo IS A SYMBOLIC LINK: THE RUN IS REFUSED."},
        {"run notes link to a file that does not exist yet",
         [](const Folders& f) {
             fs::create_symlink(f.outside + "/new.txt", f.run + "/p.klr");
             f.usualList();
         },
         " THE RUN NOTES {run}/p.klr IS A SYMBOLIC LINK"},
        {"plot data file links outside",
         [](const Folders& f) {
             fs::create_symlink(f.victim, f.run + "/p.klp");
             f.usualList();
         },
         " THE PLOT DATA FILE {run}/p.klp IS A SYMBOLIC LINK"},
        {"scratch file links outside",
         [](const Folders& f) {
             fs::create_symlink(f.victim, f.run + "/TRNPLSSW.CBM");
             f.usualList();
         },
         " THE SCRATCH FILE TRNPLSSW.CBM IS A SYMBOLIC LINK"},
        {"plot scratch file links outside",
         [](const Folders& f) {
             fs::create_symlink(f.victim, f.run + "/pldata1");
             f.usualList();
         },
         " THE SCRATCH FILE pldata1 IS A SYMBOLIC LINK"},
        {"report is a hard link to the project",
         [](const Folders& f) {
             fs::create_hard_link(f.project, f.run + "/p.klo");
             f.usualList();
         },
         " THE REPORT {run}/p.klo IS THE SAME FILE AS {run}/p.kld: THE RUN IS REFUSED."},
        {"report and run notes are links to one file outside",
         [](const Folders& f) {
             fs::create_hard_link(f.victim, f.run + "/p.klo");
             fs::create_hard_link(f.victim, f.run + "/p.klr");
             f.usualList();
         },
         " THE RUN NOTES {run}/p.klr AND THE REPORT {run}/p.klo ARE THE SAME FILE"},
        {"scratch file is a hard link to the report",
         [](const Folders& f) {
             writeFile(f.run + "/p.klo", "earlier report\n");
             fs::create_hard_link(f.run + "/p.klo", f.run + "/STGRPKVV.CBM");
             f.usualList();
         },
         " THE SCRATCH FILE STGRPKVV.CBM AND THE REPORT {run}/p.klo ARE THE SAME FILE"},
        {"report is the file list",
         [](const Folders& f) { f.list(f.run + "/names.dat", f.run + "/p.klp", f.run + "/p.klr"); },
         " THE REPORT {run}/names.dat IS THE SAME FILE AS names.dat"},
        {"run notes are the lock file",
         [](const Folders& f) { f.list(f.run + "/p.klo", f.run + "/p.klp", f.run + "/kdcalc.lock"); },
         " THE RUN NOTES {run}/kdcalc.lock IS THE SAME FILE AS kdcalc.lock"},
        {"plot data file is an empty directory",
         [](const Folders& f) {
             fs::create_directory(f.run + "/p.klp");
             f.usualList();
         },
         " THE PLOT DATA FILE {run}/p.klp IS NOT A REGULAR FILE"},
        {"report is a directory outside",
         [](const Folders& f) { f.list(f.outside, f.run + "/p.klp", f.run + "/p.klr"); },
         " THE REPORT {outside} IS NOT A REGULAR FILE"},
        {"scratch file is a FIFO",
         [](const Folders& f) {
             ::mkfifo((f.run + "/TRNFDGSW.CBM").c_str(), 0600);
             f.usualList();
         },
         " THE SCRATCH FILE TRNFDGSW.CBM IS NOT A REGULAR FILE"},
        {"project is a FIFO",
         [](const Folders& f) {
             fs::remove(f.project);
             ::mkfifo(f.project.c_str(), 0600);
             f.usualList();
         },
         " CANNOT OPEN THE PROJECT FILE {run}/p.kld: IT IS NOT A REGULAR FILE"},
        {"project is /dev/zero",
         [](const Folders& f) {
             writeFile(f.run + "/names.dat", "/dev/zero\n" + f.run + "/p.klo\n" + f.run + "/p.klp\n" + f.run +
                                                 "/p.klr\n\n\n");
         },
         " CANNOT OPEN THE PROJECT FILE /dev/zero: IT IS NOT A REGULAR FILE"},
        {"project links to /dev/zero",
         [](const Folders& f) {
             fs::remove(f.project);
             fs::create_symlink("/dev/zero", f.project);
             f.usualList();
         },
         " CANNOT OPEN THE PROJECT FILE {run}/p.kld: IT IS NOT A REGULAR FILE"},
        {"file list links to /dev/zero",
         [](const Folders& f) { fs::create_symlink("/dev/zero", f.run + "/names.dat"); },
         " CANNOT READ THE FILE LIST names.dat: IT IS NOT A REGULAR FILE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        c.prepare(f);
        const auto outsideBefore = snapshot(f.outside);
        const auto runBefore = snapshot(f.run);
        const auto run = runKdcalc(f.run);
        const std::string expected = f.expand(c.message);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.console, expected)) << run.console;
        EXPECT_EQ(snapshot(f.outside), outsideBefore);
        // Nothing in the run folder changed either, apart from the lock file.
        auto runAfter = snapshot(f.run);
        std::erase(runAfter, f.run + "/kdcalc.lock ");
        EXPECT_EQ(runAfter, runBefore);
    }
}

TEST(HostileFileList, AListThatNamesOtherFilesThanItSaysIsRefused)
{
    // A name is opened through its C string: a NUL inside it would make the
    // run write another file than the list names, here a file of the user's
    // beside the project. A list that cannot be read says why. Either way the
    // run is refused before it writes anything, the lock file included.
    struct Case {
        const char* name;
        std::function<void(const Folders&)> prepare;
        bool asOrdinaryUser;
        const char* message;
    };
    const auto withLine = [](const Folders& f, int line, const std::string& name) {
        std::vector<std::string> names{f.project, f.run + "/p.klo", f.run + "/p.klp", f.run + "/p.klr",
                                       f.run + "/p.klr", f.run + "/p.klr"};
        names[static_cast<std::size_t>(line - 1)] = name;
        std::string text;
        for (const auto& n : names)
            text += n + "\r\n";
        writeFile(f.run + "/names.dat", text);
    };
    const std::string nul(1, '\0');
    const Case cases[] = {
        {"NUL in the project file's name",
         [&](const Folders& f) { withLine(f, 1, f.project + nul + ".x"); }, false,
         " FILE LIST names.dat: THE PROJECT FILE (LINE 1) HOLDS A CONTROL CHARACTER (CODE 0): THE RUN IS REFUSED."},
        {"NUL in the report's name",
         [&](const Folders& f) { withLine(f, 2, f.run + "/keep.txt" + nul + ".klo"); }, false,
         " FILE LIST names.dat: THE REPORT (LINE 2) HOLDS A CONTROL CHARACTER (CODE 0): THE RUN IS REFUSED."},
        {"NUL in the plot data file's name",
         [&](const Folders& f) { withLine(f, 3, f.run + "/keep.txt" + nul + ".klp"); }, false,
         " FILE LIST names.dat: THE PLOT DATA FILE (LINE 3) HOLDS A CONTROL CHARACTER (CODE 0)"},
        {"NUL in the run notes' name",
         [&](const Folders& f) { withLine(f, 4, f.run + "/keep.txt" + nul + ".klr"); }, false,
         " FILE LIST names.dat: THE RUN NOTES (LINE 4) HOLDS A CONTROL CHARACTER (CODE 0)"},
        {"escape character in the report's name",
         [&](const Folders& f) { withLine(f, 2, f.run + "/p\x1b.klo"); }, false,
         " FILE LIST names.dat: THE REPORT (LINE 2) HOLDS A CONTROL CHARACTER (CODE 27)"},
        {"carriage return inside an unused name",
         [&](const Folders& f) { withLine(f, 6, f.run + "/p.klr\r" + f.run + "/keep.txt"); }, false,
         " FILE LIST names.dat: THE UNUSED NAME (LINE 6) HOLDS A CONTROL CHARACTER (CODE 13)"},
        {"file list is a directory", [](const Folders& f) { fs::create_directory(f.run + "/names.dat"); }, false,
         " CANNOT READ THE FILE LIST names.dat: IT IS A DIRECTORY"},
        {"file list is a FIFO", [](const Folders& f) { ::mkfifo((f.run + "/names.dat").c_str(), 0600); }, false,
         " CANNOT READ THE FILE LIST names.dat: IT IS NOT A REGULAR FILE"},
        {"file list cannot be read",
         [](const Folders& f) {
             f.usualList();
             fs::permissions(f.run + "/names.dat", fs::perms::none);
             // An ordinary user must be able to reach the list to be refused it.
             const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
             fs::permissions(f.root.path(), open);
             fs::permissions(f.run, open);
         },
         true, " CANNOT READ THE FILE LIST names.dat: Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        writeFile(f.run + "/keep.txt", "user data\n");
        c.prepare(f);
        const auto outsideBefore = snapshot(f.outside);
        const auto runBefore = snapshot(f.run);
        KdcalcProcess run(f.run, c.asOrdinaryUser ? std::function<bool()>(asOrdinaryUser) : std::function<bool()>());
        const int status = run.finish();
        if (status == 126) {
            std::cout << "row \"" << c.name << "\" skipped: no user here for whom a file can be closed\n";
            continue;
        }
        EXPECT_EQ(status, 1) << run.console();
        EXPECT_TRUE(contains(run.console(), c.message)) << run.console();
        EXPECT_EQ(snapshot(f.outside), outsideBefore);
        EXPECT_EQ(snapshot(f.run), runBefore);
    }
}

TEST(HostileFileList, FailedRunRemovesOnlyWhatItWrote)
{
    // The run fails in its horizontal stage (a result that is not finite):
    // it removes the scratch files it wrote, but a link beside them and the
    // vertical stage's files of an earlier run that it never opened stay.
    Folders f;
    ProjectText p;
    p.layers[0].vs = 1e-200;
    writeFile(f.project, p.text());
    f.usualList();
    fs::create_symlink(f.victim, f.run + "/victim-link");
    writeFile(f.run + "/STGRPKVV.CBM", "earlier\n");
    const auto outsideBefore = snapshot(f.outside);
    const auto run = runKdcalc(f.run);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.console, "IS NOT A FINITE NUMBER")) << run.console;
    EXPECT_EQ(snapshot(f.outside), outsideBefore);
    EXPECT_FALSE(fileExists(f.run + "/TRNPLSSW.CBM"));
    EXPECT_FALSE(fileExists(f.run + "/pldata1"));
    EXPECT_TRUE(fs::is_symlink(f.run + "/victim-link"));
    EXPECT_EQ(readFile(f.run + "/STGRPKVV.CBM"), "earlier\n");
    EXPECT_TRUE(fileExists(f.run + "/p.klo"));  // the report stays as a diagnostic
}

TEST(HostileFileList, FolderInUseRefusesTheRunAndKeepsItsFiles)
{
    Folders f;
    f.usualList();
    ASSERT_EQ(runKdcalc(f.run).status, 0);
    const auto complete = snapshot(f.run);

    // Another process holds the folder's lock.
    const int lock = ::open((f.run + "/kdcalc.lock").c_str(), O_RDWR);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const auto refused = runKdcalc(f.run);
    ::close(lock);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.console, " ANOTHER RUN IS USING THE FOLDER " + fs::canonical(f.run).string() +
                                   ": THIS RUN IS REFUSED.\n");
    EXPECT_EQ(snapshot(f.run), complete);
}

TEST(HostileFileList, TwoRunsStartedTogether)
{
    // The reference: the same project run alone.
    Folders alone;
    writeFile(alone.project, slowProjectText(12));
    alone.usualList();
    ASSERT_EQ(runKdcalc(alone.run).status, 0);

    Folders f;
    writeFile(f.project, slowProjectText(12));
    f.usualList();
    // Both complete only when the second could not start before the first had
    // ended (a machine under load): then they are started again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        KdcalcProcess first(f.run);
        KdcalcProcess second(f.run);
        const int a = first.finish();
        const int b = second.finish();
        if (a == 0 && b == 0)
            continue;
        ASSERT_EQ(std::min(a, b), 0) << first.console() << second.console();
        ASSERT_EQ(std::max(a, b), 1) << first.console() << second.console();
        const std::string& refusedConsole = a == 1 ? first.console() : second.console();
        EXPECT_EQ(refusedConsole, " ANOTHER RUN IS USING THE FOLDER " + fs::canonical(f.run).string() +
                                      ": THIS RUN IS REFUSED.\n");
        break;
    }

    // One complete result set, equal to the run alone byte for byte.
    std::vector<std::string> names{"p.klo", "p.klp", "p.klr"};
    for (const auto& s : scratchFileNames())
        names.push_back(s);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(fileExists(alone.run + "/" + name));
        EXPECT_TRUE(readFile(f.run + "/" + name) == readFile(alone.run + "/" + name));
    }
}

TEST(HostileFileList, OutputWithOtherNamesIsWrittenAsANewFile)
{
    // The report and a scratch file are hard links to files outside: the run
    // writes new files under these names and leaves the files outside alone.
    Folders f;
    writeFile(f.outside + "/scratch.txt", "another file outside\n");
    fs::create_hard_link(f.victim, f.run + "/p.klo");
    fs::create_hard_link(f.outside + "/scratch.txt", f.run + "/TRNPLSSW.CBM");
    f.usualList();
    const auto outsideBefore = snapshot(f.outside);
    const auto run = runKdcalc(f.run);
    EXPECT_EQ(run.status, 0) << run.console;
    EXPECT_EQ(snapshot(f.outside), outsideBefore);
    EXPECT_EQ(fs::hard_link_count(f.victim), 1u);
    EXPECT_EQ(fs::hard_link_count(f.run + "/p.klo"), 1u);
    EXPECT_NE(readFile(f.run + "/p.klo").find("Test project"), std::string::npos);
    EXPECT_NE(readFile(f.run + "/TRNPLSSW.CBM"), "another file outside\n");
}

TEST(HostileFileList, EarlierPlotDataFileThatCannotBeRemovedStopsTheRun)
{
    // A folder closed for writing holds an earlier complete run whose files
    // stay writable. The run cannot remove the old plot data file, so it must
    // stop before it empties the report or a scratch file.
    Folders f;
    const auto closed = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(f.root.path(), closed | fs::perms::owner_write);
    const std::string probe = f.root.path() + "/closed";
    fs::create_directory(probe);
    const OpenedAtEnd probeOpened{probe}, runOpened{f.run};
    fs::permissions(probe, closed);
    if (!closedForOrdinaryUser(probe))
        GTEST_SKIP() << "no user here for whom a folder can be closed for writing";

    fs::permissions(f.run, fs::perms::all);
    f.usualList();
    KdcalcProcess complete(f.run, asOrdinaryUser);
    ASSERT_EQ(complete.finish(), 0) << complete.console();
    ProjectText refused;
    refused.length = 100.0;  // longer than the soil column
    writeFile(f.project, refused.text());
    fs::permissions(f.run, closed);
    const auto before = snapshot(f.run);

    KdcalcProcess run(f.run, asOrdinaryUser);
    EXPECT_EQ(run.finish(), 1);
    EXPECT_EQ(run.console(),
              " CANNOT REMOVE THE PLOT DATA FILE " + f.run + "/p.klp OF AN EARLIER RUN: Permission denied\n");
    EXPECT_EQ(snapshot(f.run), before);
}

TEST(HostileFileList, WriterRefusesANameThatWouldReadBackAsAnother)
{
    // Beside p.kld another project whose name the list would carry as p.kld
    // or not at all: kdfilelist refuses it and leaves the list as it was.
    struct Case {
        const char* name;
        std::string project;
        const char* shown;  // nullptr: the list is written
        const char* why;
    };
    const Case cases[] = {
        {"trailing blank", "p.kld ", "p.kld ", "it ends with a blank"},
        {"line break", "p\n.kld", "p?.kld", "it holds a line break"},
        {"escape character", "p\x1b.kld", "p?.kld", "it holds a control character"},
        {"the project itself", "p.kld", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        ProjectText other;
        other.title = "Another project";
        writeFile(f.run + "/" + c.project, other.text());
        writeFile(f.run + "/names.dat", "an earlier list\n");
        const auto [status, output] = runKdfilelist(f.run, c.project);
        if (!c.shown) {
            EXPECT_EQ(status, 0) << output;
            EXPECT_EQ(readFile(f.run + "/names.dat"), kd::fileListText(f.project));
            continue;
        }
        EXPECT_EQ(status, 1);
        EXPECT_EQ(output, "kdfilelist: The project file name " + f.run + "/" + c.shown +
                              " cannot be passed to the analysis program: " + c.why + ".\n");
        EXPECT_EQ(readFile(f.run + "/names.dat"), "an earlier list\n");
    }
}

TEST(HostileFileList, WriterNeverWritesThroughALinkOrOverTheProject)
{
    // names.dat set up to carry the list into another file: kdfilelist writes
    // the list as kdcalc writes its outputs, or refuses and changes nothing.
    struct Case {
        const char* name;
        const char* project;  // the argument, in the run folder
        std::function<void(const Folders&)> prepare;
        const char* why;      // nullptr: the list is written into a file of its own
    };
    const Case cases[] = {
        {"names.dat links to a file outside", "p.kld",
         [](const Folders& f) { fs::create_symlink(f.victim, f.run + "/names.dat"); }, "it is a symbolic link"},
        {"names.dat is a dangling link", "p.kld",
         [](const Folders& f) { fs::create_symlink(f.outside + "/new.txt", f.run + "/names.dat"); },
         "it is a symbolic link"},
        {"names.dat links to the project", "p.kld",
         [](const Folders& f) { fs::create_symlink(f.project, f.run + "/names.dat"); }, "it is a symbolic link"},
        {"names.dat is a directory", "p.kld", [](const Folders& f) { fs::create_directory(f.run + "/names.dat"); },
         "it is not a regular file"},
        {"names.dat is a FIFO", "p.kld",
         [](const Folders& f) { ::mkfifo((f.run + "/names.dat").c_str(), 0600); }, "it is not a regular file"},
        {"names.dat is a hard link to the project", "p.kld",
         [](const Folders& f) { fs::create_hard_link(f.project, f.run + "/names.dat"); },
         "it is the same file as the project file {run}/p.kld"},
        {"the project is named names.dat", "names.dat",
         [](const Folders& f) { writeFile(f.run + "/names.dat", ProjectText{}.text()); },
         "it is the same file as the project file {run}/names.dat"},
        {"a project named names.dat that does not exist", "names.dat", [](const Folders&) {},
         "it is the same file as the project file {run}/names.dat"},
        {"names.dat is a hard link to a file outside", "p.kld",
         [](const Folders& f) { fs::create_hard_link(f.victim, f.run + "/names.dat"); }, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        c.prepare(f);
        const auto outsideBefore = snapshot(f.outside);
        const auto runBefore = snapshot(f.run);
        const auto [status, output] = runKdfilelist(f.run, c.project);
        EXPECT_EQ(snapshot(f.outside), outsideBefore);
        if (!c.why) {
            EXPECT_EQ(status, 0) << output;
            EXPECT_EQ(readFile(f.run + "/names.dat"), kd::fileListText(f.project));
            EXPECT_EQ(fs::hard_link_count(f.run + "/names.dat"), 1u);
            continue;
        }
        EXPECT_EQ(status, 1);
        EXPECT_EQ(output, "kdfilelist: The file list " + f.run + "/names.dat is not written: " + f.expand(c.why) +
                              ".\n");
        EXPECT_EQ(snapshot(f.run), runBefore);
    }
}
