#include "convert_command.h"

#include "case_blind_path.h"
#include "converter.h"
#include "date_formats.h"
#include "field_table.h"
#include "index_files.h"
#include "master_record.h"
#include "progress_line.h"
#include "security_update.h"
#include "stored_date.h"
#include "stream_message_sink.h"
#include "text_util.h"

namespace corvat {
std::string CleanSymbol(const std::string& symbol) {
    std::string cleaned = symbol;
    const auto end = cleaned.find_last_not_of(" \t\r\n\v\f");
    cleaned.erase(end == std::string::npos ? 0 : end + 1);
    return ToUpperAscii(cleaned);
}

std::string SymbolFromFileName(const std::string& path) {
    return CleanSymbol(std::filesystem::path(path).stem().string());
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
        "Each INPUT becomes a security of its own; without --symbol its symbol is the\n"
        "file name without extension in upper case; a file whose name makes no valid\n"
        "symbol (at most 14 characters of printable ASCII) fails on its own.\n"
        "A file is converted whole or not at all: rows that cannot be converted are\n"
        "listed and nothing is written, unless --skip-bad-rows leaves them out.\n"
        "Date formats (--date-format NAME or NUMBER), each with 22 January 2026:\n" +
        DateFormatList());
    sub->add_option("INPUT", m_inputs, "delimited text file(s) to convert")->required();
    sub->add_option("--dir", m_dir, "output data directory")->required();
    sub->add_option("--symbol", m_symbol,
                    "symbol of the new security, one INPUT only (default: the file name)");
    sub->add_option("--name", m_name, "name of the new security (default: the symbol)");
    sub->add_option("--master", m_master,
                    "use the existing MASTER, make a new one, or auto: existing when the "
                    "directory has one (default: auto)")
        ->check(CLI::IsMember({"existing", "new", "auto"}));
    sub->add_flag("--update", m_update,
                  "add the rows to a security DIR already holds under the symbol, instead of "
                  "refusing it as a duplicate");
    m_layout.Register(sub);
    sub->add_flag("--skip-bad-rows", m_skipBadRows,
                  "convert the other rows when some cannot be converted (default: convert "
                  "nothing)");
    AddWaitOption(sub, m_waitSeconds);
    return sub;
}

bool ConvertCommand::SymbolAllowed(const std::string& symbol) const {
    return m_update ? IsPrintableAscii(symbol) : IsValidNewSymbol(symbol);
}

void ConvertCommand::Validate() {
    if (m_inputs.size() > 1) {
        if (!m_symbol.empty()) {
            throw UsageError(
                "--symbol cannot be used with more than one INPUT: each file's symbol is its "
                "name.");
        }
    } else {
        // As in a batch, a file's name is its symbol unless one is given;
        // a refused name says so, or the user looks for a --symbol never typed.
        const bool given = !m_symbol.empty();
        m_symbol = given ? CleanSymbol(m_symbol) : SymbolFromFileName(m_inputs.front());
        const std::string fromName = given ? "" : m_inputs.front() + ": ";
        if (m_symbol.empty()) throw UsageError(fromName + "You did not enter a valid symbol");
        if (!SymbolAllowed(m_symbol)) {
            throw UsageError(given ? std::string("--symbol: ") + kSymbolRule
                                   : fromName + "symbol \"" + m_symbol + "\": " + kSymbolRule +
                                         "\nGive one with --symbol.");
        }
        if (m_name.empty()) m_name = m_symbol;
    }
    if (m_name.size() > kMaxNameBytes)
        throw UsageError("--name: enter no more than 45 characters.");
    m_layout.Validate();
}

