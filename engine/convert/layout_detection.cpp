#include "layout_detection.h"

#include <algorithm>
#include <functional>
#include <map>

#include "date_formats.h"
#include "date_text.h"
#include "row_parser.h"
#include "text_util.h"

namespace corvat {
namespace {

constexpr std::size_t kSampleLines = 50;
constexpr std::array<char, 4> kDelimiters = {'\t', ';', ',', ' '};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The lines detection looks at: every line from `first` on that holds more
// than blanks, each split by the delimiter.
class Rows {
public:
    Rows(const std::vector<std::string_view>& lines, char delimiter, std::size_t first)
        : m_lines(lines), m_delimiter(delimiter), m_first(first) {}

    // Calls `visit` for each row up to `limit`; stops when it returns false.
    // The line number (from 1) of the row being visited.
    long LineNumber() const { return m_lineNumber; }

    void ForEach(const std::function<bool(const RowColumns&)>& visit,
                 std::size_t limit = SIZE_MAX) const {
        RowColumns columns;
        std::size_t seen = 0;
        for (std::size_t i = m_first; i < m_lines.size() && seen < limit; ++i) {
            columns.Split(m_lines[i], m_delimiter);
            if (columns.Count() == 0 || columns.AllBlank()) continue;
            ++seen;
            m_lineNumber = static_cast<long>(i) + 1;
            if (!visit(columns)) return;
        }
    }

private:
    const std::vector<std::string_view>& m_lines;
    char m_delimiter;
    std::size_t m_first;
    mutable long m_lineNumber = 0;
};

// A delimiter fits when most sampled lines split into the same number of
// columns, two or more. Tab and semicolon go first: a comma inside them is
// a decimal mark far more often than a delimiter.
std::optional<char> ChooseDelimiter(const std::vector<std::string_view>& lines, std::size_t first) {
    for (char delimiter : kDelimiters) {
        std::map<std::size_t, std::size_t> counts;
        std::size_t sampled = 0;
        Rows(lines, delimiter, first)
            .ForEach(
                [&](const RowColumns& row) {
                    ++counts[row.Count()];
                    ++sampled;
                    return true;
                },
                kSampleLines);
        const auto mode = std::max_element(counts.begin(), counts.end(),
                                           [](auto& a, auto& b) { return a.second < b.second; });
        if (mode != counts.end() && mode->first >= 2 && mode->second * 2 >= sampled)
            return delimiter;
    }
    return std::nullopt;
}

// Some format reads the text as a valid date.
bool ReadsAsDate(std::string_view text) {
    for (int format = 1; format <= static_cast<int>(kDateFormatNames.size()); ++format) {
        if (ReadDate(text, format).day != 0) return true;
    }
    return false;
}

// Digits with marks, an optional sign and an optional K/M/B: a number in
// some style. The style itself is decided later, over every row.
bool LooksNumeric(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    if (!text.empty() && std::string_view("kKmMbB").find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    if (text.empty() || !IsDigit(text.front()) || !IsDigit(text.back())) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return IsDigit(c) || c == ',' || c == '.' || c == ' ' || c == '\xC2' || c == '\xA0';
    });
}

bool LooksLikeHeader(const RowColumns& row) {
    bool letters = false;
    for (std::size_t i = 0; i < row.Count(); ++i) {
        if (ReadsAsDate(row[i]) || LooksNumeric(row[i])) return false;
        for (char c : row[i]) letters = letters || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    }
    return letters;
}

// Over the first sampled rows: the share of non-blank values in a column
// that pass `test` is at least a half, and there is at least one.
bool ColumnHolds(const Rows& rows, std::size_t column,
                 const std::function<bool(std::string_view)>& test) {
    std::size_t values = 0;
    std::size_t passed = 0;
    rows.ForEach(
        [&](const RowColumns& row) {
            if (column < row.Count() && !Trim(row[column]).empty()) {
                ++values;
                if (test(row[column])) ++passed;
            }
            return true;
        },
        kSampleLines);
    return passed > 0 && passed * 2 >= values;
}

// A volume or open interest column may hold no count at all: blank or "-"
// in every row, from a vendor without volumes, reads as 0.
bool HoldsCounts(const Rows& rows, std::size_t column) {
    const auto counted = [](std::string_view text) {
        return LooksNumeric(text) || IsNoCount(text);
    };
    return ColumnHolds(rows, column, counted) ||
           !ColumnHolds(rows, column, [](std::string_view text) { return !IsNoCount(text); });
}

// Latin Extended-A pairs each capital with the small letter after it. The
// capitals sit on even code points, except from U+0139 to U+0148 and from
// U+0179 to U+017E (Polish Ł, Ń, Ź and Ż among them), where they sit on odd
// ones; U+013F's small letter starts the next lead byte.
std::string FoldLatinExtended(char lead, unsigned char trail) {
    int point = ((lead & 0x1F) << 6) | (trail & 0x3F);
    const bool capitalsOdd =
        (point >= 0x139 && point <= 0x148) || (point >= 0x179 && point <= 0x17E);
    const bool paired = point <= 0x137 || (point >= 0x14A && point <= 0x177) || capitalsOdd;
    if (paired && (point % 2 == 1) == capitalsOdd) ++point;
    return {static_cast<char>(0xC0 | (point >> 6)), static_cast<char>(0x80 | (point & 0x3F))};
}

// Lower case for ASCII and for the accented capitals of the languages whose
// header names are known (UTF-8 C3 80..9E, and the pairs of C4/C5).
std::string FoldName(std::string_view name) {
    std::string folded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == ' ' || c == '\t' || c == '<' || c == '>' || c == '.' || c == '*' || c == '_' ||
            c == '"')
            continue;
        if (c >= 'A' && c <= 'Z') {
            folded += static_cast<char>(c + ('a' - 'A'));
            continue;
        }
        folded += c;
        const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0u;
        if (c == '\xC3' && next >= 0x80 && next <= 0x9E && next != 0x97) {
            folded += static_cast<char>(next + 0x20);
            ++i;
        } else if ((c == '\xC4' || c == '\xC5') && next >= 0x80 && next <= 0xBF) {
            folded.pop_back();
            folded += FoldLatinExtended(c, static_cast<unsigned char>(next));
            ++i;
        }
    }
    return folded;
}

