#include "layout_options.h"

#include <algorithm>
#include <utility>

#include "convert_command.h"
#include "date_formats.h"
#include "file_ops.h"

namespace corvat {
namespace {

constexpr int kMaxColumn = static_cast<int>(kMaxColumns);

const char* const kDelimiterNames[] = {"comma", "tab", "space", "semicolon"};
constexpr char kDelimiterChars[] = {',', '\t', ' ', ';'};

std::string DelimiterName(char delimiter) {
    for (std::size_t i = 0; i < std::size(kDelimiterChars); ++i) {
        if (kDelimiterChars[i] == delimiter) return kDelimiterNames[i];
    }
    return "comma";
}

std::string NumberStyleOptions(const NumberStyle& style) {
    static const char* const kThousands[] = {"none", "comma", "dot", "space"};
    std::string options;
    if (style.decimal == DecimalMark::kComma) options += " --decimal comma";
    if (style.thousands != ThousandsSeparator::kNone)
        options += std::string(" --thousands ") + kThousands[static_cast<int>(style.thousands)];
    if (style.suffixes) options += " --suffixes";
    return options;
}

// One undecided part: what it is, why, and the flags that settle it.
std::string UndecidedText(LayoutPart part, const LayoutDetection& found) {
    std::string text;
    switch (part) {
        case LayoutPart::kDelimiter:
            text = "The delimiter is not sure: use --delimiter comma, tab, semicolon or space.";
            break;
        case LayoutPart::kSkip:
            text = "The rows to skip are not sure: use --skip N.";
            break;
        case LayoutPart::kColumns:
            text =
                "The columns are not sure: give them with --date-col, --open-col, --high-col, "
                "--low-col, --close-col, --volume-col, --oi-col (or --no-open, --no-high, "
                "--no-low, --no-volume, --no-oi), one for each field.";
            break;
        case LayoutPart::kDateFormat:
            if (found.dateFormatCandidates.empty()) {
                text = "No date format reads every date: use --date-format with one of " +
                       std::string("the twelve (see convert --help).");
            } else {
                text = "The date format is not sure:";
                for (int format : found.dateFormatCandidates) {
                    if (format != found.dateFormatCandidates.front()) text += " or";
                    const auto name =
                        std::string(kDateFormatNames[static_cast<std::size_t>(format - 1)]);
                    text += " " + name + " (--date-format " + name + ")";
                }
                text += ".";
            }
            break;
        case LayoutPart::kNumberStyle:
            text = "The number style is not sure:";
            for (const NumberStyle& style : found.numberStyleCandidates) {
                if (&style != &found.numberStyleCandidates.front()) text += " or";
                std::string options = NumberStyleOptions(style);
                if (style.decimal == DecimalMark::kPoint) options = " --decimal point" + options;
                text += " " + options.substr(1);
            }
            text += ".";
            break;
    }
    return text;
}

constexpr LayoutPart kParts[] = {LayoutPart::kDelimiter, LayoutPart::kSkip, LayoutPart::kColumns,
                                 LayoutPart::kDateFormat, LayoutPart::kNumberStyle};

}  // namespace

std::string DateFormatList() {
    // One day, 22 January 2026, as each format writes it; the separated
    // formats take any one non-digit between the parts.
    static constexpr std::array<std::string_view, 12> kExamples = {
        "26/01/22", "2026-01-22", "01/22/26", "01/22/2026", "22/01/26", "22.01.2026",
        "260122",   "20260122",   "012226",   "01222026",   "220126",   "22012026"};
    std::string list;
    for (std::size_t i = 0; i < kExamples.size(); ++i) {
        std::string name(kDateFormatNames[i]);
        name.resize(12, ' ');
        list += (i + 1 < 10 ? "   " : "  ") + std::to_string(i + 1) + " " + name +
                std::string(kExamples[i]) + "\n";
    }
    return list;
}

bool HasDuplicateColumns(const InputLayout& layout) {
    std::array<bool, kMaxColumns> taken{};
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        if (!layout.fieldOn[i]) continue;
        const auto column = static_cast<std::size_t>(layout.column[i]);
        if (column < taken.size() && std::exchange(taken[column], true)) return true;
    }
    return false;
}

char DelimiterChar(const std::string& name) {
    for (std::size_t i = 0; i < std::size(kDelimiterChars); ++i) {
        if (name == kDelimiterNames[i]) return kDelimiterChars[i];
    }
    return ',';
}

void LayoutOptions::Register(CLI::App* sub) {
    sub->add_option("--delimiter", m_delimiter, "column delimiter (default: detected, else comma)")
        ->check(CLI::IsMember({"comma", "tab", "space", "semicolon"}));
    sub->add_option("--date-format", m_dateFormat,
                    "date format name (e.g. MMDDYY) or 1-12 (default: detected, else MMDDYY)");
    sub->add_option("--skip", m_skip, "leading rows to skip (default: a header row)")
        ->check(CLI::NonNegativeNumber);
    sub->add_option("--decimal", m_decimal, "decimal mark (default: detected, else point)")
        ->check(CLI::IsMember({"point", "comma"}));
    sub->add_option("--thousands", m_thousands,
                    "thousands separator (default: detected, else none)")
        ->check(CLI::IsMember({"none", "comma", "dot", "space"}));
    sub->add_flag("--suffixes", m_suffixes, "volume and open interest may end in K, M or B");
    for (Column& column : m_columns) {
        auto* option = sub->add_option(column.flag, column.column, "column of the field, 1 to 20")
                           ->check(CLI::Range(1, kMaxColumn));
        if (column.offFlag != nullptr)
            option->excludes(sub->add_flag(column.offFlag, column.off, "leave the field out"));
    }
}

