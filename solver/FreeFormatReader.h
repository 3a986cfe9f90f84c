#pragma once

// Input side of the record layer. Files are opened read-only.
//   - Text records: one line without its line end (LF or CRLF).
//   - Free-format records: values separated by blanks, tabs or commas; a read
//     starts on a new line, takes as many lines as it needs (blank lines
//     included) and discards the rest of its last line.
//   - Result lines of the result files: F8.3, 6X, then E13.5 fields; a field
//     missing at the end of the line reads as 0.0.
// Only regular files are read, and no line longer than kMaxLineLength
// characters (RecordError naming the record).
// Numbers are read strictly: an integer is an optional sign and digits; a real
// may have a point and an exponent (E or D); nothing else, and never a value
// that is not finite. A record that cannot be read throws RecordError naming
// the record and the file.

#include <cstdio>
#include <string>
#include <vector>

namespace kd {

class FreeRecord;

inline constexpr std::size_t kMaxLineLength = 65536;

class FreeFormatReader {
public:
    FreeFormatReader() = default;
    ~FreeFormatReader();
    FreeFormatReader(const FreeFormatReader&) = delete;
    FreeFormatReader& operator=(const FreeFormatReader&) = delete;

    // Throws RecordError when the file cannot be opened or is not a regular
    // file; openProblem() then says why.
    void open(const std::string& path);
    const std::string& openProblem() const { return m_openProblem; }
    void close();
    bool isOpen() const { return m_file != nullptr; }
    const std::string& path() const { return m_path; }

    // Next line without its line end; false at the end of the file. A line
    // beyond the limit throws RecordError for `recordName` (the line number
    // when empty).
    bool nextLine(std::string& line, const std::string& recordName = std::string());

    std::string readText(const std::string& recordName);
    FreeRecord readValues(int count, const std::string& recordName);

private:
    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_openProblem;
    int m_lineNumber = 0;
};

// The values of one free-format record, converted on request.
class FreeRecord {
public:
    FreeRecord(std::vector<std::string> tokens, std::string recordName, std::string path)
        : m_tokens(std::move(tokens)), m_recordName(std::move(recordName)), m_path(std::move(path))
    {
    }
    int integer(int index, const std::string& valueName) const;
    double real(int index, const std::string& valueName) const;

private:
    [[noreturn]] void fail(int index, const std::string& valueName, const char* what) const;

    std::vector<std::string> m_tokens;
    std::string m_recordName;
    std::string m_path;
};

bool parseInteger(const std::string& text, int& value);
bool parseReal(const std::string& text, double& value);

// Splits a line at blanks, tabs and commas.
std::vector<std::string> splitValues(const std::string& line);

struct ResultLineValues {
    double frequency = 0.0;
    double values[4] = {0.0, 0.0, 0.0, 0.0};
};

// Reads a result line as F8.3, 6X, count x E13.5; throws RecordError when a field
// is not a number.
ResultLineValues parseResultLine(const std::string& line, int count, const std::string& path);

} // namespace kd
