#pragma once

// Output side of the record layer: sequential text files written line by line,
// and the console. Every file opened for writing starts empty. A channel that
// is not bound to a file keeps its lines in memory (used by the tests).

#include <cstdio>
#include <string>
#include <vector>

namespace kd {

class RecordError;

class OutputChannel {
public:
    OutputChannel() = default;
    ~OutputChannel();
    OutputChannel(const OutputChannel&) = delete;
    OutputChannel& operator=(const OutputChannel&) = delete;

    // Creates or empties the file through openOutputFile; throws RecordError
    // when it cannot be opened or must not be written.
    void open(const std::string& path);
    // Throws RecordError naming the file, with the error of its first failed
    // write, when any write failed.
    void close();
    bool isOpen() const { return m_file != nullptr; }
    const std::string& path() const { return m_path; }

    void line(const std::string& text);
    void emptyLine() { line(std::string()); }
    void flush();

    // Lines written while no file was bound.
    const std::vector<std::string>& memoryLines() const { return m_memory; }

private:
    std::FILE* m_file = nullptr;
    std::string m_path;
    int m_error = 0;  // errno of the first failed write, 0 when none
    std::vector<std::string> m_memory;
};

// Console lines: each is flushed as it is written, since the front end shows
// them as progress while the program runs.
void consoleLine(const std::string& text);

} // namespace kd
