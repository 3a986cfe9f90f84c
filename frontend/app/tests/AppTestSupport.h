#pragma once

// What the application's tests share: dialogs that answer from a script and
// keep every message, and a way to run a check as an ordinary user.

#include "UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <deque>
#include <memory>
#include <functional>
#include <vector>

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Writes text as the file name (folders made as needed) in dir; its path.
inline QString WriteTestFile(const QTemporaryDir& dir, const QByteArray& text, const QString& name)
{
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}

// A stand-in for the desktop's opener: a script in a folder of its own that
// notes each file it is given and its process id, then ends with Status,
// keeps running until it is killed (Holds) or kills itself (Crashes).
struct FakeOpener {
    static constexpr int Holds = -1;
    static constexpr int Crashes = -2;

    explicit FakeOpener(int status) : Status(status)
    {
        Program = m_dir.filePath("opener");
        QByteArray script = "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + QFile::encodeName(m_dir.filePath("opened"))
                            + "'\necho $$ > '" + QFile::encodeName(m_dir.filePath("pid")) + "'\n";
        if (status == Holds)
            script += "exec sleep 600\n";
        else if (status == Crashes)
            script += "kill -KILL $$\n";
        else
            script += "exit " + QByteArray::number(status) + "\n";
        QFile f(Program);
        if (f.open(QIODevice::WriteOnly))
            f.write(script);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~FakeOpener()
    {
        if (Status == Holds && Pid() > 0)
            ::kill(static_cast<pid_t>(Pid()), SIGKILL);
    }

    // The files it was given, in order.
    QStringList Opened() const
    {
        QFile f(m_dir.filePath("opened"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // Its process id once it has started, else 0.
    qint64 Pid() const
    {
        QFile f(m_dir.filePath("pid"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 0;
    }
    // It has started and not ended (a process that has ended but is not
    // collected yet has ended).
    bool Runs() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(Pid()));
        if (Pid() <= 0 || !stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = stat.readAll();
        const qsizetype state = text.lastIndexOf(')') + 2;
        return state < text.size() && text[state] != 'Z' && text[state] != 'X';
    }
    // It has ended and the program that started it has collected it.
    bool Gone() const { return Pid() > 0 && ::kill(static_cast<pid_t>(Pid()), 0) != 0; }

    int Status;
    QString Program;

private:
    QTemporaryDir m_dir;
};

// The records of a project file: the title line, then each later line's
// numbers.
struct ProjectRecords {
    QString Title;
    std::vector<std::vector<long double>> Lines;
};

inline ProjectRecords ReadProjectRecords(const QByteArray& text)
{
    ProjectRecords r;
    const QList<QByteArray> lines = text.split('\n');
    r.Title = QString::fromUtf8(lines.value(0)).remove(u'\r');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        std::vector<long double> values;
        for (const QByteArray& word : line.simplified().split(' '))
            values.push_back(std::strtold(word.constData(), nullptr));
        r.Lines.push_back(values);
    }
    return r;
}

// A new working folder (made current) and a new settings folder for one test.
inline void UseFreshFolders(std::unique_ptr<QTemporaryDir>& dir, std::unique_ptr<QTemporaryDir>& settings)
{
    dir = std::make_unique<QTemporaryDir>();
    settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings->path());
    QDir::setCurrent(dir->path());
}

// Answers the questions of the file commands from a script.
class TestDialogs : public UserDialogs {
public:
    Reply AskSaveChanges(QWidget*) override
    {
        ++questions;
        return answer;
    }
    void Inform(QWidget*, const QString& message) override { messages << message; }
    void InformWithText(QWidget* parent, const QString& message, const QString& text) override
    {
        texts << text;
        UserDialogs::InformWithText(parent, message, text);
    }
    QString ChooseOpenFile(QWidget*, int& filterIndex) override
    {
        filterIndex = openFilter;
        return openPath;
    }
    QString ChooseSaveFile(QWidget*, const QString& title, const QString&) override
    {
        saveTitles << title;
        if (savePaths.empty())
            return QString();
        const QString path = savePaths.front();
        savePaths.pop_front();
        return path;
    }

    Reply answer = Reply::Cancel;
    int questions = 0;
    QStringList messages;
    // The long texts shown below a message (a program's output).
    QStringList texts;
    QString openPath;
    int openFilter = 1;
    std::deque<QString> savePaths;
    QStringList saveTitles;
};

// Runs check as a user other than root, for whom folder permissions hold
// (root writes into any folder): in a child process that gives up root.
// True when check returned true.
inline bool AsOrdinaryUser(const std::function<bool()>& check)
{
    if (geteuid() != 0)
        return check();
    const pid_t pid = fork();
    if (pid == 0) {
        const bool held = setgid(65534) == 0 && setuid(65534) == 0 && check();
        _exit(held ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
