// Reading directories whose EMASTER and XMASTER bytes are laid out by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "data_directory_check.h"
#include "index_support.h"

namespace corvat::test {
namespace {

// MASTER with IBM (1) and ABCDEFGHIJKLMNOP (2), both sound, in `dir`.
std::vector<MasterRecord> WriteTwoSecurityMaster(const std::filesystem::path& dir) {
    std::vector<MasterRecord> entries = {WriteSoundSecurity(dir, 1, "IBM"),
                                         WriteSoundSecurity(dir, 2, "ABCDEFGHIJKLMNOP")};
    WriteBytes(dir / "MASTER", MasterBytes(2, 2, entries));
    return entries;
}

Bytes InStepEmaster() {
    return EmasterFileBytes(2, {EmasterRecordBytes(1, "IBM", 970115.0f, 970116.0f),
                                EmasterRecordBytes(2, "ABCDEFGHIJKLMN", 970115.0f, 970116.0f,
                                                   "ALPHABET SECURITY LONG NAME")});
}

TEST(IndexDirectory, SymbolsOfEveryIndexAreDuplicates) {
    // The key, what EMASTER and XMASTER hold besides MASTER, and whether the
    // key is taken.
    const struct {
        const char* key;
        Bytes emaster;
        Bytes xmaster;
        bool taken;
    } cases[] = {
        {"XONLY", {}, XmasterFileBytes(1, 1, 257, {XmasterRecordBytes(256, "XONLY", 0, 0)}), true},
        {"xonly", {}, {}, false},
        {"EONLY",
         EmasterFileBytes(1, {EmasterRecordBytes(9, "EONLY", 970115.0f, 970115.0f)}),
         {},
         true},
        {"abcdefghijklmn", {}, {}, true},
        {"Alphabet Security Long Name", InStepEmaster(), {}, true},
        {"ABCDEFGHIJKLM", InStepEmaster(), {}, false},
    };
    for (const auto& c : cases) {
        JobFixture f;
        WriteTwoSecurityMaster(f.dir.Path());
        if (!c.emaster.empty()) WriteBytes(f.dir / "EMASTER", c.emaster);
        if (!c.xmaster.empty()) WriteBytes(f.dir / "xmaster", c.xmaster);
        f.job.m_bUseExisting = 1;
        f.job.m_szSymbol = c.key;
        EXPECT_EQ(f.job.CheckDuplicateSymbol(), c.taken ? 1 : 0) << c.key;
    }
}

TEST(IndexDirectory, CheckReadsAllThreeIndexes) {
    TempDir dir;
    auto entries = WriteTwoSecurityMaster(dir.Path());
    // No description files: the charting programs write none.
    std::filesystem::remove(dir / "F1.DOP");
    std::filesystem::remove(dir / "F2.DOP");
    WriteBytes(
        dir / "EMASTER",
        EmasterFileBytes(2, {EmasterRecordBytes(1, "IBM", 970115.0f, 970116.0f),
                             EmasterRecordBytes(2, "OTHER", 970115.0f, 970120.0f, "", 0x7f)}));
    WriteMwdFile(dir.Path(), 259, 2, {{970115.0f, 1.0f}, {970116.0f, 2.0f}});
    WriteMwdFile(dir.Path(), 258, 2, {{970115.0f, 1.0f}});  // a weekly series
    Bytes xmaster =
        XmasterFileBytes(4, 3, 257,
                         {XmasterRecordBytes(259, "GOOD", 19970115, 19970116),
                          XmasterRecordBytes(7, "LOW", 19970115, 19970115),
                          XmasterRecordBytes(258, "WEEKLY", 19970101, 19970101, "", 0x09, 'W'),
                          XmasterRecordBytes(256, "ibm", 19970115, 19970116)});
    xmaster.resize(xmaster.size() + 5);
    WriteBytes(dir / "XMASTER", xmaster);
    const std::string found = Joined(CheckDataDirectory(dir.Path(), false, RealFileSystem()));
    EXPECT_EQ(found,
              "EMASTER: record 2 (OTHER) differs from MASTER's entry 2 (ABCDEFGHIJKLMNOP) in its "
              "symbol.\n"
              "EMASTER: record 2 (OTHER) differs from MASTER's entry 2 (ABCDEFGHIJKLMNOP) in its "
              "fields (7, bitset 7 fields; MASTER 2).\n"
              "EMASTER: record 2 (OTHER) differs from MASTER's entry 2 (ABCDEFGHIJKLMNOP) in its "
              "dates (1997-01-15 to 1997-01-20; MASTER 1997-01-15 to 1997-01-16).\n"
              "XMASTER: length 755 is not a whole number of 150-byte records (5 bytes left "
              "over).\n"
              "XMASTER: header counts 4 records in one place and 3 in the other.\n"
              "XMASTER: entry 2 (LOW) has file number 7; XMASTER's numbers begin at 256.\n"
              "XMASTER: entry 4 (ibm) repeats a symbol of MASTER.\n"
              "F256.MWD: missing; the data file of entry 4 (ibm).\n"
              "XMASTER: header gives 257 as the next file number, but 259 is in use.\n")
        << found;
}

TEST(IndexDirectory, CheckNamesAnEmasterBehindOrOutOfStep) {
    const std::pair<Bytes, std::string> cases[] = {
        {EmasterFileBytes(1, {EmasterRecordBytes(1, "IBM", 970115.0f, 970116.0f)}),
         "EMASTER: EMASTER behind MASTER (an interrupted write; the next conversion completes "
         "it)\n"},
        {EmasterFileBytes(2, {EmasterRecordBytes(2, "ABCDEFGHIJKLMN", 970115.0f, 970116.0f),
                              EmasterRecordBytes(1, "IBM", 970115.0f, 970116.0f)}),
         "EMASTER: not in step with MASTER: record 1 names file number 2 where MASTER's entry "
         "names 1; readers that list securities from EMASTER show other securities than readers "
         "that use MASTER.\n"},
        {[] {
             Bytes emaster = InStepEmaster();
             emaster.resize(emaster.size() + 3);
             return emaster;
         }(),
         "EMASTER: length 579 is not a whole number of 192-byte records (3 bytes left over).\n"},
    };
    for (const auto& [emaster, finding] : cases) {
        TempDir dir;
        WriteTwoSecurityMaster(dir.Path());
        WriteBytes(dir / "EMASTER", emaster);
        EXPECT_EQ(Joined(CheckDataDirectory(dir.Path(), false, RealFileSystem())), finding);
    }
}

}  // namespace
}  // namespace corvat::test
