#include "input_rows.h"

#include <algorithm>
#include <cstdio>

#include "date_codec.h"
#include "date_formats.h"
#include "date_text.h"
#include "file_ops.h"
#include "number_text.h"

namespace corvat {
namespace {

constexpr const char* kNumericOnlyMismatch =
    "You specified a numeric-only date format\nbut a non-numeric date character was found.";
constexpr const char* kSeparatedMismatch =
    "You specified a character-separated date format\n"
    "but a only numeric date characters were found.";

std::string FieldName(int field) {
    return std::string(kFieldTable[static_cast<std::size_t>(field)].messageName);
}

bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

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

const char* DateKindMismatch(std::string_view dateText, int format) {
    const bool digitsOnly = AllDigits(dateText);
    if (format >= kFirstNumericOnlyFormat && !digitsOnly) return kNumericOnlyMismatch;
    if (format < kFirstNumericOnlyFormat && digitsOnly) return kSeparatedMismatch;
    return nullptr;
}

RowReader::RowReader(const InputLayout& layout)
    : m_layout(layout), m_lineOfDay(static_cast<std::size_t>(kLastDayNumber) + 1, 0) {
    m_fits.fill(true);
}

void RowReader::AddBadRow(std::string reason, std::string_view line) {
    if (m_rows.badRowCount++ < kBadRowsListed)
        m_rows.badRows.push_back({m_lineNumber, std::move(reason), Excerpt(line)});
}

void RowReader::TrackFittingFormats(std::string_view dateText) {
    if (!HasDigit(dateText)) return;
    m_anyDateDigits = true;
    for (std::size_t i = 0; i < m_fits.size(); ++i) {
        if (m_fits[i] && ReadDate(dateText, static_cast<int>(i) + 1).day == 0) m_fits[i] = false;
    }
}

// A midnight or blank time says nothing; any other time makes the file
// intraday. False when the row is bad.
bool RowReader::ReadTime(std::string_view line) {
    if (m_layout.timeColumn < 0) return true;
    const auto column = static_cast<std::size_t>(m_layout.timeColumn);
    if (column >= m_columns.Count()) {
        AddBadRow("it has no time column", line);
        return false;
    }
    std::string_view text = m_columns[column];
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return true;
    TimeOfDay time;
    if (!ReadTimeOfDay(text, time)) {
        AddBadRow("the time \"" + Excerpt(m_columns[column]) + "\" is not a time of day", line);
        return false;
    }
    if (!time.midnight && !m_rows.intraday) {
        m_rows.intraday = true;
        m_rows.intradayLine = m_lineNumber;
    }
    return true;
}

bool RowReader::ReadPrices(InputRecord& record, std::string_view line) {
    for (int field = kOpenField; field < kFieldSlots; ++field) {
        const auto slot = static_cast<std::size_t>(field);
        if (!m_layout.fieldOn[slot]) continue;
        const auto column = static_cast<std::size_t>(m_layout.column[slot]);
        if (column >= m_columns.Count()) {
            AddBadRow("it has no " + FieldName(field) + " column", line);
            return false;
        }
        const bool counted = field >= kVolumeField;
        const auto value = counted && IsNoCount(m_columns[column])
                               ? std::optional<float>(0.0f)
                               : ParseNumber(m_columns[column], m_layout.numbers, counted);
        if (!value) {
            AddBadRow("the " + FieldName(field) + " \"" + Excerpt(m_columns[column]) +
                          "\" is not a number",
                      line);
            return false;
        }
        record.fields[slot] = IeeeToMbf(*value);
    }
    return true;
}

void RowReader::Add(std::string_view line) {
    if (++m_lineNumber <= m_layout.skipRows) return;
    m_columns.Split(line, m_layout.delimiter);
    if (m_columns.Count() == 0 || m_columns.AllBlank()) return;

    const auto dateColumn = static_cast<std::size_t>(m_layout.column[kDateField]);
    if (dateColumn >= m_columns.Count()) {
        AddBadRow("it has no date column", line);
        return;
    }
    const std::string_view dateText = m_columns[dateColumn];
    if (!m_kindChecked && !IsBlankText(dateText)) {
        m_kindChecked = true;
        m_rows.dateKindMismatch = DateKindMismatch(dateText, m_layout.dateFormat);
    }
    TrackFittingFormats(dateText);
    const DateReading date = ReadDate(dateText, m_layout.dateFormat);
    if (date.day == 0) {
        AddBadRow("\"" + Excerpt(dateText) + "\" is not a valid date: " + date.reason, line);
        return;
    }
    if (date.timeOfDay && !m_rows.intraday) {
        m_rows.intraday = true;
        m_rows.intradayLine = m_lineNumber;
    }
    if (!ReadTime(line)) return;
    InputRecord record;
    record.day = date.day;
    record.line = static_cast<std::int32_t>(m_lineNumber);
    record.fields[kDateField] = DayNumberToDateValue(date.day);
    if (!ReadPrices(record, line)) return;
    std::int32_t& first = m_lineOfDay[date.day];
    if (first != 0) {
        AddBadRow("it repeats the date of line " + std::to_string(first), line);
        return;
    }
    first = record.line;
    m_rows.records.push_back(record);
}

InputRows RowReader::Finish() {
    // Services export newest first as often as oldest first; the data file
    // wants ascending dates. Dates are unique here, so the order is total.
    std::sort(m_rows.records.begin(), m_rows.records.end(),
              [](const InputRecord& a, const InputRecord& b) { return a.day < b.day; });
    m_rows.fittingFormats.clear();
    if (m_anyDateDigits) {
        for (std::size_t i = 0; i < m_fits.size(); ++i) {
            if (m_fits[i]) m_rows.fittingFormats.push_back(static_cast<int>(i) + 1);
        }
    }
    return std::move(m_rows);
}

InputRows ReadInputRows(FileSystem& fs, const std::filesystem::path& path,
                        const InputLayout& layout) {
    std::error_code ec;
    auto input = fs.Open(path, OpenMode::Read, ec);
    if (!input) {
        InputRows rows;
        rows.failure = FileError("open", path, ec);
        return rows;
    }
    LineReader lines(*input);
    RowReader reader(layout);
    std::string_view line;
    while (lines.ReadLine(line)) reader.Add(line);
    const std::error_code readError = lines.Error();
    input->Close(ec);
    if (readError) {
        InputRows rows;
        rows.failure = FileError("read", path, readError);
        return rows;
    }
    return reader.Finish();
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

std::string BadRowsMessage(const InputRows& rows) {
    const std::size_t count = rows.badRowCount;
    std::string message =
        std::to_string(count) + (count == 1 ? " row" : " rows") + " cannot be converted:";
    for (const BadRow& row : rows.badRows) {
        message += "\nLine " + std::to_string(row.line) + ": " + row.reason + "\n    " + row.text;
    }
    if (count > rows.badRows.size())
        message += "\n... and " + std::to_string(count - rows.badRows.size()) + " more.";
    return message;
}

std::string LeaveOutQuestion(std::size_t convertible) {
    return "Convert the other " + std::to_string(convertible) +
           (convertible == 1 ? " row" : " rows") + " and leave these out?";
}

std::string IntradayMessage(const std::string& file) {
    return file + " holds times of day (intraday data), which is not supported yet.";
}

std::string FittingFormatsLine(const std::vector<int>& formats) {
    if (formats.empty()) return {};
    std::string line = "The dates look like ";
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0) line += i + 1 == formats.size() ? " or " : ", ";
        line += kDateFormatNames[static_cast<std::size_t>(formats[i] - 1)];
    }
    return line + ".";
}

}  // namespace corvat

namespace corvat {

std::string RecordText(const InputRecord& record, const InputLayout& layout) {
    static const char* const kLetters[] = {"", "O", "H", "L", "C", "V", "OI"};
    const CalendarDate date = DayNumberToDate(record.day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year + 1900, date.month, date.day);
    std::string shown = text;
    for (int field = kOpenField; field < kFieldSlots; ++field) {
        const auto slot = static_cast<std::size_t>(field);
        if (!layout.fieldOn[slot]) continue;
        shown +=
            std::string(" ") + kLetters[field] + " " + ShortestText(MbfToIeee(record.fields[slot]));
    }
    return shown;
}

}  // namespace corvat
