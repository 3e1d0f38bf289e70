#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace testing_support {

struct ProcessResult {
    int status;       // the exit code, -1 when the process did not exit normally
    std::string out;  // standard output
};

// Runs a shell command line; standard error goes to `errFile`.
inline ProcessResult runCommand(const std::string& commandLine, const std::string& errFile = "/dev/null")
{
    const std::string command = commandLine + " 2>" + errFile;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

#ifdef OZMAR_TOOL_PATH
// Runs ozmar-tool with its arguments; standard error goes to `errFile`.
inline ProcessResult runTool(const std::string& args, const std::string& errFile = "/dev/null")
{
    return runCommand(std::string(OZMAR_TOOL_PATH) + " " + args, errFile);
}
#endif

}  // namespace testing_support
