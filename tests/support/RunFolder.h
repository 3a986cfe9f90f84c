#pragma once

#include <string>
#include <vector>

namespace kdtest {

// The scratch files kdcalc keeps in its run folder.
const std::vector<std::string>& scratchFileNames();

// True when `dir` holds no scratch file and no plot data file `base` + ".klp".
bool noResultFiles(const std::string& dir, const std::string& base);

// Every entry below `dir` (recursively) with its content ("->target" for a
// symbolic link, "<dir>" for a directory): two equal snapshots mean nothing
// there was created, removed or changed.
std::vector<std::string> snapshot(const std::string& dir);

// A project that keeps kdcalc busy for a while (40 sublayers, four piles,
// `nfreq` frequencies).
std::string slowProjectText(int nfreq);

} // namespace kdtest
