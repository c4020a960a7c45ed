// Hostile or broken input of every kind: the text file, the output path,
// the master. Each gets a clear message and loses nothing.
#include <gtest/gtest.h>

#include <random>

#include "failing_file_system.h"
#include "master_listing.h"
#include "reliability_fixture.h"

namespace corvat::test {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string Reason(std::errc error) { return std::make_error_code(error).message(); }

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(m_dir);
        Portfolio::Build(m_dir);
        m_before = Snapshot(m_dir);
        m_input = m_work / "prices.csv";
        WriteFileBytes(m_input, PriceRows(5));
    }

    RunOutcome Run(FileSystem& fs = RealFileSystem(), bool useExisting = true,
                   const std::string& symbol = "NEWSYM") {
        RecordingSink sink;
        sink.answer = m_leaveBadRowsOut;
        MemoryProfile profile;
        RunOutcome outcome;
        {
            CConverter job(sink, profile, fs);
            ConfigureJob(job, m_input, m_target, symbol, useExisting);
            outcome.result = job.Run();
            m_rowsWritten = job.RowsWritten();
        }
        outcome.messages = sink.messages;
        return outcome;
    }

    void Rebuild() {
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directory(m_dir);
        Portfolio::Build(m_dir);
    }

    TempDir m_work;
    std::filesystem::path m_dir = m_work / "data";
    std::filesystem::path m_target = m_dir;  // where the job writes
    std::filesystem::path m_input;
    DirSnapshot m_before;
    int m_rowsWritten = 0;
    bool m_leaveBadRowsOut = false;
};

TEST_F(BadInput, RowsOfJunkAreLeftOutWithAShortMessageAndTheRestConverted) {
    std::string junk("\x00\x01\xff\xfe,\x00,\x7f\x80,,\r\r\x1b[2J", 18);
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i)
        junk += static_cast<char>(random() % 256 == 10 ? 0 : random() % 256);
    const std::string huge(50u << 20, 'x');
    // The rows written, and the line the last message names.
    const std::tuple<const char*, std::string, int, const char*> cases[] = {
        {"binary junk and NUL bytes",
         PriceRows(3) + junk + "\n" + std::string(1, '\0') + "\n" + PriceRows(3, 10), 6,
         "\nLine 4: "},
        // A giant field mid-file, and a giant last line without a line end.
        {"50 MB lines",
         PriceRows(2) + "01/02/1997," + huge + ",1,1,1,1,1\n" + PriceRows(2, 5) + huge, 4,
         "\nLine 3: "},
        {"invalid UTF-8",
         PriceRows(1) + "\xc3\x28/\xe2\x82/1997,1,1,1,1,1,1\n" +
             "01/03/1997,\xf0\x28\x8c\xbc,1,1,1,1,1\n" + PriceRows(1, 3),
         2, "\nLine 2: "},
    };
    m_leaveBadRowsOut = true;
    for (const auto& [name, text, rowsWritten, message] : cases) {
        SCOPED_TRACE(name);
        WriteFileBytes(m_input, text);
        const RunOutcome outcome = Run();
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(m_rowsWritten, rowsWritten);
        ASSERT_FALSE(outcome.messages.empty());
        const std::string& last = outcome.messages.back();
        EXPECT_TRUE(Contains(last, message)) << last.substr(0, 200);
        EXPECT_LT(last.size(), 400u) << "the message quotes the whole line";
        EXPECT_EQ(last.find('\0'), std::string::npos) << "a NUL byte reached the message";
        // Every earlier entry and file kept, the new one added.
        ExpectIntact(m_before, Snapshot(m_dir), m_dir, outcome, IntactOptions{});
        Rebuild();
    }
}

// Each refusal is one message with the reason, and changes nothing.
TEST_F(BadInput, RefusalsNameTheReasonAndChangeNothing) {
    const auto refused = [&](FailingFileSystem::Rule rule, bool useExisting,
                             const std::vector<std::string>& says) {
        m_before = Snapshot(m_dir);
        FailingFileSystem fs;
        if (rule) fs.AddRule(rule);
        const RunOutcome outcome = Run(fs, useExisting);
        EXPECT_EQ(outcome.result, 1);
        ASSERT_EQ(outcome.messages.size(), 1u) << ::testing::PrintToString(outcome.messages);
        for (const auto& part : says)
            EXPECT_TRUE(Contains(outcome.messages[0], part)) << outcome.messages[0];
        EXPECT_EQ(Snapshot(m_dir), m_before);
    };
    using Call = const SeamCallInfo&;
    using Failure = std::optional<std::errc>;
    const Failure denied = std::errc::permission_denied,
                  readOnly = std::errc::read_only_file_system, none;
    refused([&](Call c) { return c.call == SeamCall::Open && c.path == m_input ? denied : none; },
            true, {Reason(*denied), m_input.string()});
    refused([&](Call c) { return c.path.parent_path() == m_dir ? denied : none; }, true,
            {Reason(*denied)});
    // A new master where the system cannot say if one exists.
    refused([&](Call c) { return c.call == SeamCall::SymlinkStatus ? denied : none; }, false,
            {Reason(*denied)});
    const auto writes = [&](Call c) {
        const bool write = c.call == SeamCall::Open
                               ? c.mode != OpenMode::Read
                               : c.call == SeamCall::Rename || c.call == SeamCall::Remove;
        return write && c.path.parent_path() == m_dir ? readOnly : none;
    };
    refused(writes, true, {Reason(*readOnly), "F3.DAT"});
    for (int allowed = 0; allowed < 3; ++allowed) {  // the first read of MASTER, or a later one
        int opens = 0;
        refused(
            [&](Call c) {
                return c.call == SeamCall::Open && c.mode == OpenMode::Read &&
                               c.path == m_dir / "MASTER" && opens++ >= allowed
                           ? denied
                           : none;
            },
            true, {Reason(*denied), "MASTER"});
    }

    // Rewriting a master from the part a reader takes in would drop its end.
    const auto master = m_dir / "MASTER";
    WriteFileBytes(master, ReadFileBytes(master) + std::string(kMasterReadLimit, 'x'));
    refused({}, true, {"longer than its header can count"});
    WriteFileBytes(master, std::string(30, '\x01'));
    refused({}, true, {"shorter than its 53-byte header"});
    std::filesystem::remove(master);
    std::filesystem::create_directory(master);
    refused({}, true, {Reason(std::errc::is_a_directory), "MASTER"});
    refused({}, false, {"New Master chosen but one already exists"});
    std::filesystem::remove(master);
    refused(writes, false, {Reason(*readOnly), "F1.DAT"});
    m_target = m_work / "plain";
    WriteFileBytes(m_target, "not a directory");
    refused({}, false, {"Path does not exist\n" + m_target.string()});
    EXPECT_EQ(ReadFileBytes(m_target), "not a directory");
}

