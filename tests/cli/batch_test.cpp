#include <gtest/gtest.h>

#include "builders.h"
#include "cli_runner.h"
#include "convert_command.h"

namespace corvat::test {
namespace {

struct BatchFixture {
    TempDir dir;
    std::filesystem::path out = dir / "out";
    BatchFixture() { std::filesystem::create_directory(out); }
    std::string Input(const std::string& name, const std::string& text) {
        WriteText(dir / name, text);
        return (dir / name).string();
    }
    std::string Good(const std::string& name) {
        return Input(name, "19970115,1,2,0.5,1.5,100,7\n19970116,1.5,2.5,1,2.25,200,8\n");
    }
    CliRun Convert(std::vector<std::string> inputs, std::vector<std::string> extra = {},
                   bool terminal = false) {
        inputs.insert(inputs.begin(), "convert");
        inputs.insert(inputs.end(), {"--dir", out.string(), "--date-format", "ccyymmdd"});
        inputs.insert(inputs.end(), extra.begin(), extra.end());
        return RunCorvatCli(inputs, terminal);
    }
};

TEST(BatchConvert, OneBadFileAmongThemDoesNotStopTheOthers) {
    BatchFixture f;
    const std::string ibm = f.Good("ibm.csv");
    const std::string bad =
        f.Input("bad.csv", "19970115,1,2,0.5,1.5,100,7\nnot a date,1,1,1,1,1,1\n");
    const std::string missing = (f.dir / "missing.csv").string();
    const std::string msft = f.Good("Msft.Prices.txt");
    // A blank symbol, one too long to store, and one already taken by an earlier file.
    std::filesystem::create_directory(f.dir / "x");
    const std::string again = f.Input("x/ibm.txt", "19970115,1,2,0.5,1.5,100,7\n");
    const CliRun r = f.Convert(
        {ibm, bad, missing, msft, f.Good("   .csv"), f.Good("fifteen_letters.csv"), again});
    EXPECT_EQ(r.code, 1);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 8u) << r.out;
    EXPECT_EQ(lines[0], ibm + ": symbol IBM, file number 1, 2 rows written, converted");
    // A bad row, answered No for want of --skip-bad-rows, fails the file whole.
    EXPECT_EQ(lines[1], bad + ": symbol BAD, file number -, 0 rows written, failed");
    EXPECT_EQ(lines[2], missing + ": symbol MISSING, file number -, 0 rows written, failed");
    EXPECT_EQ(lines[3], msft + ": symbol MSFT.PRICES, file number 2, 2 rows written, converted");
    EXPECT_EQ(lines[7], "2 converted, 5 failed");
    EXPECT_NE(r.err.find("symbol \"FIFTEEN_LETTERS\": A symbol is at most 14"), std::string::npos);
    // What is said about one file starts with its name.
    EXPECT_NE(r.err.find(bad + ": 1 row cannot be converted:\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Convert the other 1 row and leave these out?\n(Answered no: run again "
                         "with --skip-bad-rows to leave them out.)"),
              std::string::npos);
    EXPECT_NE(r.err.find("Cannot open " + missing), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("You did not enter a valid symbol"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(again + ": Duplicate Symbol"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("\r"), std::string::npos) << "no progress when stderr is no terminal";

    const Bytes master = ReadBytes(f.out / "MASTER");
    ASSERT_EQ(master.size(), 3u * 53);
    EXPECT_EQ(Slice(master, 2 * 53 + 7, 16), TextBytes("MSFT.PRICES     "))
        << "name follows the symbol";

    // One INPUT without --symbol: its name is its symbol, as in a batch.
    const CliRun skipped = f.Convert({bad}, {"--skip-bad-rows"});
    EXPECT_EQ(skipped.code, 0) << skipped.err;
    EXPECT_EQ(skipped.out,
              "Conversion completed successfully!\n1 record, 1997-01-15 to 1997-01-15\n1 row left "
              "out.\n");
    EXPECT_EQ(Slice(ReadBytes(f.out / "MASTER"), 3 * 53 + 36, 16), TextBytes("BAD             "));
    EXPECT_NE(skipped.err.find("(Answered yes: --skip-bad-rows was given.)"), std::string::npos);
}

TEST(BatchConvert, SymbolsComeFromFileNamesUncut) {
    EXPECT_EQ(SymbolFromFileName("/data/ibm.csv"), "IBM");
    EXPECT_EQ(SymbolFromFileName("dir.d/spy"), "SPY");
    EXPECT_EQ(SymbolFromFileName("a_very_long_file_name_indeed.txt"),
              "A_VERY_LONG_FILE_NAME_INDEED");
    EXPECT_EQ(SymbolFromFileName(".csv"), ".CSV");
    EXPECT_EQ(SymbolFromFileName("   .csv"), "");
}

TEST(BatchConvert, UsageErrorsWriteNothingAndAGoodRunSharesTheOptions) {
    BatchFixture f;
    const std::string a = f.Good("a.csv");
    const std::string b = f.Input("b.csv", ReadFileBytes(a) + "bad row\n");
    EXPECT_EQ(f.Convert({a, b}, {"--symbol", "X"}).code, 2) << "a batch's symbols are its names";
    EXPECT_FALSE(std::filesystem::exists(f.out / "MASTER"));

    const CliRun r =
        f.Convert({a, b}, {"--no-oi", "--no-volume", "--name", "SAME", "--skip-bad-rows"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Lines(r.out).back(), "2 converted, 0 failed");
    EXPECT_EQ(ReadBytes(f.out / "F2.DAT").size(), 3u * 20);
    EXPECT_EQ(Slice(ReadBytes(f.out / "MASTER"), 2 * 53 + 7, 16), TextBytes("SAME            "));
}

TEST(BatchConvert, NewMasterIsMadeOnceThenFilled) {
    BatchFixture f;
    CliRun r =
        f.Convert({f.Input("bad.csv", "x"), f.Good("a.csv"), f.Good("b.csv")}, {"--master", "new"});
    // The first file is refused before anything is written; the next makes
    // the master the one after it goes into.
    EXPECT_EQ(Lines(r.out).back(), "2 converted, 1 failed") << r.out << r.err;
    EXPECT_EQ(ReadBytes(f.out / "MASTER").size(), 3u * 53);

    // A master that was there before the batch is never used with "new".
    r = f.Convert({f.Good("c.csv"), f.Good("d.csv")}, {"--master", "new"});
    EXPECT_EQ(Lines(r.out).back(), "0 converted, 2 failed");
    EXPECT_EQ(ReadBytes(f.out / "MASTER").size(), 3u * 53);
}

TEST(BatchConvert, WritesTheBytesOfConvertingTheFilesOneByOne) {
    // Into an existing master with --update: new securities, one made and
    // then added to within the batch (any letter case), one the directory
    // held, and a duplicate refused without --update.
    BatchFixture f;
    const std::string held = f.Input("held.csv", "19970110,1,2,0.5,1.5,100,7\n");
    const std::vector<std::string> files = {
        f.Good("a.csv"), held, f.Input("A.txt", "19970116,1,3,0.5,2,300,9\n19970117,1,2,1,2,1,1\n"),
        f.Good("b.csv")};
    std::filesystem::path one = f.dir / "one";
    for (const auto& out : {f.out, one}) {
        std::filesystem::create_directories(out);
        ASSERT_EQ(
            RunCorvatCli({"convert", held, "--dir", out.string(), "--date-format", "ccyymmdd"})
                .code,
            0);
    }
    ASSERT_EQ(f.Convert(files, {"--update"}).code, 0);
    for (const std::string& file : files) {
        ASSERT_EQ(RunCorvatCli({"convert", file, "--dir", one.string(), "--date-format", "ccyymmdd",
                                "--update"})
                      .code,
                  0);
    }
    DirSnapshot batch = Snapshot(f.out), oneByOne = Snapshot(one);
    batch.erase("MASTER.BAK");
    oneByOne.erase("MASTER.BAK");
    EXPECT_EQ(batch, oneByOne);
    EXPECT_EQ(f.Convert({f.Good("c.csv"), f.Good("C.csv")}).code, 1) << "Duplicate Symbol";
}

TEST(BatchConvert, ShowsACounterOnATerminalAndClearsItBeforeMessages) {
    BatchFixture f;
    const CliRun r =
        f.Convert({f.Good("a.csv"), f.Input("bad.csv", "x\n"), f.Good("c.csv")}, {}, true);
    EXPECT_NE(r.err.find("[1/3] "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("[3/3] "), std::string::npos);
    // Every message starts on a clean line: the counter is wiped with \r.
    const auto message = r.err.find("Cannot tell how");
    ASSERT_NE(message, std::string::npos) << r.err;
    EXPECT_EQ(r.err[message - 1], '\r');
    EXPECT_EQ(r.err.back(), '\r') << "the last counter is wiped too";
}

}  // namespace
}  // namespace corvat::test
