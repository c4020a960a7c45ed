#include "layout_values.h"

#include "date_formats.h"
#include "field_table.h"

namespace corvat {

namespace {

constexpr char kDelimiterChars[] = {',', '\t', ' ', ';'};
constexpr int kMaxColumn = static_cast<int>(kMaxColumns);

// The fields in slot order with the values that hold them; the date and the
// close have no flag.
struct FieldValues {
    int* on;
    int* column;
};

std::array<FieldValues, kFieldSlots> Fields(SettingsValues& v) {
    return {{{nullptr, &v.DateCol},
             {&v.OpenOn, &v.OpenCol},
             {&v.HiOn, &v.HiCol},
             {&v.LoOn, &v.LoCol},
             {nullptr, &v.CloCol},
             {&v.VolOn, &v.VolCol},
             {&v.OIOn, &v.OICol}}};
}

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

char DelimiterChar(int delimiter) {
    if (delimiter < 0 || delimiter >= static_cast<int>(std::size(kDelimiterChars))) return ',';
    return kDelimiterChars[delimiter];
}

int DelimiterValue(char delimiter) {
    for (std::size_t i = 0; i < std::size(kDelimiterChars); ++i) {
        if (kDelimiterChars[i] == delimiter) return static_cast<int>(i);
    }
    return -1;
}

NumberStyle NumberStyleOf(const SettingsValues& values) {
    NumberStyle style;
    if (values.Decimal == 1) style.decimal = DecimalMark::kComma;
    if (values.Thousands >= 1 && values.Thousands <= 3)
        style.thousands = static_cast<ThousandsSeparator>(values.Thousands);
    style.suffixes = values.Suffixes != 0;
    return style;
}

void PutNumberStyle(const NumberStyle& style, SettingsValues& values) {
    values.Decimal = style.decimal == DecimalMark::kComma ? 1 : 0;
    values.Thousands = static_cast<int>(style.thousands);
    values.Suffixes = style.suffixes ? 1 : 0;
}

std::optional<InputLayout> LayoutOf(const SettingsValues& values, int dateFormat) {
    SettingsValues v = values;
    InputLayout layout;
    const auto fields = Fields(v);
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        layout.fieldOn[i] = fields[i].on == nullptr || *fields[i].on != 0;
        if (!layout.fieldOn[i]) continue;
        if (*fields[i].column < 1 || *fields[i].column > kMaxColumn) return std::nullopt;
        layout.column[i] = *fields[i].column - 1;
    }
    if (dateFormat < 1 || dateFormat > static_cast<int>(kDateFormatNames.size()) ||
        DelimiterValue(DelimiterChar(v.Delimiter)) != v.Delimiter) {
        return std::nullopt;
    }
    layout.delimiter = DelimiterChar(v.Delimiter);
    layout.dateFormat = dateFormat;
    layout.skipRows = v.SkipOn ? v.SkipRows : 0;
    layout.numbers = NumberStyleOf(v);
    return layout;
}

void PutLayout(const InputLayout& layout, SettingsValues& values) {
    const auto fields = Fields(values);
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        const bool on = fields[i].on == nullptr || layout.fieldOn[i];
        if (fields[i].on != nullptr) *fields[i].on = on ? 1 : 0;
        // A field turned off shows 1, as clearing its check box leaves it.
        *fields[i].column = on && layout.column[i] >= 0 ? layout.column[i] + 1 : 1;
    }
    values.Delimiter = DelimiterValue(layout.delimiter);
    const std::string_view name = kDateFormatNames[static_cast<std::size_t>(layout.dateFormat - 1)];
    values.DateFormat = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    values.SkipOn = layout.skipRows > 0 ? 1 : 0;
    values.SkipRows = layout.skipRows;
    PutNumberStyle(layout.numbers, values);
}

QString FirstRowText(const std::vector<std::string_view>& lines, const InputLayout& layout) {
    InputLayout oneLine = layout;
    oneLine.skipRows = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max(layout.skipRows, 0)); i < lines.size();
         ++i) {
        RowReader reader(oneLine);
        reader.Add(lines[i]);
        const InputRows rows = reader.Finish();
        const QString line = QString::number(i + 1);
        if (rows.dateKindMismatch != nullptr) {
            return QStringLiteral("First row (line %1): ").arg(line) +
                   QString::fromLatin1(rows.dateKindMismatch);
        }
        if (!rows.badRows.empty()) {
            return QStringLiteral("First row (line %1) cannot be read: %2.")
                .arg(line, FromStd(rows.badRows.front().reason));
        }
        if (rows.intraday) {
            return QStringLiteral(
                       "First row (line %1) holds a time of day (intraday data), "
                       "which is not supported yet.")
                .arg(line);
        }
        if (!rows.records.empty()) {
            return QStringLiteral("First row: ") +
                   FromStd(RecordText(rows.records.front(), layout));
        }
    }
    return QStringLiteral("First row: the file holds no rows after the skipped ones.");
}

bool FitsFirstLines(const std::vector<std::string_view>& lines, const InputLayout& layout,
                    std::size_t count) {
    RowReader reader(layout);
    for (std::size_t i = 0; i < std::min(count, lines.size()); ++i) reader.Add(lines[i]);
    const InputRows rows = reader.Finish();
    return rows.badRowCount == 0 && rows.dateKindMismatch == nullptr;
}

bool SameReading(const InputLayout& a, const InputLayout& b) {
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        if (a.fieldOn[i] != b.fieldOn[i] || (a.fieldOn[i] && a.column[i] != b.column[i]))
            return false;
    }
    return a.delimiter == b.delimiter && a.dateFormat == b.dateFormat && a.skipRows == b.skipRows &&
           a.numbers == b.numbers;
}

}  // namespace corvat
