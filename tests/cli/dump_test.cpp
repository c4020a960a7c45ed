#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>

#include "builders.h"
#include "cli_runner.h"

namespace corvat::test {
namespace {

struct Day {
    int year, month, day;
};

// `d` written after `pattern` (CCYY, YY, MM and DD among other characters).
std::string DateText(const Day& d, std::string pattern) {
    const std::pair<const char*, int> parts[] = {
        {"CCYY", d.year}, {"YY", d.year % 100}, {"MM", d.month}, {"DD", d.day}};
    for (const auto& [token, value] : parts) {
        const auto at = pattern.find(token);
        if (at == std::string::npos) continue;
        char text[8];
        std::snprintf(text, sizeof text, "%0*d", static_cast<int>(std::strlen(token)), value);
        pattern.replace(at, std::strlen(token), text);
    }
    return pattern;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    return fields;
}

TEST(DumpRoundTrip, GivesBackTheInputsValuesForEveryDateFormat) {
    // Two-digit years reach 1961..2059; four-digit years up to 2099.
    const std::vector<Day> days = {
        {1961, 1, 1}, {1997, 1, 15}, {2000, 2, 29}, {2059, 12, 31}, {2099, 12, 31}};
    const std::vector<std::vector<std::string>> prices = {
        {"1.1", "123.456", "0.001", "99999.99", "1000000", "7"},
        {"-2.5", "3.4028e30", "1e-30", "0", "16777217", "0.1"},
        {"10", "10.5", "9.75", "10.25", "123456789", "42"},
        {"0.3333333", "2", "1", "1.5", "1", "2"},
        {"5", "6", "4", "5.5", "100", "3"},
    };
    // Date formats 1 to 12 in order.
    const char* patterns[] = {"YY-MM-DD", "CCYY-MM-DD", "MM/DD/YY", "MM/DD/CCYY",
                              "DD.MM.YY", "DD.MM.CCYY", "YYMMDD",   "CCYYMMDD",
                              "MMDDYY",   "MMDDCCYY",   "DDMMYY",   "DDMMCCYY"};
    for (int format = 1; format <= 12; ++format) {
        const std::string pattern = patterns[format - 1];
        const bool twoDigitYear = pattern.find("CCYY") == std::string::npos;
        TempDir dir;
        std::string input;
        std::size_t rows = 0;
        for (std::size_t i = 0; i < days.size(); ++i) {
            if (twoDigitYear && days[i].year > 2059) continue;
            input += DateText(days[i], pattern);
            for (const auto& p : prices[i]) input += "," + p;
            input += "\n";
            ++rows;
        }
        WriteText(dir / "in.csv", input);
        CliRun r = RunCorvatCli({"convert", (dir / "in.csv").string(), "--dir", dir.Path().string(),
                                 "--symbol", "RT", "--date-format", std::to_string(format)});
        ASSERT_EQ(r.code, 0) << "format " << format << ": " << r.err;

        r = RunCorvatCli({"dump", dir.Path().string(), "rt"});
        ASSERT_EQ(r.code, 0) << r.err;
        const auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), rows + 1) << r.out;
        EXPECT_EQ(lines[0], "Date,Open,High,Low,Close,Volume,OpenInterest");
        for (std::size_t i = 0; i < rows; ++i) {
            const auto fields = Split(lines[i + 1]);
            ASSERT_EQ(fields.size(), 7u) << lines[i + 1];
            EXPECT_EQ(fields[0], DateText(days[i], "CCYY-MM-DD")) << pattern;
            for (std::size_t k = 0; k < 6; ++k) {
                const float expected = std::stof(prices[i][k]);
                // The text is the shortest that reads back to the same single.
                EXPECT_EQ(std::stof(fields[k + 1]), expected) << fields[k + 1];
                EXPECT_LE(fields[k + 1].size(), prices[i][k].size() + 4) << fields[k + 1];
            }
        }
    }
}

