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
        WriteFileBytes(m_work / "prices.csv", PriceRows(40));
        m_fs.KeepLog(true);
        RecordingSink sink;
        MemoryProfile profile;
        CConverter job(sink, profile, m_fs);
        ConfigureJob(job, m_work / "prices.csv", m_dir, "NEWSYM", true);
        ASSERT_EQ(job.Run(), 0) << sink.All();
        m_log = m_fs.Log();
    }

    // Index of the last call of `kind` on `path` before `end`, or -1.
    long LastBefore(std::size_t end, SeamCall kind, const std::filesystem::path& path) const {
        for (std::size_t i = end; i-- > 0;) {
            if (m_log[i].call == kind && m_log[i].path == path) return static_cast<long>(i);
        }
        return -1;
    }

    TempDir m_work;
    std::filesystem::path m_dir = m_work / "data";
    FailingFileSystem m_fs;
    std::vector<SeamCallInfo> m_log;
};

TEST_F(Durability, EveryRewriteIsFlushedBeforeItsRenameAndSyncedAfter) {
    int renames = 0;
    for (std::size_t i = 0; i < m_log.size(); ++i) {
        if (m_log[i].call != SeamCall::Rename) continue;
        ++renames;
        const auto& temp = m_log[i].path;
        const auto& target = m_log[i].target;
        SCOPED_TRACE(m_log[i].Describe());
        const long lastWrite = LastBefore(i, SeamCall::Write, temp);
        const long flush = LastBefore(i, SeamCall::Flush, temp);
        const long close = LastBefore(i, SeamCall::Close, temp);
        ASSERT_GE(lastWrite, 0) << "renamed a file that was never written";
        EXPECT_GT(flush, lastWrite) << "renamed before the last write reached the disk";
        EXPECT_GT(close, flush);
        bool synced = false;
        for (std::size_t j = i + 1; j < m_log.size() && !synced; ++j) {
            synced =
                m_log[j].call == SeamCall::SyncDirectory && m_log[j].path == target.parent_path();
            // Nothing else may build on the rename before it is durable.
            if (!synced) {
                EXPECT_NE(m_log[j].call, SeamCall::Rename) << "next rename before the sync";
            }
        }
        EXPECT_TRUE(synced) << "the directory was not synced after the rename";
    }
    // The master twice (new entry, then dates) and the data file's count.
    EXPECT_EQ(renames, 3);
}

TEST_F(Durability, NewFilesAndAppendedRecordsReachTheDisk) {
    for (const char* name : {"F3.DOP", "MASTER.BAK", "F3.NEW"}) {
        const auto path = m_dir / name;
        SCOPED_TRACE(name);
        const long lastWrite = LastBefore(m_log.size(), SeamCall::Write, path);
        ASSERT_GE(lastWrite, 0);
        EXPECT_GT(LastBefore(m_log.size(), SeamCall::Flush, path), lastWrite);
    }
    // The appended records reach the disk in the flushed copy that sets the
    // count and replaces the data file; the directory sync after the
    // description file covers the new data file as well.
    const auto dataPath = m_dir / "F3.DAT";
    const auto descriptionPath = m_dir / "F3.DOP";
    long dataFlush = LastBefore(m_log.size(), SeamCall::Flush, dataPath);
    ASSERT_GE(dataFlush, 0) << "the new data file's header is flushed";
    const long descriptionFlush = LastBefore(m_log.size(), SeamCall::Flush, descriptionPath);
    bool synced = false;
    for (std::size_t i = static_cast<std::size_t>(descriptionFlush); i < m_log.size(); ++i) {
        if (m_log[i].call == SeamCall::SyncDirectory) {
            synced = true;
            break;
        }
    }
    EXPECT_TRUE(synced) << "the directory was not synced after the new files";
}

TEST_F(Durability, NoFileTheUserOwnsIsEverDeleted) {
    // Old files are replaced by renames only, so no moment exists in
    // which neither the old nor the new one stands under the name.
    for (const auto& call : m_log) {
        if (call.call != SeamCall::Remove) continue;
        const std::string name = call.path.filename().string();
        EXPECT_TRUE(name.ends_with(".~NU") || name.ends_with(".NEW")) << call.Describe();
    }
}

}  // namespace
}  // namespace corvat::test
