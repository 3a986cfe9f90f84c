#include "OutputFiles.h"

#include "RecordError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    const auto fail = [&](const std::string& why) -> int {
        throw RecordError("CANNOT OPEN FILE " + path + " FOR WRITING: " + why);
    };
    // Not truncated on opening: what the name holds is checked first. A FIFO
    // without a reader fails at once instead of blocking.
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0;; ++attempt) {
        const int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0)
            return fail(errno == ELOOP ? "IT IS A SYMBOLIC LINK" : std::strerror(errno));
        struct stat st {};
        std::string problem;
        if (::fstat(fd, &st) != 0)
            problem = std::strerror(errno);
        else if (!S_ISREG(st.st_mode))
            problem = "IT IS NOT A REGULAR FILE";
        if (problem.empty()) {
            const Identity id = identityOf(st);
            if (const KnownFile* in = findIdentity(protectedInputs(), id))
                problem = "IT IS THE SAME FILE AS " + in->path;
            else if (const KnownFile* out = findIdentity(openedOutputs(), id); out && out->path != path)
                problem = "IT IS THE SAME FILE AS " + out->path;
        }
        if (problem.empty() && st.st_nlink > 1 && attempt == 0) {
            // The file has other names (hard links): emptying it would change
            // them too, so this name gets a new file of its own.
            ::close(fd);
            if (::unlink(path.c_str()) != 0)
                return fail(std::strerror(errno));
            flags |= O_EXCL;
            continue;
        }
        if (problem.empty() && ::ftruncate(fd, 0) != 0)
            problem = std::strerror(errno);
        if (!problem.empty()) {
            ::close(fd);
            return fail(problem);
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        if (!findIdentity(openedOutputs(), identityOf(st)))
            openedOutputs().push_back(KnownFile{path, identityOf(st)});
        return fd;
    }
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
