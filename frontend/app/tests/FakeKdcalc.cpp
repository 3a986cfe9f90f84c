// Stands in for the analysis program in tests: reads names.dat from its
// current directory like the real one, and then behaves as the environment
// variable KELDOR_FAKE_MODE says: ok, crash, status (the report says why),
// silent, badplot, hang (after a part of the report), flood (8 MB without a
// line end, then one line, exit status 3), line (the report says why, then
// the line KELDOR_FAKE_LINE with "{report}" as the report's name, exit
// status 1), plotonly (a complete run that writes no report and no run notes).
// With KELDOR_FAKE_LOG set it copies names.dat and its working directory there.

#include "FileListLayout.h"
#include "ProgressLine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

int main()
{
    const char* modeEnv = std::getenv("KELDOR_FAKE_MODE");
    const std::string mode = modeEnv ? modeEnv : "ok";

    const kd::FileList list = kd::readFileList(kd::kFileListName);
    if (const char* log = std::getenv("KELDOR_FAKE_LOG")) {
        std::error_code ec;
        fs::copy_file(kd::kFileListName, fs::path(log) / kd::kFileListName, fs::copy_options::overwrite_existing, ec);
        std::ofstream(fs::path(log) / "cwd.txt") << fs::current_path().string();
    }
    if (list.names[kd::kRunNotesLine].empty()) {
        std::cout << " NO FILE LIST" << std::endl;
        return 1;
    }
    const std::string plotData = list.names[kd::kPlotDataLine];
    const auto writeReport = [&](const char* text) {
        std::ofstream(list.names[kd::kReportLine]) << text;
        std::ofstream(list.names[kd::kRunNotesLine]) << " FAKE RUN NOTES\n";
    };

    // A run that hangs has begun its report, as the real program has by its first frequency.
    if (mode == "hang")
        writeReport(" FAKE REPORT, CUT OFF AT 1.2");
    std::cout << kd::frequencyProgressLine(kd::AnalysisStage::Horizontal, "      1.00") << std::endl;
    if (mode == "crash") {
        std::cout << " FAKE: STOPPING ABNORMALLY" << std::endl;
        std::abort();
    }
    if (mode == "status") {
        writeReport(" FAKE: THE RUN IS REFUSED\n");
        std::cout << " FAKE: THE RUN IS REFUSED" << std::endl;
        return 2;
    }
    if (mode == "line") {
        writeReport(" FAKE: THE RUN IS REFUSED\n");
        std::string line = std::getenv("KELDOR_FAKE_LINE") ? std::getenv("KELDOR_FAKE_LINE") : "";
        if (const auto at = line.find("{report}"); at != std::string::npos)
            line.replace(at, 8, list.names[kd::kReportLine]);
        std::cout << line << std::endl;
        return 1;
    }
    if (mode == "silent")
        return 0;
    if (mode == "flood") {
        const std::string block(1 << 16, 'x');
        for (int i = 0; i < 128; ++i)
            std::cout << block;
        std::cout << "\n FAKE: FLOODED" << std::endl;
        return 3;
    }
    if (mode == "hang") {
        for (;;)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // A complete run that writes its plot data file alone.
    if (mode != "plotonly")
        writeReport(" FAKE REPORT\n");
    std::ofstream out(plotData);
    if (mode == "badplot") {
        out << " 1 1\n garbage\n";
        return 0;
    }
    // One frequency, English units: every record f = 1, 1.0, re = 10 * record number, im = 1.
    out << "           1           1\n";
    for (int r = 1; r <= 9; ++r)
        out << "  1.0 1.0 " << 10 * r << " 1\n";
    std::cout << kd::frequencyProgressLine(kd::AnalysisStage::VerticalRocking, "      1.00") << std::endl;
    std::cout << " COMPUTATION COMPLETED." << std::endl;
    return 0;
}
