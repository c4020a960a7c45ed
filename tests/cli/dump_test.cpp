#include <gtest/gtest.h>

#include "builders.h"
#include "cli_runner.h"

namespace corvat::test {
namespace {

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
