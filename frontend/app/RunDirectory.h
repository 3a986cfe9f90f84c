#pragma once

// The private folder of one run under the temporary folder
// ("keldor-run-XXXXXX"). Its run holds a lock on it while it goes on (not
// passed on to the analysis program), so that a later run can tell the
// folders of runs that no longer go on and remove them.

#include <QString>

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
    // reason in `error`.
    bool Make(QString& error);
    QString Path() const;
    // Keeps the folder and what it holds under a name no run removes
    // ("keldor-kept-XXXXXX"); returns the path it has now.
    QString Keep();

    // Removes the folders under `temp` of runs that no longer go on: those of
    // this user that no run holds locked and in which no analysis program
    // still holds its lock. Links are not followed.
    static void RemoveLeftovers(const QString& temp);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_lock = -1;
};
