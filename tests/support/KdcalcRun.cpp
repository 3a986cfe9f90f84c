#include "KdcalcRun.h"

#include "FileListLayout.h"
#include "KdcalcProcess.h"
#include "TempDir.h"

#include <cstdlib>
#include <sstream>

namespace kdtest {

RunResult runKdcalc(const std::string& dir, const std::string& environment)
{
    KdcalcProcess process(dir, [&environment] {
        std::istringstream words(environment);
        for (std::string word; words >> word;) {
            const auto eq = word.find('=');
            if (eq == std::string::npos || ::setenv(word.substr(0, eq).c_str(), word.substr(eq + 1).c_str(), 1) != 0)
                return false;
        }
        return true;
    });
    RunResult result;
    result.status = process.finish();
    result.console = process.console();
    return result;
}

void writeFileList(const std::string& dir, const std::string& base)
{
    writeFile(dir + "/" + kd::kFileListName, kd::fileListText(dir + "/" + base + ".kld"));
}

} // namespace kdtest
