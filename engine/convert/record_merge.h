#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "input_rows.h"
#include "mbf.h"

namespace corvat {

// A security's records after the rows of a text file were added to them.
struct RecordMerge {
    std::string records;       // the data records, ascending by date, no header
    std::size_t count = 0;     // records in `records`
    std::size_t added = 0;     // dates only the text file has
    std::size_t replaced = 0;  // dates both have, whose stored bytes change
    MbfBytes firstDate{};      // of the first and last record; zero when none
    MbfBytes lastDate{};

    bool ChangesNothing() const { return added == 0 && replaced == 0; }
};

// Merges the data records a security holds (`stored`: whole records of
// 4 bytes per entry of `fields`, the security's fields in record order,
// one of them the date) with the rows of a text file (ascending, one per
// date). Stored records are taken in ascending date order and, where they
// repeat a date, the later one in the file wins; where a row and a stored
// record share a date, the row wins, since vendors revise recent bars.
// Stored bytes are copied as they stand, never decoded and encoded again.
RecordMerge MergeRecords(std::string_view stored, const std::vector<int>& fields,
                         const std::vector<InputRecord>& rows);

// The first of the security's `fields` that the text file does not give
// (`given[field]` false), or -1 when it gives them all.
int MissingField(const std::vector<int>& fields, const std::array<bool, kFieldSlots>& given);

// "IBM: 5 rows added, 1 replaced, 1255 records", or "IBM: nothing to add,
// 1250 records" when the file changed nothing.
std::string UpdateOutcome(const std::string& symbol, const RecordMerge& merge);

// A batch's line for an updated file: "FILE: symbol IBM, file number 3,
// 5 rows added, 1 replaced, 1255 records, updated".
std::string BatchUpdateOutcome(const std::string& file, const std::string& symbol, int fileNumber,
                               const RecordMerge& merge);

}  // namespace corvat
