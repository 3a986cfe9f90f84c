#include "RecordFile.h"

#include "OutputFiles.h"
#include "RecordError.h"
#include "WriteFailureLine.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace kd {

OutputChannel::~OutputChannel()
{
    if (m_file)
        std::fclose(m_file);
}

void OutputChannel::open(const std::string& path)
{
    close();
    const int fd = openOutputFile(path);
    m_file = ::fdopen(fd, "w");
    if (!m_file) {
        const int error = errno;
        ::close(fd);
        throw RecordError(cannotOpenForWritingText(path, std::strerror(error)));
    }
    m_path = path;
    m_error = 0;
}

void OutputChannel::close()
{
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    const bool failed = std::ferror(file) != 0;
    if (std::fclose(file) != 0 && m_error == 0)
        m_error = errno;
    if (failed || m_error != 0)
        throw RecordError(cannotWriteText(m_path, m_error != 0 ? std::strerror(m_error) : std::string()));
}

void OutputChannel::line(const std::string& text)
{
    if (!m_file) {
        m_memory.push_back(text);
        return;
    }
    if ((std::fwrite(text.data(), 1, text.size(), m_file) != text.size() || std::fputc('\n', m_file) == EOF) &&
        m_error == 0)
        m_error = errno;
}

void OutputChannel::flush()
{
    if (m_file && std::fflush(m_file) != 0 && m_error == 0)
        m_error = errno;
}

void consoleLine(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace kd
