#include "KdcalcProcess.h"

#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace kdtest {

KdcalcProcess::KdcalcProcess(const std::string& dir, const std::function<bool()>& inChild)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("cannot create a pipe");
    m_pid = ::fork();
    if (m_pid < 0)
        throw std::runtime_error("cannot start kdcalc");
    if (m_pid == 0) {
        ::close(fds[0]);
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        if (::chdir(dir.c_str()) != 0)
            ::_exit(127);
        if (inChild && !inChild())
            ::_exit(126);
        // The timer goes on in the program: SIGALRM ends it.
        ::alarm(kRunTimeLimitSeconds);
        ::execl(KDCALC_PATH, KDCALC_PATH, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    m_out = fds[0];
}

KdcalcProcess::~KdcalcProcess()
{
    if (m_pid > 0) {
        kill();
        finish();
    }
    if (m_out >= 0)
        ::close(m_out);
}

bool KdcalcProcess::readSome()
{
    char buf[4096];
    const ssize_t n = ::read(m_out, buf, sizeof buf);
    if (n <= 0)
        return false;
    m_console.append(buf, static_cast<std::size_t>(n));
    return true;
}

bool KdcalcProcess::waitForText(const std::string& text)
{
    while (m_console.find(text) == std::string::npos)
        if (!readSome())
            return false;
    return true;
}

void KdcalcProcess::kill()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGKILL);
}

int KdcalcProcess::finish()
{
    while (readSome()) {
    }
    if (m_pid <= 0)
        return -1;
    int raw = 0;
    const pid_t done = ::waitpid(m_pid, &raw, 0);
    m_pid = -1;
    if (done < 0 || !WIFEXITED(raw))
        return -1;
    return WEXITSTATUS(raw);
}

} // namespace kdtest