struct KnownName {
    const char* name;
    int field;
};

constexpr KnownName kKnownNames[] = {
    {"date", kDateField},
    {"datum", kDateField},
    {"fecha", kDateField},
    {"data", kDateField},
    {"timestamp", kDateField},
    {"time", kTimeHeader},
    {"open", kOpenField},
    {"er\xC3\xB6"
     "ffnung",
     kOpenField},
    {"apertura", kOpenField},
    {"ouverture", kOpenField},
    {"otwarcie", kOpenField},
    {"high", kHighField},
    {"hoch", kHighField},
    {"m\xC3\xA1ximo", kHighField},
    {"max", kHighField},
    {"najwyzszy", kHighField},
    {"najwy\xC5\xBCszy", kHighField},
    {"low", kLowField},
    {"tief", kLowField},
    {"m\xC3\xADnimo", kLowField},
    {"min", kLowField},
    {"najnizszy", kLowField},
    {"najni\xC5\xBCszy", kLowField},
    {"close", kCloseField},
    {"price", kCloseField},
    {"last", kCloseField},
    {"schluss", kCloseField},
    {"cierre", kCloseField},
    {"zamkni\xC4\x99"
     "cie",
     kCloseField},
    {"zamkniecie", kCloseField},
    {"volume", kVolumeField},
    {"vol", kVolumeField},
    {"umsatz", kVolumeField},
    {"volumen", kVolumeField},
    {"wolumen", kVolumeField},
    {"openinterest", kOpenInterestField},
    {"openint", kOpenInterestField},
    {"oi", kOpenInterestField},
};

const char* const kFieldTitles[] = {"Date",  "Open",   "High",         "Low",
                                    "Close", "Volume", "Open interest"};

void TurnAllOff(InputLayout& layout) {
    for (int field = kOpenField; field < kFieldSlots; ++field)
        layout.fieldOn[static_cast<std::size_t>(field)] = field == kCloseField;
}

