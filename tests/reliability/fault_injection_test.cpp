// Makes every single call through the file seam fail in turn, during a
// conversion into an existing portfolio and into a new one, and proves
// that nothing the user had is lost and every failure is reported.
#include <gtest/gtest.h>

#include "failing_file_system.h"
#include "reliability_fixture.h"

namespace corvat::test {
namespace {

// Into an existing portfolio; a new one; a portfolio with an EMASTER in
// step; one whose MASTER is full, so the security goes into XMASTER; a
// batch into the existing portfolio: two new securities and a file whose
// rows are merged into the first of them.
enum Portfolios { kExisting, kNew, kWithEmaster, kFull, kBatch };

class FaultInjection : public ::testing::TestWithParam<int> {
protected:
    bool Existing() const { return GetParam() != kNew; }

    void SetUp() override {
        m_input = m_work / "prices.csv";
        // Enough rows to cross the engine's read and write buffers' edges
        // is not the point here; a few rows keep the sweep quick while
        // every kind of call still happens.
        WriteFileBytes(m_input, PriceRows(6));
        m_options.existingMaster = Existing();
        WriteFileBytes(m_work / "later.csv", PriceRows(5, 3));
        m_options.newFileNumbers = {GetParam() == kFull ? 256 : Existing() ? 3 : 1};
        if (GetParam() == kBatch) m_options.newFileNumbers = {3, 6};
        m_options.wide = GetParam() == kFull;
        PrepareDirectory();
        m_before = Snapshot(m_dir);
        FailingFileSystem counting;
        if (GetParam() == kBatch) Arm(counting, 0, false);
        const RunOutcome outcome = Run(counting);
        ASSERT_EQ(outcome.result, 0) << ::testing::PrintToString(outcome.messages);
        m_totalCalls = GetParam() == kBatch ? m_directoryCalls : counting.Calls();
        m_reference = Snapshot(m_dir);
    }

    void PrepareDirectory() {
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directory(m_dir);
        if (Existing()) Portfolio::Build(m_dir);
        if (GetParam() == kWithEmaster) Portfolio::AddEmaster(m_dir);
        if (GetParam() == kFull) Portfolio::Fill(m_dir);
    }

    RunOutcome Run(FileSystem& fs) {
        RecordingSink sink;
        MemoryProfile profile;
        RunOutcome outcome;
        {
            CConverter job(sink, profile, fs);
            ConfigureJob(job, m_input, m_dir, m_options.newSymbol, Existing());
            outcome.result = GetParam() == kBatch ? RunBatch(job) : job.Run();
        }
        outcome.messages = sink.messages;
        return outcome;
    }

    int RunBatch(CConverter& job) {
        job.m_bUpdate = true;
        if (job.BeginBatch() != 0) return 1;
        for (const char* symbol : {"NEWSYM", "NEWTWO", "newsym"}) {
            job.m_szSymbol = job.m_szName = symbol;
            job.m_strInputPath =
                (m_work / (symbol[0] == 'n' ? "later.csv" : "prices.csv")).string();
            (void)job.AddToBatch();
        }
        return job.CommitBatch();
    }

    // In a batch an unreadable text file is that file's own failure, which
    // leaves the others to commit: only calls on the directory fail there.
    void Arm(FailingFileSystem& fs, long k, bool persistent) {
        m_directoryCalls = 0;
        fs.AddRule([this, k, persistent](const SeamCallInfo& call) -> std::optional<std::errc> {
            if (call.path.parent_path() == m_work.Path() && call.path.extension() == ".csv")
                return std::nullopt;
            ++m_directoryCalls;
            const bool fails = persistent ? k > 0 && m_directoryCalls >= k : m_directoryCalls == k;
            return fails ? std::optional(std::errc::io_error) : std::nullopt;
        });
    }

