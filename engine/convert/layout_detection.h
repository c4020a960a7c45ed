#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input_rows.h"
#include "number_style.h"

namespace corvat {

// The parts of a layout that detection decides, each with an old default
// (comma, no skip, columns 1 to 7, MMDDYY, point).
enum class LayoutPart { kDelimiter, kSkip, kColumns, kDateFormat, kNumberStyle };
inline constexpr std::size_t kLayoutParts = 5;

// What detection found in a file and what it could not decide.
struct LayoutDetection {
    InputLayout layout;   // an undecided part holds the old default
    bool header = false;  // a header row named the columns (and is skipped)
    std::array<bool, kLayoutParts> decided{};
    // Candidates of an undecided part, when there are any.
    std::vector<char> delimiterCandidates;
    std::vector<int> dateFormatCandidates;
    std::vector<NumberStyle> numberStyleCandidates;
    // Why each undecided part is undecided, in words ("no column holds dates").
    std::vector<std::string> notes;
    bool intraday = false;  // some row holds a time of day other than midnight
    long intradayLine = 0;

    bool Decided(LayoutPart part) const { return decided[static_cast<std::size_t>(part)]; }
    bool AllDecided() const;
};

// Parts the user has settled already, so the rest is detected around them.
struct DetectionHints {
    std::optional<char> delimiter;
    std::optional<int> skipRows;
};

// Detects the layout from a file's lines (as SplitLines gives them): the
// delimiter and the header from the first 50 non-empty lines, the date
// format and the number style from every row.
LayoutDetection DetectLayout(const std::vector<std::string_view>& lines,
                             const DetectionHints& hints = {});

// The field a header name stands for (kFieldSlots for the time column),
// or -1: letter case, blanks and the punctuation < > . * _ are ignored, and
// "Adj Close" is not the close.
int HeaderField(std::string_view name);
inline constexpr int kTimeHeader = kFieldSlots;

}  // namespace corvat
