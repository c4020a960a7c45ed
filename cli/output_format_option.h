#pragma once

#include <string>

#include "tabular_output.h"

namespace corvat {

// The --format value, already checked by the parser against the names
// each command allows.
inline OutputFormat ParseOutputFormat(const std::string& name) {
    if (name == "csv") return OutputFormat::Csv;
    if (name == "json") return OutputFormat::Json;
    return OutputFormat::Table;
}

}  // namespace corvat
