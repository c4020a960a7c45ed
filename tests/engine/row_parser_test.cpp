#include "row_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "builders.h"

namespace corvat {
namespace {

std::vector<std::string> Split(const std::string& line, char delimiter) {
    RowColumns row;
    row.Split(line, delimiter);
    std::vector<std::string> columns;
    for (std::size_t i = 0; i < row.Count(); ++i) columns.emplace_back(row[i]);
    return columns;
}

using Columns = std::vector<std::string>;

TEST(RowColumns, CommaAndTabKeepEmptyFields) {
    EXPECT_EQ(Split("a,,b", ','), (Columns{"a", "", "b"}));
    EXPECT_EQ(Split("a,b,", ','), (Columns{"a", "b", ""}));
    EXPECT_EQ(Split(",a", ','), (Columns{"", "a"}));
    EXPECT_EQ(Split("", ','), (Columns{""}));
    EXPECT_EQ(Split("a\t\tb", '\t'), (Columns{"a", "", "b"}));
    EXPECT_EQ(Split("a b,c", ','), (Columns{"a b", "c"}));
}

TEST(RowColumns, QuotedFieldsFollowCsvRules) {
    EXPECT_EQ(Split("\"1,5\",2", ','), (Columns{"1,5", "2"}));
    EXPECT_EQ(Split("\"say \"\"hi\"\"\",x", ','), (Columns{"say \"hi\"", "x"}));
    EXPECT_EQ(Split("\"ab\"cd,e", ','), (Columns{"abcd", "e"})) << "text after the quote kept";
    EXPECT_EQ(Split("\"open,ended", ','), (Columns{"open,ended"}));
    EXPECT_EQ(Split("x\"y\",z", ','), (Columns{"x\"y\"", "z"})) << "quote not first: plain text";
    EXPECT_EQ(Split("\"\",a", ','), (Columns{"", "a"}));
}

TEST(RowColumns, SpaceRunsCountAsOneAndQuotesAreStripped) {
    EXPECT_EQ(Split("  a   b  ", ' '), (Columns{"a", "b"}));
    EXPECT_EQ(Split("\"970115\" 1", ' '), (Columns{"970115", "1"}));
    EXPECT_EQ(Split("a\tb c", ' '), (Columns{"a\tb", "c"}));
    EXPECT_TRUE(Split("    ", ' ').empty());
    RowColumns row;
    row.Split(" \t, ,", ',');
    EXPECT_TRUE(row.AllBlank());
    row.Split(" ,x", ',');
    EXPECT_FALSE(row.AllBlank());
}

TEST(RowColumns, KeepsAtMostTwentyColumns) {
    for (const std::string quote : {"", "\""}) {
        for (char delimiter : {',', ' ', '\t'}) {
            std::string line;
            for (int i = 1; i <= 25; ++i) line += quote + std::to_string(i) + quote + delimiter;
            const Columns columns = Split(line, delimiter);
            ASSERT_EQ(columns.size(), kMaxColumns) << line;
            EXPECT_EQ(columns.back(), "20");
        }
    }
}

TEST(ParsePrice, AcceptsWholeDecimalNumbersOnly) {
    EXPECT_EQ(ParsePrice("12.5"), 12.5f);
    EXPECT_EQ(ParsePrice("  -3 \t"), -3.0f);
    EXPECT_EQ(ParsePrice("+4."), 4.0f);
    EXPECT_EQ(ParsePrice(".25"), 0.25f);
    EXPECT_EQ(ParsePrice("1e3"), 1000.0f);
    EXPECT_EQ(ParsePrice("2.5E-1"), 0.25f);
    for (const char* bad : {"", " ", ".", "abc", "12abc", "1,5", "\"12\"", "inf", "nan", "0x10",
                            "1e", "1e+", "--1", "1 2", "$5"}) {
        EXPECT_FALSE(ParsePrice(bad).has_value()) << bad;
    }
}

TEST(ParsePrice, RangeLimitsOfTheRecordFormat) {
    EXPECT_FALSE(ParsePrice("1.7015e38").has_value()) << "2^127 and above";
    EXPECT_FALSE(ParsePrice("170141183460469231731687303715884105728").has_value()) << "2^127";
    EXPECT_FALSE(ParsePrice("1e39").has_value());
    EXPECT_FALSE(ParsePrice("1e400").has_value());
    EXPECT_TRUE(ParsePrice("1.7e38").has_value());
    // Past the short path's limits: 20 digits, eleven decimals.
    EXPECT_EQ(ParsePrice("18446744073709551617"), 18446744073709551617.0f);
    EXPECT_EQ(ParsePrice("0.00000000001"), 1e-11f);
    EXPECT_EQ(ParsePrice("1e-40"), 0.0f) << "subnormal stored as 0";
    EXPECT_EQ(ParsePrice("1e-400"), 0.0f);
    EXPECT_EQ(ParsePrice("0.0000000000000000000000000000000000000000000001"), 0.0f);
}

class StringFile final : public File {
public:
    explicit StringFile(std::string text, std::size_t chunk)
        : m_text(std::move(text)), m_chunk(chunk) {}
    std::size_t Read(void* data, std::size_t size, std::error_code&) override {
        const std::size_t n = std::min({size, m_chunk, m_text.size() - m_pos});
        std::memcpy(data, m_text.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    void Write(const void*, std::size_t, std::error_code&) override {}
    void Seek(std::uint64_t, std::error_code&) override {}
    void Flush(std::error_code&) override {}
    void Close(std::error_code&) override {}

private:
    std::string m_text;
    std::size_t m_chunk;
    std::size_t m_pos = 0;
};

std::vector<std::string> Lines(const std::string& text, std::size_t chunk = 7) {
    StringFile file(text, chunk);
    LineReader reader(file);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.ReadLine(line)) lines.emplace_back(line);
    return lines;
}

TEST(LineReader, LineEndsByteOrderMarkAndLongLines) {
    EXPECT_EQ(Lines("a\r\nb\nc"), (Columns{"a", "b", "c"}));
    EXPECT_EQ(Lines("\xEF\xBB\xBF"
                    "a\n"),
              (Columns{"a"}));
    EXPECT_EQ(Lines("a\n\xEF\xBB\xBF"), (Columns{"a", "\xEF\xBB\xBF"})) << "only at the start";
    EXPECT_EQ(Lines("\n\n"), (Columns{"", ""}));
    EXPECT_EQ(Lines(""), Columns{});
    EXPECT_EQ(Lines("a\rb\n"), (Columns{"a\rb"}));
    const std::string longLine(200000, 'x');
    EXPECT_EQ(Lines(longLine + "\nend", 4096), (Columns{longLine, "end"}));
    EXPECT_EQ(Lines(std::string("a\0b\n", 4)), (Columns{std::string("a\0b", 3)}));
}

}  // namespace
}  // namespace corvat
