#pragma once

#include <string>

#include "command.h"

namespace corvat {

// corvat-cli list: what a data directory holds, one row per master entry.
class ListCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    std::string m_dir;
    bool m_recursive = false;
    std::string m_format = "table";
};

}  // namespace corvat
