#pragma once

// What the analysis program sets up for its process before the run opens any
// file.

namespace kd {

// Opens each of the descriptors 0, 1 and 2 that is closed on /dev/null, so
// that no file of the run takes one of them and receives console text.
// Ignores SIGXFSZ, so that a write beyond the file-size limit fails with its
// error like any failed write instead of killing the program amid its files.
// False when /dev/null cannot be opened.
bool prepareProcess();

} // namespace kd
