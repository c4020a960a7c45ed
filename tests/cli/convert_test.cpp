#include <gtest/gtest.h>

#include "builders.h"
#include "cli_runner.h"

namespace corvat::test {
namespace {

CliRun Cli(const std::vector<std::string>& args) { return RunCorvatCli(args); }

struct ConvertFixture {
    TempDir dir;
    std::string input;
    ConvertFixture() {
        input = (dir / "prices.csv").string();
        WriteText(input,
                  "Date,Open,High,Low,Close,Volume,OI\n"
                  "01/15/1997,1,2,0.5,1.5,100,7\n01/16/1997,1.5,2.5,1,2.25,200,8\n");
    }
    CliRun Convert(std::vector<std::string> extra) {
        std::vector<std::string> args = {
            "convert",       input,        "--dir",  dir.Path().string(),
            "--date-format", "mm_dd_ccyy", "--skip", "1"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Cli(args);
    }
};

TEST(CliConvert, ConvertsIntoANewThenTheExistingMaster) {
    ConvertFixture f;
    auto r = f.Convert({"--symbol", "ibm  "});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Conversion completed successfully!\n2 records, 1997-01-15 to 1997-01-16\n");
    EXPECT_EQ(r.err, "");
    const Bytes master = ReadBytes(f.dir / "MASTER");
    ASSERT_EQ(master.size(), 106u);
    EXPECT_EQ(Slice(master, 53 + 36, 16), TextBytes("IBM             "));
    EXPECT_EQ(Slice(master, 53 + 7, 16), TextBytes("IBM             "))
        << "name defaults to symbol";
    EXPECT_EQ(ReadBytes(f.dir / "F1.DAT").size(), 3u * 28);

    r = f.Convert({"--symbol", "msft", "--name", "Microsoft\x80", "--no-oi", "--no-volume"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("outside ASCII"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(f.dir / "MASTER").size(), 3u * 53);
    EXPECT_EQ(ReadBytes(f.dir / "F2.DAT").size(), 3u * 20);
    EXPECT_TRUE(std::filesystem::exists(f.dir / "MASTER.BAK"));
}

TEST(CliConvert, EngineMessagesGoToStderrAndExitOne) {
    ConvertFixture f;
    ASSERT_EQ(f.Convert({"--symbol", "IBM"}).code, 0);
    auto r = f.Convert({"--symbol", "ibm"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Duplicate Symbol\nConversion failed.\n(IBM is already in " +
                         f.dir.Path().string() +
                         ": --update adds the rows of a file to its security.)\n");
    r = f.Convert({"--symbol", "NEW", "--master", "new"});
    EXPECT_EQ(r.err, "New Master chosen but one already exists\nConversion failed.\n");

    r = Cli({"convert", f.input, "--dir", (f.dir / "missing").string(), "--symbol", "X"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "Path does not exist\n" + (f.dir / "missing").string() + "\nConversion failed.\n");
    r = Cli({"convert", (f.dir / "none.csv").string(), "--dir", f.dir.Path().string(), "--symbol",
             "X"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Cannot open"), std::string::npos);
}

TEST(CliConvert, UsageErrorsExitTwoAndWriteNothing) {
    const std::vector<std::vector<std::string>> cases = {
        {"--symbol", "A", "--high-col", "9", "--no-high"},
        {"--symbol", "   "},
        {"--symbol", "ABCDEFGHIJKLMNO"},
        {"--symbol", "CAF\xC3\x89"},
        {"--symbol", "A", "--name", std::string(46, 'n')},
        {"--symbol", "A", "--close-col", "1"},
        {"--symbol", "A", "--date-col", "21"},
        {"--symbol", "A", "--open-col", "0"},
        {"--symbol", "A", "--open-col", "3", "--no-open"},
        {"--symbol", "A", "--skip", "-1"},
        {"--symbol", "A", "--date-format", "YYYY"},
        {"--symbol", "A", "--date-format", "13"},
        {"--symbol", "A", "--bogus"},
    };
    for (const auto& extra : cases) {
        ConvertFixture f;
        const auto r = f.Convert(extra);
        EXPECT_EQ(r.code, 2) << extra.back();
        EXPECT_FALSE(std::filesystem::exists(f.dir / "MASTER")) << extra.back();
    }
    ConvertFixture f;
    EXPECT_EQ(f.Convert({"--symbol", " "}).err, "You did not enter a valid symbol\n");
    EXPECT_NE(Cli({"convert", f.input, "--dir", f.dir.Path().string(), "--date-format", "YYYY"})
                  .err.find("\n   4 MM_DD_CCYY  01/22/2026\n"),
              std::string::npos);
    EXPECT_EQ(f.Convert({"--symbol", "A", "--close-col", "1"}).err,
              "Duplicate columns specified\nCorrect or disable\n");
}

TEST(CliConvert, DisabledFieldMayShareAColumn) {
    ConvertFixture f;
    auto r = f.Convert({"--symbol", "A", "--no-open", "--close-col", "5", "--volume-col", "6"});
    EXPECT_EQ(r.code, 0) << r.err;
    r = f.Convert({"--symbol", "B", "--no-open", "--close-col", "2", "--no-high", "--low-col", "3",
                   "--volume-col", "4", "--oi-col", "6"});
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST(CliConvert, ExportedFileWithBomQuotesAndCrLf) {
    TempDir dir;
    const auto r =
        Cli({"convert", std::string(CORVAT_TEST_DATA) + "/quoted_crlf_bom.csv", "--dir",
             dir.Path().string(), "--symbol", "Q", "--skip", "1", "--date-format", "MM_DD_CCYY"});
    // "1,000.5" is one quoted field, read with its thousands separator.
    EXPECT_EQ(r.code, 0) << r.err;
    const Bytes data = ReadBytes(dir / "F1.DAT");
    ASSERT_EQ(data.size(), 4u * 28);
    EXPECT_EQ(Slice(data, 28 + 4, 4), MbfOf(1000.5f));
    EXPECT_EQ(Slice(data, 3 * 28 + 16, 4), MbfOf(2.5f));
}

TEST(CliConvert, BundledSampleWithTheDefaultDateFormatWritesNothing) {
    const std::string sample = std::string(CORVAT_TEST_DATA) + "/../../examples/sample.csv";
    for (bool skipBadRows : {false, true}) {
        TempDir dir;
        std::vector<std::string> args = {"convert",       sample,   "--dir",  dir.Path().string(),
                                         "--symbol",      "SAMPLE", "--skip", "1",
                                         "--date-format", "MMDDYY"};
        if (skipBadRows) args.push_back("--skip-bad-rows");
        const auto r = Cli(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err.rfind("You specified a numeric-only date format\n", 0), 0u) << r.err;
        EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    }
    TempDir dir;
    EXPECT_EQ(Cli({"convert", sample, "--dir", dir.Path().string(), "--symbol", "SAMPLE", "--skip",
                   "1", "--date-format", "MM_DD_CCYY"})
                  .code,
              0);
}

}  // namespace
}  // namespace corvat::test
