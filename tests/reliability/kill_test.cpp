// Starts corvat-cli on a large file into an existing portfolio and kills
// it (SIGKILL) at random moments, many times over the same directory:
// whatever moment the kill hits, the master parses and every earlier
// entry and data file is intact, and a later run still succeeds.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "cli_runner.h"
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

// The files a later run must never change: all but the master, its
// backup and temporary copies.
DirSnapshot Settled(const std::filesystem::path& dir) {
    DirSnapshot files = Snapshot(dir);
    std::erase_if(files, [](const auto& file) {
        const std::string& name = file.first;
        return name == "MASTER" || name == "MASTER.BAK" || name.ends_with(".~NU") ||
               name.ends_with(".NEW");
    });
    return files;
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

TEST(KillTest, MasterSurvivesSigkillAtAnyMoment) {
    TempDir work;
    const auto dir = work / "data";
    std::filesystem::create_directory(dir);
    Portfolio::Build(dir);
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

    std::mt19937 random(20240601);
    std::uniform_int_distribution<long> moment(0, duration.count() * 9 / 10);
    constexpr int kRuns = 40;
    int killed = 0;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const std::string masterBefore = ReadFileBytes(dir / "MASTER");
        const DirSnapshot settledBefore = Settled(dir);
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
        const DirSnapshot settledAfter = Settled(dir);
        for (const auto& [name, bytes] : settledBefore) {
            auto it = settledAfter.find(name);
            ASSERT_NE(it, settledAfter.end()) << name << " is gone";
            EXPECT_EQ(it->second, bytes) << name << " changed";
        }
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
}

}  // namespace
}  // namespace corvat::test
