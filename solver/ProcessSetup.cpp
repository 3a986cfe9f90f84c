#include "ProcessSetup.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kd {

bool prepareProcess()
{
    std::signal(SIGXFSZ, SIG_IGN);
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor is taken: this one, as the lower ones are open.
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0)
            return false;
        if (null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
    return true;
}

} // namespace kd
