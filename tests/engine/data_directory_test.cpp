#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "builders.h"
#include "date_codec.h"
#include "failing_file_system.h"
#include "master_listing.h"
#include "master_search.h"
#include "master_tree.h"
#include "security_data.h"
#include "security_removal.h"
#include "security_update.h"
#include "stored_date.h"

namespace corvat::test {
namespace {

TEST(StoredDates, DecodesRealDatesAndShowsAnythingElseAsTheNumber) {
    const StoredDate jan = DecodeDateValue(IeeeToMbf(970115.0f));
    ASSERT_TRUE(jan.valid);
    EXPECT_EQ(StoredDateText(jan), "1997-01-15");
    EXPECT_EQ(StoredDateText(DecodeDateValue(IeeeToMbf(1991231.0f))), "2099-12-31");
    EXPECT_EQ(StoredDateText(DecodeDateValue(IeeeToMbf(1990101.0f))), "2099-01-01");
    EXPECT_EQ(StoredDateText(DecodeDateValue(IeeeToMbf(1000229.0f))), "2000-02-29");
    EXPECT_EQ(StoredDateText(DecodeDateValue(IeeeToMbf(960229.0f))), "1996-02-29");
    EXPECT_EQ(StoredDateText(DecodeDateValue(IeeeToMbf(1200229.0f))), "2020-02-29");

    // Not days of the calendar, not whole, not positive: shown as stored.
    for (float value :
         {990229.0f, 960230.0f, 970230.0f, 971301.0f, 970100.0f, 970115.5f, 0.0f, -970115.0f}) {
        const StoredDate date = DecodeDateValue(IeeeToMbf(value));
        EXPECT_FALSE(date.valid) << value;
        EXPECT_EQ(std::stof(StoredDateText(date)), value);
    }
    // Every month's last day is a date, the day after it is not (1997: no leap year).
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        const float last = 970000.0f + month * 100.0f + lengths[month - 1];
        EXPECT_TRUE(DecodeDateValue(IeeeToMbf(last)).valid) << last;
        EXPECT_FALSE(DecodeDateValue(IeeeToMbf(last + 1)).valid) << last + 1;
    }
    EXPECT_EQ(StoredDateText(DecodeDateValue({0xFF, 0xFF, 0x7F, 0xFF})).find('-'),
              std::string::npos)
        << "the largest MBF number is no date";
}

TEST(MasterListingRead, KeepsWhatTheFileHoldsWhateverTheHeaderSays) {
    TempDir dir;
    Bytes bytes = MasterBytes(
        5, 5,
        {DatedEntry(1, "IBM", 7, 970115.0f, 970220.0f, "IBM CORP"), DirectoryEntry(9, "SUB")});
    bytes.insert(bytes.end(), {1, 2, 3});  // a fragment of a third record
    WriteBytes(dir / "master", bytes);     // another program's letter case

    MasterListing listing;
    ASSERT_EQ(ReadMasterListing(dir.Path(), listing, RealFileSystem()), "");
    EXPECT_EQ(listing.masterPath.filename(), "master");
    EXPECT_EQ(listing.entryCount, 5);
    ASSERT_EQ(listing.Entries().size(), 2u);
    EXPECT_FALSE(listing.Complete());

    const MasterEntry& ibm = listing.records[0];
    EXPECT_FALSE(ibm.isDirectory);
    EXPECT_EQ(ibm.recordLength, 28);
    EXPECT_EQ(ibm.name, "IBM CORP");
    EXPECT_EQ(StoredDateText(ibm.lastDate), "1997-02-20");
    EXPECT_EQ(listing.records[1].directoryName, "SUB");
}

TEST(MasterListingRead, CountsBoundTheEntriesAndZeroPaddingEndsTexts) {
    TempDir dir;
    MasterRecord padded = DatedEntry(2, "AB", 2, 970115.0f, 970115.0f);
    std::fill(padded.begin() + master::kSymbol, padded.begin() + master::kSymbol + 16, 0);
    std::copy_n("AB", 2, padded.begin() + master::kSymbol);
    padded[master::kName + 3] = 0;
    WriteBytes(dir / "MASTER", MasterBytes(1, 1, {padded, WriteSoundSecurity(dir.Path(), 3, "X")}));
    MasterListing listing;
    ASSERT_EQ(ReadMasterListing(dir.Path(), listing, RealFileSystem()), "");
    ASSERT_EQ(listing.Entries().size(), 1u) << "the header counts one";
    EXPECT_EQ(listing.records.size(), 2u);
    EXPECT_EQ(listing.Entries()[0].symbol, "AB");
    EXPECT_EQ(listing.Entries()[0].name, "AB");

    WriteBytes(dir / "MASTER", MasterBytes(-3, 0, {padded}));
    ASSERT_EQ(ReadMasterListing(dir.Path(), listing, RealFileSystem()), "");
    EXPECT_TRUE(listing.Entries().empty()) << "a negative count names no entry";
}

TEST(MasterListingRead, RefusesMissingAndShortMastersWithTheReason) {
    TempDir dir;
    MasterListing listing;
    const std::string missing = ReadMasterListing(dir.Path(), listing, RealFileSystem());
    EXPECT_NE(missing.find((dir / "MASTER").string()), std::string::npos) << missing;
    EXPECT_NE(missing.find("No such file"), std::string::npos) << missing;
    WriteBytes(dir / "MASTER", Bytes(52, 0));
    EXPECT_NE(ReadMasterListing(dir.Path(), listing, RealFileSystem())
                  .find("shorter than its 53-byte header"),
              std::string::npos);
}

TEST(MasterTreeWalk, FollowsEntriesIgnoringCaseAndStopsAtLoops) {
    // top/MASTER -> sub/MASTER (found as "SUB") -> back, a link to top.
    TempDir dir;
    const std::filesystem::path top = dir / "top";
    std::filesystem::create_directories(top / "sub");
    WriteBytes(top / "MASTER", MasterBytes(3, 3,
                                           {WriteSoundSecurity(top, 1, "TOP"),
                                            DirectoryEntry(2, "SUB"), DirectoryEntry(3, "GONE")}));
    WriteBytes(
        top / "sub" / "MASTER",
        MasterBytes(2, 2, {DirectoryEntry(1, "BACK"), WriteSoundSecurity(top / "sub", 2, "DEEP")}));
    std::filesystem::create_directory_symlink(top, top / "sub" / "back");
    const MasterTree tree = WalkMasterTree(top, RealFileSystem());
    ASSERT_EQ(tree.nodes.size(), 3u);
    EXPECT_EQ(tree.nodes[1].relative, "sub");
    EXPECT_EQ(tree.nodes[1].listing.records[1].symbol, "DEEP");
    // The sub-tree of SUB is finished before GONE, which has no directory.
    EXPECT_EQ(tree.nodes[2].relative, "GONE");
    EXPECT_NE(tree.nodes[2].error.find("No such file"), std::string::npos);
    ASSERT_EQ(tree.skipped.size(), 1u);
    EXPECT_EQ(tree.skipped[0].parent, "sub");
    EXPECT_EQ(tree.skipped[0].name, "BACK");
    EXPECT_EQ(tree.skipped[0].reason, SkipReason::AlreadyVisited);
}

TEST(MasterTreeWalk, SkipsUnusableNamesCutShortMastersAndEndlessChains) {
    TempDir dir;
    WriteBytes(dir / "MASTER",
               MasterBytes(2, 2, {DirectoryEntry(1, ".."), DirectoryEntry(2, "A")}));
    // A chain deeper than the search goes: A/A/A/...
    std::filesystem::path level = dir.Path();
    for (int depth = 0; depth < kMaxSearchDepth + 5; ++depth) {
        level /= "A";
        std::filesystem::create_directory(level);
        WriteBytes(level / "MASTER", MasterBytes(1, 1, {DirectoryEntry(1, "A")}));
    }
    MasterTree tree = WalkMasterTree(dir.Path(), RealFileSystem());
    EXPECT_EQ(tree.nodes.size(), static_cast<std::size_t>(kMaxSearchDepth) + 1);
    ASSERT_EQ(tree.skipped.size(), 2u);
    EXPECT_EQ(tree.skipped[0].reason, SkipReason::UnusableName);
    EXPECT_EQ(tree.skipped[1].reason, SkipReason::TooDeep);

    // A master cut short is not trusted to lead anywhere, as in the search.
    WriteBytes(dir / "MASTER", MasterBytes(3, 2, {DirectoryEntry(2, "A")}));
    tree = WalkMasterTree(dir.Path(), RealFileSystem());
    EXPECT_EQ(tree.nodes.size(), 1u);
    ASSERT_EQ(tree.skipped.size(), 1u);
    EXPECT_EQ(tree.skipped[0].reason, SkipReason::MasterCutShort);
}

TEST(FieldDescriptionRead, AcceptsEveryLineEndAndCaseAndRefusesWhatWouldMisread) {
    TempDir dir;
    FieldDescription description;
    WriteText(dir / "F1.DOP",
              "\"DATE\",0,0\r\n\"high\",4,4\n\n\"Low\",4,4\r\n\"CLOSE\",4,4\r\n\"VOL\",4,4");
    ASSERT_EQ(ReadFieldDescription(dir / "F1.DOP", description, RealFileSystem()), "");
    EXPECT_EQ(description.fields, (std::vector<int>{0, 2, 3, 4, 5}));

    // What would misread the records is refused.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\"DATE\",0,0\r\n\"PRICE\",4,4\r\n", "unknown field \"PRICE\""},
        {"\"DATE\",0,0\r\n\"date\",0,0\r\n", "repeats the field"},
        {"DATE,0,0\r\n", "does not begin with a quoted name"},
        {"\"DATE,0,0\r\n", "no closing quote"},
        {"\r\n  \r\n", "names no field"},
        {std::string(5000, 'x'), "too long"},
    };
    for (const auto& [text, expected] : cases) {
        WriteText(dir / "F1.DOP", text);
        const std::string error =
            ReadFieldDescription(dir / "F1.DOP", description, RealFileSystem());
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_NE(error.find("F1.DOP"), std::string::npos) << error;
    }
}

