#include "RecordFile.h"

#include "OutputFiles.h"
#include "RecordError.h"

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
        throw RecordError("CANNOT OPEN FILE " + path + " FOR WRITING: " + std::strerror(error));
    }
    m_path = path;
}

void OutputChannel::close()
{
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    const bool failed = std::ferror(file) != 0;
    if (std::fclose(file) != 0 || failed)
        throw RecordError("CANNOT WRITE FILE " + m_path);
}

void OutputChannel::line(const std::string& text)
{
    if (!m_file) {
        m_memory.push_back(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), m_file);
    std::fputc('\n', m_file);
}

void OutputChannel::flush()
{
    if (m_file)
        std::fflush(m_file);
}

void consoleLine(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace kd
