// Conversions into directories whose EMASTER and XMASTER are made by hand.
#include <gtest/gtest.h>

#include "index_support.h"

namespace corvat::test {
namespace {

constexpr const char* kTwoDays = "011597,1,2,3,4,5,6\n011697,1,2,3,4,5,6\n";

Bytes EmasterRecordOf(const Bytes& emaster, std::size_t i) { return Slice(emaster, 192 * i, 192); }

struct IndexFixture : JobFixture {
    IndexFixture() {
        job.m_bUseExisting = 1;
        job.m_szName = "XYZ CORPORATION OF AMERICA";
    }
    // MASTER with securities 1 and 2, EMASTER as given.
    void TwoSecurities(const Bytes& emaster) {
        WriteBytes(dir / "MASTER", MasterBytes(2, 2,
                                               {WriteSoundSecurity(dir.Path(), 1, "IBM"),
                                                WriteSoundSecurity(dir.Path(), 2, "GE")}));
        if (!emaster.empty()) WriteBytes(dir / "EMASTER", emaster);
    }
    // The new security's EMASTER record, as the conversion writes it.
    Bytes ExpectedRecord(int number, const Bytes& marker) const {
        return Layout(
            192,
            {At(0, marker), At(2, {static_cast<std::uint8_t>(number)}), At(6, {7, 0x7f, 0, ' '}),
             At(11, TextBytes("XYZ")), At(32, TextBytes("XYZ CORPORATION")), At(60, {'D'}),
             At(64, IeeeBytes(970115.0f)), At(72, IeeeBytes(970116.0f)),
             At(126, Int32Bytes(19970115)), At(139, TextBytes("XYZ CORPORATION OF AMERICA"))});
    }
};

const Bytes kIbmRecord = EmasterRecordBytes(1, "IBM", 970115.0f, 970116.0f);
const Bytes kGeRecord = EmasterRecordBytes(2, "GE", 970115.0f, 970116.0f);

TEST(IndexUpdate, EmasterInStepGetsTheNewRecordAfterMaster) {
    IndexFixture f;
    Bytes ibm = kIbmRecord;
    ibm[0] = ibm[1] = 0;  // another tool's marker is copied
    f.TwoSecurities(EmasterFileBytes(2, {ibm, kGeRecord}));
    ASSERT_EQ(f.Convert(kTwoDays), 0) << f.messages.messages.front();
    const Bytes master = ReadBytes(f.dir / "MASTER");
    const Bytes emaster = ReadBytes(f.dir / "EMASTER");
    ASSERT_EQ(emaster.size(), 4u * 192);
    EXPECT_EQ(Slice(emaster, 0, 53), Slice(master, 0, 53));
    EXPECT_EQ(EmasterRecordOf(emaster, 1), ibm);
    EXPECT_EQ(EmasterRecordOf(emaster, 3), f.ExpectedRecord(3, {0, 0}));
    EXPECT_EQ(Slice(master, 3 * 53 + 7, 16), TextBytes("XYZ CORPORATION ")) << "first 16";
}

TEST(IndexUpdate, EmasterBehindIsCompletedOutOfStepLeftAlone) {
    const struct {
        Bytes emaster;
        std::size_t records;  // after the conversion
        const char* message;
    } cases[] = {
        {EmasterFileBytes(1, {kIbmRecord}), 3, "was behind MASTER"},
        {EmasterFileBytes(2, {kGeRecord, kIbmRecord}), 2, "will not list the new security"},
    };
    for (const auto& c : cases) {
        IndexFixture f;
        f.TwoSecurities(c.emaster);
        ASSERT_EQ(f.Convert(kTwoDays), 0);
        const Bytes emaster = ReadBytes(f.dir / "EMASTER");
        ASSERT_EQ(emaster.size(), (c.records + 1) * 192);
        // Out of step: as it was. Behind: completed from MASTER's entry (no
        // long name, the bitset its field count gives), then the new record.
        Bytes ge = kGeRecord;
        const Bytes first = Int32Bytes(19970115);
        std::copy(first.begin(), first.end(), ge.begin() + 126);
        EXPECT_EQ(c.records == 2 ? emaster : Slice(emaster, 192, 3 * 192),
                  c.records == 2 ? c.emaster
                                 : Concat({kIbmRecord, ge, f.ExpectedRecord(3, {0x36, 0x36})}));
        ASSERT_EQ(f.messages.messages.size(), 1u);
        EXPECT_NE(f.messages.messages[0].find(c.message), std::string::npos)
            << f.messages.messages[0];
    }
}

TEST(IndexUpdate, FullMasterSendsNewSecuritiesToXmaster) {
    IndexFixture f;
    const Bytes master = MasterBytes(255, 255, {});  // full by its count
    WriteBytes(f.dir / "MASTER", master);
    ASSERT_EQ(f.Convert(kTwoDays), 0);
    f.job.m_szSymbol = "NEXT";
    f.job.m_szName = "NEXT";
    ASSERT_EQ(f.Convert(kTwoDays), 0);
    EXPECT_EQ(ReadBytes(f.dir / "MASTER"), master);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "EMASTER"));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "F256.DOP"));
    EXPECT_EQ(ReadBytes(f.dir / "F257.MWD"), ReadBytes(f.dir / "F256.MWD"));
    EXPECT_EQ(ReadBytes(f.dir / "F256.MWD").size(), 3u * 28);
    EXPECT_EQ(
        ReadBytes(f.dir / "XMASTER"),
        XmasterFileBytes(
            2, 2, 258,
            {XmasterRecordBytes(256, "XYZ", 19970115, 19970116, "XYZ CORPORATION OF AMERICA", 0x7f),
             XmasterRecordBytes(257, "NEXT", 19970115, 19970116, "NEXT", 0x7f)}));
}

TEST(IndexUpdate, NewMasterComesWithEmasterButNotOverOrphanedIndexes) {
    {
        IndexFixture f;
        f.job.m_bUseExisting = 0;
        ASSERT_EQ(f.Convert(kTwoDays), 0);
        const Bytes emaster = ReadBytes(f.dir / "EMASTER");
        ASSERT_EQ(emaster.size(), 2u * 192);
        EXPECT_EQ(Slice(emaster, 0, 53), Slice(ReadBytes(f.dir / "MASTER"), 0, 53));
        EXPECT_EQ(EmasterRecordOf(emaster, 1), f.ExpectedRecord(1, {0x36, 0x36}));
    }
    for (const char* orphan : {"EMASTER", "xmaster"}) {
        IndexFixture f;
        f.job.m_bUseExisting = 0;
        WriteBytes(f.dir / orphan, EmasterFileBytes(0, {}));
        EXPECT_EQ(f.Convert(kTwoDays), 1);
        EXPECT_EQ(f.messages.messages,
                  std::vector<std::string>{f.job.m_szPath +
                                           " holds EMASTER or XMASTER but no MASTER.\nRestore "
                                           "MASTER or choose another directory."});
        EXPECT_FALSE(std::filesystem::exists(f.dir / "MASTER") ||
                     std::filesystem::exists(f.dir / "F1.DAT"));
    }
}

}  // namespace
}  // namespace corvat::test