TEST(DataFileRead, ReadsWholeRecordsOnlyAndNeverPastTheEnd) {
    TempDir dir;
    WriteDataFile(dir.Path(), 1, 2, {{970115.0f, 10.0f}, {970116.0f, -2.5f}}, 7);
    Bytes bytes = ReadBytes(dir / "F1.DAT");
    bytes.insert(bytes.end(), {9, 9, 9});
    WriteBytes(dir / "F1.DAT", bytes);

    DataFile data;
    ASSERT_EQ(ReadDataFile(dir / "F1.DAT", 8, data, RealFileSystem()), "");
    EXPECT_EQ(data.fileSize, 27u);
    EXPECT_TRUE(data.hasHeader);
    EXPECT_EQ(data.headerCount, 7);
    EXPECT_EQ(data.RecordsCounted(), 6u);
    EXPECT_EQ(data.RecordsPresent(), 2u) << "the 3-byte fragment is no record";
    EXPECT_EQ(MbfToIeee(data.Field(1, 1)), -2.5f);

    // Lengths that cannot hold whole MBF numbers are refused, not divided by.
    for (std::size_t length : {0u, 2u, 6u, 256u}) {
        EXPECT_NE(
            ReadDataFile(dir / "F1.DAT", length, data, RealFileSystem()).find("record length"),
            std::string::npos);
    }
    WriteBytes(dir / "F2.DAT", Bytes{0, 0, 5});
    ASSERT_EQ(ReadDataFile(dir / "F2.DAT", 4, data, RealFileSystem()), "");
    EXPECT_FALSE(data.hasHeader);
    EXPECT_EQ(data.RecordsCounted(), 0u);
    EXPECT_EQ(data.RecordsPresent(), 0u);

    // Counted records come from the header alone.
    WriteDataFile(dir.Path(), 1, 7, {{970115.0f, 1, 2, 3, 4, 5, 6}});
    std::size_t records = 99;
    ASSERT_EQ(ReadCountedRecords(dir / "F1.DAT", records, RealFileSystem()), "");
    EXPECT_EQ(records, 1u);
    WriteDataFile(dir.Path(), 1, 2, {}, 0x0302);  // both bytes of the count count
    ASSERT_EQ(ReadCountedRecords(dir / "F1.DAT", records, RealFileSystem()), "");
    EXPECT_EQ(records, 0x0301u);
    ASSERT_EQ(ReadDataFile(dir / "F1.DAT", 8, data, RealFileSystem()), "");
    EXPECT_EQ(data.headerCount, 0x0302);
    WriteDataFile(dir.Path(), 1, 2, {}, 0);  // a count of 0 counts no record either
    ASSERT_EQ(ReadCountedRecords(dir / "F1.DAT", records, RealFileSystem()), "");
    EXPECT_EQ(records, 0u);
    WriteBytes(dir / "F1.DAT", Bytes{0, 0, 5});
    EXPECT_NE(ReadCountedRecords(dir / "F1.DAT", records, RealFileSystem()).find("has no header"),
              std::string::npos);
    EXPECT_NE(ReadCountedRecords(dir / "F9.DAT", records, RealFileSystem()).find("No such file"),
              std::string::npos);
}

