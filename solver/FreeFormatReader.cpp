#include "FreeFormatReader.h"

#include "RecordError.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {

FreeFormatReader::~FreeFormatReader()
{
    if (m_file)
        std::fclose(m_file);
}

void FreeFormatReader::open(const std::string& path)
{
    close();
    m_openProblem.clear();
    // Only a regular file is read: a device or a FIFO could be read without
    // end or block for ever. O_NONBLOCK lets the open of a FIFO return at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd < 0)
        m_openProblem = std::strerror(errno);
    else if (::fstat(fd, &st) != 0)
        m_openProblem = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        m_openProblem = "IT IS NOT A REGULAR FILE";
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 || !(m_file = ::fdopen(fd, "r")))
        m_openProblem = std::strerror(errno);
    if (!m_openProblem.empty()) {
        if (fd >= 0)
            ::close(fd);
        throw RecordError("CANNOT OPEN FILE " + path + ": " + m_openProblem);
    }
    m_path = path;
    m_lineNumber = 0;
}

void FreeFormatReader::close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

bool FreeFormatReader::nextLine(std::string& line, const std::string& recordName)
{
    line.clear();
    if (!m_file)
        return false;
    int c = std::fgetc(m_file);
    if (c == EOF)
        return false;
    const auto tooLong = [&] {
        throw RecordError("CANNOT READ RECORD " + (recordName.empty() ? std::to_string(m_lineNumber + 1) : recordName) +
                          " OF FILE " + m_path + ": LINE " + std::to_string(m_lineNumber + 1) + " IS LONGER THAN " +
                          std::to_string(kMaxLineLength) + " CHARACTERS");
    };
    while (c != EOF && c != '\n') {
        // One character beyond the limit is held for the CR of a CRLF end.
        if (line.size() > kMaxLineLength)
            tooLong();
        line += static_cast<char>(c);
        c = std::fgetc(m_file);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.size() > kMaxLineLength)
        tooLong();
    ++m_lineNumber;
    return true;
}

std::string FreeFormatReader::readText(const std::string& recordName)
{
    std::string line;
    if (!nextLine(line, recordName))
        throw RecordError("CANNOT READ RECORD " + recordName + " OF FILE " + m_path + ": END OF FILE");
    return line;
}

FreeRecord FreeFormatReader::readValues(int count, const std::string& recordName)
{
    std::vector<std::string> tokens;
    std::string line;
    while (static_cast<int>(tokens.size()) < count) {
        if (!nextLine(line, recordName))
            throw RecordError("CANNOT READ RECORD " + recordName + " OF FILE " + m_path + ": END OF FILE");
        for (auto& t : splitValues(line))
            tokens.push_back(std::move(t));
    }
    tokens.resize(static_cast<std::size_t>(count));
    return FreeRecord(std::move(tokens), recordName, m_path);
}

std::vector<std::string> splitValues(const std::string& line)
{
    std::vector<std::string> out;
    std::string current;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == ',') {
            if (!current.empty())
                out.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        out.push_back(std::move(current));
    return out;
}

bool parseInteger(const std::string& text, int& value)
{
    std::size_t start = 0;
    if (!text.empty() && text[0] == '+')
        start = 1;
    if (start >= text.size())
        return false;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (start == 1 && *first == '-')
        return false;
    const auto res = std::from_chars(first, last, value);
    return res.ec == std::errc() && res.ptr == last;
}

bool parseReal(const std::string& text, double& value)
{
    // sign? (digits [. digits*] | . digits) ([EeDd] sign? digits)?
    std::string s;
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            s += '-';
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        s += text[i++];
        ++mantissaDigits;
    }
    if (i < n && text[i] == '.') {
        s += text[i++];
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            s += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        s += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            s += text[i++];
        std::size_t expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            s += text[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    // Values beyond the range of a double (overflow or underflow) are refused.
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
    return res.ec == std::errc() && res.ptr == s.data() + s.size() && std::isfinite(value);
}

void FreeRecord::fail(int index, const std::string& valueName, const char* what) const
{
    throw RecordError("CANNOT READ RECORD " + m_recordName + " OF FILE " + m_path + ": " + valueName + " = \"" +
                      m_tokens[static_cast<std::size_t>(index)] + "\" IS NOT " + what);
}

int FreeRecord::integer(int index, const std::string& valueName) const
{
    int value = 0;
    if (!parseInteger(m_tokens[static_cast<std::size_t>(index)], value))
        fail(index, valueName, "AN INTEGER");
    return value;
}

double FreeRecord::real(int index, const std::string& valueName) const
{
    double value = 0.0;
    if (!parseReal(m_tokens[static_cast<std::size_t>(index)], value))
        fail(index, valueName, "A FINITE NUMBER");
    return value;
}

ResultLineValues parseResultLine(const std::string& line, int count, const std::string& path)
{
    ResultLineValues out;
    auto field = [&](std::size_t start, std::size_t width, double& value) {
        const std::string text = start < line.size() ? line.substr(start, width) : std::string();
        std::string trimmed;
        for (char c : text)
            if (c != ' ')
                trimmed += c;
        if (trimmed.empty()) {
            value = 0.0;
            return;
        }
        if (!parseReal(trimmed, value))
            throw RecordError("CANNOT READ RESULT LINE OF FILE " + path + ": \"" + line + "\"");
    };
    field(0, 8, out.frequency);
    for (int k = 0; k < count; ++k)
        field(14 + 13 * static_cast<std::size_t>(k), 13, out.values[k]);
    return out;
}

} // namespace kd