TEST_F(BadInput, FullDiskAtAnyPointLosesNothing) {
    const DirSnapshot reference = [&] {
        EXPECT_EQ(Run().result, 0);
        return Snapshot(m_dir);
    }();
    // Give every run a little more room, from none up to enough.
    for (std::size_t space = 0;; space += 7) {
        Rebuild();
        FailingFileSystem fs;
        fs.SetFreeSpace(space);
        const RunOutcome outcome = Run(fs);
        SCOPED_TRACE("free space " + std::to_string(space) + ": " +
                     ::testing::PrintToString(outcome.messages));
        ExpectIntact(m_before, reference, m_dir, outcome, IntactOptions{});
        if (outcome.result == 0 || HasFatalFailure()) return;
        EXPECT_TRUE(fs.Failures().empty() ||
                    Contains(outcome.messages.front(), Reason(std::errc::no_space_on_device)));
        ASSERT_LT(space, 100000u);
    }
}

TEST_F(BadInput, LyingCountsAndTruncatedRecordsKeepEveryEntry) {
    const std::string entries = m_before.at("MASTER").substr(kMasterRecordSize);
    const std::string cut(20, 'Z');  // a last record cut short
    for (const auto& [count, tail] : std::vector<std::pair<int, std::string>>{
             {-7, ""}, {0, ""}, {1, ""}, {2, ""}, {200, ""}, {254, ""}, {32767, ""}, {4, cut}}) {
        SCOPED_TRACE("count " + std::to_string(count) + ", tail " + std::to_string(tail.size()));
        WriteFileBytes(m_dir / "MASTER", RecordsBytes({MasterHeader(count)}) + entries + tail);
        // A count of 255 or more fills MASTER: that run goes into XMASTER.
        for (const char* name : {"F3.DAT", "F3.DOP", "XMASTER", "F256.MWD"})
            std::filesystem::remove(m_dir / name);
        const RunOutcome outcome = Run();
        EXPECT_TRUE(outcome.result == 0 || !outcome.messages.empty());
        const std::string master = ReadFileBytes(m_dir / "MASTER");
        ASSERT_GE(master.size(), kMasterRecordSize + entries.size());
        EXPECT_EQ(master.substr(kMasterRecordSize, entries.size()), entries);
        EXPECT_TRUE(TemporaryFiles(m_dir).empty());
        if (tail.empty()) continue;
        EXPECT_EQ(outcome.result, 0) << ::testing::PrintToString(outcome.messages);
        EXPECT_EQ(master.size(), kMasterRecordSize + entries.size() + kMasterRecordSize)
            << "the cut record is replaced by the new entry";
    }
}

TEST_F(BadInput, LoopsOfDirectoryEntriesEnd) {
    // The top master leads to ".", "..", a name with a slash, SUB twice,
    // and SUB's master leads back up through a symbolic link.
    const std::string entries = m_before.at("MASTER").substr(kMasterRecordSize);
    WriteFileBytes(m_dir / "MASTER",
                   RecordsBytes({MasterHeader(Portfolio::kEntries + 5)}) + entries +
                       RecordsBytes({DirectoryEntry(6, "."), DirectoryEntry(7, ".."),
                                     DirectoryEntry(8, "../data"), DirectoryEntry(9, "SUB"),
                                     DirectoryEntry(10, "sub")}));
    std::filesystem::create_directory_symlink("..", m_dir / "SUB" / "UP");
    WriteFileBytes(
        m_dir / "SUB" / "MASTER",
        RecordsBytes({MasterHeader(3), DirectoryEntry(1, "UP"),
                      MakeSecurityEntry(2, 2, "SUB ONE", "SUBA", {}), DirectoryEntry(3, "UP")}));
    RunOutcome outcome = Run(RealFileSystem(), true, "SUBA");
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{"Duplicate Symbol"});
    outcome = Run(RealFileSystem(), true, "NEWSYM");
    EXPECT_EQ(outcome.result, 0) << ::testing::PrintToString(outcome.messages);
}

}  // namespace
}  // namespace corvat::test