TEST(SecurityDataRead, FallsBackOnTheEntryOnlyWhereNoDoubtIsLeft) {
    TempDir dir;
    WriteDataFile(dir.Path(), 4, 2, {{970115.0f, 10.0f}});
    WriteBytes(dir / "f4.dat", ReadBytes(dir / "F4.DAT"));
    std::filesystem::remove(dir / "F4.DAT");
    SecurityData security;
    IndexedSecurity entry = SecurityFromMaster(DatedEntry(4, "X", 2, 0, 0, "NAME"), 1);
    EXPECT_EQ(entry.symbol + entry.name + "|", "XNAME|") << "MASTER's padding taken off";
    ASSERT_EQ(ReadSecurityData(dir.Path(), entry, security, RealFileSystem()), "");
    EXPECT_EQ(security.description.fields, (std::vector<int>{0, 4}));
    EXPECT_EQ(security.data.path.filename(), "f4.dat");
    EXPECT_EQ(security.data.RecordsPresent(), 1u);

    entry = SecurityFromMaster(DatedEntry(4, "X", 5, 0, 0), 1);
    EXPECT_NE(ReadSecurityData(dir.Path(), entry, security, RealFileSystem()).find("F4.DOP"),
              std::string::npos)
        << "five fields could be any five";
}

