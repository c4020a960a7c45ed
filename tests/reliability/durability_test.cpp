// Checks the order of the file calls that make a rewrite survive a crash
// or a power loss: every new file reaches the disk before it takes an old
// file's name, and the directory is synced after the rename.
#include <gtest/gtest.h>

#include "failing_file_system.h"
#include "reliability_fixture.h"

namespace corvat::test {
namespace {

class Durability : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(m_dir);
        Portfolio::Build(m_dir);
        // More than the write buffer holds and than is written at a time.
        WriteFileBytes(m_work / "prices.csv", PriceRows(3000));
        m_fs.KeepLog(true);
        RecordingSink sink;
        MemoryProfile profile;
        CConverter job(sink, profile, m_fs);
        ConfigureJob(job, m_work / "prices.csv", m_dir, "NEWSYM", true);
        ASSERT_EQ(job.Run(), 0) << sink.All();
        ASSERT_EQ(std::filesystem::file_size(m_dir / "F3.DAT"), 3001u * 7 * 4);
        m_log = m_fs.Log();
    }

    // Index of the last call of `kind` on `path` before `end`, or -1.
    long LastBefore(std::size_t end, SeamCall kind, const std::filesystem::path& path) const {
        for (std::size_t i = end; i-- > 0;)
            if (m_log[i].call == kind && m_log[i].path == path) return static_cast<long>(i);
        return -1;
    }

    // Index of the first rename onto `target`, or -1.
    long RenameTo(const std::filesystem::path& target) const {
        for (std::size_t i = 0; i < m_log.size(); ++i) {
            if (m_log[i].call == SeamCall::Rename && m_log[i].target == target)
                return static_cast<long>(i);
        }
        return -1;
    }

    TempDir m_work;
    std::filesystem::path m_dir = m_work / "data";
    FailingFileSystem m_fs;
    std::vector<SeamCallInfo> m_log;
};

TEST_F(Durability, NothingIsDeletedAndEachRewriteIsFlushedBeforeItsRenameAndSyncedAfter) {
    int renames = 0;
    for (std::size_t i = 0; i < m_log.size(); ++i) {
        // Old files are replaced by renames only, so no moment exists in
        // which neither the old nor the new one stands under the name.
        const std::string name = m_log[i].path.filename().string();
        EXPECT_TRUE(m_log[i].call != SeamCall::Remove || name.ends_with(".~NU") ||
                    name.ends_with(".NEW"))
            << m_log[i].Describe();
        if (m_log[i].call != SeamCall::Rename) continue;
        ++renames;
        const auto& temp = m_log[i].path;
        SCOPED_TRACE(m_log[i].Describe());
        const long lastWrite = LastBefore(i, SeamCall::Write, temp);
        const long flush = LastBefore(i, SeamCall::Flush, temp);
        const long close = LastBefore(i, SeamCall::Close, temp);
        ASSERT_GE(lastWrite, 0) << "renamed a file that was never written";
        EXPECT_GT(flush, lastWrite) << "renamed before the last write reached the disk";
        EXPECT_GT(close, flush);
        bool synced = false;
        for (std::size_t j = i + 1; j < m_log.size() && !synced; ++j) {
            synced = m_log[j].call == SeamCall::SyncDirectory &&
                     m_log[j].path == m_log[i].target.parent_path();
            // Nothing else may build on the rename before it is durable.
            EXPECT_TRUE(synced || m_log[j].call != SeamCall::Rename)
                << "next rename before the sync";
        }
        EXPECT_TRUE(synced) << "the directory was not synced after the rename";
    }
    // The master once, with the new entry and its dates (the commit); then
    // the backup.
    EXPECT_EQ(renames, 2);
}

TEST_F(Durability, NewFilesReachTheDiskBeforeTheMasterNamesThem) {
    const long commit = RenameTo(m_dir / "MASTER");
    ASSERT_GE(commit, 0);
    const auto end = static_cast<std::size_t>(commit);
    for (const char* name : {"F3.DAT", "F3.DOP"}) {
        SCOPED_TRACE(name);
        const long lastWrite = LastBefore(end, SeamCall::Write, m_dir / name);
        ASSERT_GE(lastWrite, 0);
        EXPECT_GT(LastBefore(end, SeamCall::Flush, m_dir / name), lastWrite);
    }
    // One directory sync covers both new names, before the master does.
    EXPECT_GT(LastBefore(end, SeamCall::SyncDirectory, m_dir),
              LastBefore(end, SeamCall::Flush, m_dir / "F3.DOP"));
    EXPECT_GT(RenameTo(m_dir / "MASTER.BAK"), commit) << "the backup follows the commit";
}

}  // namespace
}  // namespace corvat::test
