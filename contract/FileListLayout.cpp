#include "FileListLayout.h"

#include "FileToWrite.h"
#include "OutputNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {

bool isFileListControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

namespace {

// Why the list cannot carry `name` exactly; `what` names its role.
std::optional<std::string> nameProblem(const std::string& name, const char* what)
{
    // The reader ends a line at LF and drops a CR before it and the blanks
    // and tabs at its end. A blank at the start would be kept, but it is as
    // easily lost by hand as one at the end, so it is refused alike.
    const char* why = nullptr;
    if (name.find_first_of("\r\n") != std::string::npos)
        why = "it holds a line break";
    else if (std::any_of(name.begin(), name.end(), isFileListControl))
        why = "it holds a control character";
    else if (!name.empty() && name.front() == ' ')
        why = "it begins with a blank";
    else if (!name.empty() && name.back() == ' ')
        why = "it ends with a blank";
    if (!why)
        return std::nullopt;
    std::string shown = name;
    std::replace_if(shown.begin(), shown.end(), isFileListControl, '?');
    return std::string("The ") + what + " name " + shown + " cannot be passed to the analysis program: " + why + ".";
}

} // namespace

std::optional<std::string> fileListProblem(const std::string& projectPath)
{
    return nameProblem(projectPath, "project file");
}

std::string fileListText(const std::string& projectPath)
{
    return fileListText(projectPath, outputNamesFor(projectPath));
}

std::string fileListText(const std::string& projectPath, const OutputNames& out)
{
    if (const auto problem = fileListProblem(projectPath))
        throw FileListRefused(*problem);
    for (const std::string* name : {&out.report, &out.plotData, &out.runNotes})
        if (const auto problem = nameProblem(*name, "output file"))
            throw FileListRefused(*problem);
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

std::optional<std::string> writeFileList(const std::string& path, const std::string& projectPath)
{
    const std::string text = fileListText(projectPath);
    namespace fs = std::filesystem;
    const auto notWritten = [&](const std::string& why) {
        return "The file list " + path + " is not written: " + why + ".";
    };
    const std::string isProject = "it is the same file as the project file " + projectPath;
    struct stat project {};
    const bool projectExists = ::stat(projectPath.c_str(), &project) == 0;
    std::error_code ec;
    if (!projectExists &&
        fs::absolute(path, ec).lexically_normal() == fs::absolute(projectPath, ec).lexically_normal())
        return notWritten(isProject);

    const FileToWrite file = openFileToWrite(path, [&](const struct stat& st) -> std::string {
        return projectExists && st.st_dev == project.st_dev && st.st_ino == project.st_ino ? isProject
                                                                                             : std::string();
    });
    switch (file.problem) {
    case FileToWrite::Problem::None:
        break;
    case FileToWrite::Problem::SymbolicLink:
        return notWritten("it is a symbolic link");
    case FileToWrite::Problem::NotRegular:
        return notWritten("it is not a regular file");
    case FileToWrite::Problem::Refused:
        return notWritten(file.refusal);
    case FileToWrite::Problem::System:
        return notWritten(std::strerror(file.error));
    }
    int error = writeWhole(file.fd, text.data(), text.size());
    if (::close(file.fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        return std::nullopt;
    // A part of a list must not be taken for a list.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && st.st_dev == file.dev && st.st_ino == file.ino)
        ::unlink(path.c_str());
    return "The file list " + path + " could not be written whole: " + std::strerror(error) + ".";
}

} // namespace kd
