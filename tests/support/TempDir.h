#pragma once

#include <string>
#include <vector>

namespace kdtest {

// A fresh directory under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
// Lines of a text file without their line ends.
std::vector<std::string> readLines(const std::string& path);
bool fileExists(const std::string& path);

} // namespace kdtest
