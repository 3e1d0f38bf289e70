#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace testing_support {

// The instrument simulator in the background; its first output line is the
// device path of its pseudo-terminal.
class SimulatorProcess {
public:
    SimulatorProcess(const std::string& program, const std::string& args)
    {
        pipe_ = ::popen((program + " " + args + " 2>/dev/null").c_str(), "r");
        char line[256] = {};
        if (pipe_ && std::fgets(line, sizeof line, pipe_))
            device = std::string(line, std::strlen(line) - 1);
    }
    ~SimulatorProcess()
    {
        if (pipe_)
            wait();
    }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    // Waits for the simulator's end: its exit code, -1 when it did not exit normally.
    int wait()
    {
        const int status = ::pclose(pipe_);
        pipe_ = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Reads the simulator's output up to a line that is `text`; false when it
    // ended first.
    bool waitForLine(const std::string& text)
    {
        char line[256];
        while (pipe_ && std::fgets(line, sizeof line, pipe_))
            if (std::string(line) == text + "\n")
                return true;
        return false;
    }
    std::string device;

private:
    FILE* pipe_ = nullptr;
};

}  // namespace testing_support
