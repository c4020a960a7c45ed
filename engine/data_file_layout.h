#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvat {

// F<n>.DAT is a run of records of 4 bytes per enabled field. Its first
// record is a header of (0, 1) word pairs, one pair per field; the second
// word holds the number of records including the header.
inline constexpr std::size_t kRecordCountOffset = 2;
inline constexpr int kMaxDataRecords = 65534;  // the count word is 16 bits

// One F<n>.DOP line per field: the name in quotes, then ",0,0" for the
// date and ",4,4" for every other field.
inline constexpr std::array<const char*, 7> kFieldDescriptions = {
    "\"DATE\",0,0\r\n", "\"OPEN\",4,4\r\n", "\"HIGH\",4,4\r\n", "\"LOW\",4,4\r\n",
    "\"CLOSE\",4,4\r\n", "\"VOL\",4,4\r\n",  "\"OI\",4,4\r\n",
};

}  // namespace corvat
