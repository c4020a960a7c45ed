// Makes every single call through the file seam fail in turn during an
// update and a removal, and proves the security is left as it was or the
// change committed whole (an update with the old or the new index dates).
#include <gtest/gtest.h>

#include "failing_file_system.h"
#include "reliability_fixture.h"
#include "security_removal.h"

namespace corvat::test {
namespace {

bool IsTemporary(const std::string& name) {
    return name.ends_with(".NEW") || name.ends_with(".~NU");
}

// The snapshot without temporary files and MASTER.BAK (a courtesy whose
// failure only warns).
DirSnapshot Lasting(DirSnapshot snapshot) {
    std::erase_if(snapshot, [](const auto& file) {
        return IsTemporary(file.first) || file.first == "MASTER.BAK";
    });
    return snapshot;
}

void Restore(const std::filesystem::path& dir, const DirSnapshot& snapshot) {
    std::filesystem::remove_all(dir);
    for (const auto& [name, bytes] : snapshot) {
        std::filesystem::create_directories((dir / name).parent_path());
        WriteFileBytes(dir / name, bytes);
    }
}

class UpdateFaults : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        std::filesystem::create_directory(m_dir);
        Portfolio::Build(m_dir);
        WriteFileBytes(m_input, PriceRows(4));
        ASSERT_EQ(Convert(RealFileSystem()).result, 0);
        m_before = Snapshot(m_dir);
        // Overlaps the last two days, revising one of them.
        std::string rows = PriceRows(6, 2);
        rows.replace(rows.find(".75"), 3, ".5");
        WriteFileBytes(m_input, rows);
        FailingFileSystem counting;
        ASSERT_EQ(Change(counting).result, 0);
        m_totalCalls = counting.Calls();
        m_after = Snapshot(m_dir);
        ASSERT_NE(Lasting(m_after), Lasting(m_before));
    }

    bool Updating() const { return GetParam(); }

    RunOutcome Convert(FileSystem& fs) {
        RecordingSink sink;
        MemoryProfile profile;
        CConverter job(sink, profile, fs);
        ConfigureJob(job, m_input, m_dir, "UPD", true);
        job.m_bUpdate = true;
        return RunOutcome{job.Run(), sink.messages};
    }

    RunOutcome Change(FileSystem& fs) {
        if (Updating()) return Convert(fs);
        RecordingSink sink;
        SecurityRemoval removal(sink, fs);
        removal.m_dir = m_dir.string();
        removal.m_symbols = {"upd"};
        return RunOutcome{removal.Run(), sink.messages};
    }

    // As it was; or committed: the data file (update) or the master
    // (remove) new, every other file as before or as after.
    void ExpectBeforeOrCommitted(const RunOutcome& outcome) {
        const DirSnapshot now = Lasting(Snapshot(m_dir));
        const DirSnapshot before = Lasting(m_before);
        const DirSnapshot after = Lasting(m_after);
        if (now == before) {
            if (outcome.result != 0) {
                EXPECT_FALSE(outcome.messages.empty());
            }
            return;
        }
        const std::string commit = Updating() ? "F3.DAT" : "MASTER";
        EXPECT_EQ(now.count(commit) ? now.at(commit) : "",
                  after.count(commit) ? after.at(commit) : "")
            << "changed without its commit";
        for (const auto& [name, bytes] : before) {
            const bool asBefore = now.count(name) && now.at(name) == bytes;
            const bool asAfter = after.count(name)
                                     ? now.count(name) && now.at(name) == after.at(name)
                                     : !Updating();  // a removed file may linger
            EXPECT_TRUE(asBefore || asAfter) << name;
        }
        EXPECT_EQ(outcome.result, 0) << "a committed change counts as done";
    }

    TempDir m_work;
    std::filesystem::path m_dir = m_work / "data";
    std::filesystem::path m_input = m_work / "prices.csv";
    DirSnapshot m_before;
    DirSnapshot m_after;
    long m_totalCalls = 0;
};

TEST_P(UpdateFaults, AnyFailedCallLeavesTheSecurityWholeOrTheChangeCommitted) {
    ASSERT_GT(m_totalCalls, 10);
    for (bool persistent : {false, true}) {
        for (long k = 1; k <= m_totalCalls; ++k) {
            Restore(m_dir, m_before);
            FailingFileSystem fs;
            persistent ? fs.FailFromCall(k) : fs.FailCall(k);
            const RunOutcome outcome = Change(fs);
            SCOPED_TRACE("failing " + (fs.Failures().empty() ? "-" : fs.Failures().front()) +
                         "; messages: " + ::testing::PrintToString(outcome.messages));
            ExpectBeforeOrCommitted(outcome);
            if (::testing::Test::HasFailure()) return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, UpdateFaults, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Update" : "Remove"; });

}  // namespace
}  // namespace corvat::test
