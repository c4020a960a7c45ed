#include <gtest/gtest.h>

#include "builders.h"

namespace corvat::test {
namespace {

const Bytes kDateLine = {0x22, 0x44, 0x41, 0x54, 0x45, 0x22, 0x2C, 0x30, 0x2C, 0x30, 0x0D, 0x0A};
const Bytes kCloseLine = {0x22, 0x43, 0x4C, 0x4F, 0x53, 0x45, 0x22,
                          0x2C, 0x34, 0x2C, 0x34, 0x0D, 0x0A};

// Leftover files of a free number are replaced.
TEST(DataFiles, DateAndCloseOnlyMakesEightByteRecords) {
    JobFixture f;
    f.OnlyDateAndClose();
    WriteText(f.dir / "F1.DAT", std::string(1000, 'x'));
    WriteText(f.dir / "F1.DOP", "junk");
    ASSERT_EQ(f.Convert("011597,10\n011697,10\n011797,10\n"), 0);
    const Bytes data = ReadBytes(f.dir / "F1.DAT");
    ASSERT_EQ(data.size(), 32u);
    EXPECT_EQ(Slice(data, 0, 8), (Bytes{0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(Slice(data, 8, 8), (Bytes{0x30, 0xD8, 0x6C, 0x94, 0x00, 0x00, 0x20, 0x84}));
    EXPECT_EQ(ReadBytes(f.dir / "F1.DOP"), Concat({kDateLine, kCloseLine}));
}

TEST(DataFiles, AllSevenFieldsAreWrittenInFieldOrderWhateverTheColumns) {
    JobFixture f;
    // Columns reversed: open interest first, date last.
    for (int i = 0; i < kFieldSlots; ++i) f.job.m_nColumn[static_cast<std::size_t>(i)] = 6 - i;
    ASSERT_EQ(f.Convert("7,6,5,4,3,2,011597\n"), 0);
    const Bytes data = ReadBytes(f.dir / "F1.DAT");
    ASSERT_EQ(data.size(), 56u);
    EXPECT_EQ(Slice(data, 0, 28),
              Concat({Bytes{0, 0, 2, 0}, Bytes{0, 0, 1, 0}, Bytes{0, 0, 1, 0}, Bytes{0, 0, 1, 0},
                      Bytes{0, 0, 1, 0}, Bytes{0, 0, 1, 0}, Bytes{0, 0, 1, 0}}));
    EXPECT_EQ(Slice(data, 28, 28), Concat({{0x30, 0xD8, 0x6C, 0x94},
                                           MbfOf(2),
                                           MbfOf(3),
                                           MbfOf(4),
                                           MbfOf(5),
                                           MbfOf(6),
                                           MbfOf(7)}));
}

TEST(DataFiles, DescriptionListsOnlyEnabledFields) {
    JobFixture f;
    f.job.m_bFieldOn = {1, 0, 1, 1, 1, 1, 0};
    ASSERT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 0);
    EXPECT_EQ(
        ReadBytes(f.dir / "F1.DOP"),
        TextBytes(
            "\"DATE\",0,0\r\n\"HIGH\",4,4\r\n\"LOW\",4,4\r\n\"CLOSE\",4,4\r\n\"VOL\",4,4\r\n"));
    EXPECT_EQ(ReadBytes(f.dir / "F1.DAT").size(), 40u);
    EXPECT_EQ(ReadBytes(f.dir / "MASTER")[53 + 3], 20);
}

}  // namespace
}  // namespace corvat::test
