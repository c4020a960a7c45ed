#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "field_table.h"
#include "file_system.h"

namespace corvat {

// Reads a text file line by line through the file seam. Lines are whole
// whatever their length; the line end (LF, or CR LF) is dropped, and a
// UTF-8 byte-order mark at the very start is skipped.
class LineReader {
public:
    explicit LineReader(File& file) : m_file(file) {}

    // False at the end of the file or on a read error (see Error()).
    // `line` points into the reader and stays valid until the next read.
    bool ReadLine(std::string_view& line);
    const std::error_code& Error() const { return m_error; }

private:
    bool Fill();

    File& m_file;
    std::vector<char> m_buffer = std::vector<char>(64 * 1024);
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
    bool m_atStart = true;
    std::error_code m_error;
    std::string m_carry;  // a line that spans buffer refills
};

// The columns of one row, without copying: each is a
// view into the row itself or, for a quoted field whose quotes had to be
// taken out, into this object. Valid until the next Split and only while
// the row's text lives.
class RowColumns {
public:
    void Split(std::string_view line, char delimiter);
    std::size_t Count() const { return m_count; }
    std::string_view operator[](std::size_t index) const { return m_columns[index]; }
    // True when every column is empty or spaces and tabs.
    bool AllBlank() const;

private:
    void SplitSpaces(std::string_view line);
    std::size_t SplitQuoted(std::string_view line, std::size_t pos, char delimiter);

    std::array<std::string_view, kMaxColumns> m_columns{};
    std::array<std::string, kMaxColumns> m_unquoted{};
    std::size_t m_count = 0;
};

// A price: the whole field, blanks around it aside, a decimal number that
// fits the record format. Magnitudes below the smallest normal single are 0.
[[nodiscard]] std::optional<float> ParsePrice(std::string_view text);

}  // namespace corvat
