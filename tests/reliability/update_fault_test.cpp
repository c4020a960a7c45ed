// Every seam call failing in turn: an update or removal leaves all as it was, or commits whole.
#include <gtest/gtest.h>

#include "failing_file_system.h"
#include "reliability_fixture.h"
#include "security_removal.h"

namespace corvat::test {
namespace {

// Without temporary files and MASTER.BAK (a courtesy whose failure only warns).
DirSnapshot Lasting(DirSnapshot s) {
    std::erase_if(s, [](const auto& f) {
        return f.first.ends_with(".NEW") || f.first.ends_with(".~NU") || f.first == "MASTER.BAK";
    });
    return s;
}

class UpdateFaults : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        std::filesystem::create_directory(m_dir);
        Portfolio::Build(m_dir);
        WriteFileBytes(m_input, PriceRows(4));
        ASSERT_EQ(Change(RealFileSystem(), true), 0);
        m_before = Lasting(Snapshot(m_dir));
        // Overlaps the last two days and revises the first of them.
        std::string rows = PriceRows(6, 2);
        WriteFileBytes(m_input, rows.replace(rows.find(".75"), 3, ".5"));
        FailingFileSystem counting;
        ASSERT_EQ(Change(counting), 0);
        m_calls = counting.Calls();
        m_after = Lasting(Snapshot(m_dir));
    }

    int Change(FileSystem& fs, bool update = GetParam()) {
        RecordingSink& sink = m_sink;
        sink.Clear();
        if (update) {
            MemoryProfile profile;
            CConverter job(sink, profile, fs);
            ConfigureJob(job, m_input, m_dir, "UPD", true);
            job.m_bUpdate = true;
            return job.Run();
        }
        SecurityRemoval removal(sink, fs);
        removal.m_dir = m_dir.string();
        removal.m_symbols = {"upd"};
        return removal.Run();
    }

    TempDir m_work;
    std::filesystem::path m_dir = m_work / "data";
    std::filesystem::path m_input = m_work / "prices.csv";
    RecordingSink m_sink;
    DirSnapshot m_before, m_after;
    long m_calls = 0;
};

TEST_P(UpdateFaults, AnyFailedCallLeavesTheSecurityWholeOrTheChangeCommitted) {
    ASSERT_GT(m_calls, 10);
    const std::string commit = GetParam() ? "F3.DAT" : "MASTER";
    for (bool persistent : {false, true}) {
        for (long k = 1; k <= m_calls; ++k) {
            std::filesystem::remove_all(m_dir);
            for (const auto& [name, bytes] : m_before) {
                std::filesystem::create_directories((m_dir / name).parent_path());
                WriteFileBytes(m_dir / name, bytes);
            }
            FailingFileSystem fs;
            persistent ? fs.FailFromCall(k) : fs.FailCall(k);
            const int result = Change(fs);
            SCOPED_TRACE("failing call " + std::to_string(k));
            EXPECT_TRUE(result == 0 || !m_sink.messages.empty()) << "a failure says why";
            const DirSnapshot now = Lasting(Snapshot(m_dir));
            if (now == m_before) continue;
            EXPECT_EQ(result, 0) << "a committed change counts as done";
            EXPECT_EQ(now.at(commit), m_after.at(commit));
            for (const auto& [name, bytes] : m_before) {
                // Index dates old or new; a removed security's file may linger.
                const bool asAfter = m_after.count(name)
                                         ? now.count(name) && now.at(name) == m_after.at(name)
                                         : !GetParam();
                EXPECT_TRUE((now.count(name) && now.at(name) == bytes) || asAfter) << name;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, UpdateFaults, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Update" : "Remove"; });

}  // namespace
}  // namespace corvat::test
