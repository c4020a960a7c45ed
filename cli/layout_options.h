#pragma once

#include <array>
#include <optional>
#include <string>

#include "command.h"
#include "input_rows.h"
#include "layout_detection.h"

namespace corvat {

// The input-layout options of convert and detect. Detection always runs;
// each option given replaces its part of what it found.
class LayoutOptions {
public:
    void Register(CLI::App* sub);
    // Usage errors (exit 2): an unknown date format, two given columns alike.
    void Validate();

    // The layout for the file: detected, the options laid over it, and for
    // a part detection could not decide the old default when that reads
    // every row. `problem` says what stays undecided and how to settle it.
    struct Resolved {
        InputLayout layout;
        LayoutDetection detection;
        bool readable = false;  // the file could be read for detection
        InputRows rows;         // the file as the layout reads it
        std::string problem;    // empty when the layout is settled
    };
    Resolved Resolve(const std::string& input) const;

private:
    struct Column {
        const char* flag;
        const char* offFlag;
        int column = 0;  // 1-based; 0 when not given
        bool off = false;
    };
    void Apply(InputLayout& layout) const;
    bool Settles(LayoutPart part) const;

    std::string m_delimiter;
    std::string m_dateFormat;
    int m_dateFormatNumber = 0;
    std::optional<int> m_skip;
    std::string m_decimal;
    std::string m_thousands;
    bool m_suffixes = false;
    std::array<Column, 7> m_columns = {{{"--date-col", nullptr},
                                        {"--open-col", "--no-open"},
                                        {"--high-col", "--no-high"},
                                        {"--low-col", "--no-low"},
                                        {"--close-col", nullptr},
                                        {"--volume-col", "--no-volume"},
                                        {"--oi-col", "--no-oi"}}};
};

// The layout as the convert options that differ from the defaults.
std::string LayoutAsOptions(const InputLayout& layout);

// Two fields that are on share a column.
bool HasDuplicateColumns(const InputLayout& layout);

// The twelve date formats, one a line: number, name and an example date.
std::string DateFormatList();

// The delimiter character of a --delimiter name.
char DelimiterChar(const std::string& name);

}  // namespace corvat
