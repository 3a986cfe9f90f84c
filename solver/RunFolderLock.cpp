#include "RunFolderLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {

RunFolderLock::~RunFolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

RunFolderLock::Outcome RunFolderLock::acquire()
{
    const int fd = ::open(kRunLockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        m_problem = errno == ELOOP ? "IT IS A SYMBOLIC LINK" : std::strerror(errno);
        return Outcome::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_problem = "IT IS NOT A REGULAR FILE";
        ::close(fd);
        return Outcome::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Outcome::Busy;
        m_problem = std::strerror(error);
        return Outcome::Failed;
    }
    m_fd = fd;
    return Outcome::Taken;
}

} // namespace kd
