#include "convert_command.h"

#include "case_blind_path.h"
#include "converter.h"
#include "date_formats.h"
#include "progress_line.h"
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

std::string SymbolFromFileName(const std::string& path) {
    std::string symbol = CleanSymbol(std::filesystem::path(path).stem().string());
    if (symbol.size() > kMaxTextBytes) {
        std::size_t cut = kMaxTextBytes;
        while (cut > 0 && (static_cast<unsigned char>(symbol[cut]) & 0xC0) == 0x80) --cut;
        symbol = CleanSymbol(symbol.substr(0, cut));
    }
    return symbol;
}

int DateFormatNumber(const std::string& text) {
    for (std::size_t i = 0; i < kDateFormatNames.size(); ++i) {
        if (EqualsIgnoringCase(text, kDateFormatNames[i])) return static_cast<int>(i) + 1;
    }
    if (text.size() <= 2 && !text.empty() &&
        text.find_first_not_of("0123456789") == std::string::npos) {
        const int number = std::stoi(text);
        if (number >= 1 && number <= 12) return number;
    }
    return 0;
}

CLI::App* ConvertCommand::Register(CLI::App& app) {
    auto* sub =
        app.add_subcommand("convert", "Convert text files into new securities of a data directory");
    sub->footer(
        "Examples:\n"
        "  corvat-cli convert prices.csv --dir ~/charts --symbol IBM --date-format MM_DD_CCYY\n"
        "  corvat-cli convert exports/*.csv --dir ~/charts --skip 1\n"
        "With several INPUT files each becomes a security of its own, its symbol the\n"
        "file name without extension in upper case (at most 16 characters).");
    sub->add_option("INPUT", m_inputs, "delimited text file(s) to convert")->required();
    sub->add_option("--dir", m_dir, "output data directory")->required();
    sub->add_option("--symbol", m_symbol, "symbol of the new security (one INPUT only)");
    sub->add_option("--name", m_name, "name of the new security (default: the symbol)");
    sub->add_option("--master", m_master, "use the existing MASTER, make a new one, or auto")
        ->check(CLI::IsMember({"existing", "new", "auto"}));
    sub->add_option("--delimiter", m_delimiter, "column delimiter")
        ->check(CLI::IsMember({"comma", "tab", "space"}));
    sub->add_option("--date-format", m_dateFormat, "date format name (e.g. MMDDYY) or 1-12");
    sub->add_option("--skip", m_skip, "leading rows to skip")->check(CLI::NonNegativeNumber);
    sub->add_flag("--skip-bad-rows", m_skipBadRows,
                  "convert the other rows when some cannot be converted (default: convert "
                  "nothing)");
    AddColumnOption(sub, "--date-col", m_fields[kDateField].column, nullptr, nullptr);
    AddColumnOption(sub, "--open-col", m_fields[kOpenField].column, &m_fields[kOpenField].disabled,
                    "--no-open");
    AddColumnOption(sub, "--high-col", m_fields[kHighField].column, &m_fields[kHighField].disabled,
                    "--no-high");
    AddColumnOption(sub, "--low-col", m_fields[kLowField].column, &m_fields[kLowField].disabled,
                    "--no-low");
    AddColumnOption(sub, "--close-col", m_fields[kCloseField].column, nullptr, nullptr);
    AddColumnOption(sub, "--volume-col", m_fields[kVolumeField].column,
                    &m_fields[kVolumeField].disabled, "--no-volume");
    AddColumnOption(sub, "--oi-col", m_fields[kOpenInterestField].column,
                    &m_fields[kOpenInterestField].disabled, "--no-oi");
    return sub;
}