namespace {

// The settings of one file: its path, symbol and name, and its layout.
void FillJob(CConverter& job, const std::string& input, const std::string& symbol,
             const std::string& name, const InputLayout& layout) {
    job.m_strInputPath = input;
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        job.m_bFieldOn[i] = layout.fieldOn[i] ? 1 : 0;
        job.m_nColumn[i] = layout.column[i];
    }
    job.m_szSymbol = symbol;
    job.m_szName = name;
    job.m_szDelimiter = std::string(1, layout.delimiter);
    job.m_nDateFormat = layout.dateFormat;
    job.m_bSkipOn = layout.skipRows > 0 ? 1 : 0;
    job.m_nSkipRows = layout.skipRows;
    job.m_numberStyle = layout.numbers;
    job.m_nTimeColumn = layout.timeColumn;
}

}  // namespace

ConvertCommand::Outcome ConvertCommand::ConvertFile(const std::string& input,
                                                    const std::string& symbol,
                                                    const std::string& name, bool useExisting,
                                                    MessageSink& messages,
                                                    LockWaiter& waiter) const {
    Outcome outcome;
    InputLayout layout;
    {
        auto resolved = m_layout.Resolve(input);
        if (!resolved.problem.empty()) {
            messages.ShowMessage(resolved.problem);
            return outcome;
        }
        layout = resolved.layout;
    }
    NullProfile profile;
    CConverter job(messages, profile, RealFileSystem());
    job.SetLockWaiter(waiter);
    job.m_bUseExisting = useExisting ? 1 : 0;
    // Whether a master is there is known only under the directory's lock.
    job.m_masterAuto = m_master == "auto";
    job.m_szPath = m_dir;
    job.m_bUpdate = m_update;
    FillJob(job, input, symbol, name, layout);
    outcome.converted = job.Run() == 0;
    outcome.update = job.UpdateResult();
    outcome.symbol = job.m_szSymbol;
    outcome.fileNumber = job.FileNumber();
    outcome.rowsWritten = job.RowsWritten();
    outcome.rowsLeftOut = job.RowsLeftOut();
    outcome.firstDate = StoredDateText(DecodeDateValue(job.FirstDate()));
    outcome.lastDate = StoredDateText(DecodeDateValue(job.LastDate()));
    return outcome;
}

namespace {

std::string LeftOutText(long rows) {
    return std::to_string(rows) + (rows == 1 ? " row" : " rows") + " left out";
}

// Converting yesterday's symbol again is the daily job without --update: the
// refusal alone ("Duplicate Symbol") does not say what would do it.
void HintUpdate(std::ostream& err, const std::string& dir,
                const std::vector<std::string>& symbols) {
    DirectoryIndex index;
    ReadDirectoryIndex(RealFileSystem(), dir, index);
    std::string held;
    int count = 0;
    for (const std::string& symbol : symbols) {
        if (FindOwnSecurity(index, symbol)) held += (count++ == 0 ? "" : ", ") + symbol;
    }
    if (count == 0) return;
    err << "(" << held << (count == 1 ? " is" : " are") << " already in " << dir
        << ": --update adds the rows of a file to its security.)\n";
}

}  // namespace

int ConvertCommand::Execute(std::ostream& out, std::ostream& err) {
    Validate();
    if (!IsAsciiText(m_name)) {
        err << "Warning: --name holds bytes outside ASCII; they are stored as given, and each "
               "charting program shows them in its own character set.\n";
    }
    if (m_inputs.size() > 1) return ExecuteBatch(out, err);
    StreamMessageSink messages(err);
    messages.SkipBadRows(m_skipBadRows);
    DeadlineWaiter waiter(messages, m_waitSeconds);
    const Outcome outcome =
        ConvertFile(m_inputs.front(), m_symbol, m_name, m_master == "existing", messages, waiter);
    if (outcome.converted && outcome.update) {
        out << UpdateOutcome(outcome.symbol, *outcome.update) << '\n';
        return kExitSuccess;
    }
    if (outcome.converted) {
        out << "Conversion completed successfully!\n"
            << outcome.rowsWritten << (outcome.rowsWritten == 1 ? " record, " : " records, ")
            << outcome.firstDate << " to " << outcome.lastDate << '\n';
        if (outcome.rowsLeftOut > 0) out << LeftOutText(outcome.rowsLeftOut) << ".\n";
        return kExitSuccess;
    }
    err << "Conversion failed.\n";
    if (!m_update) HintUpdate(err, m_dir, {m_symbol});
    return kExitFailure;
}

