// kdfilelist PROJECT: writes the file list "names.dat" for the project into
// the current directory, the way the front end does before it starts kdcalc
// (the project's full path, then its report, plot data and run-notes names).
// A name that the list cannot carry exactly is refused and nothing is written.

#include "FileListLayout.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kdfilelist PROJECT-FILE\n");
        return 2;
    }
    std::error_code ec;
    const std::filesystem::path project = std::filesystem::absolute(argv[1], ec);
    try {
        if (ec || !kd::writeFileList(kd::kFileListName, project.string())) {
            std::fprintf(stderr, "kdfilelist: %s could not be written\n", kd::kFileListName);
            return 1;
        }
    } catch (const kd::FileListRefused& e) {
        std::fprintf(stderr, "kdfilelist: %s\n", e.what());
        return 1;
    }
    return 0;
}
