#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "field_table.h"
#include "file_system.h"
#include "mbf.h"
#include "number_style.h"
#include "row_parser.h"

namespace corvat {

// Where the values of a text file stand and how they are written.
struct InputLayout {
    // Date and close are always read; the others as their flag says.
    std::array<bool, kFieldSlots> fieldOn = {true, true, true, true, true, true, true};
    std::array<int, kFieldSlots> column = {0, 1, 2, 3, 4, 5, 6};  // zero-based
    int timeColumn = -1;  // a column of times of day, zero-based; -1 for none
    char delimiter = ',';
    int dateFormat = 9;  // 1..12, as kDateFormatNames
    int skipRows = 0;    // leading lines never looked at
    NumberStyle numbers;

    bool operator==(const InputLayout&) const = default;
};

// One convertible row: its fields as a data record holds them.
struct InputRecord {
    std::array<MbfBytes, kFieldSlots> fields{};  // date value, then prices; off fields zero
    std::uint16_t day = 0;
    std::int32_t line = 0;
};

// A row that cannot be converted.
struct BadRow {
    long line = 0;
    std::string reason;  // "the close \"n/a\" is not a number"
    std::string text;    // the row, at most 40 printable bytes
};

inline constexpr std::size_t kBadRowsListed = 5;

// The whole of a text file as the layout reads it.
struct InputRows {
    std::vector<InputRecord> records;  // ascending by date, one per date
    std::vector<BadRow> badRows;       // the first kBadRowsListed, in line order
    std::size_t badRowCount = 0;       // all of them
    bool intraday = false;             // some row holds a time other than midnight
    long intradayLine = 0;
    // Set when the first row with a date text does not match the kind of
    // date format chosen (numeric-only or character-separated).
    const char* dateKindMismatch = nullptr;
    // The formats (1..12) that read every row's date as a valid date; rows
    // whose date holds no digit are passed over. Empty when none does.
    std::vector<int> fittingFormats;
    std::string failure;  // the message when the file could not be read
};

// Reads rows one line at a time by the layout, the rules the conversion
// has always had: skipped lines are never looked at, blank rows and rows
// of delimiters only are passed over, a missing mapped column, an invalid
// date or a price that is no number makes a bad row, and so does a date
// seen before (the first is kept).
class RowReader {
public:
    explicit RowReader(const InputLayout& layout);
    void Add(std::string_view line);
    InputRows Finish();

private:
    void AddBadRow(std::string reason, std::string_view line);
    void TrackFittingFormats(std::string_view dateText);
    bool ReadTime(std::string_view line);
    bool ReadPrices(InputRecord& record, std::string_view line);

    InputLayout m_layout;
    InputRows m_rows;
    RowColumns m_columns;
    long m_lineNumber = 0;
    bool m_kindChecked = false;
    bool m_anyDateDigits = false;
    std::array<bool, 12> m_fits{};
    std::vector<std::int32_t> m_lineOfDay;
};

// Reads the whole file through the seam. A file that cannot be opened or
// read leaves `failure` set and nothing else.
InputRows ReadInputRows(FileSystem& fs, const std::filesystem::path& path,
                        const InputLayout& layout);

// The lines of a text held in memory, by the same rules as LineReader: a
// leading byte-order mark skipped, LF or CR LF ends, a last line without end.
std::vector<std::string_view> SplitLines(std::string_view text);

// A field or row as messages quote it: at most 40 bytes, control bytes
// shown as '?', "..." when cut.
std::string Excerpt(std::string_view text);

// The first-row check of a date text against the kind of format chosen;
// the message when it does not fit, else null.
const char* DateKindMismatch(std::string_view dateText, int format);

// "3 rows cannot be converted:", then up to five rows, each with its line
// number, reason and text, then how many more there are.
std::string BadRowsMessage(const InputRows& rows);
// "Convert the other N rows and leave these out?"
std::string LeaveOutQuestion(std::size_t convertible);
// "FILE holds times of day (intraday data), which is not supported yet."
std::string IntradayMessage(const std::string& file);
// "The dates look like MM_DD_CCYY." naming each format; empty for none.
std::string FittingFormatsLine(const std::vector<int>& formats);

}  // namespace corvat

namespace corvat {

// A record as a person reads it: "2024-01-02 O 187.15 H 188.44 L 183.89
// C 185.64 V 82488700", the fields the layout has on.
std::string RecordText(const InputRecord& record, const InputLayout& layout);

}  // namespace corvat
