#include "detect_command.h"

#include <algorithm>

#include "file_ops.h"

namespace corvat {

CLI::App* DetectCommand::Register(CLI::App& app) {
    auto* sub = app.add_subcommand(
        "detect", "Show how convert reads a text file: its options and first rows");
    sub->footer(
        "Prints the convert options for the file's layout (those that differ from the\n"
        "defaults) and its first three rows as they would be stored. Exit status 0 when\n"
        "every part of the layout is sure, 1 otherwise. Layout options given are taken\n"
        "as they stand.\n"
        "Example:\n"
        "  corvat-cli detect prices.csv");
    sub->add_option("FILE", m_input, "delimited text file")->required();
    m_layout.Register(sub);
    return sub;
}

int DetectCommand::Execute(std::ostream& out, std::ostream& err) {
    m_layout.Validate();
    const LayoutOptions::Resolved resolved = m_layout.Resolve(m_input);
    if (!resolved.readable) {
        std::string text;
        err << ReadWholeFile(RealFileSystem(), m_input, text) << '\n';
        return kExitFailure;
    }
    const std::string options = LayoutAsOptions(resolved.layout);
    out << "Options: " << (options.empty() ? "(the defaults)" : options) << '\n';
    const auto& records = resolved.rows.records;
    for (std::size_t i = 0; i < std::min<std::size_t>(records.size(), 3); ++i)
        out << RecordText(records[i], resolved.layout) << '\n';
    if (!resolved.problem.empty()) {
        err << resolved.problem << '\n';
        return kExitFailure;
    }
    for (const std::string& note : resolved.detection.notes) err << "Not sure: " << note << '\n';
    return resolved.detection.AllDecided() ? kExitSuccess : kExitFailure;
}

}  // namespace corvat
