#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "converter.h"
#include "data_file_layout.h"
#include "date_codec.h"
#include "date_formats.h"
#include "file_ops.h"
#include "row_parser.h"

namespace corvat {
namespace {

constexpr const char* kNumericOnlyMismatch =
    "You specified a numeric-only date format\nbut a non-numeric date character was found.";
constexpr const char* kSeparatedMismatch =
    "You specified a character-separated date format\n"
    "but a only numeric date characters were found.";

bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// A field as the left-out message quotes it: a row may be megabytes of
// binary junk, and the message must stay short and printable.
std::string Excerpt(std::string_view text) {
    constexpr std::size_t kMaxQuoted = 40;
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < kMaxQuoted; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        shown += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
    }
    if (text.size() > kMaxQuoted) shown += "...";
    return shown;
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// What the first row's date column says about the kind of format chosen;
// null when it fits.
const char* DateKindMismatch(std::string_view dateText, int format) {
    const bool digitsOnly = AllDigits(dateText);
    if (format >= kFirstNumericOnlyFormat && !digitsOnly) return kNumericOnlyMismatch;
    if (format < kFirstNumericOnlyFormat && digitsOnly) return kSeparatedMismatch;
    return nullptr;
}

// How many bad rows the message lists by line; the rest are counted.
constexpr std::size_t kListedBadRows = 5;

void AddBadRow(ConversionInput& input, long line, std::string reason, std::string_view text) {
    if (input.badRows.size() < kListedBadRows) {
        input.badRows.push_back(BadRow{line, std::move(reason), Excerpt(text)});
    }
    ++input.badRowCount;
}

std::string BadRowsList(const ConversionInput& input) {
    std::string text = std::to_string(input.badRowCount) +
                       (input.badRowCount == 1 ? " row cannot" : " rows cannot") + " be converted:";
    for (const BadRow& row : input.badRows) {
        text += "\nLine " + std::to_string(row.line) + ": " + row.reason + ": " + row.text;
    }
    const long more = input.badRowCount - static_cast<long>(input.badRows.size());
    if (more > 0) text += "\n... and " + std::to_string(more) + " more.";
    return text;
}

// "The dates look like A, B or C."
std::string FittingFormatsLine(const std::vector<int>& formats) {
    std::string text = "The dates look like ";
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0) text += i + 1 == formats.size() ? " or " : ", ";
        text += kDateFormatNames[static_cast<std::size_t>(formats[i] - 1)];
    }
    return text + ".";
}

const char* const kFieldNames[] = {"date",  "open",   "high",         "low",
                                   "close", "volume", "open interest"};

}  // namespace

// Fills the price entries of the record from the row; the reason the row
// must be left out when a mapped column is missing or holds no number.
std::optional<std::string> CConverter::FillPrices(const RowColumns& columns, InputRecord& record) {
    for (int field = kOpenField; field < kFieldSlots; ++field) {
        if (!m_bFieldOn[field]) continue;
        const auto column = static_cast<std::size_t>(m_nColumn[field]);
        if (column >= columns.Count())
            return std::string("it has no ") + kFieldNames[field] + " column";
        const auto value = ParsePrice(columns[column]);
        if (!value) {
            return "the " + std::string(kFieldNames[field]) + " \"" + Excerpt(columns[column]) +
                   "\" is not a number";
        }
        record.values[static_cast<std::size_t>(field)] = IeeeToMbf(*value);
    }
    return std::nullopt;
}

// Reads the whole text file into held records, sorted by date; a row
// that repeats an earlier row's date is a bad row, the first kept.
int CConverter::ConvertRows(ConversionInput& input) {
    std::error_code ec;
    auto file = m_fs.Open(m_strInputPath, OpenMode::Read, ec);
    if (!file) {
        Report(FileError("open", m_strInputPath, ec));
        return 1;
    }
    LineReader reader(*file);
    std::string_view line;
    long lineNumber = 0;
    if (m_bSkipOn) {
        for (int i = 0; i < m_nSkipRows && reader.ReadLine(line); ++i) ++lineNumber;
    }

    const char delimiter = m_szDelimiter.empty() ? ',' : m_szDelimiter[0];
    const auto dateColumn = static_cast<std::size_t>(m_nColumn[kDateField]);
    RowColumns columns;
    // The line that first gave each day, so a repeat is caught as it is read.
    std::vector<long> lineOfDay(kLastDayNumber + 1, 0);
    bool sorted = true;
    while (reader.ReadLine(line)) {
        ++lineNumber;
        columns.Split(line, delimiter);
        if (columns.Count() == 0 || columns.AllBlank()) continue;
        if (dateColumn >= columns.Count()) {
            AddBadRow(input, lineNumber, "it has no date column", line);
            continue;
        }
        const std::string_view dateText = columns[dateColumn];
        if (input.firstDateText.empty() && !IsBlankText(dateText)) {
            input.firstDateText = std::string(dateText);
        }
        InputRecord record;
        record.day = ParseDate(dateText, m_nDateFormat);
        if (record.day == 0 || record.day > kLastDayNumber) {
            AddBadRow(input, lineNumber, "\"" + Excerpt(dateText) + "\" is not a valid date", line);
            continue;
        }
        record.values[kDateField] = DayNumberToDateValue(record.day);
        if (auto reason = FillPrices(columns, record)) {
            AddBadRow(input, lineNumber, std::move(*reason), line);
            continue;
        }
        if (lineOfDay[record.day] != 0) {
            AddBadRow(input, lineNumber,
                      "repeats the date of line " + std::to_string(lineOfDay[record.day]), line);
            continue;
        }
        lineOfDay[record.day] = lineNumber;
        if (!input.records.empty() && input.records.back().day > record.day) sorted = false;
        input.records.push_back(record);
    }
    const std::error_code readError = reader.Error();
    file->Close(ec);
    if (readError) {
        Report(FileError("read", m_strInputPath, readError));
        return 1;
    }
    if (!sorted) {
        std::sort(input.records.begin(), input.records.end(),
                  [](const InputRecord& a, const InputRecord& b) { return a.day < b.day; });
    }
    return 0;
}

// Whether the rows read may be written: every refusal here comes before
// anything in the directory changes.
int CConverter::CheckInput(const ConversionInput& input) {
    if (!input.firstDateText.empty()) {
        if (const char* message = DateKindMismatch(input.firstDateText, m_nDateFormat)) {
            std::string text = message;
            if (!input.fittingFormats.empty())
                text += "\n" + FittingFormatsLine(input.fittingFormats);
            Report(text);
            return 1;
        }
    }
    if (input.intraday) {
        Report(m_strInputPath + " holds times of day (intraday data), which is not supported yet.");
        return 1;
    }
    if (input.records.empty()) {
        Report(input.badRowCount > 0 ? BadRowsList(input) + "\nNo rows could be converted."
                                     : std::string("No rows could be converted."));
        return 1;
    }
    // Daily dates from 1961 to 2099 never come this far; the header's count
    // word is the limit should the calendar ever grow.
    if (input.records.size() > static_cast<std::size_t>(kMaxDataRecords)) {
        Report("The data file can hold at most 65534 records.");
        return 1;
    }
    if (input.badRowCount > 0) {
        const std::string question = "Convert the other " + std::to_string(input.records.size()) +
                                     " rows and leave these out?";
        if (!m_messages.AskYesNoDefaultNo(BadRowsList(input) + "\n" + question)) return 1;
        m_rowsLeftOut = input.badRowCount;
    }
    return 0;
}

}  // namespace corvat
