#pragma once

#include <string>

#include "command.h"
#include "layout_options.h"

namespace corvat {

// corvat-cli detect: how convert would read a text file, as the options
// that say so and the first rows as they would be stored. Writes nothing.
class DetectCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    std::string m_input;
    LayoutOptions m_layout;
};

}  // namespace corvat
