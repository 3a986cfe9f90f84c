#include "OutputFiles.h"

#include "FileToWrite.h"
#include "RecordError.h"
#include "WriteFailureLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {

namespace {

struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const Identity&) const = default;
};

struct KnownFile {
    std::string path;
    Identity id;
};

std::vector<KnownFile>& protectedInputs()
{
    static std::vector<KnownFile> files;
    return files;
}

std::vector<KnownFile>& openedOutputs()
{
    static std::vector<KnownFile> files;
    return files;
}

Identity identityOf(const struct stat& st) { return Identity{st.st_dev, st.st_ino}; }

const KnownFile* findIdentity(const std::vector<KnownFile>& files, Identity id)
{
    for (const auto& f : files)
        if (f.id == id)
            return &f;
    return nullptr;
}

} // namespace

void protectInputFile(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        protectedInputs().push_back(KnownFile{path, identityOf(st)});
}

std::optional<std::string> checkOutputNames(const std::vector<NamedFile>& outputs)
{
    const std::string refused = ": THE RUN IS REFUSED.";
    std::vector<std::pair<const NamedFile*, Identity>> existing;
    for (const auto& out : outputs) {
        struct stat st {};
        if (::lstat(out.name.c_str(), &st) != 0)
            continue;  // not there yet: it will be created
        const std::string named = " THE " + out.role + " " + out.name;
        if (S_ISLNK(st.st_mode))
            return named + " IS A SYMBOLIC LINK" + refused;
        if (!S_ISREG(st.st_mode))
            return named + " IS NOT A REGULAR FILE" + refused;
        const Identity id = identityOf(st);
        for (const auto& in : protectedInputs())
            if (in.id == id)
                return named + " IS THE SAME FILE AS " + in.path + refused;
        for (const auto& [earlier, earlierId] : existing)
            if (earlierId == id)
                return named + " AND THE " + earlier->role + " " + earlier->name + " ARE THE SAME FILE" + refused;
        existing.emplace_back(&out, id);
    }
    return std::nullopt;
}

int openOutputFile(const std::string& path)
{
    const FileToWrite file = openFileToWrite(path, [&](const struct stat& st) -> std::string {
        const Identity id = identityOf(st);
        if (const KnownFile* in = findIdentity(protectedInputs(), id))
            return "IT IS THE SAME FILE AS " + in->path;
        if (const KnownFile* out = findIdentity(openedOutputs(), id); out && out->path != path)
            return "IT IS THE SAME FILE AS " + out->path;
        return {};
    });
    std::string why;
    switch (file.problem) {
    case FileToWrite::Problem::None:
        break;
    case FileToWrite::Problem::SymbolicLink:
        why = "IT IS A SYMBOLIC LINK";
        break;
    case FileToWrite::Problem::NotRegular:
        why = "IT IS NOT A REGULAR FILE";
        break;
    case FileToWrite::Problem::Refused:
        why = file.refusal;
        break;
    case FileToWrite::Problem::System:
        why = std::strerror(file.error);
        break;
    }
    if (!why.empty())
        throw RecordError(cannotOpenForWritingText(path, why));
    const Identity id{file.dev, file.ino};
    if (!findIdentity(openedOutputs(), id))
        openedOutputs().push_back(KnownFile{path, id});
    return file.fd;
}

int removeRegularFile(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) != 0 && errno != ENOENT)
        return errno;
    return 0;
}

void removeOutputsOfThisRun(const std::vector<std::string>& keep)
{
    for (const auto& f : openedOutputs()) {
        if (std::find(keep.begin(), keep.end(), f.path) != keep.end())
            continue;
        struct stat st {};
        if (::lstat(f.path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && identityOf(st) == f.id)
            ::unlink(f.path.c_str());
    }
    openedOutputs().clear();
}

void forgetRunFiles()
{
    protectedInputs().clear();
    openedOutputs().clear();
}

} // namespace kd
