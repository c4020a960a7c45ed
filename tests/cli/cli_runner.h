#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli_app.h"

namespace corvat::test {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// Runs corvat-cli in-process; `terminal` pretends stderr is a terminal.
inline CliRun RunCorvatCli(const std::vector<std::string>& args, bool terminal = false) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, out, err, terminal);
    return {code, out.str(), err.str()};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace corvat::test
