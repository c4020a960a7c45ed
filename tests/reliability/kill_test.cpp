// Starts corvat-cli on a batch into an existing portfolio (new securities
// and an update) and kills it (SIGKILL) at random moments: whatever moment
// the kill hits, the directory is as it was, or the update's data is in
// place with the old index, or the batch is committed whole; beside that at
// most data files no entry names and temporary copies. A later run still
// succeeds.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <random>
#include <set>
#include <thread>

#include "cli_runner.h"
#include "index_listing.h"
#include "master_record.h"
#include "reliability_fixture.h"

namespace corvat::test {
namespace {

using Clock = std::chrono::steady_clock;

std::set<int> NamedNumbers(const std::string& master) {
    std::set<int> numbers;
    for (std::size_t at = kMasterRecordSize; at + kMasterRecordSize <= master.size();
         at += kMasterRecordSize) {
        numbers.insert(static_cast<std::uint8_t>(master[at]));
    }
    return numbers;
}

bool IsUnnamedOrTemporary(const std::string& name, const std::set<int>& named) {
    if (name.ends_with(".~NU") || name.ends_with(".NEW")) return true;
    if (name.size() < 6 || name[0] != 'F' || !(name.ends_with(".DAT") || name.ends_with(".DOP")))
        return false;
    const std::string digits = name.substr(1, name.size() - 5);
    return digits.find_first_not_of("0123456789") == std::string::npos &&
           !named.count(std::stoi(digits));
}

void Restore(const std::filesystem::path& dir, const DirSnapshot& snapshot) {
    std::filesystem::remove_all(dir);
    for (const auto& [name, bytes] : snapshot) {
        std::filesystem::create_directories((dir / name).parent_path());
        WriteFileBytes(dir / name, bytes);
    }
}

// As it was, the update's data renamed ahead of its index, or committed:
// every file an index names is whole, as before the batch or as after an
// undisturbed one.
void ExpectAsItWasOrCommitted(const DirSnapshot& before, const DirSnapshot& after,
                              const DirSnapshot& complete, const std::string& updated,
                              bool finished) {
    const std::string& master = after.at("MASTER");
    const bool committed = master == complete.at("MASTER");
    ASSERT_TRUE(committed || master == before.at("MASTER")) << "MASTER is neither";
    EXPECT_TRUE(committed || !finished) << "a run that finished did not commit";
    const std::set<int> named = NamedNumbers(master);
    for (const auto& [name, bytes] : after) {
        if (IsUnnamedOrTemporary(name, named)) continue;
        const auto old = before.find(name);
        const bool asBefore = old != before.end() && old->second == bytes;
        const bool asAfter = complete.count(name) && complete.at(name) == bytes;
        if (name == "MASTER.BAK") {
            EXPECT_TRUE(asBefore || bytes == before.at("MASTER")) << name;
        } else if (committed) {
            // EMASTER follows the commit: in step, or behind as it was.
            EXPECT_TRUE(asAfter || (name == "EMASTER" && asBefore)) << name << " is not whole";
        } else {
            EXPECT_TRUE(asBefore || (name == updated && asAfter)) << name << " changed";
        }
    }
    for (const auto& [name, bytes] : committed ? complete : before) {
        EXPECT_TRUE(after.count(name) || name == "MASTER.BAK") << name << " is gone";
    }
}

// Runs `args` undisturbed (the quickest of three gives the span the kills
// are spread over, since a busy machine only makes runs longer; the last
// gives `complete`), then kills it at random moments; each time the
// directory is as before or committed. Returns how many runs were killed.
int KillAtRandomMoments(const std::vector<std::string>& args, const std::filesystem::path& dir,
                        const std::filesystem::path& errors, const DirSnapshot& before,
                        const std::string& updated, int runs, DirSnapshot& complete) {
    auto duration = std::chrono::microseconds::max();
    for (int timed = 0; timed < 3; ++timed) {
        Restore(dir, before);
        const auto start = Clock::now();
        EXPECT_EQ(RunCliProcess(args, errors), 0) << ReadFileBytes(errors);
        duration = std::min(
            duration, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
    }
    complete = Snapshot(dir);
    std::mt19937 random(20240601);
    std::uniform_int_distribution<long> moment(0, duration.count() * 9 / 10);
    int killed = 0;
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        Restore(dir, before);
        const CliProcess process = StartCli(args, errors);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(process.pid, SIGKILL);
        const int status = WaitCli(process);
        if (status == 128 + SIGKILL) {
            ++killed;
        } else {
            // It finished first, or failed: a failure must say why.
            EXPECT_EQ(status, 0) << ReadFileBytes(errors);
        }
        ExpectAsItWasOrCommitted(before, Snapshot(dir), complete, updated, status == 0);
        if (::testing::Test::HasFatalFailure()) break;
    }
    return killed;
}

TEST(KillTest, ABatchSurvivesSigkillAtAnyMoment) {
    TempDir work;
    const auto dir = work / "data";
    const auto errors = work / "stderr.txt";
    std::filesystem::create_directory(dir);
    Portfolio::Build(dir);
    Portfolio::AddEmaster(dir);
    std::vector<std::string> args = {"convert", (work / "upd.csv").string()};
    WriteFileBytes(work / "upd.csv", PriceRows(3000));
    const auto convert = [&](const std::vector<std::string>& inputs) {
        std::vector<std::string> all = {"convert"};
        all.insert(all.end(), inputs.begin(), inputs.end());
        all.insert(all.end(), {"--dir", dir.string(), "--master", "existing", "--update",
                               "--date-format", "MM_DD_CCYY", "--wait", "0"});
        return RunCliProcess(all, errors);
    };
    ASSERT_EQ(convert({args[1]}), 0) << ReadFileBytes(errors);
    const DirSnapshot before = Snapshot(dir);
    WriteFileBytes(work / "upd.csv", PriceRows(6000, 2000));
    for (int i = 0; i < 5; ++i) {
        const auto input = work / ("K" + std::to_string(i) + ".csv");
        WriteFileBytes(input, PriceRows(8000, i));
        args.push_back(input.string());
    }
    args.insert(args.end(), {"--dir", dir.string(), "--master", "existing", "--update",
                             "--date-format", "MM_DD_CCYY"});

    DirSnapshot complete;
    constexpr int kRuns = 40;
    const int killed = KillAtRandomMoments(args, dir, errors, before, "F3.DAT", kRuns, complete);
    // The update's data file: named in MASTER before the batch, changed by it.
    ASSERT_NE(before.at("F3.DAT"), complete.at("F3.DAT"));
    EXPECT_GE(killed, kRuns / 4) << "most kills came too late to test anything";

    // What a kill left behind does not stop the next run, not even for a
    // moment (its lock died with it), and that run clears its temporary files.
    std::filesystem::copy_file(work / "K0.csv", work / "FINAL.csv");
    ASSERT_EQ(convert({(work / "FINAL.csv").string()}), 0) << ReadFileBytes(errors);
    EXPECT_EQ(TemporaryFiles(dir), std::vector<std::string>{});
    DirectoryIndex index;
    ReadDirectoryIndex(RealFileSystem(), dir, index);
    EXPECT_EQ(index.EmasterStanding(), EmasterState::InStep);
}

// A removal: the entry still there with its files whole, or gone from every
// index with at most its files left behind.
TEST(KillTest, ARemovalSurvivesSigkillAtAnyMoment) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    Portfolio::Build(dir);
    Portfolio::AddEmaster(dir);
    DirSnapshot complete;
    KillAtRandomMoments({"remove", dir.string(), "bbb"}, dir, work / "stderr.txt", Snapshot(dir),
                        "", 20, complete);
    EXPECT_FALSE(complete.count("F2.DAT") || complete.count("F2.DOP"));
}

}  // namespace
}  // namespace corvat::test
