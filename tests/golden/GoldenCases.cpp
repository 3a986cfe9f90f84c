#include "GoldenCases.h"

#include <algorithm>
#include <filesystem>

namespace kdtest {

std::string goldenProjectFile(const std::string& folder)
{
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".kld")
            return e.path().filename().string();
    return std::string();
}

std::vector<std::string> goldenExpectedFiles(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file() && e.path().extension() != ".kld" && name != "README.md")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace kdtest
