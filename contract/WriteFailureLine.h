#pragma once

// The messages of the analysis program when it cannot write one of its own
// files: open one for writing, write one, or make its lock file. kdcalc builds
// them here and prints each after a blank; the front end recognises them here.
// In a front end's run the program writes only into its private working
// directory, so such a line tells a fault of that folder (no room, say) from
// a fault of the project.

#include <optional>
#include <string>
#include <string_view>

namespace kd {

// "CANNOT OPEN FILE <path> FOR WRITING: <why>"
std::string cannotOpenForWritingText(const std::string& path, const std::string& why);
// "CANNOT WRITE FILE <path>", then ": <why>" when why is not empty.
std::string cannotWriteText(const std::string& path, const std::string& why);
// "CANNOT LOCK THE FOLDER WITH kdcalc.lock: <why>"
std::string cannotLockText(const std::string& why);

struct WriteFailure {
    std::string file;    // as the message names it: the lock file by its name
    std::string reason;  // what follows the file's name; empty when the message gives none
};

// The file and the reason of a console line (leading blanks passed over) that
// is one of the messages above; nothing for any other line.
std::optional<WriteFailure> parseWriteFailureLine(std::string_view line);

// Whether a reason is the system's text for a full file system or an
// exhausted quota, as kdcalc gives it (kdcalc sets no locale: the C locale's).
bool isNoRoomReason(std::string_view reason);

} // namespace kd
