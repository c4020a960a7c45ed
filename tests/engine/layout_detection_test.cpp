#include "layout_detection.h"

#include <gtest/gtest.h>

namespace corvat {
namespace {

LayoutDetection Detect(const std::string& text, const DetectionHints& hints = {}) {
    return DetectLayout(SplitLines(text), hints);
}

// Delimiter, rows skipped, date format, time column, each field's column
// (- when off), then decimal mark, thousands separator and suffixes.
std::string Shape(const InputLayout& layout) {
    std::string shape = std::string(1, layout.delimiter) + " " + std::to_string(layout.skipRows) +
                        " " + std::to_string(layout.dateFormat) + " " +
                        std::to_string(layout.timeColumn) + " ";
    for (std::size_t i = 0; i < 7; ++i)
        shape += layout.fieldOn[i] ? static_cast<char>('0' + layout.column[i]) : '-';
    const NumberStyle& n = layout.numbers;
    return shape + " " + std::to_string(static_cast<int>(n.decimal)) +
           std::to_string(static_cast<int>(n.thousands)) + std::to_string(n.suffixes);
}

// The real export shapes, a few rows each, written as their services write them.
TEST(DetectLayout, CommonExportsNeedNoFlags) {
    const struct {
        const char* name;
        std::string text;
        const char* shape;
    } cases[] = {
        {"Yahoo",
         "Date,Open,High,Low,Close,Adj Close,Volume\n"
         "2024-01-03,184.22,185.88,183.43,184.25,183.55,58414500\n"
         "2024-01-02,187.15,188.44,183.89,185.64,184.94,82488700\n",
         ", 1 2 -1 012346- 000"},
        {"Stooq bulk",
         "<TICKER>,<PER>,<DATE>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>,<OPENINT>\n"
         "AAPL.US,D,20240102,000000,187.15,188.44,183.89,185.64,82488700,0\n",
         ", 1 8 3 2456789 000"},
        {"MetaTrader tab",
         "<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
         "2024.01.02\t00:00:00\t1.10420\t1.10500\t1.09300\t1.09450\t61234\t0\t5\n",
         "\t 1 2 1 023457- 000"},
        {"MetaTrader comma, no header",
         "2024.01.02,00:00,1.1042,1.1050,1.0930,1.0945,61234\n"
         "2024.01.03,00:00,1.0945,1.0990,1.0900,1.0920,50210\n",
         ", 0 2 1 023456- 000"},
        {"investing.com",
         "\"Date\",\"Price\",\"Open\",\"High\",\"Low\",\"Vol.\",\"Change %\"\n"
         "\"01/16/"
         "2024\",\"4,765.98\",\"4,772.35\",\"4,782.34\",\"4,739.58\",\"62.38M\",\"-0.37%\"\n"
         "\"01/12/"
         "2024\",\"4,783.83\",\"4,791.18\",\"4,802.40\",\"4,768.98\",\"845.1K\",\"0.08%\"\n",
         ", 1 4 -1 023415- 011"},
        {"investing.com without volumes",
         "Date,Price,Open,High,Low,Vol.\n01/16/2024,1.0877,1.095,1.096,1.0865,\n",
         ", 1 4 -1 023415- 000"},
        {"European semicolon",
         "Datum;Er\xC3\xB6"
         "ffnung;Hoch;Tief;Schluss;Volumen\n"
         "15.01.2024;187,15;188,44;183,89;185,64;82.488.700\n"
         "16.01.2024;1.187,15;1.188,44;1.183,89;1.185,64;1.200\n",
         "; 1 6 -1 012345- 120"},
        {"spreadsheet re-save",
         "DATE,OPEN,HIGH,LOW,CLOSE\n1/2/2024,1,2,0.5,1.5\n1/30/2024,1,2,0.5,1.5\n",
         ", 1 4 -1 01234-- 000"},
        {"no header, date and close", "\n15011997 12.5\n16011997 12.75\n", "  0 12 -1 0---1-- 000"},
        {"no header, eight numbers", "2024-01-02,1,2,3,4,5,6,7,8\n", ", 0 2 -1 0123456 000"},
        {"comma decimals only", "Date;Close\n15.01.2024;187,15\n16.01.2024;188,5\n",
         "; 1 6 -1 0---1-- 100"},
        // A field named twice is the first of its columns.
        {"repeated name", "Date,Close,Date,Close\n2024-01-02,1,x,x\n", ", 1 2 -1 0---1-- 000"},
    };
    for (const auto& c : cases) {
        const LayoutDetection found = Detect(c.text);
        EXPECT_TRUE(found.AllDecided())
            << c.name << ": " << (found.notes.empty() ? "" : found.notes[0]);
        EXPECT_EQ(Shape(found.layout), c.shape) << c.name;
        EXPECT_FALSE(found.intraday) << c.name;
    }
}

TEST(DetectLayout, SaysWhatItCannotDecide) {
    const LayoutDetection dayMonth = Detect("01/02/2024,1,2,3,4\n03/04/2024,1,2,3,4\n");
    EXPECT_FALSE(dayMonth.Decided(LayoutPart::kDateFormat));
    EXPECT_EQ(dayMonth.dateFormatCandidates, (std::vector<int>{4, 6}));
    EXPECT_TRUE(dayMonth.Decided(LayoutPart::kColumns));
    EXPECT_FALSE(Detect("2024-01-02,1,2\n").Decided(LayoutPart::kColumns)) << "two numbers";
    EXPECT_EQ(Detect("x,1,2,3,4\n").notes.at(0), "no column holds dates");
    // An impossible date among good ones still points at their format.
    EXPECT_EQ(Detect("2024-01-02,1\n2024-02-30,1\n").dateFormatCandidates, std::vector<int>{2});
    EXPECT_FALSE(Detect("Day,Close\n2024-01-02,1\n").Decided(LayoutPart::kSkip)) << "no Date";
    EXPECT_FALSE(Detect("Date,Open,Close\n2024-01-02,1,x\n").Decided(LayoutPart::kColumns));
    EXPECT_TRUE(Detect("Date;Close\n2024-01-02;1,234\n").numberStyleCandidates.size() == 2);
    EXPECT_TRUE(Detect("Date,Close\n2024-01-02,1.234\n").numberStyleCandidates.size() == 2);
    EXPECT_TRUE(Detect("2024-01-02,1,234,5,1,234,5\n").Decided(LayoutPart::kDelimiter));
    // The first time of day names the line, a time in the first column too.
    const LayoutDetection intraday =
        Detect("Time,Date,Close\n00:00,2024-01-02,1\n09:30,2024-01-03,1\n10:30,2024-01-04,1\n");
    EXPECT_TRUE(intraday.intraday);
    EXPECT_EQ(intraday.intradayLine, 3);
}

TEST(DetectLayout, HintsAndHeaderNames) {
    const LayoutDetection skipped =
        Detect("Prices\nDate,Open,High,Low,Close,Adj Close,Volume\n2024-01-02,1,2,3,4,5,6\n",
               {std::nullopt, 2});
    EXPECT_EQ(skipped.layout.column[kVolumeField], 6);
    EXPECT_EQ(skipped.layout.skipRows, 2);
    EXPECT_EQ(Detect("a;b,c\n1;2,3\n", {',', std::nullopt}).layout.delimiter, ',');
    const std::pair<const char*, int> names[] = {
        {" <Date> ", kDateField},
        {"TIMESTAMP", kDateField},
        {"Open Interest", kOpenInterestField},
        {"<OPENINT>", kOpenInterestField},
        {"Vol.", kVolumeField},
        {"ER\xC3\x96"
         "FFNUNG",
         kOpenField},
        {"Zamkni\xC4\x98"
         "cie",
         kCloseField},
        {"M\xC3\x81XIMO", kHighField},
        {"NAJWY\xC5\xBBSZY", kHighField},
        {"Najwyzszy", kHighField},  // Stooq's Polish export writes no accents
        {"Adj Close", -1},
        {"Change %", -1},
        {"time", kTimeHeader},
    };
    for (const auto& [name, field] : names) EXPECT_EQ(HeaderField(name), field) << name;
}

}  // namespace
}  // namespace corvat
