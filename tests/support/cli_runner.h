#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace corvat::test {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// Runs corvat-cli in-process; `terminal` pretends stderr is a terminal.
CliRun RunCorvatCli(const std::vector<std::string>& args, bool terminal = false);

// corvat-cli, started as a child process. When `unprivileged` and this
// process is root, the child runs as nobody (setpriv), so that permission
// bits count as they do for a user.
struct CliProcess {
    pid_t pid = -1;
    std::filesystem::path errorFile;
};

CliProcess StartCli(const std::vector<std::string>& args, const std::filesystem::path& errorFile,
                    bool unprivileged = false);

// Exit code of the child, or 128 + signal when a signal ended it.
int WaitCli(const CliProcess& process);

inline int RunCliProcess(const std::vector<std::string>& args,
                         const std::filesystem::path& errorFile, bool unprivileged = false) {
    return WaitCli(StartCli(args, errorFile, unprivileged));
}

}  // namespace corvat::test
