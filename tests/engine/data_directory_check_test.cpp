#include "data_directory_check.h"

#include <gtest/gtest.h>

#include "read_back_support.h"

namespace corvat::test {
namespace {

std::string Joined(const std::vector<Finding>& findings) {
    std::string text;
    for (const auto& f : findings) text += f.file.filename().string() + ": " + f.text + "\n";
    return text;
}

bool Has(const std::vector<Finding>& findings, const std::string& file, const std::string& part) {
    for (const auto& f : findings) {
        if (f.file.filename() == file && f.text.find(part) != std::string::npos) return true;
    }
    return false;
}

struct CheckFixture {
    TempDir dir;
    std::vector<MasterRecord> entries;
    void Sound(std::uint8_t n, const std::string& symbol) {
        entries.push_back(WriteSoundSecurity(dir.path(), n, symbol));
    }
    std::vector<Finding> Check(bool recursive = false) {
        WriteBytes(dir / "MASTER", MasterBytes(static_cast<std::int16_t>(entries.size()),
                                               static_cast<std::int16_t>(entries.size()), entries));
        return CheckDataDirectory(dir.path(), recursive);
    }
};

TEST(DataDirectoryCheck, FindsNothingInASoundDirectory) {
    CheckFixture f;
    f.Sound(1, "IBM");
    f.Sound(2, "MSFT");
    f.entries.push_back(DirectoryEntry(3, "NOWHERE"));  // only followed with recursive
    // A security without records keeps its registration dates.
    WriteDescription(f.dir.path(), 4, {0, 1, 2, 3, 4, 5, 6});
    WriteDataFile(f.dir.path(), 4, 7, {});
    f.entries.push_back(DatedEntry(4, "EMPTY", 7, 1260101.0f, 1260101.0f));
    EXPECT_EQ(Joined(f.Check()), "");
}

TEST(DataDirectoryCheck, FindsMasterLengthAndCountFaults) {
    CheckFixture f;
    f.Sound(1, "IBM");
    WriteBytes(f.dir / "MASTER", Concat({MasterBytes(3, 3, f.entries), Bytes(10, 0)}));
    const auto findings = CheckDataDirectory(f.dir.path(), false);
    EXPECT_TRUE(
        Has(findings, "MASTER", "not a whole number of 53-byte records (10 bytes left over)"))
        << Joined(findings);
    EXPECT_TRUE(
        Has(findings, "MASTER", "header counts 3 entries but the file holds 1 entry record"))
        << Joined(findings);
    EXPECT_EQ(findings.size(), 2u) << Joined(findings);
}

TEST(DataDirectoryCheck, FindsDuplicateFileNumbersAndSymbolsInAnyCase) {
    CheckFixture f;
    f.Sound(1, "IBM");
    f.entries.push_back(DatedEntry(1, "other", 2, 970115.0f, 970116.0f));
    f.entries.push_back(DatedEntry(2, "ibm", 2, 970115.0f, 970115.0f));
    WriteDescription(f.dir.path(), 2, {0, 4});
    WriteDataFile(f.dir.path(), 2, 2, {{970115.0f, 1.0f}});
    const auto findings = f.Check();
    EXPECT_TRUE(Has(findings, "MASTER", "entry 2 (other) uses file number 1, as entry 1 does"))
        << Joined(findings);
    EXPECT_TRUE(Has(findings, "MASTER", "entry 3 (ibm) repeats the symbol of entry 1"))
        << Joined(findings);
    EXPECT_EQ(findings.size(), 2u) << Joined(findings);
}

TEST(DataDirectoryCheck, FindsMissingAndDisagreeingSecurityFiles) {
    CheckFixture f;
    f.entries.push_back(DatedEntry(1, "NODAT", 2, 970115.0f, 970115.0f));
    WriteDescription(f.dir.path(), 1, {0, 4});
    f.entries.push_back(DatedEntry(2, "NODOP", 2, 970115.0f, 970115.0f));
    WriteDataFile(f.dir.path(), 2, 2, {{970115.0f, 1.0f}});
    // The entry says 7 fields, its description 2.
    f.entries.push_back(DatedEntry(3, "FIELDS", 7, 970115.0f, 970116.0f));
    WriteDescription(f.dir.path(), 3, {0, 4});
    WriteDataFile(f.dir.path(), 3, 2, {{970115.0f, 1.0f}, {970116.0f, 1.0f}});
    // Record length 12 for 2 fields in the entry itself.
    MasterRecord odd = WriteSoundSecurity(f.dir.path(), 4, "ODDLEN");
    odd[master::kRecordLength] = 12;
    f.entries.push_back(odd);

    const auto findings = f.Check();
    EXPECT_TRUE(Has(findings, "F1.DAT", "missing; the data file of entry 1 (NODAT)"))
        << Joined(findings);
    EXPECT_TRUE(Has(findings, "F2.DOP", "missing; the description file of entry 2 (NODOP)"));
    EXPECT_TRUE(Has(findings, "F3.DOP", "describes 2 fields; entry 3 (FIELDS) has 7"));
    EXPECT_TRUE(
        Has(findings, "F3.DOP", "gives records of 8 bytes; entry 3 (FIELDS) has record length 28"));
    EXPECT_TRUE(Has(findings, "MASTER", "entry 4 (ODDLEN) has record length 12 for 2 fields"));
    EXPECT_TRUE(
        Has(findings, "F4.DOP", "gives records of 8 bytes; entry 4 (ODDLEN) has record length 12"));
    EXPECT_EQ(findings.size(), 6u) << Joined(findings);
}

TEST(DataFileCheck, FindsLengthsTheHeaderDoesNotAccountFor) {
    CheckFixture f;
    f.Sound(1, "LONGER");
    WriteDataFile(f.dir.path(), 1, 2, {{970115.0f, 1.0f}, {970116.0f, 2.0f}},
                  2);  // counts 1 record
    f.Sound(2, "FRAGMENT");
    Bytes bytes = ReadBytes(f.dir / "F2.DAT");
    bytes.push_back(0);
    WriteBytes(f.dir / "F2.DAT", bytes);
    f.Sound(3, "HEADLESS");
    WriteBytes(f.dir / "F3.DAT", Bytes{0, 0, 1});
    const auto findings = f.Check();
    EXPECT_TRUE(Has(findings, "F1.DAT",
                    "length 24 disagrees with its header: 2 records of 8 bytes make 16"))
        << Joined(findings);
    EXPECT_TRUE(Has(findings, "F2.DAT", "length 25 disagrees with its header: 3 records"));
    EXPECT_TRUE(Has(findings, "F3.DAT", "length 3 is shorter than its 8-byte header"));
    // F1's header counts one record, so its last record is the first.
    EXPECT_TRUE(
        Has(findings, "MASTER", "entry 1 (LONGER) gives last date 1997-01-16 but record 1"));
    EXPECT_EQ(findings.size(), 4u) << Joined(findings);
}

TEST(DataFileCheck, ComparesEntryDatesWithFirstAndLastRecordsInFileOrder) {
    CheckFixture f;
    // Descending input: first is later than last, and that is right.
    WriteDescription(f.dir.path(), 1, {0, 4});
    WriteDataFile(f.dir.path(), 1, 2, {{970120.0f, 1.0f}, {970110.0f, 1.0f}});
    f.entries.push_back(DatedEntry(1, "DESC", 2, 970120.0f, 970110.0f));
    // Earliest and latest rather than first and last: wrong.
    WriteDescription(f.dir.path(), 2, {0, 4});
    WriteDataFile(f.dir.path(), 2, 2, {{970120.0f, 1.0f}, {970110.0f, 1.0f}});
    f.entries.push_back(DatedEntry(2, "SORTED", 2, 970110.0f, 970120.0f));
    // A date field that holds no date.
    WriteDescription(f.dir.path(), 3, {0, 4});
    WriteDataFile(f.dir.path(), 3, 2, {{970230.0f, 1.0f}});
    f.entries.push_back(DatedEntry(3, "BADDATE", 2, 970301.0f, 970230.0f));
    const auto findings = f.Check();
    EXPECT_TRUE(Has(
        findings, "MASTER",
        "entry 2 (SORTED) gives first date 1997-01-10 but record 1 of F2.DAT is dated 1997-01-20"))
        << Joined(findings);
    EXPECT_TRUE(
        Has(findings, "MASTER", "entry 2 (SORTED) gives last date 1997-01-20 but record 2"));
    EXPECT_TRUE(Has(
        findings, "MASTER",
        "entry 3 (BADDATE) gives first date 1997-03-01 but record 1 of F3.DAT is dated 970230"));
    EXPECT_EQ(findings.size(), 3u) << Joined(findings);
}

TEST(DataDirectoryCheck, FindsTemporaryFilesOfInterruptedRewrites) {
    CheckFixture f;
    f.Sound(1, "IBM");
    for (const char* name : {"MASTER.~NU", "master.new", "F1.NEW", "F12.new"})
        WriteText(f.dir / name, "x");
    for (const char* name : {"MASTER.BAK", "F.NEW", "FX.NEW", "NOTES.NEW"})
        WriteText(f.dir / name, "x");
    const auto findings = f.Check();
    for (const char* name : {"MASTER.~NU", "master.new", "F1.NEW", "F12.new"}) {
        EXPECT_TRUE(Has(findings, name, "temporary file")) << name << "\n" << Joined(findings);
    }
    EXPECT_EQ(findings.size(), 4u) << Joined(findings);
}

TEST(DataDirectoryCheck, ReportsAMasterThatCannotBeReadAsAFinding) {
    TempDir dir;
    auto findings = CheckDataDirectory(dir.path(), false);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_NE(findings[0].text.find("No such file"), std::string::npos);
    WriteBytes(dir / "MASTER", Bytes(20, 0));
    WriteText(dir / "MASTER.NEW", "");
    findings = CheckDataDirectory(dir.path(), false);
    EXPECT_TRUE(Has(findings, "MASTER", "shorter than its 53-byte header")) << Joined(findings);
    EXPECT_TRUE(Has(findings, "MASTER.NEW", "temporary file"));
}

TEST(DataDirectoryCheck, RecursiveChecksTheTreeAndItsSymbolsAsAWhole) {
    CheckFixture f;
    f.Sound(1, "IBM");
    f.entries.push_back(DirectoryEntry(2, "SUB"));
    f.entries.push_back(DirectoryEntry(3, "GONE"));
    const auto sub = f.dir / "sub";
    std::filesystem::create_directory(sub);
    WriteBytes(sub / "MASTER",
               MasterBytes(3, 3,
                           {WriteSoundSecurity(sub, 1, "Ibm"), DirectoryEntry(2, "UP"),
                            DatedEntry(3, "NOFILES", 2, 970115.0f, 970115.0f)}));
    std::filesystem::create_directory_symlink(f.dir.path(), sub / "UP");
    WriteText(sub / "F1.NEW", "");

    EXPECT_EQ(Joined(f.Check(false)), "") << "without recursive only the top is checked";
    const auto findings = f.Check(true);
    EXPECT_TRUE(Has(findings, "MASTER", "entry 1 (Ibm) repeats the symbol of entry 1 in ."))
        << Joined(findings);
    EXPECT_TRUE(Has(findings, "F3.DAT", "missing"));
    EXPECT_TRUE(Has(findings, "F3.DOP", "missing"));
    EXPECT_TRUE(Has(findings, "F1.NEW", "temporary file"));
    EXPECT_TRUE(
        Has(findings, "MASTER",
            "directory entry 2 (UP) is not followed: it leads to a directory already visited"));
    EXPECT_TRUE(Has(findings, "MASTER", "No such file")) << "GONE has no master";
    EXPECT_EQ(findings.size(), 6u) << Joined(findings);
}

}  // namespace
}  // namespace corvat::test
