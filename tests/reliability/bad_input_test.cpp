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
            ConfigureJob(job, m_input, m_dir, symbol, useExisting);
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

    // Nothing at all changed in the portfolio.
    void ExpectUntouched() { EXPECT_EQ(Snapshot(m_dir), m_before); }

    // The run failed with one message saying `part`.
    static void ExpectRefused(const RunOutcome& outcome, const std::string& part) {
        EXPECT_EQ(outcome.result, 1);
        ASSERT_EQ(outcome.messages.size(), 1u) << ::testing::PrintToString(outcome.messages);
        EXPECT_TRUE(Contains(outcome.messages[0], part)) << outcome.messages[0];
    }

    // The earlier entries and files stand; at most the new security came.
    void ExpectEarlierKept(const RunOutcome& outcome) {
        ExpectIntact(m_before, m_before, m_dir, outcome, IntactOptions{});
    }

    TempDir m_work;
    std::filesystem::path m_dir = m_work / "data";
    std::filesystem::path m_input;
    DirSnapshot m_before;
    int m_rowsWritten = 0;
    bool m_leaveBadRowsOut = false;
};

// --- The text file ----------------------------------------------------

TEST_F(BadInput, RowsOfJunkAreLeftOutWithAShortMessageAndTheRestConverted) {
    std::string junk("\x00\x01\xff\xfe,\x00,\x7f\x80,,\r\r\x1b[2J", 18);
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i)
        junk += static_cast<char>(random() % 256 == 10 ? 0 : random() % 256);
    const std::string huge(50u << 20, 'x');
    const struct {
        const char* name;
        std::string text;
        int rowsWritten;
        const char* message;
    } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(m_input, c.text);
        const RunOutcome outcome = Run();
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(m_rowsWritten, c.rowsWritten);
        ASSERT_FALSE(outcome.messages.empty());
        const std::string& last = outcome.messages.back();
        EXPECT_TRUE(Contains(last, c.message)) << last.substr(0, 200);
        EXPECT_LT(last.size(), 400u) << "the message quotes the whole line";
        EXPECT_EQ(last.find('\0'), std::string::npos) << "a NUL byte reached the message";
        // Every earlier entry and file kept, the new one added.
        ExpectIntact(m_before, Snapshot(m_dir), m_dir, outcome, IntactOptions{});
        Rebuild();
    }
}

TEST_F(BadInput, UnreadableTextFileOrOutputDirectoryStopsBeforeAnythingChanges) {
    for (bool textFile : {true, false}) {
        SCOPED_TRACE(textFile ? "text file" : "output directory");
        FailingFileSystem fs;
        fs.AddRule([&](const SeamCallInfo& call) -> std::optional<std::errc> {
            if (textFile ? call.call == SeamCall::Open && call.path == m_input
                         : call.path.parent_path() == m_dir) {
                return std::errc::permission_denied;
            }
            return std::nullopt;
        });
        const RunOutcome outcome = Run(fs);
        ExpectRefused(outcome, Reason(std::errc::permission_denied));
        EXPECT_TRUE(!textFile || Contains(outcome.messages[0], m_input.string()));
        ExpectUntouched();
    }
}

// --- The output path --------------------------------------------------

TEST_F(BadInput, OutputPathThatIsAFileIsRefused) {
    const auto file = m_work / "plain";
    WriteFileBytes(file, "not a directory");
    RecordingSink sink;
    MemoryProfile profile;
    CConverter job(sink, profile, RealFileSystem());
    ConfigureJob(job, m_input, file, "NEWSYM", false);
    EXPECT_EQ(job.Run(), 1);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Path does not exist\n" + file.string()});
    EXPECT_EQ(ReadFileBytes(file), "not a directory");
}

TEST_F(BadInput, ReadOnlyOutputDirectoryChangesNothing) {
    for (bool useExisting : {true, false}) {
        SCOPED_TRACE(useExisting ? "existing master" : "new master");
        if (!useExisting) std::filesystem::remove(m_dir / "MASTER");
        m_before = Snapshot(m_dir);
        FailingFileSystem fs;
        // Opens for writing, renames and removes in the directory fail.
        fs.AddRule([&](const SeamCallInfo& call) -> std::optional<std::errc> {
            const bool write = call.call == SeamCall::Open
                                   ? call.mode != OpenMode::Read
                                   : call.call == SeamCall::Rename || call.call == SeamCall::Remove;
            if (write && call.path.parent_path() == m_dir) return std::errc::read_only_file_system;
            return std::nullopt;
        });
        const RunOutcome outcome = Run(fs, useExisting);
        ExpectRefused(outcome, Reason(std::errc::read_only_file_system));
        EXPECT_TRUE(Contains(outcome.messages.at(0), useExisting ? "F3.DAT" : "F1.DAT"));
        ExpectUntouched();
    }
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
        if (!fs.Failures().empty()) {
            EXPECT_TRUE(Contains(outcome.messages.front(), Reason(std::errc::no_space_on_device)));
        }
        ASSERT_LT(space, 100000u);
    }
}

