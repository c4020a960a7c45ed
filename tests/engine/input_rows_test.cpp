#include "input_rows.h"

#include <gtest/gtest.h>

#include "builders.h"
#include "date_codec.h"

namespace corvat {
namespace {

InputRows Read(const std::string& text, InputLayout layout = {}) {
    RowReader reader(layout);
    for (std::string_view line : SplitLines(text)) reader.Add(line);
    return reader.Finish();
}

std::vector<long> Lines(const InputRows& rows) {
    std::vector<long> lines;
    for (const auto& record : rows.records) lines.push_back(record.line);
    return lines;
}

TEST(RowReader, SortsByDateAndKeepsTheFirstOfARepeatedDate) {
    const InputRows rows = Read(
        "010524,1,2,3,4,5,6\n\n , ,\n010324,1,2,3,4,5,6\r\n010424,1,2,3,4,5,6\n"
        "010324,9,9,9,9,9,9\n");
    EXPECT_EQ(Lines(rows), (std::vector<long>{4, 5, 1}));
    ASSERT_EQ(rows.badRowCount, 1u);
    EXPECT_EQ(rows.badRows[0].line, 6);
    EXPECT_EQ(rows.badRows[0].reason, "it repeats the date of line 4");
    EXPECT_EQ(rows.records[0].fields[kDateField], DayNumberToDateValue(ParseDate("010324", 9)));
    EXPECT_EQ(rows.records[0].fields[kCloseField], IeeeToMbf(4.0f));
}

// A volume or open interest left blank or "-" is none; a price never is.
TEST(RowReader, NoVolumeIsZeroButNoPriceIsABadRow) {
    const InputRows rows = Read("010224,1,2,3,4,,\" - \"\n010424,1,,3,4,5,6\n");
    ASSERT_EQ(Lines(rows), std::vector<long>{1});
    EXPECT_EQ(rows.records[0].fields[kOpenInterestField], IeeeToMbf(0.0f));
}

TEST(RowReader, BadRowsCarryLineReasonAndTextAndOnlyFiveAreListed) {
    InputLayout layout;
    layout.fieldOn[kOpenInterestField] = false;
    layout.skipRows = 1;
    const InputRows rows = Read(
        "Date,Open\n013024,1,2,3\n023024,1,2,3,4,5\n010224,1,2,3,n/a,5\n010324\n"
        "\"01/04/24\",1,2,3,4,5\n010524,1,2,3,4,5\n010624,1,2,3,4,5 \x01" +
            std::string(50, 'x') + "\nTotal,1,2,3,4,5\n",
        layout);
    EXPECT_EQ(Lines(rows), (std::vector<long>{7}));
    ASSERT_EQ(rows.badRowCount, 7u);
    const char* const reasons[] = {
        "it has no close column",
        "\"023024\" is not a valid date: February 2024 has no day 30",
        "the close \"n/a\" is not a number",
        "it has no open column",
        "\"01/04/24\" is not a valid date: it is not written as MMDDYY",
    };
    for (std::size_t i = 0; i < kBadRowsListed; ++i) EXPECT_EQ(rows.badRows[i].reason, reasons[i]);
    const std::string message = BadRowsMessage(rows);
    EXPECT_NE(message.find("7 rows cannot be converted:\nLine 2: it has no close column\n    "
                           "013024,1,2,3\n"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("\n... and 2 more."), std::string::npos) << message;
    EXPECT_EQ(Excerpt("\x7f" + std::string(40, 'x')), "?" + std::string(39, 'x') + "...");
    EXPECT_EQ(LeaveOutQuestion(1), "Convert the other 1 row and leave these out?");
    EXPECT_EQ(rows.dateKindMismatch, nullptr);
}

TEST(RowReader, TimesOfDayMakeTheFileIntraday) {
    InputLayout layout;
    layout.dateFormat = 2;
    layout.timeColumn = 0;
    layout.column = {1, 2, 3, 4, 5, 6, 7};
    layout.fieldOn[kOpenInterestField] = false;
    EXPECT_FALSE(
        Read("00:00,2024-01-02,1,2,3,4,5\n000000,2024-01-03,1,2,3,4,5\n", layout).intraday);
    const InputRows timed =
        Read("00:00,2024-01-02,1,2,3,4,5\n09:30,2024-01-03,1,2,3,4,5\n", layout);
    EXPECT_TRUE(timed.intraday);
    EXPECT_EQ(timed.intradayLine, 2);
    // A blank time says nothing; a bad one makes a bad row, not a record.
    const InputRows odd =
        Read(" ,2024-01-02,1,2,3,4,5\n9:6x,2024-01-03,1,2,3,4,5\n2024-\n", layout);
    EXPECT_EQ(Lines(odd), std::vector<long>{1});
    EXPECT_EQ(odd.badRows.at(1).reason, "it has no date column");
    layout.timeColumn = 7;  // one past the row's last column: a bad row, not a record
    const InputRows pastTheEnd = Read("00:00,2024-01-02,1,2,3,4,5\n", layout);
    EXPECT_EQ(pastTheEnd.badRows.size() + 2 * pastTheEnd.records.size(), 1u);
    layout.timeColumn = -1;
    EXPECT_TRUE(Read("x,2024-01-02 15:00,1,2,3,4,5\n", layout).intraday);
    EXPECT_EQ(IntradayMessage("a.csv"),
              "a.csv holds times of day (intraday data), which is not supported yet.");
}

TEST(RowReader, FormatsThatFitAndTheFirstRowKindCheck) {
    const InputRows rows =
        Read("Date,O,H,L,C,V,I\n01/02/2026,1,2,3,4,5,6\n01/13/2026,1,2,3,4,5,6\n");
    EXPECT_EQ(rows.records.size(), 0u);
    EXPECT_EQ(rows.fittingFormats, (std::vector<int>{4}));
    EXPECT_EQ(FittingFormatsLine(rows.fittingFormats), "The dates look like MM_DD_CCYY.");
    EXPECT_EQ(FittingFormatsLine({4, 6, 2}),
              "The dates look like MM_DD_CCYY, DD_MM_CCYY or CCYY_MM_DD.");
    EXPECT_NE(rows.dateKindMismatch, nullptr) << "the header is the first row";
    EXPECT_TRUE(Read("Date\nTotal\n").fittingFormats.empty());
}

TEST(RowReader, ReadsThroughTheFileSeam) {
    test::TempDir dir;
    test::WriteText(dir / "in.csv",
                    "\xEF\xBB\xBF"
                    "010224,1,2,3,4,5,6");
    EXPECT_EQ(ReadInputRows(RealFileSystem(), dir / "in.csv", {}).records.size(), 1u);
    const InputRows missing = ReadInputRows(RealFileSystem(), dir / "none.csv", {});
    EXPECT_NE(missing.failure.find("none.csv"), std::string::npos);
}

}  // namespace
}  // namespace corvat