TEST(ReadBackThroughTheSeam, ReadFailuresNameTheFileAndTheReason) {
    TempDir dir;
    WriteBytes(dir / "MASTER", MasterBytes(1, 1, {WriteSoundSecurity(dir.Path(), 1, "X")}));
    FailingFileSystem fs;  // every read fails, as on a disk going bad
    fs.AddRule([](const SeamCallInfo& call) -> std::optional<std::errc> {
        if (call.call == SeamCall::Read) return std::errc::io_error;
        return std::nullopt;
    });
    MasterListing listing;
    const std::string master = ReadMasterListing(dir.Path(), listing, fs);
    EXPECT_NE(master.find("Cannot read " + (dir / "MASTER").string()), std::string::npos) << master;
    EXPECT_NE(master.find(std::make_error_code(std::errc::io_error).message()), std::string::npos);

    FieldDescription description;
    EXPECT_NE(ReadFieldDescription(dir / "F1.DOP", description, fs).find("Cannot read"),
              std::string::npos);
    DataFile data;
    EXPECT_NE(ReadDataFile(dir / "F1.DAT", 8, data, fs).find("Cannot read"), std::string::npos);
    std::size_t records = 0;
    EXPECT_NE(ReadCountedRecords(dir / "F1.DAT", records, fs).find("Cannot read"),
              std::string::npos);

    const MasterTree tree = WalkMasterTree(dir.Path(), fs);
    ASSERT_EQ(tree.nodes.size(), 1u);
    EXPECT_NE(tree.nodes[0].error.find("Cannot read"), std::string::npos);
}

TEST(SecurityRemoval, ASecondRunReportsOnlyItsOwnRemovals) {
    TempDir dir;
    WriteBytes(dir / "MASTER", MasterBytes(1, 1, {WriteSoundSecurity(dir.Path(), 1, "IBM")}));
    RecordingSink messages;
    SecurityRemoval removal(messages, RealFileSystem());
    removal.m_dir = dir.Path().string();
    removal.m_symbols = {"ibm"};
    EXPECT_EQ(removal.Run(), 0);
    EXPECT_EQ(removal.RemovedSecurities().size(), 1u);
    EXPECT_EQ(removal.Run(), 1) << "the second time it is gone";
    EXPECT_TRUE(removal.RemovedSecurities().empty());
    WriteText(dir / "MASTER", "short");
    EXPECT_EQ(removal.Run(), 1);
    EXPECT_NE(messages.All().find("MASTER"), std::string::npos) << "a master it cannot read";
}

TEST(PosixFileSystem, RemoveAndLockReportTheirErrors) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    WriteText(dir / "x", "");
    std::error_code ec;
    fs.Remove(dir / "x", ec);
    EXPECT_FALSE(ec || std::filesystem::exists(dir / "x"));
    fs.Remove(dir / "x", ec);
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
    ec.clear();
    const auto held = fs.TryLockDirectory(dir.Path(), LockMode::Exclusive, ec);
    EXPECT_TRUE(held && !ec);
    EXPECT_EQ(fs.TryLockDirectory(dir.Path(), LockMode::Shared, ec), nullptr);
    EXPECT_EQ(ec, std::errc::operation_would_block);
}

}  // namespace
}  // namespace corvat::test