// The header decides which column holds which field; a named column whose
// values do not read as that field leaves the columns undecided.
bool MapHeader(const RowColumns& header, const Rows& rows, LayoutDetection& found) {
    InputLayout& layout = found.layout;
    std::array<int, kFieldSlots + 1> columnOf;
    columnOf.fill(-1);
    for (std::size_t i = 0; i < header.Count(); ++i) {
        const int field = HeaderField(header[i]);
        if (field >= 0 && columnOf[static_cast<std::size_t>(field)] < 0)
            columnOf[static_cast<std::size_t>(field)] = static_cast<int>(i);
    }
    for (int field : {kDateField, kCloseField}) {
        if (columnOf[static_cast<std::size_t>(field)] < 0) {
            found.notes.push_back(std::string("the header names no ") + kFieldTitles[field] +
                                  " column");
            return false;
        }
    }
    TurnAllOff(layout);
    bool sure = true;
    for (int field = kDateField; field <= kTimeHeader; ++field) {
        const int column = columnOf[static_cast<std::size_t>(field)];
        if (column < 0) continue;
        const auto at = static_cast<std::size_t>(column);
        const bool reads = field == kDateField ? ColumnHolds(rows, at, ReadsAsDate)
                           : field == kTimeHeader
                               ? ColumnHolds(rows, at,
                                             [](std::string_view t) {
                                                 TimeOfDay time;
                                                 return ReadTimeOfDay(Trim(t), time);
                                             })
                           : field >= kVolumeField ? HoldsCounts(rows, at)
                                                   : ColumnHolds(rows, at, LooksNumeric);
        if (!reads) {
            found.notes.push_back("column " + std::to_string(column + 1) + " (\"" +
                                  std::string(Trim(header[at])) + "\") does not hold " +
                                  (field == kTimeHeader  ? "times"
                                   : field == kDateField ? "dates"
                                                         : "numbers"));
            sure = false;
        }
        if (field == kTimeHeader) {
            layout.timeColumn = column;
        } else {
            layout.column[static_cast<std::size_t>(field)] = column;
            layout.fieldOn[static_cast<std::size_t>(field)] = true;
        }
    }
    return sure;
}

// Without a header: the first column of dates is the date, a column of
// times right after it the time; then four numbers or more are open, high,
// low, close, volume, open interest, and one alone is the close.
bool FindColumns(const Rows& rows, std::size_t width, LayoutDetection& found) {
    InputLayout& layout = found.layout;
    std::size_t column = 0;
    while (column < width && !ColumnHolds(rows, column, ReadsAsDate)) ++column;
    if (column == width) {
        found.notes.push_back("no column holds dates");
        return false;
    }
    const std::size_t dateColumn = column++;
    const auto isClockTime = [](std::string_view text) {
        TimeOfDay time;
        return text.find(':') != std::string_view::npos && ReadTimeOfDay(Trim(text), time);
    };
    if (column < width && ColumnHolds(rows, column, isClockTime))
        layout.timeColumn = static_cast<int>(column++);
    std::vector<int> numbers;
    for (; column < width; ++column) {
        if (ColumnHolds(rows, column, LooksNumeric)) numbers.push_back(static_cast<int>(column));
    }
    if (numbers.size() == 2 || numbers.size() == 3 || numbers.empty()) {
        found.notes.push_back(std::to_string(numbers.size()) +
                              " columns of numbers follow the date and no header names them");
        return false;
    }
    TurnAllOff(layout);
    layout.column[kDateField] = static_cast<int>(dateColumn);
    if (numbers.size() == 1) {
        layout.column[kCloseField] = numbers[0];
        return true;
    }
    for (std::size_t i = 0; i < numbers.size() && i < kFieldSlots - 1; ++i) {
        layout.column[i + 1] = numbers[i];
        layout.fieldOn[i + 1] = true;
    }
    return true;
}

// Over every row: the formats that read each date (rows whose date holds
// no digit passed over). Exactly one decides. When none reads them all,
// those that miss fewest, and at most a few (an impossible 2024-02-30 among
// good dates), are the candidates: the bad-rows question judges the rest.
void DecideDateFormat(const Rows& rows, LayoutDetection& found) {
    constexpr int kMissesAllowed = 5;
    const auto column = static_cast<std::size_t>(found.layout.column[kDateField]);
    std::array<int, 12> misses{};
    bool any = false;
    rows.ForEach([&](const RowColumns& row) {
        if (column >= row.Count() || !HasDigit(row[column])) return true;
        any = true;
        for (std::size_t i = 0; i < misses.size(); ++i) {
            if (misses[i] <= kMissesAllowed &&
                ReadDate(row[column], static_cast<int>(i) + 1).day == 0)
                ++misses[i];
        }
        return true;
    });
    const int fewest = *std::min_element(misses.begin(), misses.end());
    std::vector<int> nearest;
    for (std::size_t i = 0; any && fewest <= kMissesAllowed && i < misses.size(); ++i) {
        if (misses[i] == fewest) nearest.push_back(static_cast<int>(i) + 1);
    }
    if (fewest == 0 && nearest.size() == 1) {
        found.layout.dateFormat = nearest[0];
        found.decided[static_cast<std::size_t>(LayoutPart::kDateFormat)] = true;
        return;
    }
    found.dateFormatCandidates = nearest;
    found.notes.push_back(fewest > 0 || nearest.empty()
                              ? "no date format reads every date"
                              : "more than one date format reads every date");
}

