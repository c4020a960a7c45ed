#pragma once

#include <string>

#include "command.h"

namespace corvat {

// corvat-cli dump: one security's records back out as text.
class DumpCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    std::string m_dir;
    std::string m_symbol;
    std::string m_format = "csv";
};

}  // namespace corvat
