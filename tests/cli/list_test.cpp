#include <gtest/gtest.h>

#include "../engine/index_support.h"
#include "builders.h"
#include "cli_runner.h"
#include "tabular_output.h"

namespace corvat::test {
namespace {

TEST(ListCommandOutput, ShowsADirectoryMadeByConvertInEveryFormat) {
    TempDir dir;
    WriteText(dir / "a.csv", "01/15/1997,1,2,0.5,1.5,100,7\n01/20/1997,1,2,0.5,1.5,100,7\n");
    CliRun r =
        RunCorvatCli({"convert", (dir / "a.csv").string(), "--dir", dir.Path().string(), "--symbol",
                      "ibm", "--name", "IBM, Corp.", "--date-format", "4", "--no-oi"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = RunCorvatCli({"list", dir.Path().string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "FileNumber  Symbol  Name        Fields  FirstDate   LastDate    Records  "
              "Subdirectory  Index   "
              "LongName  Period\n"
              "         1  IBM     IBM, Corp.       6  1997-01-15  1997-01-20        2             "
              "   MASTER"
              "            D\n");

    r = RunCorvatCli({"list", dir.Path().string(), "--format", "csv"});
    EXPECT_EQ(r.out,
              "FileNumber,Symbol,Name,Fields,FirstDate,LastDate,Records,Subdirectory,Index,"
              "LongName,Period\n"
              "1,IBM,\"IBM, Corp.\",6,1997-01-15,1997-01-20,2,,MASTER,,D\n");

    r = RunCorvatCli({"list", dir.Path().string(), "--format", "json"});
    EXPECT_EQ(
        r.out,
        "[\n  {\"FileNumber\": 1, \"Symbol\": \"IBM\", \"Name\": \"IBM, Corp.\", \"Fields\": 6, "
        "\"FirstDate\": \"1997-01-15\", \"LastDate\": \"1997-01-20\", \"Records\": 2, "
        "\"Subdirectory\": null, \"Index\": \"MASTER\", \"LongName\": null, \"Period\": "
        "\"D\"}\n]\n");

    r = RunCorvatCli({"list", dir.Path().string(), "--format", "xml"});
    EXPECT_EQ(r.code, 2);
}

TEST(ListCommandOutput, FollowsDirectoryEntriesOnlyWhenRecursiveAndSurvivesLoops) {
    TempDir dir;
    const auto sub = dir / "Sub";
    std::filesystem::create_directory(sub);
    WriteBytes(
        dir / "MASTER",
        MasterBytes(2, 2, {WriteSoundSecurity(dir.Path(), 1, "TOP"), DirectoryEntry(2, "SUB")}));
    WriteBytes(sub / "MASTER",
               MasterBytes(2, 2, {DirectoryEntry(1, "BACK"), WriteSoundSecurity(sub, 2, "LOW")}));
    std::filesystem::create_directory_symlink(dir.Path(), sub / "back");

    CliRun r = RunCorvatCli({"list", dir.Path().string(), "--format", "csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "FileNumber,Symbol,Name,Fields,FirstDate,LastDate,Records,Subdirectory,Index,"
              "LongName,Period\n"
              "1,TOP,TOP,2,1997-01-15,1997-01-16,2,,MASTER,,D\n"
              "2,,,,,,,SUB,MASTER,,\n");

    r = RunCorvatCli({"list", dir.Path().string(), "--recursive", "--format", "csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Directory,FileNumber,Symbol,Name,Fields,FirstDate,LastDate,Records,Subdirectory,"
              "Index,LongName,Period\n"
              ".,1,TOP,TOP,2,1997-01-15,1997-01-16,2,,MASTER,,D\n"
              ".,2,,,,,,,SUB,MASTER,,\n"
              "Sub,1,,,,,,,BACK,MASTER,,\n"
              "Sub,2,LOW,LOW,2,1997-01-15,1997-01-16,2,,MASTER,,D\n");
    EXPECT_NE(r.err.find("directory entry 1 (BACK) in Sub is not followed"), std::string::npos)
        << r.err;
}

TEST(ListCommandDamage, ListsWhatItCanAndWarnsAboutTheRest) {
    TempDir dir;
    CliRun r = RunCorvatCli({"list", dir.Path().string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No such file"), std::string::npos);

    MasterRecord odd = DatedEntry(3, "ODD", 2, 970230.0f, -1.5f);
    Bytes bytes = MasterBytes(9, 2, {odd, WriteSoundSecurity(dir.Path(), 4, "OK")});
    bytes.push_back(1);
    WriteBytes(dir / "MASTER", bytes);
    r = RunCorvatCli({"list", dir.Path().string(), "--format", "csv"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "FileNumber,Symbol,Name,Fields,FirstDate,LastDate,Records,Subdirectory,Index,"
              "LongName,Period\n"
              "3,ODD,ODD,2,970230,-1.5,,,MASTER,,D\n"
              "4,OK,OK,2,1997-01-15,1997-01-16,2,,MASTER,,D\n");
    EXPECT_NE(r.err.find("Warning: Cannot open"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("F3.DAT"), std::string::npos) << r.err;
}

// IBM in MASTER with EMASTER's long name; WIDE in XMASTER and F256.MWD.
void WriteThreeIndexes(const std::filesystem::path& dir) {
    WriteBytes(dir / "MASTER", MasterBytes(1, 1, {WriteSoundSecurity(dir, 1, "IBM")}));
    WriteBytes(dir / "EMASTER",
               EmasterFileBytes(1, {EmasterRecordBytes(1, "IBM", 970115.0f, 970116.0f,
                                                       "INTERNATIONAL BUSINESS MACHINES")}));
    WriteBytes(dir / "XMASTER",
               XmasterFileBytes(1, 1, 257,
                                {XmasterRecordBytes(256, std::string("WIDE\0left", 9), 19970115,
                                                    19970116, "A WIDE NAME")}));
    WriteMwdFile(dir, 256, 2, {{970115.0f, 1.5f}, {970116.0f, 2.5f}});
}

TEST(ListCommandOutput, ListsEverySecurityOfAllThreeIndexes) {
    TempDir dir;
    WriteThreeIndexes(dir.Path());
    CliRun r = RunCorvatCli({"list", dir.Path().string(), "--format", "csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "FileNumber,Symbol,Name,Fields,FirstDate,LastDate,Records,Subdirectory,Index,LongName,"
        "Period\n"
        "1,IBM,IBM,2,1997-01-15,1997-01-16,2,,MASTER,INTERNATIONAL BUSINESS MACHINES,D\n"
        "256,WIDE,A WIDE NAME,2,1997-01-15,1997-01-16,2,,XMASTER,A WIDE NAME,D\n");
    r = RunCorvatCli({"dump", dir.Path().string(), "wide"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Date,Close\n1997-01-15,1.5\n1997-01-16,2.5\n");
}

TEST(TabularOutput, EscapesWhateverBytesANameHolds) {
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(CsvField("line\nbreak"), "\"line\nbreak\"");
    EXPECT_EQ(JsonString("a\"b\\c\t\x01"), "\"a\\\"b\\\\c\\u0009\\u0001\"");
    EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"") << "valid UTF-8 passes";
    EXPECT_EQ(JsonString("caf\xE9"), "\"caf\\u00e9\"") << "a Latin-1 byte becomes its character";
    EXPECT_EQ(JsonString("\xC3"), "\"\\u00c3\"") << "a cut sequence is no character";
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\u00ed\\u00a0\\u0080\"") << "no surrogates";
}

}  // namespace
}  // namespace corvat::test