// What the numbers of the price columns show about their style.
struct NumberEvidence {
    bool pointDecimal = false;
    bool commaDecimal = false;
    bool commaThousands = false;
    bool dotThousands = false;
    bool spaceThousands = false;
    bool commaAmbiguous = false;  // "4,745": a group, or three decimals
    bool dotAmbiguous = false;    // "4.745"
    bool suffixes = false;

    void Add(std::string_view text, bool suffixAllowed) {
        // The common case first, a plain number ("1250", "12.25"): what the
        // general path below concludes of it, without its passes.
        std::size_t point = std::string_view::npos;
        bool plain = !text.empty() && IsDigit(text.front()) && IsDigit(text.back());
        for (std::size_t i = 0; plain && i < text.size(); ++i) {
            if (IsDigit(text[i])) continue;
            plain = text[i] == '.' && point == std::string_view::npos;
            point = i;
        }
        if (plain) {
            if (point != std::string_view::npos)
                Classify(text, point, 1, pointDecimal, dotThousands, dotAmbiguous);
            return;
        }
        text = Trim(text);
        if (!LooksNumeric(text)) return;
        if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
        if (!IsDigit(text.back())) {
            suffixes = suffixes || suffixAllowed;
            text.remove_suffix(1);
        }
        const std::size_t comma = text.rfind(',');
        const std::size_t dot = text.rfind('.');
        const auto count = [&](char c) { return std::count(text.begin(), text.end(), c); };
        spaceThousands = spaceThousands || text.find_first_of(" \xA0") != std::string_view::npos;
        if (comma != std::string_view::npos && dot != std::string_view::npos) {
            (comma > dot ? commaDecimal : pointDecimal) = true;
            (comma > dot ? dotThousands : commaThousands) = true;
        } else if (comma != std::string_view::npos) {
            Classify(text, comma, count(','), commaDecimal, commaThousands, commaAmbiguous);
        } else if (dot != std::string_view::npos) {
            Classify(text, dot, count('.'), pointDecimal, dotThousands, dotAmbiguous);
        }
    }

    static void Classify(std::string_view text, std::size_t mark, long marks, bool& decimal,
                         bool& thousands, bool& ambiguous) {
        const bool group = text.size() - mark - 1 == 3 && mark >= 1 && mark <= 3;
        if (marks > 1) {
            thousands = true;
        } else if (group) {
            ambiguous = true;
        } else {
            decimal = true;
        }
    }
};

void DecideNumberStyle(const Rows& rows, LayoutDetection& found) {
    const InputLayout& layout = found.layout;
    NumberEvidence seen;
    rows.ForEach([&](const RowColumns& row) {
        for (int field = kOpenField; field < kFieldSlots; ++field) {
            const auto slot = static_cast<std::size_t>(field);
            const auto column = static_cast<std::size_t>(layout.column[slot]);
            if (layout.fieldOn[slot] && column < row.Count())
                seen.Add(row[column], field >= kVolumeField);
        }
        return true;
    });
    NumberStyle style;
    style.suffixes = seen.suffixes;
    const bool comma = seen.commaDecimal || seen.dotThousands;
    const bool point = seen.pointDecimal || seen.commaThousands;
    auto& decided = found.decided[static_cast<std::size_t>(LayoutPart::kNumberStyle)];
    if (comma == point && (comma || seen.commaAmbiguous || seen.dotAmbiguous)) {
        // Both marks proven, or nothing but groups of three that either
        // reading fits.
        NumberStyle pointStyle = style;
        NumberStyle commaStyle = style;
        commaStyle.decimal = DecimalMark::kComma;
        if (seen.commaAmbiguous) pointStyle.thousands = ThousandsSeparator::kComma;
        if (seen.dotAmbiguous) commaStyle.thousands = ThousandsSeparator::kDot;
        found.numberStyleCandidates = {pointStyle, commaStyle};
        found.layout.numbers = style;
        found.notes.push_back("the numbers read with a decimal point and with a decimal comma");
        return;
    }
    style.decimal = comma ? DecimalMark::kComma : DecimalMark::kPoint;
    if (comma && (seen.dotThousands || seen.dotAmbiguous)) {
        style.thousands = ThousandsSeparator::kDot;
    } else if (!comma && (seen.commaThousands || seen.commaAmbiguous)) {
        style.thousands = ThousandsSeparator::kComma;
    } else if (seen.spaceThousands) {
        style.thousands = ThousandsSeparator::kSpace;
    }
    found.layout.numbers = style;
    decided = true;
}

