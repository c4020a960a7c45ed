#include <gtest/gtest.h>

#include "builders.h"
#include "cli_runner.h"

namespace corvat::test {
namespace {

// Converts `text` into a fresh directory; the data file's bytes, or empty.
Bytes Convert(const std::string& text, std::vector<std::string> flags, CliRun* run = nullptr) {
    TempDir dir;
    WriteText(dir / "in.csv", text);
    std::vector<std::string> args = {
        "convert", (dir / "in.csv").string(), "--dir", dir.Path().string(), "--symbol", "X"};
    args.insert(args.end(), flags.begin(), flags.end());
    const CliRun r = RunCorvatCli(args);
    if (run != nullptr) *run = r;
    return r.code == 0 ? ReadBytes(dir / "F1.DAT") : Bytes{};
}

TEST(DetectCli, ExportsConvertWithoutFlagsAsTheSameLayoutByHand) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"Date,Open,High,Low,Close,Adj Close,Volume\n"
         "2024-01-03,184.22,185.88,183.43,184.25,183.55,58414500\n"
         "2024-01-02,187.15,188.44,183.89,185.64,184.94,82488700\n",
         {"--date-format", "CCYY_MM_DD", "--skip", "1", "--volume-col", "7", "--no-oi"}},
        {"Datum;Er\xC3\xB6"
         "ffnung;Hoch;Tief;Schluss\n15.01.2024;1.187,15;188,44;183,89;185,64\n",
         {"--delimiter", "semicolon", "--date-format", "DD_MM_CCYY", "--skip", "1", "--no-volume",
          "--no-oi", "--decimal", "comma", "--thousands", "dot"}},
        {"\"Date\",\"Price\",\"Open\",\"High\",\"Low\",\"Vol.\"\n"
         "\"01/16/2024\",\"4,765.98\",\"4,772.35\",\"4,782.34\",\"4,739.58\",\"62.38M\"\n",
         {"--date-format", "MM_DD_CCYY", "--skip", "1", "--close-col", "2", "--open-col", "3",
          "--high-col", "4", "--low-col", "5", "--volume-col", "6", "--no-oi", "--thousands",
          "comma", "--suffixes"}},
        {"2024.01.02\t00:00\t1.1042\t1.1050\t1.0930\t1.0945\t61234\n",
         {"--delimiter", "tab", "--date-format", "CCYY_MM_DD", "--open-col", "3", "--high-col", "4",
          "--low-col", "5", "--close-col", "6", "--volume-col", "7", "--no-oi"}},
        // Header-less, as the old defaults read it: the same bytes as before.
        {"011597,1,2,0.5,1.5,100,7\n011697,1.5,2.5,1,2.25,200,8\n", {"--date-format", "MMDDYY"}},
    };
    for (const auto& [text, flags] : cases) {
        CliRun run;
        const Bytes detected = Convert(text, {}, &run);
        EXPECT_FALSE(detected.empty()) << text << run.err;
        EXPECT_EQ(detected, Convert(text, flags)) << text;
    }
    const Bytes investing = Convert(std::get<0>(cases[2]), {});
    EXPECT_EQ(Slice(investing, 24 + 20, 4), MbfOf(62380000.0f));
}

TEST(DetectCli, UndecidedPartsAndIntradayAreRefusedNamingTheFlag) {
    CliRun r;
    EXPECT_TRUE(Convert("01/02/2024,1,2,3,4\n03/04/2024,1,2,3,4\n", {}, &r).empty());
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(
                  "MM_DD_CCYY (--date-format MM_DD_CCYY) or DD_MM_CCYY (--date-format DD_MM_CCYY)"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(Convert("01/02/2024,1,2,3,4\n", {"--date-format", "DD_MM_CCYY"}).empty());
    // A column or --no- option for every field settles the columns.
    std::vector<std::string> flags = {"--skip-bad-rows", "--skip", "1", "--no-volume", "--no-oi"};
    int column = 0;
    for (const char* flag : {"--date-col", "--open-col", "--high-col", "--low-col", "--close-col"})
        flags.insert(flags.end(), {flag, std::to_string(++column)});
    const std::string odd = "Day,O,H,L,C\n2024-01-02,1,2,0.5,1.5\n2024-01-03,n/a,2,0.5,1.5\n";
    EXPECT_EQ(Convert(odd, flags, &r).size(), 40u) << r.err;
    EXPECT_TRUE(Convert("Date,Close\n2024-01-02 10:00,1\n", {}, &r).empty());
    EXPECT_NE(r.err.find("holds times of day (intraday data)"), std::string::npos) << r.err;
}

TEST(DetectCli, PrintsTheOptionsAndFirstRowsAndWritesNothing) {
    TempDir dir;
    WriteText(dir / "y.csv",
              "Date,Open,High,Low,Close,Volume\n2024-01-03,1,2,0.5,1.5,100\n"
              "2024-01-02,1,2,0.5,1.25,200\n");
    CliRun r = RunCorvatCli({"detect", (dir / "y.csv").string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Options: --date-format CCYY_MM_DD --skip 1 --no-oi\n"
              "2024-01-02 O 1 H 2 L 0.5 C 1.25 V 200\n2024-01-03 O 1 H 2 L 0.5 C 1.5 V 100\n");
    WriteText(dir / "a.csv", "01/02/2024,1,2,3,4\n");
    EXPECT_EQ(RunCorvatCli({"detect", (dir / "a.csv").string()}).code, 1);
    EXPECT_EQ(RunCorvatCli({"detect", (dir / "none.csv").string()}).code, 1);
    EXPECT_EQ(RunCorvatCli({"detect", (dir / "a.csv").string(), "--date-format", "x"}).code, 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

}  // namespace
}  // namespace corvat::test
