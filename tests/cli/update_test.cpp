#include <gtest/gtest.h>

#include "builders.h"
#include "cli_runner.h"
#include "date_codec.h"
#include "index_files.h"

namespace corvat::test {
namespace {

std::string Rows(const std::vector<std::pair<int, int>>& rows) {
    std::string text;
    for (auto [date, close] : rows)
        text += std::to_string(date) + ",1,2,0.5," + std::to_string(close) + ",100," +
                std::to_string(close) + "\n";
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
    Bytes File(const std::string& name) { return ReadBytes(out / name); }
};

TEST(Update, MergesAnOverlappingFileThenHasNothingToAddAndRefusesAMissingField) {
    UpdateFixture f;
    ASSERT_EQ(f.Run({"convert", f.Input("ibm.csv", Rows({{20240102, 10}, {20240103, 11}})),
                     "--symbol", "IBM"})
                  .code,
              0);
    const Bytes before = f.File("F1.DAT");
    const auto longer = f.Input("ibm2.csv", Rows({{20240102, 10}, {20240103, 15}, {20240108, 14}}));
    CliRun r = f.Run({"convert", longer, "--symbol", "ibm", "--update"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "IBM: 1 row added, 1 replaced, 3 records\n");
    const Bytes after = f.File("F1.DAT");
    EXPECT_EQ(Slice(after, 28, 28), Slice(before, 28, 28)) << "old record's bytes unchanged";
    EXPECT_EQ(Slice(after, 2 * 28 + 16, 4), (Bytes{0, 0, 0x70, 0x84}));  // 15
    const Bytes master = f.File("MASTER");
    EXPECT_EQ(std::make_pair(master.size(), master[53]), std::make_pair(2 * 53ul, std::uint8_t{1}))
        << "one entry, file number unchanged";
    const auto last = DayNumberToDateValue(DateToDayNumber(2024, 1, 8));
    EXPECT_EQ(Slice(master, 53 + 29, 4), Bytes(last.begin(), last.end()));
    EXPECT_EQ(RunCorvatCli({"check", f.out.string()}).code, 0) << "EMASTER kept in step";

    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--update"}, "IBM: nothing to add, 3 records"},
        {{"--update", "--no-oi"}, "IBM has open interest, which " + longer + " does not give."},
        {{}, "Duplicate Symbol"}};
    for (const auto& [extra, said] : cases) {
        std::vector<std::string> args = {"convert", longer, "--symbol", "IBM"};
        args.insert(args.end(), extra.begin(), extra.end());
        r = f.Run(args);
        EXPECT_NE((r.out + r.err).find(said), std::string::npos) << r.out << r.err;
        EXPECT_EQ(f.File("F1.DAT"), after);
        EXPECT_EQ(f.File("MASTER"), master);
    }
}

TEST(Update, BatchMixesUpdatesAndNewSecurities) {
    UpdateFixture f;
    ASSERT_EQ(f.Run({"convert", f.Input("ibm.csv", Rows({{20240102, 10}}))}).code, 0);
    const auto ibm = f.Input("IBM.txt", Rows({{20240102, 10}, {20240103, 11}}));
    const auto msft = f.Input("msft.csv", Rows({{20240102, 20}}));
    const CliRun r = f.Run({"convert", ibm, msft, "--update"});
    EXPECT_EQ(r.code, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_GE(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines[0],
              ibm + ": symbol IBM, file number 1, 1 row added, 0 replaced, 2 records, updated");
    const std::string added = msft + ": symbol MSFT, file number 2, 1 row";
    EXPECT_EQ(lines[1].substr(0, added.size()), added);
}

// Only DIR's own securities answer to --update, by their whole stored
// symbol, which another program may have written longer than a new one's.
TEST(Update, LongStoredSymbolsAnswerAndSubDirectorySymbolsAreNamed) {
    UpdateFixture f;
    std::filesystem::create_directory(f.out / "sub");
    WriteBytes(f.out / "MASTER", MasterBytes(2, 2,
                                             {WriteSoundSecurity(f.out, 1, "LONGSYMBOL12345"),
                                              DirectoryEntry(2, "SUB")}));
    WriteBytes(f.out / "sub" / "MASTER",
               MasterBytes(1, 1, {WriteSoundSecurity(f.out / "sub", 1, "SUBONLY")}));
    const auto rows = Rows({{19970117, 11}});
    const std::pair<std::string, std::string> cases[] = {
        {"longsymbol12345.csv", "LONGSYMBOL12345: 1 row added, 0 replaced, 3 records\n"},
        {"LONGNEWSYMBOL12.csv", kSymbolRule},
        {"subonly.csv", "SUBONLY is in " + (f.out / "sub").string()}};
    for (const auto& [name, said] : cases) {
        const CliRun r = f.Run({"convert", f.Input(name, rows), "--update"});
        EXPECT_EQ(r.code, name[0] == 'l' ? 0 : 1) << name;
        EXPECT_NE((r.out + r.err).find(said), std::string::npos) << r.out << r.err;
    }
    EXPECT_EQ(RunCorvatCli({"check", f.out.string()}).code, 0);
}

TEST(Remove, TakesTheEntryAndFilesAndFreesTheNumber) {
    UpdateFixture f;
    const auto rows = Rows({{20240102, 10}});
    ASSERT_EQ(
        f.Run({"convert", f.Input("a.csv", rows), f.Input("b.csv", rows), f.Input("c.csv", rows)})
            .code,
        0);
    const CliRun r = RunCorvatCli({"remove", f.out.string(), "b", "nosuch"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "B: removed, file number 2\n");
    EXPECT_NE(r.err.find("nosuch is not in "), std::string::npos) << r.err;
    EXPECT_EQ(Slice(f.File("MASTER"), 0, 4), (Bytes{2, 0, 3, 0})) << "count, highest number in use";
    EXPECT_FALSE(std::filesystem::exists(f.out / "F2.DAT") ||
                 std::filesystem::exists(f.out / "F2.DOP"));
    EXPECT_EQ(RunCorvatCli({"check", f.out.string()}).code, 0);
    ASSERT_EQ(f.Run({"convert", f.Input("d.csv", rows)}).code, 0);
    EXPECT_EQ(f.File("MASTER")[3 * 53], 2) << "the freed number is reused";
}

}  // namespace
}  // namespace corvat::test
