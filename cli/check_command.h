#pragma once

#include <string>

#include "command.h"

namespace corvat {

// corvat-cli check: whether a data directory is sound.
class CheckCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    std::string m_dir;
    bool m_recursive = false;
};

}  // namespace corvat
