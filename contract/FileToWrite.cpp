#include "FileToWrite.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {

FileToWrite openFileToWrite(const std::string& path, const FileCheck& check)
{
    FileToWrite out;
    const auto fail = [&](FileToWrite::Problem problem, int fd) {
        if (fd >= 0)
            ::close(fd);
        out.fd = -1;
        out.problem = problem;
        return out;
    };
    // Not truncated on opening: what the name holds is checked first.
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0;; ++attempt) {
        const int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) {
            out.error = errno;
            if (errno == ELOOP)
                return fail(FileToWrite::Problem::SymbolicLink, fd);
            // A directory or a FIFO without a reader cannot be opened at all.
            struct stat st {};
            if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
                return fail(FileToWrite::Problem::NotRegular, fd);
            return fail(FileToWrite::Problem::System, fd);
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            out.error = errno;
            return fail(FileToWrite::Problem::System, fd);
        }
        if (!S_ISREG(st.st_mode))
            return fail(FileToWrite::Problem::NotRegular, fd);
        if (check) {
            out.refusal = check(st);
            if (!out.refusal.empty())
                return fail(FileToWrite::Problem::Refused, fd);
        }
        if (st.st_nlink > 1 && attempt == 0) {
            // Emptying the file would change its other names too.
            ::close(fd);
            if (::unlink(path.c_str()) != 0) {
                out.error = errno;
                return fail(FileToWrite::Problem::System, -1);
            }
            flags |= O_EXCL;
            continue;
        }
        if (::ftruncate(fd, 0) != 0) {
            out.error = errno;
            return fail(FileToWrite::Problem::System, fd);
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        out.fd = fd;
        out.dev = st.st_dev;
        out.ino = st.st_ino;
        return out;
    }
}

int writeWhole(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace kd
