#include "dump_command.h"

#include "master_search.h"
#include "number_text.h"
#include "output_format_option.h"
#include "security_data.h"
#include "stored_date.h"

namespace corvat {

CLI::App* DumpCommand::Register(CLI::App& app) {
    auto* sub = app.add_subcommand("dump", "Print the records of one security");
    sub->footer("Example:\n  corvat-cli dump ~/charts ibm --format json");
    sub->add_option("DIR", m_dir, "data directory holding a MASTER")->required();
    sub->add_option("SYMBOL", m_symbol,
                    "symbol or name of the security, any letter case, searched through the tree")
        ->required();
    sub->add_option("--format", m_format, "csv (default) or json")
        ->check(CLI::IsMember({"csv", "json"}));
    return sub;
}

int DumpCommand::Execute(std::ostream& out, std::ostream& err) {
    // Read the top master first so a missing or damaged one is reported as
    // such, not as a security that is not there.
    MasterListing top;
    if (std::string error = ReadMasterListing(m_dir, top, RealFileSystem()); !error.empty()) {
        err << error << '\n';
        return kExitFailure;
    }
    IndexedSecurity entry;
    std::filesystem::path foundDir;
    if (!FindIndexedSecurity(RealFileSystem(), m_dir, m_symbol, entry, foundDir)) {
        err << "No security \"" << m_symbol << "\" in " << m_dir << " or below.\n";
        return kExitFailure;
    }
    SecurityData security;
    if (std::string error = ReadSecurityData(foundDir, entry, security, RealFileSystem());
        !error.empty()) {
        err << error << '\n';
        return kExitFailure;
    }
    const DataFile& data = security.data;
    if (!data.hasHeader) {
        err << data.path.string() << " is shorter than its header.\n";
        return kExitFailure;
    }
    const std::size_t counted = data.RecordsCounted();
    const std::size_t present = data.RecordsPresent();
    if (counted != present) {
        err << "Warning: " << data.path.string() << " header counts " << counted
            << " records but the file holds " << present << "; printing "
            << std::min(counted, present) << ".\n";
    }
    std::vector<std::string> columns;
    for (int field : security.description.fields) columns.emplace_back(FieldTitle(field));
    std::vector<OutputRow> rows;
    const std::size_t count = std::min(counted, present);
    rows.reserve(count);
    for (std::size_t r = 0; r < count; ++r) {
        OutputRow row;
        for (std::size_t slot = 0; slot < security.description.fields.size(); ++slot) {
            const MbfBytes value = data.Field(r, slot);
            if (security.description.fields[slot] == 0) {
                row.push_back(OutputCell::Text(StoredDateText(DecodeDateValue(value))));
            } else {
                row.push_back(OutputCell::Number(ShortestText(MbfToIeee(value))));
            }
        }
        rows.push_back(std::move(row));
    }
    WriteRows(out, ParseOutputFormat(m_format), columns, rows);
    return kExitSuccess;
}

}  // namespace corvat