void ConvertCommand::Validate() {
    if (m_inputs.size() > 1) {
        if (!m_symbol.empty()) {
            throw UsageError(
                "--symbol cannot be used with more than one INPUT: each file's symbol is its "
                "name.");
        }
    } else {
        m_symbol = CleanSymbol(m_symbol);
        if (m_symbol.empty()) throw UsageError("You did not enter a valid symbol");
        if (m_symbol.size() > kMaxTextBytes) {
            throw UsageError("--symbol: enter no more than 16 characters.");
        }
        if (m_name.empty()) m_name = m_symbol;
    }
    if (m_name.size() > kMaxTextBytes)
        throw UsageError("--name: enter no more than 16 characters.");
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

ConvertCommand::Outcome ConvertCommand::ConvertFile(const std::string& input,
                                                    const std::string& symbol,
                                                    const std::string& name, bool useExisting,
                                                    MessageSink& messages) const {
    NullProfile profile;
    CConverter job(messages, profile);
    job.m_strInputPath = input;
    job.m_bUseExisting = useExisting ? 1 : 0;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        job.m_bFieldOn[i] = m_fields[i].disabled ? 0 : 1;
        job.m_nColumn[i] = m_fields[i].column - 1;
    }
    job.m_szPath = m_dir;
    job.m_szSymbol = symbol;
    job.m_szName = name;
    job.m_szDelimiter = m_delimiter == "tab" ? "\t" : m_delimiter == "space" ? " " : ",";
    job.m_nDateFormat = m_dateFormatNumber;
    job.m_bSkipOn = m_skip > 0 ? 1 : 0;
    job.m_nSkipRows = m_skip;
    Outcome outcome;
    outcome.converted = job.Run() == 0;
    outcome.fileNumber = job.FileNumber();
    outcome.rowsWritten = job.RowsWritten();
    outcome.rowsLeftOut = job.RowsLeftOut();
    return outcome;
}

namespace {

std::string LeftOutText(long rows) {
    return std::to_string(rows) + (rows == 1 ? " row" : " rows") + " left out";
}

bool MasterExists(const std::string& dir) {
    std::error_code ec;
    return std::filesystem::exists(FindIgnoringCase(dir, "MASTER"), ec);
}

}  // namespace

int ConvertCommand::Execute(std::ostream& out, std::ostream& err) {
    Validate();
    if (m_inputs.size() > 1) return ExecuteBatch(out, err);
    StreamMessageSink messages(err);
    messages.SkipBadRows(m_skipBadRows);
    const bool useExisting = m_master == "existing" || (m_master == "auto" && MasterExists(m_dir));
    const Outcome outcome = ConvertFile(m_inputs.front(), m_symbol, m_name, useExisting, messages);
    if (outcome.converted) {
        out << "Conversion completed successfully!\n";
        if (outcome.rowsLeftOut > 0) out << LeftOutText(outcome.rowsLeftOut) << ".\n";
        return kExitSuccess;
    }
    err << "Conversion failed.\n";
    return kExitFailure;
}

int ConvertCommand::ExecuteBatch(std::ostream& out, std::ostream& err) {
    StreamMessageSink stream(err);
    stream.SkipBadRows(m_skipBadRows);
    ProgressLine progress(err, m_terminal);
    ProgressAwareSink messages(stream, progress);
    // "new" means a master this batch makes itself: the first conversion
    // that succeeds in creating it is followed by conversions into it, but a
    // master that was there before the batch is never used.
    bool masterMadeHere = false;
    int converted = 0;
    int failed = 0;
    const std::size_t total = m_inputs.size();
    for (std::size_t i = 0; i < total; ++i) {
        const std::string& input = m_inputs[i];
        progress.Show("[" + std::to_string(i + 1) + "/" + std::to_string(total) + "] " + input);
        const std::string symbol = SymbolFromFileName(input);
        const std::string name = m_name.empty() ? symbol : m_name;
        const bool existedBefore = MasterExists(m_dir);
        const bool useExisting = m_master == "existing" || (m_master == "auto" && existedBefore) ||
                                 (m_master == "new" && masterMadeHere);
        Outcome outcome;
        if (symbol.empty()) {
            messages.ShowMessage(input + ": You did not enter a valid symbol");
        } else {
            outcome = ConvertFile(input, symbol, name, useExisting, messages);
        }
        if (m_master == "new" && !existedBefore && MasterExists(m_dir)) masterMadeHere = true;
        outcome.converted ? ++converted : ++failed;
        progress.Clear();
        err << std::flush;
        out << input << ": symbol " << (symbol.empty() ? "-" : symbol) << ", file number "
            << (outcome.fileNumber > 0 ? std::to_string(outcome.fileNumber) : "-") << ", "
            << outcome.rowsWritten << (outcome.rowsWritten == 1 ? " row" : " rows") << " written, "
            << (outcome.rowsLeftOut > 0 ? LeftOutText(outcome.rowsLeftOut) + ", " : "")
            << (outcome.converted ? "converted" : "failed") << '\n'
            << std::flush;
    }
    out << converted << " converted, " << failed << " failed\n";
    return failed == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace corvat
