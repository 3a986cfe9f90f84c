#include "RunDirectory.h"

#include "EntryIdentity.h"

#include "OutputNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kRunPrefix[] = "keldor-run-";

// True when the analysis program still runs in the folder `fd`: it holds
// its lock file there until it ends.
bool programHoldsLock(int fd)
{
    const int lock = ::openat(fd, kd::kRunLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (lock < 0)
        return false;
    const bool held = ::flock(lock, LOCK_SH | LOCK_NB) != 0;
    ::close(lock);
    return held;
}

} // namespace

RunDirectory::RunDirectory() = default;

RunDirectory::~RunDirectory()
{
    // Removed while still locked, then let go.
    m_dir.reset();
    if (m_lock >= 0)
        ::close(m_lock);
}

QString RunDirectory::Path() const
{
    return m_dir ? m_dir->path() : QString();
}

QString RunDirectory::TemporaryFolder()
{
    // Qt gives no temporary folder for a TMPDIR that does not resolve: the
    // run folder is then tried there, and the message names it.
    const QString temp = QDir::tempPath();
    return temp.isEmpty() ? QDir::cleanPath(qEnvironmentVariable("TMPDIR")) : temp;
}

bool RunDirectory::Make(QString& error, const std::function<void(const QString&)>& made)
{
    const QString temp = TemporaryFolder();
    for (int attempt = 0; attempt < 10; ++attempt) {
        auto dir = std::make_unique<QTemporaryDir>(QDir(temp).filePath(QString::fromLatin1(kRunPrefix) + "XXXXXX"));
        if (!dir->isValid()) {
            error = dir->errorString();
            return false;
        }
        if (made)
            made(dir->path());
        // Another run's leftover-removal may take the new folder, empty and
        // not yet locked, and remove it: a new one is made then.
        const QByteArray path = QFile::encodeName(dir->path());
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT)
            continue;
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
            error = QString::fromLocal8Bit(std::strerror(errno));
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        if (!IsStillNamed(AT_FDCWD, path.constData(), fd)) {
            ::close(fd);
            continue;
        }
        m_dir = std::move(dir);
        m_lock = fd;
        return true;
    }
    error = QStringLiteral("it was removed as soon as it was made");
    return false;
}

QString RunDirectory::Keep()
{
    if (!m_dir)
        return QString();
    m_dir->setAutoRemove(false);
    const QByteArray path = QFile::encodeName(m_dir->path());
    const QString parent = QFileInfo(m_dir->path()).path();
    // A rename to a new name needs no room, where making a folder may not
    // find any: the folder is kept whatever else has run out.
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = QStringLiteral("keldor-kept-");
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))]);
        const QByteArray kept = QFile::encodeName(QDir(parent).filePath(name));
        if (::renameat2(AT_FDCWD, path.constData(), AT_FDCWD, kept.constData(), RENAME_NOREPLACE) == 0)
            return QFile::decodeName(kept);
        if (errno != EEXIST)
            break;
    }
    return QString();
}

void RunDirectory::RemoveLeftovers(const QString& temp)
{
    const QByteArray tempName = QFile::encodeName(temp);
    const int parent = ::open(tempName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return;
    const int listed = ::dup(parent);
    DIR* dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        ::close(parent);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, kRunPrefix, sizeof kRunPrefix - 1) != 0)
            continue;
        const int fd = ::openat(parent, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && !programHoldsLock(fd) && IsStillNamed(parent, entry->d_name, fd))
            QDir(QDir(temp).filePath(QFile::decodeName(entry->d_name))).removeRecursively();
        ::close(fd);
    }
    ::closedir(dir);
    ::close(parent);
}
