#include "FileListLayout.h"

#include "OutputNames.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace kd {

std::optional<std::string> fileListProblem(const std::string& projectPath)
{
    // The reader ends a line at LF and drops a CR before it and the blanks
    // and tabs at its end. A blank at the start would be kept, but it is as
    // easily lost by hand as one at the end, so it is refused alike.
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; };
    const char* why = nullptr;
    if (projectPath.find_first_of("\r\n") != std::string::npos)
        why = "it holds a line break";
    else if (std::any_of(projectPath.begin(), projectPath.end(), isControl))
        why = "it holds a control character";
    else if (!projectPath.empty() && projectPath.front() == ' ')
        why = "it begins with a blank";
    else if (!projectPath.empty() && projectPath.back() == ' ')
        why = "it ends with a blank";
    if (!why)
        return std::nullopt;
    std::string shown = projectPath;
    std::replace_if(shown.begin(), shown.end(), isControl, '?');
    return "The project file name " + shown + " cannot be passed to the analysis program: " + why + ".";
}

std::string fileListText(const std::string& projectPath)
{
    if (const auto problem = fileListProblem(projectPath))
        throw FileListRefused(*problem);
    const OutputNames out = outputNamesFor(projectPath);
    const std::string eol = "\r\n";
    return projectPath + eol + out.report + eol + out.plotData + eol + out.runNotes + eol + out.runNotes + eol +
           out.runNotes + eol;
}

FileList parseFileList(const std::string& text)
{
    FileList list;
    std::size_t at = 0;
    int count = 0;
    while (count < kFileListLines && at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t last = line.find_last_not_of(" \t");
        line.erase(last == std::string::npos ? 0 : last + 1);
        list.names[static_cast<std::size_t>(++count)] = std::move(line);
    }
    list.complete = count == kFileListLines;
    return list;
}

FileList readFileList(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return FileList();
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseFileList(text);
}

bool writeFileList(const std::string& path, const std::string& projectPath)
{
    const std::string text = fileListText(projectPath);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace kd
