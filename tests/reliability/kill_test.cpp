// Starts corvat-cli on a large file into an existing portfolio and kills
// it (SIGKILL) at random moments, many times over the same directory:
// whatever moment the kill hits, the directory is as it was or the run is
// committed whole, with at most data files no entry names and temporary
// copies beside it, and a later run still succeeds.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
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

std::vector<std::string> ConvertArgs(const std::filesystem::path& input,
                                     const std::filesystem::path& dir, const std::string& symbol) {
    return {"convert", input.string(), "--dir",    dir.string(),    "--symbol",
            symbol,    "--master",     "existing", "--date-format", "MM_DD_CCYY"};
}

void ExpectMasterParses(const std::string& master, const std::string& before) {
    ASSERT_GE(master.size(), kMasterRecordSize);
    ASSERT_EQ(master.size() % kMasterRecordSize, 0u);
    ASSERT_TRUE(master.size() == before.size() ||
                master.size() == before.size() + kMasterRecordSize)
        << master.size() << " bytes after " << before.size();
    MasterRecord header{};
    std::copy_n(master.begin(), kMasterRecordSize, header.begin());
    EXPECT_EQ(static_cast<std::size_t>(ReadInt16(header, master::kEntryCount)),
              master.size() / kMasterRecordSize - 1)
        << "the count does not match the entries";
    EXPECT_EQ(master.substr(4, before.size() - 4), before.substr(4)) << "an earlier entry changed";
}

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

// The directory as it was, or the run committed: the master with the new
// entry, whose data files are those of an undisturbed run; the backup the
// master before the run. Beside that only unnamed data files and temporary
// copies.
void ExpectAsItWasOrCommitted(const DirSnapshot& before, const DirSnapshot& after,
                              const DirSnapshot& complete, bool finished) {
    const std::string& masterBefore = before.at("MASTER");
    const std::string& master = after.at("MASTER");
    const bool committed = master != masterBefore;
    EXPECT_TRUE(committed || !finished) << "a run that finished did not commit";
    const std::set<int> named = NamedNumbers(master);
    std::string newData;
    std::string newDescription;
    if (committed) {
        const std::string n =
            std::to_string(static_cast<std::uint8_t>(master[master.size() - kMasterRecordSize]));
        newData = "F" + n + ".DAT";
        newDescription = "F" + n + ".DOP";
        for (const auto& [name, reference] :
             {std::pair{newData, complete.at("DAT")}, {newDescription, complete.at("DOP")}}) {
            auto it = after.find(name);
            ASSERT_NE(it, after.end()) << "committed without " << name;
            EXPECT_TRUE(it->second == reference) << name << " of a committed run is not complete";
        }
        auto backup = after.find("MASTER.BAK");
        ASSERT_NE(backup, after.end());
        auto oldBackup = before.find("MASTER.BAK");
        EXPECT_TRUE(backup->second == masterBefore ||
                    (oldBackup != before.end() && backup->second == oldBackup->second));
    } else {
        auto oldBackup = before.find("MASTER.BAK");
        auto backup = after.find("MASTER.BAK");
        EXPECT_TRUE(oldBackup == before.end()
                        ? backup == after.end()
                        : backup != after.end() && backup->second == oldBackup->second)
            << "MASTER.BAK changed without a commit";
    }
    // Files an index names stay as they were; a run may reuse and
    // overwrite a data file none names.
    const std::set<int> namedBefore = NamedNumbers(masterBefore);
    for (const auto& [name, bytes] : before) {
        if (name == "MASTER" || name == "MASTER.BAK" || name == "EMASTER" ||
            IsUnnamedOrTemporary(name, namedBefore))
            continue;
        auto it = after.find(name);
        ASSERT_NE(it, after.end()) << name << " is gone";
        EXPECT_TRUE(it->second == bytes) << name << " changed";
    }
    for (const auto& [name, bytes] : after) {
        if (before.count(name) || name == newData || name == newDescription || name == "MASTER.BAK")
            continue;
        EXPECT_TRUE(IsUnnamedOrTemporary(name, named)) << name << " was left behind";
    }
}

// EMASTER follows MASTER after the commit: a kill leaves it in step or
// behind, which the next conversion completes.
EmasterState EmasterStanding(const std::filesystem::path& dir) {
    DirectoryIndex index;
    ReadDirectoryIndex(RealFileSystem(), dir, index);
    return index.EmasterStanding();
}

TEST(KillTest, MasterSurvivesSigkillAtAnyMoment) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    Portfolio::Build(dir);
    Portfolio::AddEmaster(dir);
    const auto input = work / "large.csv";
    WriteFileBytes(input, PriceRows(37000));
    const auto errors = work / "stderr.txt";

    // How long an undisturbed run takes, to spread the kills over it: the
    // quickest of three, since the first pays for cold caches and a busy
    // machine only makes later runs longer, never shorter.
    auto duration = std::chrono::microseconds::max();
    for (int timed = 0; timed < 3; ++timed) {
        const auto start = Clock::now();
        ASSERT_EQ(RunCliProcess(ConvertArgs(input, dir, "TIMED" + std::to_string(timed)), errors),
                  0)
            << ReadFileBytes(errors);
        duration = std::min(
            duration, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
    }
    // Every complete run writes the same data files, whatever its number.
    const DirSnapshot complete = {{"DAT", ReadFileBytes(dir / "F3.DAT")},
                                  {"DOP", ReadFileBytes(dir / "F3.DOP")}};

    std::mt19937 random(20240601);
    std::uniform_int_distribution<long> moment(0, duration.count() * 9 / 10);
    constexpr int kRuns = 40;
    int killed = 0;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const std::string masterBefore = ReadFileBytes(dir / "MASTER");
        const DirSnapshot before = Snapshot(dir);
        const CliProcess process =
            StartCli(ConvertArgs(input, dir, "K" + std::to_string(run)), errors);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(process.pid, SIGKILL);
        const int status = WaitCli(process);
        if (status == 128 + SIGKILL) {
            ++killed;
        } else {
            // It finished first, or failed: a failure must say why.
            EXPECT_EQ(status, 0) << ReadFileBytes(errors);
        }

        ExpectMasterParses(ReadFileBytes(dir / "MASTER"), masterBefore);
        ExpectAsItWasOrCommitted(before, Snapshot(dir), complete, status == 0);
        const EmasterState emaster = EmasterStanding(dir);
        EXPECT_TRUE(emaster == EmasterState::InStep || emaster == EmasterState::Behind);
        if (HasFatalFailure()) return;
    }
    EXPECT_GE(killed, kRuns / 4) << "most kills came too late to test anything";

    // What the kills left behind does not stop the next conversion, not even
    // for a moment (their locks died with them), and it clears their temporary files.
    const std::string masterBefore = ReadFileBytes(dir / "MASTER");
    auto finalArgs = ConvertArgs(input, dir, "FINAL");
    finalArgs.insert(finalArgs.end(), {"--wait", "0"});
    ASSERT_EQ(RunCliProcess(finalArgs, errors), 0) << ReadFileBytes(errors);
    EXPECT_EQ(TemporaryFiles(dir), std::vector<std::string>{});
    const std::string master = ReadFileBytes(dir / "MASTER");
    ExpectMasterParses(master, masterBefore);
    EXPECT_EQ(master.size(), masterBefore.size() + kMasterRecordSize);
    EXPECT_EQ(EmasterStanding(dir), EmasterState::InStep);
}

}  // namespace
}  // namespace corvat::test
