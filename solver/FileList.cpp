#include "FileList.h"

#include "FreeFormatReader.h"
#include "RecordError.h"
#include "RunChannels.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace kd {

namespace {

std::string canonicalName(const std::string& name)
{
    std::error_code ec;
    const auto path = std::filesystem::weakly_canonical(std::filesystem::absolute(name, ec), ec);
    return ec ? name : path.string();
}

const char* roleOf(int i)
{
    switch (i) {
    case 1: return "PROJECT FILE";
    case 2: return "REPORT";
    case 3: return "PLOT DATA FILE";
    case 4: return "RUN NOTES";
    default: return "UNUSED NAME";
    }
}

} // namespace

FileList readRunFileList(const std::string& path, std::string& unreadable)
{
    unreadable.clear();
    FileList list;
    FreeFormatReader reader;
    try {
        reader.open(path);
    } catch (const RecordError&) {
        // A missing list is a short one; any other list that cannot be read
        // is reported as what it is.
        struct stat st {};
        const bool missing = ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
        if (!missing)
            unreadable = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? "IT IS A DIRECTORY"
                                                                               : reader.openProblem();
        return list;
    }
    std::string line;
    int count = 0;
    while (count < kFileListLines && reader.nextLine(line)) {
        const auto end = line.find_last_not_of(" \t");
        ++count;
        list.names[static_cast<std::size_t>(count)] = end == std::string::npos ? std::string() : line.substr(0, end + 1);
    }
    list.complete = count == kFileListLines;
    return list;
}

std::optional<std::string> checkFileList(const FileList& list)
{
    // The line end itself is gone by now: what is left is part of the name.
    for (int i = 1; i <= kFileListLines; ++i) {
        const std::string& name = list.names[static_cast<std::size_t>(i)];
        const auto control = std::find_if(name.begin(), name.end(), isFileListControl);
        if (control != name.end())
            return std::string(" FILE LIST ") + kFileListName + ": THE " + roleOf(i) + " (LINE " + std::to_string(i) +
                   ") HOLDS A CONTROL CHARACTER (CODE " + std::to_string(static_cast<unsigned char>(*control)) +
                   "): THE RUN IS REFUSED.";
    }
    for (int i = 1; i <= 4; ++i)
        if (list.names[static_cast<std::size_t>(i)].empty())
            return std::string(" FILE LIST ") + kFileListName + " NAMES NO " + roleOf(i) + " (LINE " +
                   std::to_string(i) + ")";

    std::array<std::string, 5> canonical{};
    for (int i = 1; i <= 4; ++i)
        canonical[static_cast<std::size_t>(i)] = canonicalName(list.names[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= 4; ++i) {
        for (int j = i + 1; j <= 4; ++j)
            if (canonical[static_cast<std::size_t>(i)] == canonical[static_cast<std::size_t>(j)])
                return std::string(" FILE LIST ") + kFileListName + ": THE " + roleOf(i) + " AND THE " + roleOf(j) +
                       " ARE THE SAME FILE " + list.names[static_cast<std::size_t>(i)];
        for (const char* scratch : scratchFileNames())
            if (canonical[static_cast<std::size_t>(i)] == canonicalName(scratch))
                return std::string(" FILE LIST ") + kFileListName + ": THE " + roleOf(i) +
                       " WOULD BE OVERWRITTEN BY THE SCRATCH FILE " + scratch;
    }
    return std::nullopt;
}

} // namespace kd
