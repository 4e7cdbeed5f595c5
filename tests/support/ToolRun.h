#pragma once

#include "FlowFiles.h"
#include "TempDir.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace tvl::test {

// A program run as on a machine without a display (DISPLAY and
// WAYLAND_DISPLAY unset): its exit code (-1 when it did not exit) and what it
// wrote to either stream.
struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline ToolRun runTool(const std::string& program, const std::vector<std::string>& args)
{
    const TempDir dir;
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" + program + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    const int status = std::system((command + " > '" + dir.file("out") + "' 2> '" + dir.file("err") + "'").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(dir.file("out")), readBytes(dir.file("err"))};
}

} // namespace tvl::test
