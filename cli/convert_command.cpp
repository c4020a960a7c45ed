#include "convert_command.h"

#include "case_blind_path.h"
#include "converter.h"
#include "date_formats.h"
#include "stream_message_sink.h"
#include "text_util.h"

namespace corvat {
namespace {

constexpr std::size_t kMaxTextBytes = 16;
constexpr int kMaxColumn = 20;

void AddColumnOption(CLI::App* sub, const char* flag, int& column, bool* disabled,
                     const char* disableFlag) {
    auto* option = sub->add_option(flag, column, "column of the field, 1 to 20")
                       ->check(CLI::Range(1, kMaxColumn));
    if (disabled != nullptr) {
        auto* off = sub->add_flag(disableFlag, *disabled, "leave the field out");
        option->excludes(off);
    }
}

}  // namespace

std::string CleanSymbol(const std::string& symbol) {
    std::string cleaned = symbol;
    const auto end = cleaned.find_last_not_of(" \t\r\n\v\f");
    cleaned.erase(end == std::string::npos ? 0 : end + 1);
    return ToUpperAscii(cleaned);
}

int DateFormatNumber(const std::string& text) {
    for (std::size_t i = 0; i < kDateFormatNames.size(); ++i) {
        if (EqualsIgnoringCase(text, kDateFormatNames[i])) return static_cast<int>(i) + 1;
    }
    if (text.size() <= 2 && !text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        const int number = std::stoi(text);
        if (number >= 1 && number <= 12) return number;
    }
    return 0;
}

CLI::App* ConvertCommand::Register(CLI::App& app) {
    auto* sub = app.add_subcommand("convert", "Convert a text file into a new security");
    sub->footer(
        "Example:\n"
        "  corvat-cli convert prices.csv --dir ~/charts --symbol IBM --date-format MM_DD_CCYY");
    sub->add_option("INPUT", m_inputs, "delimited text file to convert")->required();
    sub->add_option("--dir", m_dir, "output data directory")->required();
    sub->add_option("--symbol", m_symbol, "symbol of the new security");
    sub->add_option("--name", m_name, "name of the new security (default: the symbol)");
    sub->add_option("--master", m_master, "use the existing MASTER, make a new one, or auto")
        ->check(CLI::IsMember({"existing", "new", "auto"}));
    sub->add_option("--delimiter", m_delimiter, "column delimiter")
        ->check(CLI::IsMember({"comma", "tab", "space"}));
    sub->add_option("--date-format", m_dateFormat, "date format name (e.g. MMDDYY) or 1-12");
    sub->add_option("--skip", m_skip, "leading rows to skip")->check(CLI::NonNegativeNumber);
    AddColumnOption(sub, "--date-col", m_fields[kDateField].column, nullptr, nullptr);
    AddColumnOption(sub, "--open-col", m_fields[kOpenField].column, &m_fields[kOpenField].disabled, "--no-open");
    AddColumnOption(sub, "--high-col", m_fields[kHighField].column, &m_fields[kHighField].disabled, "--no-high");
    AddColumnOption(sub, "--low-col", m_fields[kLowField].column, &m_fields[kLowField].disabled, "--no-low");
    AddColumnOption(sub, "--close-col", m_fields[kCloseField].column, nullptr, nullptr);
    AddColumnOption(sub, "--volume-col", m_fields[kVolumeField].column, &m_fields[kVolumeField].disabled, "--no-volume");
    AddColumnOption(sub, "--oi-col", m_fields[kOpenInterestField].column, &m_fields[kOpenInterestField].disabled, "--no-oi");
    return sub;
}

void ConvertCommand::Validate() {
    if (m_inputs.size() != 1) throw UsageError("convert takes exactly one INPUT file.");
    m_symbol = CleanSymbol(m_symbol);
    if (m_symbol.empty()) throw UsageError("You did not enter a valid symbol");
    if (m_symbol.size() > kMaxTextBytes) {
        throw UsageError("--symbol: enter no more than 16 characters.");
    }
    if (m_name.empty()) m_name = m_symbol;
    if (m_name.size() > kMaxTextBytes) throw UsageError("--name: enter no more than 16 characters.");
    m_dateFormatNumber = DateFormatNumber(m_dateFormat);
    if (m_dateFormatNumber == 0) {
        throw UsageError("--date-format: \"" + m_dateFormat +
                         "\" is neither a date format name nor a number from 1 to 12.");
    }
    std::array<bool, kMaxColumn + 1> taken{};
    bool duplicate = false;
    for (const auto& field : m_fields) {
        if (field.disabled) continue;
        duplicate = duplicate || taken[static_cast<std::size_t>(field.column)];
        taken[static_cast<std::size_t>(field.column)] = true;
    }
    if (duplicate) throw UsageError("Duplicate columns specified\nCorrect or disable");
}

int ConvertCommand::Execute(std::ostream& out, std::ostream& err) {
    Validate();
    StreamMessageSink messages(err);
    NullProfile profile;
    CConverter job(messages, profile);
    job.m_strInputPath = m_inputs.front();
    bool useExisting = m_master == "existing";
    if (m_master == "auto") {
        std::error_code ec;
        useExisting = std::filesystem::exists(FindIgnoringCase(m_dir, "MASTER"), ec);
    }
    job.m_bUseExisting = useExisting ? 1 : 0;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        job.m_bFieldOn[i] = m_fields[i].disabled ? 0 : 1;
        job.m_nColumn[i] = m_fields[i].column - 1;
    }
    job.m_szPath = m_dir;
    job.m_szSymbol = m_symbol;
    job.m_szName = m_name;
    job.m_szDelimiter = m_delimiter == "tab" ? "\t" : m_delimiter == "space" ? " " : ",";
    job.m_nDateFormat = m_dateFormatNumber;
    job.m_bSkipOn = m_skip > 0 ? 1 : 0;
    job.m_nSkipRows = m_skip;
    if (job.Run() == 0) {
        out << "Conversion completed successfully!\n";
        return kExitSuccess;
    }
    err << "Conversion failed.\n";
    return kExitFailure;
}

}  // namespace corvat
