#include "RunChannels.h"

#include <algorithm>

namespace kd {

std::array<const HorizontalResultFile*, kHorizontalFileCount> horizontalFilesByChannel()
{
    std::array<const HorizontalResultFile*, kHorizontalFileCount> files{};
    for (std::size_t i = 0; i < kHorizontalFileCount; ++i)
        files[i] = &kHorizontalResultFiles[i];
    std::sort(files.begin(), files.end(),
              [](const HorizontalResultFile* a, const HorizontalResultFile* b) { return a->channel < b->channel; });
    return files;
}

std::array<const char*, kScratchFileCount> scratchFileNames()
{
    std::array<const char*, kScratchFileCount> names{};
    std::size_t n = 0;
    names[n++] = kPlotScratchName;
    for (const HorizontalResultFile* f : horizontalFilesByChannel())
        names[n++] = f->name;
    for (const char* name : kVerticalResultFiles)
        names[n++] = name;
    return names;
}

} // namespace kd
