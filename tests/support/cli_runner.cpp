#include "cli_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "cli_app.h"

namespace corvat::test {

CliRun RunCorvatCli(const std::vector<std::string>& args, bool terminal) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, out, err, terminal);
    return {code, out.str(), err.str()};
}

CliProcess StartCli(const std::vector<std::string>& args, const std::filesystem::path& errorFile,
                    bool unprivileged) {
    std::vector<std::string> argv;
    if (unprivileged && ::geteuid() == 0) {
        argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    argv.push_back(CORVAT_CLI_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);

    CliProcess process;
    process.errorFile = errorFile;
    process.pid = ::fork();
    if (process.pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        const int err = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(err >= 0 ? err : devNull, 2);
        ::execvp(pointers[0], pointers.data());
        ::_exit(127);
    }
    return process;
}

int WaitCli(const CliProcess& process) {
    int status = 0;
    while (::waitpid(process.pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace corvat::test
