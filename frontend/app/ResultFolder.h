#pragma once

// The project's folder, held open from the start of a run to its end: the
// checks of the result files, their staged copies, the renames and the
// removals all name entries of this one folder, wherever it is moved during
// the run and whatever later takes its path.
//
// A staged copy is a hidden file (".keldor-*") that its run holds locked
// until it is renamed or removed, so that a later run can tell the copies
// that a killed front end left behind and remove them.

#include <QByteArray>
#include <QString>

class ResultFolder {
public:
    // A copy of a result under a hidden name beside the project; removed
    // unless it was put in place.
    class StagedCopy {
    public:
        StagedCopy() = default;
        StagedCopy(StagedCopy&& other) noexcept;
        StagedCopy& operator=(StagedCopy&& other) noexcept;
        ~StagedCopy();
        bool IsValid() const { return m_fd >= 0; }

    private:
        friend class ResultFolder;
        void release();
        int m_folder = -1;
        int m_fd = -1;
        QByteArray m_name;
    };

    // Held while one run puts its results in place, so that two front ends
    // running the same project put their sets in place one after the other.
    class PlacingLock {
    public:
        explicit PlacingLock(int folder);
        PlacingLock(const PlacingLock&) = delete;
        PlacingLock& operator=(const PlacingLock&) = delete;
        ~PlacingLock();

    private:
        int m_fd = -1;
    };

    ResultFolder() = default;
    ResultFolder(const ResultFolder&) = delete;
    ResultFolder& operator=(const ResultFolder&) = delete;
    ~ResultFolder();

    // Opens the folder at path; false with the system's reason in `error`.
    bool Open(const QString& path, QString& error);
    void Close();
    QString Path() const { return m_path; }

    // Why a run must not replace the entry `name` (empty: it may, or it is
    // not there): it is a symbolic link, not a regular file, read-only for
    // this user, another user's in a folder with the sticky bit, or the file
    // at projectPath.
    QString ResultProblem(const QString& name, const QString& projectPath) const;
    // Why no new file can be made in the folder; empty when one can.
    QString WriteProblem() const;

    // Copies the file at `from` to a new hidden name beside `name`, with the
    // permissions of the regular file `name` is to replace, or those of a
    // new file, and whole on disk. On failure nothing is left and `error`
    // says why.
    StagedCopy Stage(const QString& from, const QString& name, QString& error) const;
    // Renames the copy to `name`, replacing what is there at once (a link is
    // replaced, not written through). 0, or the errno of the rename.
    int Replace(StagedCopy& copy, const QString& name) const;
    // Removes the entry `name` unless it is a folder. 0 when it is gone or
    // was not there, else the errno; `removed` tells whether it was there.
    int Remove(const QString& name, bool* removed = nullptr) const;

    // Waits until no other run puts results in this folder, and holds it so
    // (when the folder can be read; else nothing is held).
    PlacingLock LockPlacing() const { return PlacingLock(m_fd); }
    // Where the folder is now (it may have been moved since it was opened);
    // empty when that cannot be told.
    QString CurrentPath() const;
    // True when Path() still names this folder.
    bool IsAtPath() const;

    // Removes the staged copies of runs that no longer go on: those of this
    // user that no run holds locked.
    void RemoveLeftovers() const;

private:
    int m_fd = -1;
    QString m_path;
};
