#include "data_directory_check.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "builders.h"

namespace corvat::test {
namespace {

// Exactly these findings in this order, each given by its file's name and
// part of its text.
void ExpectFindings(const std::vector<Finding>& findings,
                    const std::vector<std::pair<std::string, std::string>>& expected) {
    ASSERT_EQ(findings.size(), expected.size()) << Joined(findings);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(findings[i].file.filename() == expected[i].first &&
                    findings[i].text.find(expected[i].second) != std::string::npos)
            << expected[i].first << ": " << expected[i].second << "\n"
            << Joined(findings);
    }
}

struct CheckFixture {
    TempDir dir;
    std::vector<MasterRecord> entries;
    void Sound(std::uint8_t n, const std::string& symbol) {
        entries.push_back(WriteSoundSecurity(dir.Path(), n, symbol));
    }
    // Date and close in F<n>, an entry giving `first` and `last`.
    void Dated(std::uint8_t n, const std::string& symbol, float first, float last,
               const std::vector<std::vector<float>>& records) {
        WriteDescription(dir.Path(), n, {0, 4});
        WriteDataFile(dir.Path(), n, 2, records);
        entries.push_back(DatedEntry(n, symbol, 2, first, last));
    }
    std::vector<Finding> Check(bool recursive = false) {
        WriteBytes(dir / "MASTER", MasterBytes(static_cast<int>(entries.size()),
                                               static_cast<int>(entries.size()), entries));
        return CheckDataDirectory(dir.Path(), recursive, RealFileSystem());
    }
};

TEST(DataDirectoryCheck, FindsDuplicateFileNumbersAndSymbolsInAnyCase) {
    CheckFixture f;
    f.Sound(1, "IBM");
    f.entries.push_back(DatedEntry(1, "other", 2, 970115.0f, 970116.0f));
    f.Dated(2, "ibm", 970115.0f, 970115.0f, {{970115.0f, 1.0f}});
    ExpectFindings(f.Check(), {
                                  {"MASTER", "entry 2 (other) uses file number 1, as entry 1 does"},
                                  {"MASTER", "entry 3 (ibm) repeats the symbol of entry 1"},
                              });
    EXPECT_EQ(f.Check(true).size(), 2u) << "a repeat within one directory is reported once";
}

TEST(DataDirectoryCheck, FindsMissingAndDisagreeingSecurityFiles) {
    CheckFixture f;
    f.entries.push_back(DatedEntry(1, "NODAT", 2, 970115.0f, 970115.0f));
    WriteDescription(f.dir.Path(), 1, {0, 4});
    f.entries.push_back(DatedEntry(2, "NODOP", 2, 970115.0f, 970115.0f));
    WriteDataFile(f.dir.Path(), 2, 2, {{970115.0f, 1.0f}});
    // The entry says 7 fields, its description 2.
    f.entries.push_back(DatedEntry(3, "FIELDS", 7, 970115.0f, 970116.0f));
    WriteDescription(f.dir.Path(), 3, {0, 4});
    WriteDataFile(f.dir.Path(), 3, 2, {{970115.0f, 1.0f}, {970116.0f, 1.0f}});
    // Record length 12 for 2 fields in the entry itself.
    MasterRecord odd = WriteSoundSecurity(f.dir.Path(), 4, "ODDLEN");
    odd[master::kRecordLength] = 12;
    f.entries.push_back(odd);

    f.Sound(5, "BADDOP");
    WriteText(f.dir / "F5.DOP", "DATE\r\n");

    ExpectFindings(f.Check(),
                   {{"F1.DAT", "missing; the data file of entry 1 (NODAT)"},
                    {"F3.DOP", "describes 2 fields; entry 3 (FIELDS) has 7"},
                    {"F3.DOP", "gives records of 8 bytes; entry 3 (FIELDS) has record length 28"},
                    {"MASTER", "entry 4 (ODDLEN) has record length 12 for 2 fields"},
                    {"F4.DOP", "gives records of 8 bytes; entry 4 (ODDLEN) has record length 12"},
                    {"F5.DOP", "does not begin with a quoted name"}});
}

TEST(DataFileCheck, FindsLengthsTheHeaderDoesNotAccountFor) {
    CheckFixture f;
    f.Sound(1, "LONGER");
    WriteDataFile(f.dir.Path(), 1, 2, {{970115.0f, 1.0f}, {970116.0f, 2.0f}}, 2);  // counts 1
    f.Sound(2, "FRAGMENT");
    Bytes bytes = ReadBytes(f.dir / "F2.DAT");
    bytes.push_back(0);
    WriteBytes(f.dir / "F2.DAT", bytes);
    f.Sound(3, "HEADLESS");
    WriteBytes(f.dir / "F3.DAT", Bytes{0, 0, 1});
    // F1's header counts one record, so its last record is the first.
    ExpectFindings(f.Check(),
                   {{"F1.DAT", "length 24 disagrees with its header: 2 records of 8 bytes make 16"},
                    {"MASTER", "entry 1 (LONGER) gives last date 1997-01-16 but record 1"},
                    {"F2.DAT", "length 25 disagrees with its header: 3 records"},
                    {"F3.DAT", "length 3 is shorter than its 8-byte header"}});
}

TEST(DataFileCheck, FindsDatesOutOfOrderRepeatedOrDisagreeingWithTheEntry) {
    CheckFixture f;
    // Stored newest first, as an older converter wrote a descending file.
    f.Dated(1, "DESC", 970120.0f, 970110.0f, {{970120.0f, 1.0f}, {970110.0f, 1.0f}});
    // Earliest and latest rather than first and last.
    f.Dated(2, "SORTED", 970110.0f, 970120.0f, {{970120.0f, 1.0f}, {970110.0f, 1.0f}});
    // A date field that holds no date.
    f.Dated(3, "BADDATE", 970301.0f, 970230.5f, {{970230.5f, 1.0f}});
    f.Dated(4, "TWICE", 970110.0f, 970111.0f,
            {{970110.0f, 1.0f}, {970110.0f, 2.0f}, {970111.0f, 1.0f}, {970111.0f, 1.0f}});
    // Registered, never filled; and files no entry names.
    WriteDescription(f.dir.Path(), 5, {0, 4});
    WriteDataFile(f.dir.Path(), 5, 2, {});
    f.entries.push_back(DatedEntry(5, "EMPTY", 2, 970115.0f, 970115.0f));
    WriteText(f.dir / "F9.DAT", "");
    WriteText(f.dir / "f9.dop", "");
    ExpectFindings(
        f.Check(),
        {
            {"MASTER", "entry 1 (DESC) gives first date 1997-01-20 after its last date 1997-01-10"},
            {"F1.DAT", "1 record out of ascending date order; the first is record 2 (1997-01-10)"},
            {"F2.DAT", "1 record out of ascending date order"},
            {"MASTER",
             "entry 2 (SORTED) gives first date 1997-01-10 but record 1 of F2.DAT is "
             "dated 1997-01-20"},
            {"MASTER", "entry 2 (SORTED) gives last date 1997-01-20 but record 2"},
            {"MASTER",
             "entry 3 (BADDATE) gives first date 1997-03-01 after its last date 970230.5"},
            {"MASTER",
             "entry 3 (BADDATE) gives first date 1997-03-01 but record 1 of F3.DAT is "
             "dated 970230.5"},
            {"F4.DAT", "2 records repeating the date before; the first is record 2 (1997-01-10)"},
            {"MASTER", "entry 5 (EMPTY) has no records"},
            {"F9.DAT", "data file that no entry names"},
            {"f9.dop", "data file that no entry names"},
        });
}

TEST(DataDirectoryCheck, FindsMasterFaultsAndTemporaryFilesOfInterruptedRewrites) {
    CheckFixture f;
    f.Sound(1, "IBM");
    WriteBytes(f.dir / "MASTER", Concat({MasterBytes(3, 3, f.entries), Bytes(10, 0)}));
    for (const char* name : {"MASTER.~NU", "master.new", "F1.NEW", "F12.new"})
        WriteText(f.dir / name, "x");
    for (const char* name : {"MASTER.BAK", "F.NEW", "FX.NEW", "NOTES.NEW"})
        WriteText(f.dir / name, "x");
    ExpectFindings(CheckDataDirectory(f.dir.Path(), false, RealFileSystem()),
                   {{"MASTER", "not a whole number of 53-byte records (10 bytes left over)"},
                    {"MASTER", "header counts 3 entries but the file holds 1 entry record"},
                    {"F1.NEW", "temporary file"},
                    {"F12.new", "temporary file"},
                    {"MASTER.~NU", "temporary file"},
                    {"master.new", "temporary file"}});
}

TEST(DataDirectoryCheck, ReportsAMasterThatCannotBeReadAsAFinding) {
    EXPECT_EQ(Joined(CheckFixture().Check()), "") << "a master without entries is sound";
    TempDir dir;
    ExpectFindings(CheckDataDirectory(dir.Path(), false, RealFileSystem()),
                   {{"MASTER", "No such file"}});
    WriteBytes(dir / "MASTER", Bytes(20, 0));
    WriteText(dir / "MASTER.NEW", "");
    ExpectFindings(
        CheckDataDirectory(dir.Path(), false, RealFileSystem()),
        {{"MASTER", "shorter than its 53-byte header"}, {"MASTER.NEW", "temporary file"}});
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
    std::filesystem::create_directory_symlink(f.dir.Path(), sub / "UP");
    WriteText(sub / "F1.NEW", "");

    EXPECT_EQ(Joined(f.Check(false)), "") << "sound; without recursive only the top is checked";
    ExpectFindings(
        f.Check(true),
        {
            {"F3.DAT", "missing"},
            {"MASTER", "entry 1 (Ibm) repeats the symbol of entry 1 in ."},
            {"F1.NEW", "temporary file"},
            {"MASTER", "No such file"},
            {"MASTER",
             "directory entry 2 (UP) is not followed: it leads to a directory already visited"},
        });
}

}  // namespace
}  // namespace corvat::test
