#include "KdcalcRun.h"

#include "FileListLayout.h"
#include "TempDir.h"

#include <cstdio>
#include <sys/wait.h>

namespace kdtest {

RunResult runKdcalc(const std::string& dir, const std::string& environment)
{
    RunResult result;
    const std::string command = "cd '" + dir + "' && env " + environment + " '" KDCALC_PATH "' 2>&1 < /dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        result.console.append(buf, n);
    const int raw = pclose(pipe);
    if (raw != -1 && WIFEXITED(raw))
        result.status = WEXITSTATUS(raw);
    return result;
}

void writeFileList(const std::string& dir, const std::string& base)
{
    writeFile(dir + "/" + kd::kFileListName, kd::fileListText(dir + "/" + base + ".kld"));
}

} // namespace kdtest