TEST(DumpOutput, LimitsColumnsToTheFieldsTheSecurityHas) {
    TempDir dir;
    WriteText(dir / "in.csv", "01/15/1997,1.5,2,1,1.75,1000,5\n01/16/1997,1.25,2.5,1,2,2000,6\n");
    CliRun r = RunCorvatCli({"convert", (dir / "in.csv").string(), "--dir", dir.Path().string(),
                             "--symbol", "IBM", "--name", "Intl \"Business\"", "--date-format",
                             "MM_DD_CCYY", "--no-open", "--no-oi"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = RunCorvatCli({"dump", dir.Path().string(), "ibm", "--format", "csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Date,High,Low,Close,Volume\n1997-01-15,2,1,1.75,1000\n1997-01-16,2.5,1,2,2000\n");

    const CliRun json =
        RunCorvatCli({"dump", dir.Path().string(), "INTL \"BUSINESS\"", "--format", "json"});
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(
        json.out,
        "[\n"
        "  {\"Date\": \"1997-01-15\", \"High\": 2, \"Low\": 1, \"Close\": 1.75, \"Volume\": "
        "1000},\n"
        "  {\"Date\": \"1997-01-16\", \"High\": 2.5, \"Low\": 1, \"Close\": 2, \"Volume\": 2000}\n"
        "]\n");
}

TEST(DumpLookup, FindsTheSecurityThroughTheTreeInAnyLetterCase) {
    TempDir dir;
    const auto sub = dir / "deep";
    std::filesystem::create_directory(sub);
    std::filesystem::create_directory(dir / "EMPTY");  // no MASTER: passed over
    WriteBytes(dir / "MASTER", MasterBytes(3, 3,
                                           {DirectoryEntry(3, "EMPTY"), DirectoryEntry(1, "DEEP"),
                                            DirectoryEntry(2, "LOOP")}));
    std::filesystem::create_directory_symlink(dir.Path(), dir / "LOOP");
    WriteBytes(sub / "master", MasterBytes(1, 1, {WriteSoundSecurity(sub, 7, "SPX")}));
    CliRun r = RunCorvatCli({"dump", dir.Path().string(), "spx"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Date,Close\n1997-01-15,10\n1997-01-16,10.5\n");

    r = RunCorvatCli({"dump", dir.Path().string(), "NONE"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No security \"NONE\""), std::string::npos) << r.err;
}

TEST(DumpDamage, ReportsEveryBrokenFileClearlyWithoutCrashing) {
    TempDir dir;
    WriteBytes(dir / "MASTER", MasterBytes(3, 3,
                                           {WriteSoundSecurity(dir.Path(), 1, "CUT"),
                                            WriteSoundSecurity(dir.Path(), 2, "NODAT"),
                                            WriteSoundSecurity(dir.Path(), 3, "LONG")}));
    // Cut inside the second record, header still counting two.
    Bytes bytes = ReadBytes(dir / "F1.DAT");
    bytes.resize(20);
    WriteBytes(dir / "F1.DAT", bytes);
    CliRun r = RunCorvatCli({"dump", dir.Path().string(), "cut"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Date,Close\n1997-01-15,10\n");
    EXPECT_NE(r.err.find("header counts 2 records but the file holds 1"), std::string::npos)
        << r.err;

    std::filesystem::remove(dir / "F2.DAT");
    r = RunCorvatCli({"dump", dir.Path().string(), "nodat"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("F2.DAT"), std::string::npos) << r.err;

    // A header counting 65535 records over a file holding two: only the two.
    WriteDataFile(dir.Path(), 3, 2, {{970115.0f, 1.0f}, {1.5f, 2.0f}}, 65535);
    r = RunCorvatCli({"dump", dir.Path().string(), "LONG", "--format", "json"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("{\"Date\": \"1.5\", \"Close\": 2}"), std::string::npos) << r.out;
    EXPECT_EQ(Lines(r.out).size(), 4u);
}

}  // namespace
}  // namespace corvat::test