int ConvertCommand::ExecuteBatch(std::ostream& out, std::ostream& err) {
    StreamMessageSink stream(err);
    stream.SkipBadRows(m_skipBadRows);
    ProgressLine progress(err, m_terminal);
    ProgressAwareSink messages(stream, progress);
    DeadlineWaiter waiter(messages, m_waitSeconds);
    NullProfile profile;
    // The whole batch is one job: one lock, one write of each index, one
    // barrier for every file's data. "new" means a master the batch makes
    // itself; one that was there before it is never used.
    CConverter job(messages, profile, RealFileSystem());
    job.SetLockWaiter(waiter);
    job.m_szPath = m_dir;
    job.m_bUseExisting = m_master == "existing" ? 1 : 0;
    job.m_masterAuto = m_master == "auto";
    job.m_bUpdate = m_update;
    const bool begun = job.BeginBatch() == 0;
    const std::size_t total = m_inputs.size();
    std::vector<const FileOutcome*> outcomes(total, nullptr);
    for (std::size_t i = 0; i < total; ++i) {
        const std::string& input = m_inputs[i];
        progress.Show("[" + std::to_string(i + 1) + "/" + std::to_string(total) + "] " + input);
        messages.SetSubject(input);
        const std::string symbol = SymbolFromFileName(input);
        if (symbol.empty()) {
            messages.ShowMessage(input + ": You did not enter a valid symbol");
            continue;
        }
        if (!SymbolAllowed(symbol)) {
            messages.ShowMessage(input + ": symbol \"" + symbol + "\": " + kSymbolRule);
            continue;
        }
        if (!begun || job.BatchBroken()) continue;
        auto resolved = m_layout.Resolve(input);
        if (!resolved.problem.empty()) {
            messages.ShowMessage(resolved.problem);
            continue;
        }
        FillJob(job, input, symbol, m_name.empty() ? symbol : m_name, resolved.layout);
        // Detection read the file with this very layout: it is not read twice.
        outcomes[i] = &job.AddToBatch(resolved.readable ? &resolved.rows : nullptr);
    }
    messages.SetSubject("");  // what the commit says is about the whole batch
    if (begun) (void)job.CommitBatch();
    progress.Clear();
    err << std::flush;

    // Only now, the batch committed, is any file reported converted.
    int converted = 0;
    std::vector<std::string> failedSymbols;
    for (std::size_t i = 0; i < total; ++i) {
        const std::string& input = m_inputs[i];
        const FileOutcome* outcome = outcomes[i];
        if (outcome && outcome->converted && outcome->update) {
            ++converted;
            out << BatchUpdateOutcome(input, outcome->symbol, outcome->fileNumber, *outcome->update)
                << '\n';
            continue;
        }
        const std::string symbol = SymbolFromFileName(input);
        const bool done = outcome && outcome->converted;
        if (done) ++converted;
        if (!done && !symbol.empty()) failedSymbols.push_back(symbol);
        out << input << ": symbol " << (symbol.empty() ? "-" : symbol) << ", file number "
            << (done ? std::to_string(outcome->fileNumber) : "-") << ", "
            << (done ? outcome->rowsWritten : 0)
            << (done && outcome->rowsWritten == 1 ? " row" : " rows") << " written, "
            << (done && outcome->rowsLeftOut > 0 ? LeftOutText(outcome->rowsLeftOut) + ", " : "")
            << (done ? "converted" : "failed") << '\n';
    }
    if (!m_update) HintUpdate(err, m_dir, failedSymbols);
    const int failed = static_cast<int>(total) - converted;
    out << converted << " converted, " << failed << " failed\n" << std::flush;
    return failed == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace corvat
