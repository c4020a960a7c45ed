#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace corvat {

// Field order of every record, description file and setting: date and
// close are always converted, the others as the user chooses.
enum FieldIndex {
    kDateField = 0,
    kOpenField,
    kHighField,
    kLowField,
    kCloseField,
    kVolumeField,
    kOpenInterestField,
    kFieldSlots
};

// Everything said about one field, wherever it is written or read.
struct FieldFacts {
    std::string_view descriptionName;  // the quoted name of its F<n>.DOP line
    std::string_view descriptionLine;  // the whole F<n>.DOP line written for it
    std::string_view title;            // its column title in what corvat-cli prints
    std::string_view messageName;      // how messages about a row name it
};

// One F<n>.DOP line per field: the name in quotes, then ",0,0" for the
// date and ",4,4" for every other field.
inline constexpr std::array<FieldFacts, kFieldSlots> kFieldTable = {{
    {"DATE", "\"DATE\",0,0\r\n", "Date", "date"},
    {"OPEN", "\"OPEN\",4,4\r\n", "Open", "open"},
    {"HIGH", "\"HIGH\",4,4\r\n", "High", "high"},
    {"LOW", "\"LOW\",4,4\r\n", "Low", "low"},
    {"CLOSE", "\"CLOSE\",4,4\r\n", "Close", "close"},
    {"VOL", "\"VOL\",4,4\r\n", "Volume", "volume"},
    {"OI", "\"OI\",4,4\r\n", "OpenInterest", "open interest"},
}};

// The column title of a field in what corvat-cli prints; "?" for a number
// that names no field.
inline constexpr std::string_view FieldTitle(int field) {
    return field >= 0 && field < kFieldSlots ? kFieldTable[static_cast<std::size_t>(field)].title
                                             : "?";
}

// Columns beyond this are ignored, as the settings can name no later one.
inline constexpr std::size_t kMaxColumns = 20;

}  // namespace corvat
