#include "tabular_output.h"

#include <algorithm>
#include <cstdio>

namespace corvat {
namespace {

// Length of the UTF-8 sequence starting at `i`, or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (lead >= 0xF5 || length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    }
    // No overlong forms, surrogates or code points above U+10FFFF.
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

std::string CellText(const OutputCell& cell, OutputFormat format) {
    if (cell.null) return format == OutputFormat::Json ? "null" : "";
    if (format == OutputFormat::Json) return cell.number ? cell.text : JsonString(cell.text);
    if (format == OutputFormat::Csv) return CsvField(cell.text);
    return cell.text;
}

void WriteTable(std::ostream& out, const std::vector<std::string>& columns,
                const std::vector<OutputRow>& rows) {
    std::vector<std::size_t> widths(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) widths[c] = columns[c].size();
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], row[c].text.size());
        }
    }
    auto writeLine = [&](auto cellAt, auto isNumber) {
        std::string line;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string text = cellAt(c);
            const std::string pad(widths[c] - text.size(), ' ');
            if (c > 0) line += "  ";
            line += isNumber(c) ? pad + text : text + pad;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    };
    writeLine([&](std::size_t c) { return columns[c]; }, [](std::size_t) { return false; });
    for (const auto& row : rows) {
        writeLine([&](std::size_t c) { return c < row.size() ? row[c].text : std::string(); },
                  [&](std::size_t c) { return c < row.size() && row[c].number; });
    }
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else if (c >= 0x80) {
            if (const std::size_t length = Utf8SequenceLength(text, i); length > 0) {
                json.append(text.substr(i, length));
                i += length;
                continue;
            }
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += static_cast<char>(c);
        }
        ++i;
    }
    return json + '"';
}

void WriteRows(std::ostream& out, OutputFormat format, const std::vector<std::string>& columns,
               const std::vector<OutputRow>& rows) {
    if (format == OutputFormat::Table) {
        WriteTable(out, columns, rows);
        return;
    }
    if (format == OutputFormat::Csv) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            out << (c ? "," : "") << CsvField(columns[c]);
        out << '\n';
        for (const auto& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c)
                out << (c ? "," : "") << CellText(row[c], format);
            out << '\n';
        }
        return;
    }
    if (rows.empty()) {
        out << "[]\n";
        return;
    }
    out << "[\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out << "  {";
        for (std::size_t c = 0; c < rows[r].size() && c < columns.size(); ++c) {
            out << (c ? ", " : "") << JsonString(columns[c]) << ": "
                << CellText(rows[r][c], format);
        }
        out << (r + 1 < rows.size() ? "},\n" : "}\n");
    }
    out << "]\n";
}

}  // namespace corvat
