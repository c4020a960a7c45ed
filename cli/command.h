#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <stdexcept>

namespace corvat {

// One sub-command of corvat-cli: it declares its options on the parser,
// then runs with what was parsed. Exit codes: 0 success, 1 the work
// failed, 2 a usage error.
class Command {
public:
    virtual ~Command() = default;
    virtual CLI::App* Register(CLI::App& app) = 0;
    virtual int Execute(std::ostream& out, std::ostream& err) = 0;

    // Whether the error stream is a terminal a person watches, so progress
    // may be drawn there; never when it goes to a file or a pipe.
    void SetTerminal(bool terminal) { m_terminal = terminal; }

protected:
    bool m_terminal = false;
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A usage error found after parsing (a bad combination of values).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace corvat
