#include "ResultFolder.h"

#include "EntryIdentity.h"

#include "FileToWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The prefix of every staged copy's name.
const char kStagedPrefix[] = ".keldor-";

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A hidden name beside `name`; short whatever the result's name, so that a
// folder that holds the result can hold it.
QByteArray stagedName(const QString& name)
{
    const QString random = QString::number(QRandomGenerator::global()->generate(), 16);
    return QFile::encodeName(QLatin1String(kStagedPrefix) + random + u'.' + QFileInfo(name).suffix());
}

// Copies what is left to read of `in` to `out`; 0, or the errno.
int copyWhole(int in, int out)
{
    static constexpr std::size_t kPiece = 1 << 20;
    QByteArray piece(static_cast<qsizetype>(kPiece), Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(in, piece.data(), kPiece);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        if (const int error = kd::writeWhole(out, piece.constData(), static_cast<std::size_t>(got)))
            return error;
    }
}

} // namespace

ResultFolder::StagedCopy::StagedCopy(StagedCopy&& other) noexcept
    : m_folder(other.m_folder), m_fd(other.m_fd), m_name(std::move(other.m_name))
{
    other.m_fd = -1;
}

ResultFolder::StagedCopy& ResultFolder::StagedCopy::operator=(StagedCopy&& other) noexcept
{
    if (this != &other) {
        release();
        m_folder = other.m_folder;
        m_fd = other.m_fd;
        m_name = std::move(other.m_name);
        other.m_fd = -1;
    }
    return *this;
}

ResultFolder::StagedCopy::~StagedCopy()
{
    release();
}

void ResultFolder::StagedCopy::release()
{
    if (m_fd < 0)
        return;
    // Removed while still locked: no other run takes it for a leftover
    // and removes a file of the same name made meanwhile.
    ::unlinkat(m_folder, m_name.constData(), 0);
    ::close(m_fd);
    m_fd = -1;
}

ResultFolder::PlacingLock::PlacingLock(int folder)
{
    // The held handle only names the folder; a lock needs one opened for reading.
    m_fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd >= 0)
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
}

ResultFolder::PlacingLock::~PlacingLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

ResultFolder::~ResultFolder()
{
    Close();
}

bool ResultFolder::Open(const QString& path, QString& error)
{
    Close();
    // A handle that only names the folder: it may be one its user may
    // write in but not list.
    m_fd = ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) {
        error = systemError(errno);
        return false;
    }
    m_path = path;
    return true;
}

void ResultFolder::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

QString ResultFolder::CurrentPath() const
{
    if (m_fd < 0)
        return QString();
    const QString target = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(m_fd));
    return target.startsWith(u'/') ? target : QString();
}

bool ResultFolder::IsAtPath() const
{
    struct stat held {};
    struct stat named {};
    return m_fd >= 0 && ::fstat(m_fd, &held) == 0 && ::stat(QFile::encodeName(m_path).constData(), &named) == 0
           && SameFile(held, named);
}

QString ResultFolder::ResultProblem(const QString& name, const QString& projectPath) const
{
    const QByteArray entry = QFile::encodeName(name);
    struct stat st {};
    if (::fstatat(m_fd, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return QString(); // not there: it will be created
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("is a symbolic link");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("is not a regular file");
    struct stat project {};
    if (::stat(QFile::encodeName(projectPath).constData(), &project) == 0 && SameFile(project, st))
        return QStringLiteral("is the same file as the project file");
    // A file its user made read-only is kept so; the run would replace it.
    // No write bit at all counts for every user, the superuser too.
    // A system that cannot answer the question (EPERM from a filter, say)
    // refuses nothing.
    if ((st.st_mode & 0222) == 0
        || (::faccessat(m_fd, entry.constData(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS)))
        return QStringLiteral("is read-only");
    // In a folder with the sticky bit (a shared one) only the file's owner,
    // the folder's and the superuser may replace it.
    struct stat folder {};
    const uid_t user = ::geteuid();
    if (::fstat(m_fd, &folder) == 0 && (folder.st_mode & S_ISVTX) != 0 && user != 0 && st.st_uid != user
        && folder.st_uid != user)
        return QStringLiteral("belongs to another user in a shared folder");
    return QString();
}

QString ResultFolder::WriteProblem() const
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = stagedName(QStringLiteral("probe.klo"));
        const int fd = ::openat(m_fd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlinkat(m_fd, name.constData(), 0);
            return QString();
        }
        if (errno != EEXIST)
            return systemError(errno);
    }
    return systemError(EEXIST);
}

ResultFolder::StagedCopy ResultFolder::Stage(const QString& from, const QString& name, QString& error) const
{
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = systemError(errno);
        return {};
    }
    StagedCopy copy;
    copy.m_folder = m_fd;
    for (int attempt = 0; copy.m_fd < 0 && attempt < 100; ++attempt) {
        copy.m_name = stagedName(name);
        const int fd = ::openat(m_fd, copy.m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error = systemError(errno);
            ::close(in);
            return {};
        }
        // Locked before anything is written; a leftover-removal of another
        // run that took it between its making and its locking removed it.
        if (::flock(fd, LOCK_EX) != 0 || !IsStillNamed(m_fd, copy.m_name.constData(), fd)) {
            ::close(fd);
            continue;
        }
        copy.m_fd = fd;
    }
    if (copy.m_fd < 0) {
        error = systemError(EEXIST);
        ::close(in);
        return {};
    }
    struct stat old {};
    if (::fstatat(m_fd, QFile::encodeName(name).constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode))
        ::fchmod(copy.m_fd, old.st_mode & 0777);
    int failed = copyWhole(in, copy.m_fd);
    ::close(in);
    // Whole on disk before its name can stand for the result.
    if (failed == 0 && ::fsync(copy.m_fd) != 0)
        failed = errno;
    if (failed != 0) {
        error = systemError(failed);
        return {}; // the copy removes itself
    }
    return copy;
}

int ResultFolder::Replace(StagedCopy& copy, const QString& name) const
{
    if (::renameat(m_fd, copy.m_name.constData(), m_fd, QFile::encodeName(name).constData()) != 0)
        return errno;
    ::close(copy.m_fd);
    copy.m_fd = -1;
    return 0;
}

int ResultFolder::Remove(const QString& name, bool* removed) const
{
    const bool gone = ::unlinkat(m_fd, QFile::encodeName(name).constData(), 0) == 0;
    if (removed)
        *removed = gone;
    return gone || errno == ENOENT ? 0 : errno;
}

void ResultFolder::RemoveLeftovers() const
{
    const int listed = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0)
        return;
    DIR* dir = ::fdopendir(listed);
    if (!dir) {
        ::close(listed);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, kStagedPrefix, sizeof kStagedPrefix - 1) != 0)
            continue;
        const int fd = ::openat(m_fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // A copy whose run goes on is locked; one of another user is theirs.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && IsStillNamed(m_fd, entry->d_name, fd))
            ::unlinkat(m_fd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}