    // Runs once per k from 1 to the number of calls an undisturbed run
    // makes, with call k (and, when `persistent`, every later call) failing.
    void Sweep(bool persistent) {
        ASSERT_GT(m_totalCalls, 20);
        IntactOptions options = m_options;
        options.allowTemporaryFiles = persistent;
        int failedRuns = 0;
        for (long k = 1; k <= m_totalCalls; ++k) {
            PrepareDirectory();
            FailingFileSystem fs;
            if (GetParam() == kBatch) {
                Arm(fs, k, persistent);
            } else if (persistent) {
                fs.FailFromCall(k);
            } else {
                fs.FailCall(k);
            }
            const RunOutcome outcome = Run(fs);
            ASSERT_FALSE(fs.Failures().empty()) << "call " << k << " never happened";
            SCOPED_TRACE("failing " + fs.Failures().front() +
                         "; messages: " + ::testing::PrintToString(outcome.messages));
            ExpectIntact(m_before, m_reference, m_dir, outcome, options);
            if (outcome.result != 0) ++failedRuns;
            if (::testing::Test::HasFatalFailure()) return;
        }
        // Many calls matter: a sweep in which nearly every run passed would
        // mean the failures were not reaching the engine. Those after the
        // commit (sync, backup) and the lock's own are only warned about.
        EXPECT_GT(failedRuns, m_totalCalls / 3);
    }

    TempDir m_work;
    std::filesystem::path m_dir = m_work / "data";
    std::filesystem::path m_input;
    IntactOptions m_options;
    DirSnapshot m_before;
    DirSnapshot m_reference;
    long m_totalCalls = 0;
    long m_directoryCalls = 0;
};

TEST_P(FaultInjection, EachSingleFailedCallLosesNothing) { Sweep(false); }

TEST_P(FaultInjection, FailingEveryCallFromAnyPointLosesNothing) { Sweep(true); }

TEST_P(FaultInjection, ReportsTheFailedFileAndTheSystemsReason) {
    // The commit: the master's temporary copy cannot be made. The message
    // names the file and the reason.
    PrepareDirectory();
    FailingFileSystem fs;
    const std::string temp = GetParam() == kFull ? "XMASTER.~NU"
                             : Existing()        ? "MASTER.NEW"
                                                 : "MASTER.~NU";
    fs.AddRule([&](const SeamCallInfo& call) -> std::optional<std::errc> {
        if (call.call == SeamCall::Open && call.path.filename() == temp) {
            return std::errc::permission_denied;
        }
        return std::nullopt;
    });
    const RunOutcome outcome = Run(fs);
    EXPECT_EQ(outcome.result, 1);
    ASSERT_EQ(outcome.messages.size(), 1u) << ::testing::PrintToString(outcome.messages);
    EXPECT_NE(outcome.messages[0].find(temp), std::string::npos) << outcome.messages[0];
    EXPECT_NE(
        outcome.messages[0].find(std::make_error_code(std::errc::permission_denied).message()),
        std::string::npos)
        << outcome.messages[0];
    ExpectIntact(m_before, m_reference, m_dir, outcome, m_options);
}

TEST_P(FaultInjection, AFailureAfterTheCommitIsAWarningNamingTheFile) {
    // The directory sync after the master's rename; the backup's rename.
    for (const char* failing : {"MASTER", "MASTER.BAK", "XMASTER", "EMASTER"}) {
        const std::string committed = GetParam() == kFull ? "XMASTER" : "MASTER";
        if (failing == std::string("MASTER.BAK")
                ? !Existing()
                : failing != committed && failing != std::string("EMASTER"))
            continue;
        // EMASTER follows the commit where there is one, or is made new.
        if (failing == std::string("EMASTER") && GetParam() != kWithEmaster && GetParam() != kNew)
            continue;
        SCOPED_TRACE(failing);
        PrepareDirectory();
        FailingFileSystem fs;
        bool renamed = false;
        fs.AddRule([&](const SeamCallInfo& call) -> std::optional<std::errc> {
            const bool master = failing == committed;
            if (call.call == SeamCall::Rename && call.target.filename() == failing) {
                renamed = true;
                if (!master) return std::errc::io_error;
            }
            if (master && renamed && call.call == SeamCall::SyncDirectory) {
                renamed = false;  // only the sync that makes the commit durable
                return std::errc::io_error;
            }
            return std::nullopt;
        });
        const RunOutcome outcome = Run(fs);
        EXPECT_EQ(outcome.result, 0);
        ASSERT_EQ(outcome.messages.size(), 1u) << ::testing::PrintToString(outcome.messages);
        EXPECT_NE(outcome.messages[0].find(std::string(failing)), std::string::npos)
            << outcome.messages[0];
        ExpectIntact(m_before, m_reference, m_dir, outcome, m_options);
    }
}

std::string PortfolioName(const ::testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"Existing", "New", "WithEmaster", "Full", "Batch"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Masters, FaultInjection,
                         ::testing::Values(kExisting, kNew, kWithEmaster, kFull, kBatch),
                         PortfolioName);

}  // namespace
}  // namespace corvat::test
