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
OutputCell RecordsCell(const std::filesystem::path& dir, const IndexedSecurity& entry,
                       std::ostream& err) {
    std::size_t records = 0;
    const std::string error = ReadCountedRecords(
        SecurityFilePath(RealFileSystem(), dir, entry.fileNumber, DataExtensionOf(entry)), records,
        RealFileSystem());
    if (!error.empty()) {
        err << "Warning: " << error << '\n';
        return OutputCell::Null();
    }
    return OutputCell::Number(std::to_string(records));
}

// The columns added after Subdirectory, last so that scripts reading by
// position keep working: the index file that holds the entry, the long
// name EMASTER or XMASTER gives, and the period ('D' daily).
void AddIndexCells(OutputRow& row, const IndexedSecurity* security) {
    row.push_back(OutputCell::Text(IndexFileName(security ? security->index : IndexFile::Master)));
    if (!security) {
        row.push_back(OutputCell::Null());
        row.push_back(OutputCell::Null());
        return;
    }
    row.push_back(security->longName.empty() ? OutputCell::Null()
                                             : OutputCell::Text(security->longName));
    row.push_back(OutputCell::Text(std::string(1, security->period)));
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
        tree.nodes.push_back(ReadTreeNode(RealFileSystem(), m_dir));
    }
    if (!tree.nodes.front().error.empty()) {
        err << tree.nodes.front().error << '\n';
        return kExitFailure;
    }

    std::vector<std::string> columns;
    if (m_recursive) columns.push_back("Directory");
    for (const char* title : {"FileNumber", "Symbol", "Name", "Fields", "FirstDate", "LastDate",
                              "Records", "Subdirectory", "Index", "LongName", "Period"}) {
        columns.emplace_back(title);
    }
    std::vector<OutputRow> rows;
    for (const MasterTreeNode& node : tree.nodes) {
        if (!node.error.empty()) {
            err << "Warning: " << node.error << '\n';
            continue;
        }
        const std::vector<IndexedSecurity> securities = node.Securities();
        std::size_t next = 0;
        const auto prefix = [&]() {
            OutputRow row;
            if (m_recursive)
                row.push_back(OutputCell::Text(node.relative.empty() ? "." : node.relative));
            return row;
        };
        for (const MasterEntry& entry : node.listing.Entries()) {
            OutputRow row = prefix();
            row.push_back(OutputCell::Number(std::to_string(entry.fileNumber)));
            if (entry.isDirectory) {
                for (int i = 0; i < 6; ++i) row.push_back(OutputCell::Null());
                row.push_back(OutputCell::Text(entry.directoryName));
                AddIndexCells(row, nullptr);
            } else {
                const IndexedSecurity& security = securities[next++];
                row.push_back(OutputCell::Text(entry.symbol));
                row.push_back(OutputCell::Text(entry.name));
                row.push_back(OutputCell::Number(std::to_string(entry.fieldCount)));
                row.push_back(DateCell(entry.firstDate));
                row.push_back(DateCell(entry.lastDate));
                row.push_back(RecordsCell(node.directory, security, err));
                row.push_back(OutputCell::Null());
                AddIndexCells(row, &security);
            }
            rows.push_back(std::move(row));
        }
        for (; next < securities.size(); ++next) {
            const IndexedSecurity& security = securities[next];
            OutputRow row = prefix();
            row.push_back(OutputCell::Number(std::to_string(security.fileNumber)));
            row.push_back(OutputCell::Text(security.symbol));
            row.push_back(OutputCell::Text(security.name));
            row.push_back(OutputCell::Number(std::to_string(security.fieldCount)));
            row.push_back(OutputCell::Text(EntryDateText(security.firstDate)));
            row.push_back(OutputCell::Text(EntryDateText(security.lastDate)));
            row.push_back(RecordsCell(node.directory, security, err));
            row.push_back(OutputCell::Null());
            AddIndexCells(row, &security);
            rows.push_back(std::move(row));
        }
        for (const std::string* error : {&node.emasterError, &node.xmasterError}) {
            if (!error->empty()) err << "Warning: " << *error << '\n';
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
