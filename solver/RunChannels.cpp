#include "RunChannels.h"

#include "ResultFileNames.h"

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

std::vector<const char*> scratchFileNames()
{
    std::vector<const char*> names = {kPlotScratchName};
    for (const HorizontalResultFile* f : horizontalFilesByChannel())
        names.push_back(f->name);
    names.insert(names.end(), std::begin(kVerticalResultFiles), std::end(kVerticalResultFiles));
    return names;
}

} // namespace kd
