#pragma once

#include <string>
#include <vector>

#include "command.h"
#include "deadline_waiter.h"

namespace corvat {

// corvat-cli remove: takes securities out of a data directory.
class RemoveCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    std::string m_dir;
    std::vector<std::string> m_symbols;
    int m_waitSeconds = kDefaultWaitSeconds;
};

}  // namespace corvat