// A time column or a time after the date that is not midnight: the file
// holds intraday data.
void FindIntraday(const Rows& rows, LayoutDetection& found) {
    const InputLayout& layout = found.layout;
    const auto dateColumn = static_cast<std::size_t>(layout.column[kDateField]);
    rows.ForEach([&](const RowColumns& columns) {
        bool timeOfDay = dateColumn < columns.Count() &&
                         ReadDate(columns[dateColumn], layout.dateFormat).timeOfDay;
        TimeOfDay time;
        if (layout.timeColumn >= 0 &&
            static_cast<std::size_t>(layout.timeColumn) < columns.Count() &&
            ReadTimeOfDay(Trim(columns[static_cast<std::size_t>(layout.timeColumn)]), time))
            timeOfDay = timeOfDay || !time.midnight;
        if (!timeOfDay) return true;
        found.intraday = true;
        found.intradayLine = rows.LineNumber();
        return false;
    });
}

}  // namespace

bool LayoutDetection::AllDecided() const {
    return std::all_of(decided.begin(), decided.end(), [](bool d) { return d; });
}

}  // namespace corvat

namespace corvat {

int HeaderField(std::string_view name) {
    const std::string folded = FoldName(name);
    for (const KnownName& known : kKnownNames) {
        if (folded == known.name) return known.field;
    }
    return -1;
}

namespace {

bool NamesDateAndClose(const RowColumns& header) {
    bool date = false;
    bool close = false;
    for (std::size_t i = 0; i < header.Count(); ++i) {
        date = date || HeaderField(header[i]) == kDateField;
        close = close || HeaderField(header[i]) == kCloseField;
    }
    return date && close;
}

}  // namespace

LayoutDetection DetectLayout(const std::vector<std::string_view>& lines,
                             const DetectionHints& hints) {
    LayoutDetection found;
    const auto mark = [&](LayoutPart part) {
        found.decided[static_cast<std::size_t>(part)] = true;
    };
    const std::size_t skipped = static_cast<std::size_t>(std::max(hints.skipRows.value_or(0), 0));
    if (auto delimiter = hints.delimiter ? hints.delimiter : ChooseDelimiter(lines, skipped)) {
        found.layout.delimiter = *delimiter;
        mark(LayoutPart::kDelimiter);
    } else {
        found.delimiterCandidates.assign(kDelimiters.begin(), kDelimiters.end());
        found.notes.push_back("no delimiter splits the lines alike");
    }
    const char delimiter = found.layout.delimiter;

    // The header is the first non-empty line, or, when the user skips
    // lines, the last non-empty one of those.
    std::optional<std::size_t> headerLine;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty()) continue;
        if (hints.skipRows && i >= skipped) break;
        headerLine = i;
        if (!hints.skipRows) break;
    }
    RowColumns header;
    if (headerLine) {
        header.Split(lines[*headerLine], delimiter);
        found.header = LooksLikeHeader(header);
    }
    // A first line of words that names no date and close column is not
    // known to be a header: whether to skip it stays undecided.
    const bool named = found.header && NamesDateAndClose(header);
    if (found.header && !named && !hints.skipRows) {
        found.header = false;
        found.notes.push_back("the first line is no data row and names no Date and Close column");
    } else {
        mark(LayoutPart::kSkip);
    }
    found.layout.skipRows = hints.skipRows ? *hints.skipRows
                            : named        ? static_cast<int>(*headerLine) + 1
                                           : 0;
    const Rows rows(lines, delimiter, static_cast<std::size_t>(found.layout.skipRows));

    std::size_t width = 0;
    rows.ForEach(
        [&](const RowColumns& row) {
            width = std::max(width, row.Count());
            return true;
        },
        kSampleLines);
    const bool columns =
        found.header ? MapHeader(header, rows, found) : FindColumns(rows, width, found);
    if (!columns) {
        found.layout.fieldOn = InputLayout{}.fieldOn;
        found.layout.column = InputLayout{}.column;
        found.layout.timeColumn = -1;
    }
    found.decided[static_cast<std::size_t>(LayoutPart::kColumns)] = columns;
    DecideDateFormat(rows, found);
    DecideNumberStyle(rows, found);
    FindIntraday(rows, found);
    return found;
}

}  // namespace corvat
