#include "WriteFailureLine.h"

#include "OutputNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <locale.h>

namespace kd {

namespace {

constexpr std::string_view kOpenPrefix = "CANNOT OPEN FILE ";
constexpr std::string_view kForWriting = " FOR WRITING: ";
constexpr std::string_view kWritePrefix = "CANNOT WRITE FILE ";
constexpr std::string_view kLockPrefix = "CANNOT LOCK THE FOLDER WITH ";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::string lockPrefix() { return std::string(kLockPrefix) + kRunLockName + ": "; }

// The C locale's text for a system error, whatever locale this process set.
std::string cLocaleError(int error)
{
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c ? ::strerror_l(error, c) : std::strerror(error);
}

} // namespace

std::string cannotOpenForWritingText(const std::string& path, const std::string& why)
{
    return std::string(kOpenPrefix) + path + std::string(kForWriting) + why;
}

std::string cannotWriteText(const std::string& path, const std::string& why)
{
    return std::string(kWritePrefix) + path + (why.empty() ? std::string() : ": " + why);
}

std::string cannotLockText(const std::string& why) { return lockPrefix() + why; }

std::optional<WriteFailure> parseWriteFailureLine(std::string_view line)
{
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (startsWith(line, kOpenPrefix)) {
        // A reason may name a file too: the file's name ends at the first marker.
        line.remove_prefix(kOpenPrefix.size());
        const auto marker = line.find(kForWriting);
        if (marker == std::string_view::npos)
            return std::nullopt;  // a file that could not be read
        return WriteFailure{std::string(line.substr(0, marker)), std::string(line.substr(marker + kForWriting.size()))};
    }
    if (startsWith(line, kWritePrefix)) {
        // The system's texts hold no ": ": the file's name ends at the last one.
        line.remove_prefix(kWritePrefix.size());
        const auto colon = line.rfind(": ");
        if (colon == std::string_view::npos)
            return WriteFailure{std::string(line), std::string()};
        return WriteFailure{std::string(line.substr(0, colon)), std::string(line.substr(colon + 2))};
    }
    if (const std::string lock = lockPrefix(); startsWith(line, lock))
        return WriteFailure{kRunLockName, std::string(line.substr(lock.size()))};
    return std::nullopt;
}

bool isNoRoomReason(std::string_view reason)
{
    return reason == cLocaleError(ENOSPC) || reason == cLocaleError(EDQUOT);
}

} // namespace kd
