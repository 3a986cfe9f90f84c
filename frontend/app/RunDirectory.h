#pragma once

// The private folder of one run under the temporary folder
// ("keldor-run-XXXXXX"). Its run holds a lock on it while it goes on (not
// passed on to the analysis program), so that a later run can tell the
// folders of runs that no longer go on and remove them.

#include <QString>

#include <functional>
#include <memory>

class QTemporaryDir;

class RunDirectory {
public:
    RunDirectory();
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;
    // Removes the folder unless it was kept.
    ~RunDirectory();

    // Where run folders are made: QDir::tempPath(), or TMPDIR as given when
    // Qt finds no folder there (never the current directory).
    static QString TemporaryFolder();
    // Makes and locks a new folder under TemporaryFolder(); false with the
    // reason in `error`. `made`, when given, is called with each new folder
    // before it is locked (where another run's removal of leftovers may
    // take it).
    bool Make(QString& error, const std::function<void(const QString&)>& made = {});
    QString Path() const;
    // Keeps the folder and what it holds under a new name that no run
    // removes ("keldor-kept-XXXXXX") and returns it; empty when it could not
    // be renamed: it then stays at Path() until a later run removes it.
    QString Keep();

    // Removes the folders under `temp` of runs that no longer go on: those of
    // this user that no run holds locked and in which no analysis program
    // still holds its lock. Links are not followed.
    static void RemoveLeftovers(const QString& temp);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_lock = -1;
};
