#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvat {

enum class OutputFormat { Table, Csv, Json };

// One value of a row: text, a number (unquoted in JSON), or nothing.
struct OutputCell {
    std::string text;
    bool number = false;
    bool null = false;

    static OutputCell Text(std::string text) { return {std::move(text), false, false}; }
    static OutputCell Number(std::string text) { return {std::move(text), true, false}; }
    static OutputCell Null() { return {{}, false, true}; }
};

using OutputRow = std::vector<OutputCell>;

// Writes rows under `columns`: an aligned table, RFC 4180 CSV with a header
// line, or a JSON array of objects keyed by the column names.
void WriteRows(std::ostream& out, OutputFormat format, const std::vector<std::string>& columns,
               const std::vector<OutputRow>& rows);

// Field text quoted when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);
// A JSON string literal. Names in old masters may hold any bytes; those
// that are not valid UTF-8 are written as the Latin-1 characters they most
// likely were, so the output is always valid JSON.
std::string JsonString(std::string_view text);

}  // namespace corvat
