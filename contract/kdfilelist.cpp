// kdfilelist PROJECT: writes the file list "names.dat" for the project into
// the current directory, the way the front end does before it starts kdcalc
// (the project's full path, then its report, plot data and run-notes names).
// A name that the list cannot carry exactly is refused and nothing is written;
// so is a names.dat that is a symbolic link, not a regular file or the
// project itself. A names.dat with other names (hard links) gets a file of its
// own.

#include "FileListLayout.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kdfilelist PROJECT-FILE\n");
        return 2;
    }
    std::error_code ec, listEc;
    const std::filesystem::path project = std::filesystem::absolute(argv[1], ec);
    const std::filesystem::path list = std::filesystem::absolute(kd::kFileListName, listEc);
    if (ec || listEc) {
        if (!ec)
            ec = listEc;
        std::fprintf(stderr, "kdfilelist: %s could not be written: %s\n", kd::kFileListName, ec.message().c_str());
        return 1;
    }
    try {
        if (const auto problem = kd::writeFileList(list.string(), project.string())) {
            std::fprintf(stderr, "kdfilelist: %s\n", problem->c_str());
            return 1;
        }
    } catch (const kd::FileListRefused& e) {
        std::fprintf(stderr, "kdfilelist: %s\n", e.what());
        return 1;
    }
    return 0;
}
