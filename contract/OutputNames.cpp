#include "OutputNames.h"

namespace kd {

std::string changeFileExtension(const std::string& path, const std::string& ext)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return path.substr(0, dot) + ext;
    return path + ext;
}

OutputNames outputNamesFor(const std::string& projectPath)
{
    return {changeFileExtension(projectPath, kReportExtension), changeFileExtension(projectPath, kPlotDataExtension),
            changeFileExtension(projectPath, kRunNotesExtension)};
}

OutputNames outputNamesIn(const std::string& folder, const std::string& projectPath)
{
    const auto inFolder = [&](const std::string& path) { return folder + "/" + path.substr(path.rfind('/') + 1); };
    const OutputNames beside = outputNamesFor(projectPath);
    return {inFolder(beside.report), inFolder(beside.plotData), inFolder(beside.runNotes)};
}

} // namespace kd
