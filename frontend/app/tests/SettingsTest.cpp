#include "EditorCommand.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList entries(const RecentFileList& recent)
{
    QStringList list;
    for (int i = 0; i < RecentFileList::Size; ++i)
        list << recent.Entry(i);
    return list;
}

// Settings in a folder of the test's own.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path()); }
    QString iniPath() const { return m_dir.filePath("Varnoth/KELDOR.ini"); }

    QTemporaryDir m_dir;
};

} // namespace

TEST(RecentFiles, NewestFirstWithoutRepeats)
{
    RecentFileList recent;
    EXPECT_EQ(recent.Count(), 0);
    EXPECT_TRUE(recent.Update("/p/a.kld"));
    EXPECT_TRUE(recent.Update("/p/b.kld"));
    EXPECT_TRUE(recent.Update("/p/c.kld"));
    EXPECT_FALSE(recent.Update("/p/c.kld")); // already on top: nothing changes
    EXPECT_TRUE(recent.Update("/p/a.kld"));  // moves up, the others down one
    EXPECT_EQ(entries(recent).mid(0, 4), QStringList({"/p/a.kld", "/p/c.kld", "/p/b.kld", ""}));
    EXPECT_EQ(recent.Count(), 3);
    EXPECT_TRUE(recent.Update("/P/a.kld")); // comparisons are case-sensitive
    EXPECT_EQ(recent.Count(), 4);
}

TEST(RecentFiles, AnEleventhFileDropsTheOldest)
{
    RecentFileList recent;
    for (int i = 1; i <= 11; ++i)
        recent.Update(QStringLiteral("/p/%1.kld").arg(i));
    EXPECT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Entry(0), "/p/11.kld");
    EXPECT_EQ(recent.Entry(9), "/p/2.kld");
    // The last entry moves to the top too.
    recent.Update("/p/2.kld");
    EXPECT_EQ(recent.Entry(0), "/p/2.kld");
    EXPECT_EQ(recent.Entry(9), "/p/3.kld");
    EXPECT_EQ(recent.Count(), 10);
}

TEST(RecentFiles, CaptionsDropTheCurrentDirectoryOnlyAsTheLeadingFolder)
{
    const struct {
        const char* path;
        const char* current;
        const char* caption;
    } rows[] = {
        {"/work/proj/pile.kld", "/work/proj", "1 pile.kld"},
        {"/work/other/q.kld", "/work/proj", "1 /work/other/q.kld"},
        {"/work/proj/pile.kld", "/opt/keldor/bin", "1 /work/proj/pile.kld"},
        {"/work/proj/pile.kld", "/", "1 work/proj/pile.kld"},
        {"/tmp/proj/b.kld", "/tmp", "1 proj/b.kld"},
        {"/tmp/proj/b.kld", "/tmp/", "1 proj/b.kld"},
        // The folder further along the path, or a longer name that starts alike.
        {"/srv/tmp/proj/b.kld", "/tmp", "1 /srv/tmp/proj/b.kld"},
        {"/x/tmp/y/tmp/b.kld", "/tmp", "1 /x/tmp/y/tmp/b.kld"},
        {"/tmpx/b.kld", "/tmp", "1 /tmpx/b.kld"},
        {"/tmp/a/tmp/b.kld", "/tmp", "1 a/tmp/b.kld"},
        // Comparisons are case-sensitive, as the list's are.
        {"/Tmp/b.kld", "/tmp", "1 /Tmp/b.kld"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " in " + row.current);
        RecentFileList recent;
        recent.Update(row.path);
        EXPECT_EQ(recent.MenuCaption(0, row.current).toStdString(), row.caption);
    }
    // Each item carries its own number.
    RecentFileList recent;
    recent.Update("/work/other/q.kld");
    recent.Update("/work/proj/pile.kld");
    EXPECT_EQ(recent.MenuCaption(1, "/work/proj"), "2 /work/other/q.kld");
}

TEST_F(SettingsStore, NoStoreGivesEmptySettings)
{
    const AppSettings s = ReadSettings();
    EXPECT_TRUE(s.WordProcessor.isEmpty());
    EXPECT_EQ(s.Recent.Count(), 0);
}

TEST_F(SettingsStore, WrittenSettingsReadBack)
{
    AppSettings s;
    s.WordProcessor = "/usr/bin/gedit --new-window";
    s.Recent.Update("/p/a.kld");
    s.Recent.Update("/p/b kld.kld");
    WriteSettings(s);

    QSettings raw(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("2.0/Word Processor").toString(), "/usr/bin/gedit --new-window");
    EXPECT_EQ(raw.value("2.0/File1").toString(), "/p/b kld.kld");
    EXPECT_EQ(raw.value("2.0/File2").toString(), "/p/a.kld");
    EXPECT_TRUE(raw.contains("2.0/File10"));

    const AppSettings back = ReadSettings();
    EXPECT_EQ(back.WordProcessor, s.WordProcessor);
    EXPECT_EQ(entries(back.Recent), entries(s.Recent));
}

TEST_F(SettingsStore, GapsAreClosed)
{
    {
        QDir().mkpath(m_dir.filePath("Varnoth"));
        QSettings raw(iniPath(), QSettings::IniFormat);
        raw.setValue("2.0/File1", "/p/a.kld");
        raw.setValue("2.0/File3", "/p/c.kld");
    }
    const AppSettings s = ReadSettings();
    EXPECT_EQ(s.Recent.Count(), 2);
    EXPECT_EQ(s.Recent.Entry(0), "/p/a.kld");
    EXPECT_EQ(s.Recent.Entry(1), "/p/c.kld");
    EXPECT_EQ(s.Recent.Entry(2), "");
}

TEST(EditorCommand, HowTheSettingIsTaken)
{
    QTemporaryDir dir;
    const QString spaced = dir.filePath("my editor");
    QFile f(spaced);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    const struct {
        const char* name;
        QString setting;
        QString program;
        QStringList arguments;
    } rows[] = {
        {"empty: the desktop's opener", "", "xdg-open", {"/p/my file.kld"}},
        {"blank: the desktop's opener", "   ", "xdg-open", {"/p/my file.kld"}},
        {"an existing file with a blank", spaced, spaced, {"/p/my file.kld"}},
        {"a command line", "gedit --new-window", "gedit", {"--new-window", "/p/my file.kld"}},
        {"a quoted program", "\"/opt/my ed/ed\" -x", "/opt/my ed/ed", {"-x", "/p/my file.kld"}},
        {"a missing program with a blank", "/no/such editor", "/no/such", {"editor", "/p/my file.kld"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const EditorCommand c = EditorCommandFor(row.setting, "/p/my file.kld");
        EXPECT_EQ(c.Program, row.program);
        EXPECT_EQ(c.Arguments, row.arguments);
    }
    EXPECT_FALSE(StartEditor("/no/such/editor-program", "/p/x.kld"));
    QString reason;
    EXPECT_FALSE(StartEditor("/no/such/editor-program -x", "/p/x.kld", &reason));
    EXPECT_EQ(reason, "No such file or directory");
}
