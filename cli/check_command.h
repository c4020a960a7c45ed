#pragma once

#include <string>

#include "command.h"
#include "deadline_waiter.h"

namespace corvat {

// corvat-cli check: whether a data directory is sound.
class CheckCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    std::string m_dir;
    bool m_recursive = false;
    int m_waitSeconds = kDefaultWaitSeconds;
};

}  // namespace corvat
