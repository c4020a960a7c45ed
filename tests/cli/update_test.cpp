#include <gtest/gtest.h>

#include "builders.h"
#include "cli_runner.h"
#include "date_codec.h"

namespace corvat::test {
namespace {

// Rows of date (CCYYMMDD) and close; the other fields follow the close.
std::string Rows(const std::vector<std::pair<int, int>>& rows) {
    std::string text;
    for (auto [date, close] : rows) {
        const std::string c = std::to_string(close);
        text += std::to_string(date) + ",1,2,0.5," + c + ",100," + c + "\n";
    }
    return text;
}

struct UpdateFixture {
    TempDir dir;
    std::filesystem::path out = dir / "out";
    UpdateFixture() { std::filesystem::create_directory(out); }
    std::string Input(const std::string& name, const std::string& text) {
        WriteText(dir / name, text);
        return (dir / name).string();
    }
    CliRun Run(std::vector<std::string> args) {
        args.insert(args.end(), {"--dir", out.string(), "--date-format", "ccyymmdd"});
        return RunCorvatCli(args);
    }
    Bytes Master() { return ReadBytes(out / "MASTER"); }
};

TEST(Update, MergesALongerOverlappingFileAndLeavesOldRecordsAsTheyWere) {
    UpdateFixture f;
    const auto first = f.Input("ibm.csv", Rows({{20240102, 10}, {20240103, 11}, {20240104, 12}}));
    ASSERT_EQ(f.Run({"convert", first, "--symbol", "IBM"}).code, 0);
    const Bytes before = ReadBytes(f.out / "F1.DAT");
    // Overlaps by three days, revises the last of them, adds two.
    const auto longer = f.Input(
        "ibm2.csv",
        Rows({{20240102, 10}, {20240103, 11}, {20240104, 15}, {20240105, 13}, {20240108, 14}}));
    CliRun r = f.Run({"convert", longer, "--symbol", "ibm", "--update"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "IBM: 2 rows added, 1 replaced, 5 records\n");
    const Bytes after = ReadBytes(f.out / "F1.DAT");
    ASSERT_EQ(after.size(), 6u * 28);
    EXPECT_EQ(Slice(after, 2, 2), (Bytes{6, 0}));
    EXPECT_EQ(Slice(after, 28, 56), Slice(before, 28, 56)) << "old records' bytes unchanged";
    const auto close = IeeeToMbf(15);
    EXPECT_EQ(Slice(after, 3 * 28 + 16, 4), Bytes(close.begin(), close.end()));
    const Bytes master = f.Master();
    ASSERT_EQ(master.size(), 2u * 53) << "no new entry";
    EXPECT_EQ(master[53], 1) << "file number unchanged";
    const auto lastDate = DayNumberToDateValue(DateToDayNumber(2024, 1, 8));
    EXPECT_EQ(Slice(master, 53 + 29, 4), Bytes(lastDate.begin(), lastDate.end()));
    EXPECT_EQ(RunCorvatCli({"check", f.out.string()}).code, 0);

    // Nothing new: nothing changes, and it says so.
    r = f.Run({"convert", longer, "--symbol", "IBM", "--update"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "IBM: nothing to add, 5 records\n");
    EXPECT_EQ(ReadBytes(f.out / "F1.DAT"), after);
    EXPECT_EQ(f.Master(), master);
}

TEST(Update, RefusalsChangeNothing) {
    UpdateFixture f;
    std::filesystem::create_directory(f.out / "sub");
    const auto ibm = f.Input("ibm.csv", Rows({{20240102, 10}}));
    ASSERT_EQ(f.Run({"convert", ibm, "--symbol", "IBM"}).code, 0);
    ASSERT_EQ(RunCorvatCli({"convert", ibm, "--dir", (f.out / "sub").string(), "--date-format",
                            "ccyymmdd", "--symbol", "DEEP"})
                  .code,
              0);
    // Hand-made directory entry leading to sub.
    Bytes master = f.Master();
    master[0] = 2;
    const MasterRecord dirEntry = DirectoryEntry(2, "sub");
    master.insert(master.end(), dirEntry.begin(), dirEntry.end());
    WriteBytes(f.out / "MASTER", master);
    const Bytes data = ReadBytes(f.out / "F1.DAT");
    const auto later = f.Input("later.csv", Rows({{20240103, 11}}));
    struct Case {
        std::vector<std::string> extra;
        std::string message;
    };
    const Case cases[] = {
        {{"--symbol", "IBM", "--no-oi"},
         "IBM has open interest, which " + later + " does not give."},
        {{"--symbol", "deep"}, "DEEP is in "},
        {{"--symbol", "IBM"}, "Duplicate Symbol"},  // no --update
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"convert", later};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        if (c.message != "Duplicate Symbol") args.push_back("--update");
        const CliRun r = f.Run(args);
        EXPECT_EQ(r.code, 1) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(ReadBytes(f.out / "F1.DAT"), data) << c.message;
        EXPECT_EQ(f.Master(), master) << c.message;
    }
}

TEST(Update, BatchMixesUpdatesAndNewSecurities) {
    UpdateFixture f;
    ASSERT_EQ(
        f.Run({"convert", f.Input("ibm.csv", Rows({{20240102, 10}})), "--symbol", "IBM"}).code, 0);
    const auto ibm = f.Input("IBM.csv", Rows({{20240102, 10}, {20240103, 11}}));
    const auto msft = f.Input("msft.csv", Rows({{20240102, 20}}));
    const CliRun r = f.Run({"convert", ibm, msft, "--update"});
    EXPECT_EQ(r.code, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], ibm +
                            ": symbol IBM, file number 1, 1 row added, 0 replaced, 2 records, "
                            "updated");
    EXPECT_EQ(lines[1], msft + ": symbol MSFT, file number 2, 1 row written, converted");
}

TEST(Remove, TakesTheEntryAndFilesAndFreesTheNumber) {
    UpdateFixture f;
    const auto rows = Rows({{20240102, 10}});
    ASSERT_EQ(
        f.Run({"convert", f.Input("a.csv", rows), f.Input("b.csv", rows), f.Input("c.csv", rows)})
            .code,
        0);
    CliRun r = RunCorvatCli({"remove", f.out.string(), "b", "nosuch"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "B: removed, file number 2\n");
    EXPECT_NE(r.err.find("nosuch is not in "), std::string::npos) << r.err;
    const Bytes master = f.Master();
    ASSERT_EQ(master.size(), 3u * 53);
    EXPECT_EQ(Slice(master, 0, 4), (Bytes{2, 0, 3, 0})) << "count, highest number in use";
    EXPECT_FALSE(std::filesystem::exists(f.out / "F2.DAT"));
    EXPECT_FALSE(std::filesystem::exists(f.out / "F2.DOP"));
    EXPECT_EQ(RunCorvatCli({"check", f.out.string()}).code, 0);

    r = f.Run({"convert", f.Input("d.csv", rows), "--symbol", "D"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(f.Master()[3 * 53], 2) << "the freed number is reused";
    EXPECT_EQ(RunCorvatCli({"remove", f.out.string(), "c"}).code, 0);
    EXPECT_EQ(Slice(f.Master(), 0, 4), (Bytes{2, 0, 2, 0}));
}

}  // namespace
}  // namespace corvat::test
