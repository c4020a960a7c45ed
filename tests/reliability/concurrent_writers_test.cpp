// corvat-cli processes started together on one data directory take turns:
// each sees the index the one before it left.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "cli_runner.h"
#include "date_codec.h"
#include "master_listing.h"
#include "reliability_fixture.h"

namespace corvat::test {
namespace {

// Into an empty directory at once: 12 conversions of distinct symbols, 6 of
// one symbol, and two batches of 10 (all with --master auto), while a reader
// loops over the master.
TEST(ConcurrentWriters, AllLandOnceWithTheirOwnRowsAndDates) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    std::vector<std::vector<std::string>> runs(2, {"convert"});
    for (int i = 0; i < 38; ++i) {
        const int n = std::min(i, 32);
        const std::string symbol = n < 32 ? "S" + std::to_string(n) : "SAME";
        WriteFileBytes(work / (symbol + ".csv"), PriceRows(n + 2, 100 * n));
        const std::string input = (work / (symbol + ".csv")).string();
        if (i < 20)
            runs[i % 2].push_back(input);
        else
            runs.push_back({"convert", input, "--symbol", symbol});
    }
    std::atomic<bool> writing = true;
    std::thread reader([&] {
        while (writing) {
            MasterListing listing;
            if (!std::filesystem::exists(dir / "MASTER")) continue;  // never goes once made
            EXPECT_EQ(ReadMasterListing(dir, listing, RealFileSystem()), "");
            EXPECT_TRUE(listing.Complete());
        }
    });
    std::vector<CliProcess> processes;
    for (auto& run : runs) {
        run.insert(run.end(),
                   {"--dir", dir.string(), "--date-format", "MM_DD_CCYY", "--wait", "300"});
        processes.push_back(StartCli(run, work / ("err" + std::to_string(processes.size()))));
    }
    int sameConverted = 0;
    for (std::size_t i = 0; i < processes.size(); ++i) {
        const int result = WaitCli(processes[i]);
        const std::string errors = ReadFileBytes(processes[i].errorFile);
        if (i < 2 + 12)
            EXPECT_EQ(result, 0) << errors;
        else if (result == 0)
            ++sameConverted;
        else
            EXPECT_NE(errors.find("Duplicate Symbol"), std::string::npos) << errors;
    }
    writing = false;
    reader.join();
    EXPECT_EQ(sameConverted, 1);
    EXPECT_EQ(RunCliProcess({"check", dir.string()}, work / "check"), 0)
        << ReadFileBytes(work / "check");
    MasterListing listing;
    ASSERT_EQ(ReadMasterListing(dir, listing, RealFileSystem()), "");
    ASSERT_EQ(listing.Entries().size(), 33u);
    for (const MasterEntry& entry : listing.Entries()) {
        const int i = entry.symbol == "SAME" ? 32 : std::stoi(entry.symbol.substr(1));
        const CalendarDate first = DayNumberToDate(static_cast<std::uint16_t>(13000 + 100 * i));
        const CalendarDate last = DayNumberToDate(static_cast<std::uint16_t>(13000 + 101 * i + 1));
        EXPECT_EQ(std::tie(entry.firstDate.month, entry.firstDate.day, entry.lastDate.month,
                           entry.lastDate.day),
                  std::tie(first.month, first.day, last.month, last.day))
            << entry.symbol;
    }
}

TEST(ConcurrentWriters, GivingUpOnAHeldLockChangesNothing) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    Portfolio::Build(dir);
    WriteFileBytes(work / "late.csv", PriceRows(2));
    const DirSnapshot before = Snapshot(dir);
    std::error_code ec;
    const auto held = RealFileSystem().TryLockDirectory(dir, LockMode::Exclusive, ec);
    ASSERT_TRUE(held) << ec.message();
    const std::string waiting = "Waiting for another program writing to " +
                                std::filesystem::canonical(dir).string() + "...\n";
    for (const std::string wait : {"1", "0"}) {
        for (auto args : {std::vector<std::string>{"check", dir.string()},
                          {"convert", (work / "late.csv").string(), "--dir", dir.string(),
                           "--symbol", "LATE", "--date-format", "MM_DD_CCYY"}}) {
            args.insert(args.end(), {"--wait", wait});
            EXPECT_EQ(RunCliProcess(args, work / "err"), 1) << ReadFileBytes(work / "err");
            const std::string text = ReadFileBytes(work / "err");
            EXPECT_EQ(text.find(waiting) != std::string::npos, wait == "1") << text;
            EXPECT_NE(text.find("Another program is writing to "), std::string::npos) << text;
            EXPECT_EQ(Snapshot(dir), before);
        }
    }
}

}  // namespace
}  // namespace corvat::test
