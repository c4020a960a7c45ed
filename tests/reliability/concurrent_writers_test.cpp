// Several corvat-cli processes started together on one data directory:
// they take turns, so every one sees the index the one before left.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "date_codec.h"
#include "file_system.h"
#include "master_listing.h"
#include "process.h"
#include "reliability_fixture.h"

namespace corvat {
namespace {

struct Writers {
    std::vector<CliProcess> processes;
    std::vector<int> results;
};

// Starts every argument list at once, then waits for all of them.
Writers RunTogether(const std::vector<std::vector<std::string>>& runs, const TempDir& work) {
    Writers writers;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        auto args = runs[i];
        args.insert(args.end(), {"--date-format", "MM_DD_CCYY", "--wait", "300"});
        writers.processes.push_back(StartCli(args, work / ("err" + std::to_string(i) + ".txt")));
    }
    for (const auto& process : writers.processes) writers.results.push_back(WaitCli(process));
    return writers;
}

std::filesystem::path WriteInput(const TempDir& work, const std::string& name, int index) {
    const auto path = work / (name + ".csv");
    WriteFileBytes(path, PriceRows(index + 2, 100 * index));
    return path;
}

int Check(const std::filesystem::path& dir, const TempDir& work) {
    return RunCli({"check", dir.string(), "--wait", "300"}, work / "check.txt");
}

TEST(ConcurrentWriters, DistinctSymbolsAllLandWithTheirOwnRowsAndDates) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    std::vector<std::vector<std::string>> runs;
    for (int i = 0; i < 12; ++i) {
        const auto input = WriteInput(work, "S" + std::to_string(i), i);
        runs.push_back({"convert", input.string(), "--dir", dir.string(), "--symbol",
                        "S" + std::to_string(i)});
    }
    const Writers writers = RunTogether(runs, work);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(writers.results[i], 0) << ReadFileBytes(writers.processes[i].errorFile);
    }
    EXPECT_EQ(Check(dir, work), 0) << ReadFileBytes(work / "check.txt");
    MasterListing listing;
    ASSERT_EQ(ReadMasterListing(dir, listing), "");
    ASSERT_EQ(listing.Entries().size(), 12u);
    for (const MasterEntry& entry : listing.Entries()) {
        const int i = std::stoi(entry.symbol.substr(1));
        const CalendarDate first = DayNumberToDate(static_cast<std::uint16_t>(13000 + 100 * i));
        const CalendarDate last = DayNumberToDate(static_cast<std::uint16_t>(13000 + 101 * i + 1));
        EXPECT_EQ(
            std::make_tuple(entry.firstDate.year - 1900, entry.firstDate.month, entry.firstDate.day,
                            entry.lastDate.year - 1900, entry.lastDate.month, entry.lastDate.day),
            std::make_tuple(first.year, first.month, first.day, last.year, last.month, last.day))
            << entry.symbol;
    }
}

TEST(ConcurrentWriters, OneSymbolStartedSixTimesLandsOnce) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    const auto input = WriteInput(work, "SAME", 1);
    const Writers writers =
        RunTogether(std::vector<std::vector<std::string>>(
                        6, {"convert", input.string(), "--dir", dir.string(), "--symbol", "SAME"}),
                    work);
    int succeeded = 0;
    for (std::size_t i = 0; i < writers.results.size(); ++i) {
        if (writers.results[i] == 0)
            ++succeeded;
        else
            EXPECT_NE(ReadFileBytes(writers.processes[i].errorFile).find("Duplicate Symbol"),
                      std::string::npos);
    }
    EXPECT_EQ(succeeded, 1);
    EXPECT_EQ(Check(dir, work), 0) << ReadFileBytes(work / "check.txt");
}

// Two batches into an empty directory agree on one master, and a reader
// meanwhile only ever sees whole indexes.
TEST(ConcurrentWriters, TwoBatchesShareOneNewMasterWhileAReaderWatches) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    std::vector<std::vector<std::string>> runs(2, {"convert"});
    for (int i = 0; i < 20; ++i) {
        runs[i % 2].push_back(WriteInput(work, "B" + std::to_string(i), i).string());
    }
    for (auto& run : runs) run.insert(run.end(), {"--dir", dir.string(), "--master", "auto"});

    std::atomic<bool> writing = true;
    int reads = 0;
    std::thread reader([&] {
        while (writing) {
            MasterListing listing;
            if (!std::filesystem::exists(dir / "MASTER")) continue;
            ++reads;
            EXPECT_EQ(ReadMasterListing(dir, listing), "");
            EXPECT_TRUE(listing.Complete()) << listing.fileSize << " bytes";
        }
    });
    const Writers writers = RunTogether(runs, work);
    writing = false;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(writers.results, (std::vector<int>{0, 0}))
        << ReadFileBytes(writers.processes[0].errorFile)
        << ReadFileBytes(writers.processes[1].errorFile);
    MasterListing listing;
    ASSERT_EQ(ReadMasterListing(dir, listing), "");
    EXPECT_EQ(listing.Entries().size(), 20u);
    EXPECT_EQ(Check(dir, work), 0) << ReadFileBytes(work / "check.txt");
}

TEST(ConcurrentWriters, GivingUpOnAHeldLockChangesNothing) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    Portfolio::Build(dir);
    const auto input = WriteInput(work, "LATE", 1);
    const DirSnapshot before = Snapshot(dir);
    std::error_code ec;
    const auto held = RealFileSystem().TryLockDirectory(dir, LockMode::Exclusive, ec);
    ASSERT_TRUE(held) << ec.message();
    const auto errors = work / "err.txt";
    const std::string waiting = "Waiting for another program writing to " +
                                std::filesystem::canonical(dir).string() + "...\n";
    const std::string gaveUp = "Another program is writing to ";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"convert", input.string(), "--dir", dir.string(), "--symbol", "LATE", "--wait", "1"},
             {"check", dir.string(), "--wait", "1"},
             {"convert", input.string(), "--dir", dir.string(), "--symbol", "LATE", "--wait",
              "0"}}) {
        EXPECT_EQ(RunCli(args, errors), 1) << args[0];
        const std::string text = ReadFileBytes(errors);
        EXPECT_EQ(text.find(waiting) != std::string::npos, args.back() == "1") << text;
        EXPECT_NE(text.find(gaveUp), std::string::npos) << text;
        EXPECT_EQ(Snapshot(dir), before);
    }
}

}  // namespace
}  // namespace corvat