void LayoutOptions::Validate() {
    if (!m_dateFormat.empty()) {
        m_dateFormatNumber = DateFormatNumber(m_dateFormat);
        if (m_dateFormatNumber == 0) {
            throw UsageError("--date-format: \"" + m_dateFormat +
                             "\" is neither a date format name nor a number from 1 to 12.\n" +
                             "The date formats are:\n" +
                             DateFormatList().substr(0, DateFormatList().size() - 1));
        }
    }
    if (!m_decimal.empty() && !m_thousands.empty() &&
        ((m_decimal == "point") ? m_thousands == "dot" : m_thousands == "comma")) {
        throw UsageError("--thousands cannot be the decimal mark.");
    }
    // Checked over the default columns, as the options always were; the
    // detected layout is checked again once it is known.
    InputLayout given;
    Apply(given);
    if (HasDuplicateColumns(given))
        throw UsageError("Duplicate columns specified\nCorrect or disable");
}

bool LayoutOptions::Settles(LayoutPart part) const {
    switch (part) {
        case LayoutPart::kDelimiter:
            return !m_delimiter.empty();
        case LayoutPart::kSkip:
            return m_skip.has_value();
        case LayoutPart::kColumns:
            // Only a whole mapping: a column given beside undecided ones
            // leaves the others as unsure as they were.
            return std::all_of(m_columns.begin(), m_columns.end(), [](const Column& column) {
                return column.column != 0 || column.off;
            });
        case LayoutPart::kDateFormat:
            return m_dateFormatNumber != 0;
        case LayoutPart::kNumberStyle:
            return !m_decimal.empty() || !m_thousands.empty();
    }
    return false;
}

void LayoutOptions::Apply(InputLayout& layout) const {
    if (!m_delimiter.empty()) layout.delimiter = DelimiterChar(m_delimiter);
    if (m_skip) layout.skipRows = *m_skip;
    if (m_dateFormatNumber != 0) layout.dateFormat = m_dateFormatNumber;
    if (!m_decimal.empty())
        layout.numbers.decimal = m_decimal == "comma" ? DecimalMark::kComma : DecimalMark::kPoint;
    if (!m_thousands.empty()) {
        layout.numbers.thousands = m_thousands == "comma"   ? ThousandsSeparator::kComma
                                   : m_thousands == "dot"   ? ThousandsSeparator::kDot
                                   : m_thousands == "space" ? ThousandsSeparator::kSpace
                                                            : ThousandsSeparator::kNone;
    }
    if (m_suffixes) layout.numbers.suffixes = true;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].off) layout.fieldOn[i] = false;
        if (m_columns[i].column == 0) continue;
        layout.fieldOn[i] = true;
        layout.column[i] = m_columns[i].column - 1;
    }
}

}  // namespace corvat

namespace corvat {

LayoutOptions::Resolved LayoutOptions::Resolve(const std::string& input) const {
    Resolved resolved;
    std::string text;
    if (!ReadWholeFile(RealFileSystem(), input, text).empty()) {
        // The conversion itself reports what keeps the file from being read.
        Apply(resolved.layout);
        return resolved;
    }
    resolved.readable = true;
    const std::vector<std::string_view> lines = SplitLines(text);
    DetectionHints hints;
    if (!m_delimiter.empty()) hints.delimiter = DelimiterChar(m_delimiter);
    hints.skipRows = m_skip;
    resolved.detection = DetectLayout(lines, hints);
    // An undecided part holds its old default already; the default stands
    // when it reads every row, so what converted before converts the same.
    resolved.layout = resolved.detection.layout;
    Apply(resolved.layout);
    RowReader reader(resolved.layout);
    for (std::string_view line : lines) reader.Add(line);
    resolved.rows = reader.Finish();
    std::string undecided;
    for (LayoutPart part : kParts) {
        if (!resolved.detection.Decided(part) && !Settles(part))
            undecided += "\n" + UndecidedText(part, resolved.detection);
    }
    if (!undecided.empty() && resolved.rows.badRowCount > 0) {
        // What detection saw tells the user which column or line to look at.
        std::string seen;
        for (const std::string& note : resolved.detection.notes)
            seen += (seen.empty() ? ": " : "; ") + note;
        resolved.problem = "Cannot tell how " + input + " is laid out" + seen + "." + undecided;
    } else if (HasDuplicateColumns(resolved.layout)) {
        resolved.problem = "Duplicate columns specified\nCorrect or disable";
    } else if (resolved.rows.intraday) {
        resolved.problem = IntradayMessage(input);
    }
    return resolved;
}

std::string LayoutAsOptions(const InputLayout& layout) {
    static const InputLayout kDefaults;
    static const char* const kNames[] = {"date", "open", "high", "low", "close", "volume", "oi"};
    std::string options;
    if (layout.delimiter != kDefaults.delimiter)
        options += " --delimiter " + DelimiterName(layout.delimiter);
    if (layout.dateFormat != kDefaults.dateFormat) {
        options += " --date-format " +
                   std::string(kDateFormatNames[static_cast<std::size_t>(layout.dateFormat - 1)]);
    }
    if (layout.skipRows != kDefaults.skipRows)
        options += " --skip " + std::to_string(layout.skipRows);
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        if (!layout.fieldOn[i]) {
            options += std::string(" --no-") + kNames[i];
        } else if (layout.column[i] != kDefaults.column[i]) {
            options +=
                std::string(" --") + kNames[i] + "-col " + std::to_string(layout.column[i] + 1);
        }
    }
    options += NumberStyleOptions(layout.numbers);
    return options.empty() ? options : options.substr(1);
}

}  // namespace corvat
