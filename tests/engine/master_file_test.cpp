#include <gtest/gtest.h>

#include "builders.h"
#include "index_support.h"

namespace corvat::test {
namespace {

const Bytes kXyzDate = {0x30, 0xD8, 0x6C, 0x94};  // 970115

Bytes XyzEntry(const Bytes& first, const Bytes& last) {
    return Concat({{0x01, 0x65, 0x00, 0x14, 0x05, 0x00, 0x00},
                   TextBytes("XYZ CORP        "),
                   {0x00, 0x00},
                   first,
                   last,
                   {0x44, 0x00, 0x00},
                   TextBytes("XYZ             "),
                   {0x00}});
}

// The entry's dates are the earliest and latest whatever the row order.
TEST(MasterFile, NewMasterWithXyzCorpMatchesTheWorkedExample) {
    const Bytes feb3 = {0xB0, 0xDD, 0x6C, 0x94};  // 970203
    const std::pair<const char*, Bytes> cases[] = {
        {"011597,1,2,3,4,5,6\n", kXyzDate}, {"020397,1,2,3,4,5,6\n011597,1,2,3,4,5,6\n", feb3}};
    for (const auto& [text, last] : cases) {
        JobFixture f;
        f.job.m_bFieldOn = {1, 1, 1, 0, 1, 1, 0};  // five fields
        ASSERT_EQ(f.Convert(text), 0);
        Bytes header = Concat({{0x01, 0x00, 0x01, 0x00}, Bytes(49, 0)});
        EXPECT_EQ(ReadBytes(f.dir / "MASTER"), Concat({header, XyzEntry(kXyzDate, last)}));
    }
}

TEST(MasterFile, ExistingMasterGetsTheLowestFreeNumberAppendedLast) {
    JobFixture f;
    Bytes before = MasterBytes(
        3, 3, {SecurityEntry(1, "AAA"), SecurityEntry(2, "BBB"), SecurityEntry(4, "DDD")});
    before.insert(before.end(), {1, 2, 3, 4, 5});  // a fragment, dropped on rewrite
    WriteBytes(f.dir / "MASTER", before);
    f.job.m_bUseExisting = 1;
    ASSERT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 0) << f.messages.messages.front();
    const Bytes master = ReadBytes(f.dir / "MASTER");
    ASSERT_EQ(master.size(), 5u * 53);
    EXPECT_EQ(Slice(master, 0, 4), (Bytes{4, 0, 4, 0}));
    EXPECT_EQ(master[4 * 53], 3);
    EXPECT_EQ(master[3 * 53], 4);
    EXPECT_TRUE(std::filesystem::exists(f.dir / "F3.DAT"));
}

TEST(MasterFile, DirectoryEntriesAreCopiedAndTheirNumbersNotGivenOut) {
    JobFixture f;
    const auto dirEntry = DirectoryEntry(1, "SUB");
    WriteBytes(f.dir / "MASTER", MasterBytes(1, 1, {dirEntry}));
    f.job.m_bUseExisting = 1;
    ASSERT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 0);
    const Bytes master = ReadBytes(f.dir / "MASTER");
    EXPECT_EQ(Slice(master, 53, 53), Bytes(dirEntry.begin(), dirEntry.end()));
    EXPECT_EQ(master[2 * 53], 2);
}

TEST(MasterFile, AFullMasterGoesOnInXmasterAndOnlyNoNumberLeftIsRefused) {
    std::vector<MasterRecord> all;
    for (int n = 1; n <= 255; ++n)
        all.push_back(SecurityEntry(static_cast<std::uint8_t>(n), "S" + std::to_string(n)));
    const Bytes xmasterFull = XmasterFileBytes(1, 1, 65535, {XmasterRecordBytes(65535, "X", 0, 0)});
    // MASTER's two header words and entries, XMASTER; the number given
    // (0: refused). The second word alone no longer fills MASTER.
    const std::tuple<int, int, std::vector<MasterRecord>, Bytes, int> cases[] = {
        {0, 255, {}, {}, 1},
        {3, 3, all, {}, 256},
        {255, 255, {}, xmasterFull, 0},
    };
    for (const auto& [count, second, entries, xmaster, number] : cases) {
        JobFixture f;
        const Bytes before = MasterBytes(static_cast<std::int16_t>(count),
                                         static_cast<std::int16_t>(second), entries);
        WriteBytes(f.dir / "MASTER", before);
        if (!xmaster.empty()) WriteBytes(f.dir / "XMASTER", xmaster);
        f.job.m_bUseExisting = 1;
        EXPECT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), number == 0 ? 1 : 0);
        EXPECT_EQ(f.job.FileNumber(), number);
        EXPECT_EQ(ReadBytes(f.dir / "MASTER") == before, number != 1) << count;
        if (number == 1) {
            EXPECT_EQ(ReadBytes(f.dir / "MASTER")[2], 255) << "never past 255";
        }
        if (number == 0) {
            EXPECT_EQ(f.messages.messages,
                      std::vector<std::string>{"This portfolio already has the\nmaximum number "
                                               "of symbols.\nChoose a different or new "
                                               "portfolio."});
            EXPECT_EQ(ReadBytes(f.dir / "XMASTER"), xmaster);
        }
    }
}

TEST(MasterFile, MasterShorterThanItsHeaderIsReportedAndKept) {
    JobFixture f;
    const Bytes stub(20, 0);
    WriteBytes(f.dir / "MASTER", stub);
    f.job.m_bUseExisting = 1;
    EXPECT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 1);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_NE(f.messages.messages[0].find("MASTER"), std::string::npos);
    EXPECT_NE(f.messages.messages[0].find("53-byte header"), std::string::npos);
    EXPECT_EQ(ReadBytes(f.dir / "MASTER"), stub);
}

TEST(MasterFile, LowerCaseNamesAreUsedInPlaceNotDuplicated) {
    JobFixture f;
    WriteBytes(f.dir / "master", MasterBytes(1, 1, {SecurityEntry(1, "AAA")}));
    WriteText(f.dir / "f2.dat", "stale");
    f.job.m_bUseExisting = 1;
    ASSERT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 0);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "MASTER"));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "F2.DAT"));
    EXPECT_EQ(ReadBytes(f.dir / "master").size(), 3u * 53);
    EXPECT_EQ(ReadBytes(f.dir / "f2.dat").size(), 2u * 28);
    EXPECT_TRUE(std::filesystem::exists(f.dir / "master.BAK"));
}

}  // namespace
}  // namespace corvat::test