// --- The master -------------------------------------------------------

TEST_F(BadInput, MasterThatIsADirectoryIsRefused) {
    std::filesystem::remove(m_dir / "MASTER");
    std::filesystem::create_directory(m_dir / "MASTER");
    m_before = Snapshot(m_dir);
    const RunOutcome outcome = Run(RealFileSystem(), true);
    ExpectRefused(outcome, Reason(std::errc::is_a_directory));
    EXPECT_TRUE(Contains(outcome.messages.at(0), "MASTER"));
    ExpectRefused(Run(RealFileSystem(), false), "New Master chosen but one already exists");
    ExpectUntouched();
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "MASTER"));
}

TEST_F(BadInput, NewMasterWhereTheSystemCannotSayIfOneExistsIsRefused) {
    FailingFileSystem fs;
    fs.AddRule([](const SeamCallInfo& call) -> std::optional<std::errc> {
        if (call.call == SeamCall::SymlinkStatus) return std::errc::permission_denied;
        return std::nullopt;
    });
    ExpectRefused(Run(fs, false), Reason(std::errc::permission_denied));
    ExpectUntouched();
}

TEST_F(BadInput, MasterLongerThanAnyCountIsRefusedNotCut) {
    // Rewriting it from the part a reader takes in would drop its end.
    WriteFileBytes(m_dir / "MASTER", m_before.at("MASTER") + std::string(kMasterReadLimit, 'x'));
    m_before = Snapshot(m_dir);
    ExpectRefused(Run(), "longer than its header can count");
    ExpectUntouched();
}

TEST_F(BadInput, UnreadableMasterIsRefusedAtEveryRead) {
    // The first read of the master, or any later one, is refused.
    for (int allowed = 0; allowed < 3; ++allowed) {
        SCOPED_TRACE("reads allowed before the refusal: " + std::to_string(allowed));
        Rebuild();
        FailingFileSystem fs;
        int opens = 0;
        fs.AddRule([&](const SeamCallInfo& call) -> std::optional<std::errc> {
            if (call.call == SeamCall::Open && call.mode == OpenMode::Read &&
                call.path == m_dir / "MASTER" && opens++ >= allowed) {
                return std::errc::permission_denied;
            }
            return std::nullopt;
        });
        const RunOutcome outcome = Run(fs);
        EXPECT_EQ(outcome.result, 1);
        ExpectEarlierKept(outcome);
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

TEST_F(BadInput, MasterShorterThanItsHeaderIsLeftAlone) {
    WriteFileBytes(m_dir / "MASTER", std::string(30, '\x01'));
    m_before = Snapshot(m_dir);
    ExpectRefused(Run(), "shorter than its 53-byte header");
    ExpectUntouched();
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
    // SUB also starts a chain of directories deeper than the search goes.
    WriteFileBytes(
        m_dir / "SUB" / "MASTER",
        RecordsBytes({MasterHeader(4), DirectoryEntry(1, "UP"), DirectoryEntry(4, "D"),
                      MakeSecurityEntry(2, 2, "SUB ONE", "SUBA", {}), DirectoryEntry(3, "UP")}));
    std::filesystem::path chain = m_dir / "SUB";
    for (int level = 0; level < 40; ++level) {
        chain /= "D";
        std::filesystem::create_directory(chain);
        WriteFileBytes(chain / "MASTER", RecordsBytes({MasterHeader(1), DirectoryEntry(1, "D")}));
    }
    RunOutcome outcome = Run(RealFileSystem(), true, "SUBA");
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{"Duplicate Symbol"});
    outcome = Run(RealFileSystem(), true, "NEWSYM");
    EXPECT_EQ(outcome.result, 0) << ::testing::PrintToString(outcome.messages);
}

}  // namespace
}  // namespace corvat::test
