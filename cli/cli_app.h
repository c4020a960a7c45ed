#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace corvat {

// Runs corvat-cli with `args` (without the program name); returns the exit
// code. Split from main so tests can run commands in-process.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// `terminal`: stderr is a terminal, so progress may be drawn there.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool terminal);
int RunCli(int argc, char** argv);

}  // namespace corvat
