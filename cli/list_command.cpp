#include "list_command.h"

#include "master_tree.h"
#include "output_format_option.h"
#include "security_data.h"
#include "stored_date.h"

namespace corvat {
namespace {

OutputCell DateCell(const StoredDate& date) { return OutputCell::Text(StoredDateText(date)); }

// The number of data records the data file's header gives, or nothing
// when the file cannot tell (a warning says why).
OutputCell RecordsCell(const std::filesystem::path& dir, const MasterEntry& entry,
                       std::ostream& err) {
    std::size_t records = 0;
    const std::string error = ReadCountedRecords(
        SecurityFilePath(RealFileSystem(), dir, entry.fileNumber, kDataExtension), records,
        RealFileSystem());
    if (!error.empty()) {
        err << "Warning: " << error << '\n';
        return OutputCell::Null();
    }
    return OutputCell::Number(std::to_string(records));
}

}  // namespace

CLI::App* ListCommand::Register(CLI::App& app) {
    auto* sub =
        app.add_subcommand("list", "List the securities and directory entries of a data directory");
    sub->footer("Example:\n  corvat-cli list ~/charts --recursive --format csv");
    sub->add_option("DIR", m_dir, "data directory holding a MASTER")->required();
    sub->add_flag("--recursive,-r", m_recursive,
                  "also list the masters its directory entries lead to");
    sub->add_option("--format", m_format, "table (default), csv or json")
        ->check(CLI::IsMember({"table", "csv", "json"}));
    return sub;
}

int ListCommand::Execute(std::ostream& out, std::ostream& err) {
    MasterTree tree;
    if (m_recursive) {
        tree = WalkMasterTree(m_dir, RealFileSystem());
    } else {
        MasterTreeNode node{m_dir, "", 0, {}, {}};
        node.error = ReadMasterListing(m_dir, node.listing, RealFileSystem());
        tree.nodes.push_back(std::move(node));
    }
    if (!tree.nodes.front().error.empty()) {
        err << tree.nodes.front().error << '\n';
        return kExitFailure;
    }

    std::vector<std::string> columns;
    if (m_recursive) columns.push_back("Directory");
    for (const char* title : {"FileNumber", "Symbol", "Name", "Fields", "FirstDate", "LastDate",
                              "Records", "Subdirectory"}) {
        columns.emplace_back(title);
    }
    std::vector<OutputRow> rows;
    for (const MasterTreeNode& node : tree.nodes) {
        if (!node.error.empty()) {
            err << "Warning: " << node.error << '\n';
            continue;
        }
        for (const MasterEntry& entry : node.listing.Entries()) {
            OutputRow row;
            if (m_recursive)
                row.push_back(OutputCell::Text(node.relative.empty() ? "." : node.relative));
            row.push_back(OutputCell::Number(std::to_string(entry.fileNumber)));
            if (entry.isDirectory) {
                for (int i = 0; i < 6; ++i) row.push_back(OutputCell::Null());
                row.push_back(OutputCell::Text(entry.directoryName));
            } else {
                row.push_back(OutputCell::Text(entry.symbol));
                row.push_back(OutputCell::Text(entry.name));
                row.push_back(OutputCell::Number(std::to_string(entry.fieldCount)));
                row.push_back(DateCell(entry.firstDate));
                row.push_back(DateCell(entry.lastDate));
                row.push_back(RecordsCell(node.directory, entry, err));
                row.push_back(OutputCell::Null());
            }
            rows.push_back(std::move(row));
        }
    }
    for (const SkippedDirectoryEntry& skip : tree.skipped) {
        err << "Warning: directory entry " << skip.recordNumber << " (" << skip.name << ") in "
            << (skip.parent.empty() ? "." : skip.parent)
            << " is not followed: " << SkipReasonText(skip.reason) << ".\n";
    }
    WriteRows(out, ParseOutputFormat(m_format), columns, rows);
    return kExitSuccess;
}

}  // namespace corvat
