#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mbf.h"

namespace corvat {

// One converted row, held until the whole file has been read: its day
// number and the record's seven values in field order (the date value
// first), MBF-encoded; disabled fields hold zeros.
struct InputRecord {
    std::uint16_t day = 0;
    std::array<MbfBytes, 7> values{};
};

// A row that cannot be converted, as the user is told about it.
struct BadRow {
    long line = 0;
    std::string reason;
    std::string text;  // the row as quoted: short and printable
};

// A whole text file read and checked, before anything is written.
struct ConversionInput {
    std::vector<InputRecord> records;  // ascending by day, no day twice
    std::vector<BadRow> badRows;       // the first few, in line order
    long badRowCount = 0;              // all of them
    bool intraday = false;             // some row holds a time of day
    std::string firstDateText;         // the first row's date field that is not blank
    std::vector<int> fittingFormats;   // date formats that read every row's date
};

}  // namespace corvat
