#include <gtest/gtest.h>

#include <algorithm>

#include "builders.h"
#include "data_file_layout.h"
#include "date_codec.h"

namespace corvat::test {
namespace {

int RecordCount(const std::filesystem::path& dat) {
    const Bytes data = ReadBytes(dat);
    return data[2] | data[3] << 8;
}

constexpr const char* kNumericOnly =
    "You specified a numeric-only date format\nbut a non-numeric date character was found.";

// The user says yes to leaving rows out throughout.
TEST(ConvertRows, LinesThatSayNothingAreSkippedAndTheDateKindIsJudgedOnce) {
    const struct {
        std::string text;
        int dateFormat, skip, code, written;
        const char* message;  // part of the only message
    } cases[] = {
        {"\n011597,10\r\n,,,\n  , \t\n011697,11", 9, 0, 0, 2, nullptr},
        {"\n" + std::string(1000, 'h') + "\n011597,10", 9, 2, 0, 1, nullptr},
        // Quotes go before the check; a row with a blank date is not the one judged.
        {" ,5\n\"011597\",10\n011697,10\n", 9, 0, 0, 2, "1 row cannot be converted:"},
        {"", 9, 0, 1, 0, "No rows could be converted."},
        {" 011597,10\n", 9, 0, 1, 0, kNumericOnly},
        {"97/01/15,10\n970116,10\n", 7, 0, 1, 0, kNumericOnly},
        {"011597,10\n011697 09:30,10\n", 9, 0, 1, 0, "holds times of day (intraday data)"},
        // Another format reads every date: the wrong days are named.
        {"01/13/2024,10\n01/02/2024,10\n", 6, 0, 0, 1,
         "\nThe dates look like MM_DD_CCYY.\nConvert"},
        {"011597,10\n011697,10\n", 3, 0, 1, 0,
         "You specified a character-separated date format\nbut a only numeric date "
         "characters were found.\nThe dates look like MMDDYY."},
    };
    for (const auto& c : cases) {
        JobFixture f;
        f.OnlyDateAndClose();
        f.job.m_nColumn[kOpenField] = 15;  // disabled: its column is never looked at
        f.job.m_nDateFormat = c.dateFormat;
        f.job.m_bSkipOn = c.skip > 0;
        f.job.m_nSkipRows = c.skip;
        f.messages.answer = true;
        EXPECT_EQ(f.Convert(c.text), c.code) << c.text;
        ASSERT_EQ(f.messages.messages.size(), c.message ? 1u : 0u) << f.messages.All();
        if (c.message) {
            EXPECT_NE(f.messages.messages[0].find(c.message), std::string::npos);
        }
        if (c.code != 0) {
            EXPECT_EQ(FileNames(f.dir.Path()), std::vector<std::string>{"input.txt"});
            continue;
        }
        EXPECT_EQ(f.job.RowsWritten(), c.written);
        EXPECT_EQ(RecordCount(f.dir / "F1.DAT"), c.written + 1);
    }
}

TEST(ConvertRows, BadRowsAreLeftOutOnlyWhenTheUserSaysYes) {
    // A short row, a bad date, a word for a price, a repeated date: none
    // may borrow values.
    const std::string text = "011597,10\n011697\n133197,5\n011797,abc\n011897,12\n011597,9\n";
    for (bool answer : {false, true}) {
        JobFixture f;
        f.OnlyDateAndClose();
        f.messages.answer = answer;
        ASSERT_EQ(f.Convert(text), answer ? 0 : 1);
        ASSERT_EQ(f.messages.messages.size(), 1u);
        const std::string& asked = f.messages.messages[0];
        for (const char* part : {"Line 2: it has no close column",
                                 "Line 3:", "Line 4:", "Line 6: it repeats the date of line 1",
                                 "\nConvert the other 2 rows and leave these out?"}) {
            EXPECT_NE(asked.find(part), std::string::npos) << part << " in " << asked;
        }
        if (!answer) {
            EXPECT_EQ(FileNames(f.dir.Path()), std::vector<std::string>{"input.txt"});
            continue;
        }
        EXPECT_EQ(f.job.RowsLeftOut(), 4);
        const Bytes data = ReadBytes(f.dir / "F1.DAT");
        ASSERT_EQ(data.size(), 24u);
        EXPECT_EQ(RecordCount(f.dir / "F1.DAT"), 3);
        EXPECT_EQ(Slice(data, 16, 4), MbfOf(970118.0f));
        EXPECT_EQ(Slice(data, 12, 4), MbfOf(10.0f)) << "the first of a repeated date is kept";
        EXPECT_EQ(Slice(ReadBytes(f.dir / "MASTER"), 53 + 29, 4), MbfOf(970118.0f));
    }
    JobFixture f;  // past five bad rows, the rest are counted
    f.OnlyDateAndClose();
    ASSERT_EQ(f.Convert("011597\n011597\n011597\n011597\n011597\n011597\n011597\n011697,1\n"), 1);
    const std::string& asked = f.messages.messages.at(0);
    EXPECT_NE(asked.find("Line 5:"), std::string::npos);
    EXPECT_EQ(asked.find("Line 6:"), std::string::npos);
    EXPECT_NE(asked.find("\n... and 2 more."), std::string::npos);
}

TEST(ConvertRows, RecordsAreStoredAscendingWhateverTheFileOrder) {
    for (const char* text :
         {"011797,3\n011697,2\n011597,1\n", "011697,2\n011797,3\n011597,1\n", "011597,1"}) {
        JobFixture f;
        f.OnlyDateAndClose();
        ASSERT_EQ(f.Convert(text), 0);
        const Bytes data = ReadBytes(f.dir / "F1.DAT");
        const std::size_t rows = data.size() / 8 - 1;
        ASSERT_EQ(rows, text[8] == 0 ? 1u : 3u);
        for (std::size_t i = 1; i <= rows; ++i) {
            EXPECT_EQ(Slice(data, i * 8, 4), MbfOf(970114.0f + static_cast<float>(i)));
            EXPECT_EQ(Slice(data, i * 8 + 4, 4), MbfOf(static_cast<float>(i)));
        }
        const Bytes master = ReadBytes(f.dir / "MASTER");
        EXPECT_EQ(Slice(master, 53 + 25, 4), MbfOf(970115.0f));
        EXPECT_EQ(Slice(master, 53 + 29, 4), MbfOf(970114.0f + static_cast<float>(rows)));
    }
}

}  // namespace
}  // namespace corvat::test
