#include "RunFolder.h"

#include "ProjectText.h"
#include "TempDir.h"

#include <algorithm>
#include <filesystem>

namespace kdtest {

const std::vector<std::string>& scratchFileNames()
{
    static const std::vector<std::string> names{
        "pldata1",      "TRNPLSSW.CBM", "TRNSTSSW.CBM", "RTGRPKHH.CBM", "STSNGKHH.CBM", "RTSNGKHH.CBM", "TRNFDSSW.CBM",
        "STGRPKHH.CBM", "TRNPLGSW.CBM", "TRNSTGSW.CBM", "TRNFDGSW.CBM", "STGRPKVV.CBM", "STGRPKRX.CBM", "STGRPKRY.CBM",
        "RTGRPKVV.CBM", "RTGRPKRX.CBM", "STSNGKVV.CBM", "RTSNGKVV.CBM", "RTGRPKRY.CBM"};
    return names;
}

bool noResultFiles(const std::string& dir, const std::string& base)
{
    std::error_code ec;
    for (const auto& name : scratchFileNames())
        if (std::filesystem::symlink_status(dir + "/" + name, ec).type() == std::filesystem::file_type::regular)
            return false;
    return !std::filesystem::exists(dir + "/" + base + ".klp");
}

std::vector<std::string> snapshot(const std::string& dir)
{
    namespace fs = std::filesystem;
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string path = e.path().string();
        if (e.is_symlink())
            out.push_back(path + " ->" + fs::read_symlink(e.path()).string());
        else if (e.is_directory())
            out.push_back(path + " <dir>");
        else if (e.is_regular_file())
            out.push_back(path + " " + readFile(path));
        else
            out.push_back(path + " <special>");
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string slowProjectText(int nfreq)
{
    ProjectText p;
    p.layers = {{20, 10.0, 150.0, 0.4, 1.8, 0.05}, {20, 10.0, 250.0, 0.35, 1.9, 0.03}};
    p.length = 12.0;
    p.piles = {{0.0, 0.0}, {2.0, 0.0}, {0.0, 2.0}, {2.0, 2.0}};
    p.nfreq = nfreq;
    p.freq0 = 0.0;
    p.dfreq = 1.0;
    return p.text();
}

} // namespace kdtest
