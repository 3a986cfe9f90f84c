#include "FileListLayout.h"

#include "OutputNames.h"

#include <fstream>
#include <iterator>

namespace kd {

std::string fileListText(const std::string& projectPath)
{
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
