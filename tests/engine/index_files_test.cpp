#include "index_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "emaster_record.h"
#include "field_bitset.h"
#include "index_support.h"
#include "xmaster_record.h"

namespace corvat::test {
namespace {

using namespace std::string_literals;

template <std::size_t N>
std::array<std::uint8_t, N> Record(const Bytes& bytes) {
    std::array<std::uint8_t, N> record{};
    std::copy_n(bytes.begin(), N, record.begin());
    return record;
}

template <std::size_t N>
Bytes AsBytes(const std::array<std::uint8_t, N>& record) {
    return Bytes(record.begin(), record.end());
}

const Bytes kIeee1201130 = {0x50, 0x9f, 0x92, 0x49}, kIeee1210104 = {0xc0, 0xb7, 0x93, 0x49};
const Bytes kMbf1201130 = {0x50, 0x9f, 0x12, 0x95}, kMbf1210104 = {0xc0, 0xb7, 0x13, 0x95};
const Bytes kInt20201130 = {0xaa, 0x3e, 0x34, 0x01}, kInt20210104 = {0xb8, 0x61, 0x34, 0x01};

TEST(FieldBitset, MapsRecordOrderToTheIndexBits) {
    static_assert(kFieldBits[kOpenField] == 0x20 && kFieldBits[kHighField] == 0x02 &&
                  kFieldBits[kOpenInterestField] == 0x40 && kFieldSlots == kDailyFieldCount);
    const struct {
        std::array<int, 7> flags;
        std::uint8_t bits;
    } cases[] = {{{1, 1, 1, 1, 1, 1, 1}, 0x7f},
                 {{1, 1, 1, 1, 1, 1, 0}, 0x3f},
                 {{1, 0, 1, 1, 1, 1, 0}, 0x1f},
                 {{1, 0, 0, 0, 1, 0, 0}, 0x09},
                 {{1, 1, 0, 0, 1, 0, 1}, 0x69}};
    for (const auto& c : cases) {
        EXPECT_EQ(FieldBitset(c.flags), c.bits);
        EXPECT_EQ(FieldBitset(FieldsOfBitset(c.bits | kTimeFieldBit)), c.bits);
        EXPECT_EQ(BitsetFieldCount(c.bits), std::count(c.flags.begin(), c.flags.end(), 1));
    }
    EXPECT_EQ(BitsetFieldCount(0xff), 8);
}

TEST(IndexDates, BothScalesGiveTheCalendarDayOrTheStoredNumber) {
    const struct {
        EntryDate date;
        const char* text;
    } cases[] = {
        {DateFromYyymmdd(1201130.0f), "2020-11-30"}, {DateFromYyymmdd(970115.0f), "1997-01-15"},
        {DateFromYyymmdd(1201130.5f), "1201130.5"},  {DateFromYyymmdd(1201131.0f), "1201131"},
        {DateFromCcyymmdd(20201130), "2020-11-30"},  {DateFromCcyymmdd(19000101), "1900-01-01"},
        {DateFromCcyymmdd(20201399), "20201399"},    {DateFromCcyymmdd(0), "0"},
        {DateFromCcyymmdd(INT32_MIN), "-2147483648"}};
    for (const auto& c : cases) EXPECT_EQ(EntryDateText(c.date), c.text);
    EXPECT_TRUE(SameEntryDate(DateFromYyymmdd(1201130.0f), DateFromCcyymmdd(20201130)));
    EXPECT_FALSE(SameEntryDate(DateFromYyymmdd(1201130.0f), DateFromYyymmdd(1201129.0f)));
    EXPECT_EQ(DayNumberToCcyymmdd(1), 19610101);
}

// File 7, "ACME CORPORATION", five fields D H L C V, 2020-11-30 to 2021-01-04,
// drawn as the notes draw an EMASTER record.
Bytes EmasterBytes(const Bytes& marker, const std::string& symbol, const std::string& longName) {
    return Layout(192,
                  {At(0, marker), At(2, {7}), At(6, {5, 0x1f, 0, ' '}), At(11, TextBytes(symbol)),
                   At(32, TextBytes("ACME CORPORATION")), At(60, {'D'}), At(64, kIeee1201130),
                   At(72, kIeee1210104), At(126, kInt20201130), At(139, TextBytes(longName))});
}

TEST(EmasterRecord, DecodesAndMirrorsAMasterEntry) {
    // Left-over bytes after the symbol's zero; a 16-byte name has no zero.
    const auto e = DecodeEmasterRecord(Record<192>(EmasterBytes({0, 0}, "ABC\0zz"s, "ACME CO")), 3);
    EXPECT_EQ(std::make_tuple(e.index, e.recordNumber, e.fileNumber, e.fieldCount, e.period),
              std::make_tuple(IndexFile::Emaster, 3, 7, 5, 'D'));
    EXPECT_EQ(std::make_tuple(e.symbol, e.name, e.longName, e.fieldBitset),
              std::make_tuple("ABC", "ACME CORPORATION", "ACME CO", 0x1f));
    EXPECT_EQ(EntryDateText(e.firstDate) + " " + EntryDateText(e.lastDate),
              "2020-11-30 2021-01-04");

    MasterRecord entry = MakeSecurityEntry(7, 5, "ACME CORPORATION", "ABC", {});
    WriteMbf(entry, master::kFirstDate, Record<4>(kMbf1201130));
    WriteMbf(entry, master::kLastDate, Record<4>(kMbf1210104));
    const std::string long45(45, 'L');
    const struct {
        std::string fullName;
        EmasterMarker marker;
        Bytes bytes;
    } cases[] = {{"ACME CORPORATION", {0, 0}, EmasterBytes({0, 0}, "ABC", "")},
                 {"ACME CORPORATION!", kNewEmasterMarker,
                  EmasterBytes({0x36, 0x36}, "ABC", "ACME CORPORATION!")},
                 {long45 + "tail", {0x36, 0x36}, EmasterBytes({0x36, 0x36}, "ABC", long45)}};
    for (const auto& c : cases) {
        EXPECT_EQ(AsBytes(MakeEmasterRecord(entry, 0x1f, c.fullName, c.marker)), c.bytes)
            << c.fullName;
    }
}

TEST(EmasterRecord, MarkerAndHeaderFollowTheExistingFiles) {
    EXPECT_EQ(MarkerForNewRecord({}), kNewEmasterMarker);
    const std::vector<EmasterRecord> existing = {Record<192>(Layout(192, {At(0, {0, 0})}))};
    EXPECT_EQ(MarkerForNewRecord(existing), (EmasterMarker{0, 0}));
    const Bytes master = Layout(53, {At(0, {2, 0, 9, 0}), At(49, {1, 2, 3, 4})});
    const EmasterRecord header = MakeEmasterHeader(Record<53>(master));
    EXPECT_EQ(AsBytes(header), Layout(192, {At(0, master)}));
    const EmasterHeader decoded = DecodeEmasterHeader(header);
    EXPECT_EQ(decoded.recordCount * 100 + decoded.highestFileNumber, 209);
}

Bytes XmasterBytes(const std::string& name) {
    return Layout(150, {At(0, {1}), At(1, TextBytes("LONGSYMBOL1234")), At(16, TextBytes(name)),
                        At(62, {'D'}), At(65, {0x01, 0x01}), At(70, {0x7f}), At(104, kInt20201130),
                        At(108, kInt20201130), At(116, kInt20210104)});
}

TEST(XmasterRecord, DecodesAndMakesTheNotesLayout) {
    const auto e = DecodeXmasterRecord(Record<150>(XmasterBytes("A NAME\0left"s)), 1);
    EXPECT_EQ(std::make_tuple(e.fileNumber, e.fieldCount, e.symbol, e.name, e.longName),
              std::make_tuple(257, 7, "LONGSYMBOL1234", "A NAME", "A NAME"));
    EXPECT_EQ(EntryDateText(e.firstDate) + " " + EntryDateText(e.lastDate),
              "2020-11-30 2021-01-04");
    EXPECT_EQ(
        AsBytes(MakeXmasterRecord(257, "LONGSYMBOL1234xx", "A NAME", 0x7f, 20201130, 20210104)),
        XmasterBytes("A NAME"));
}

TEST(XmasterHeader, CountsAndNextNumberRise) {
    XmasterRecord header = MakeXmasterHeader();
    EXPECT_EQ(AsBytes(header),
              Layout(150, {At(0, {0x5d, 0xfe, 0x58, 0x4d}), At(18, {0x00, 0x01})}));
    RaiseXmasterHeader(header, 1, 256);
    EXPECT_EQ(AsBytes(header), Layout(150, {At(0, {0x5d, 0xfe, 0x58, 0x4d}), At(10, {1}),
                                            At(14, {1}), At(18, {0x01, 0x01})}));
    const XmasterHeader decoded = DecodeXmasterHeader(header);
    EXPECT_TRUE(decoded.magicMatches);
    EXPECT_EQ(decoded.recordCount * 100 + decoded.recordCountAgain, 101);
    const std::tuple<int, std::vector<int>, std::optional<int>> cases[] = {
        {0, {}, 256}, {300, {256}, 300}, {257, {400}, 401}, {0, {65535}, std::nullopt}};
    for (const auto& [headerNext, numbers, next] : cases) {
        EXPECT_EQ(NextXmasterFileNumber({true, 0, 0, headerNext}, numbers), next) << headerNext;
    }
}

TEST(IndexRules, EmasterStateAgainstMaster) {
    using S = EmasterState;
    const std::tuple<bool, std::vector<int>, std::vector<int>, S> cases[] = {
        {false, {1}, {}, S::Absent},       {true, {3, 1}, {3, 1}, S::InStep},
        {true, {}, {}, S::InStep},         {true, {3, 1, 2}, {3}, S::Behind},
        {true, {3, 1}, {}, S::Behind},     {true, {3, 1}, {1, 3}, S::OutOfStep},
        {true, {3}, {3, 1}, S::OutOfStep}, {true, {3, 1, 2}, {1}, S::OutOfStep}};
    for (const auto& [present, master, emaster, state] : cases) {
        EXPECT_EQ(EmasterStateOf(present, master, emaster), state);
    }
}

TEST(IndexRules, FreeNumbersAndAFullMaster) {
    std::vector<int> all(255);
    for (int i = 0; i < 255; ++i) all[i] = i + 1;
    std::vector<int> allBut9 = all;
    allBut9[8] = 300;
    // MASTER's count, the numbers any index names, the lowest free, full.
    const std::tuple<int, std::vector<int>, std::optional<int>, bool> cases[] = {
        {0, {}, 1, false},
        {2, {1, 2, 256}, 3, false},
        {1, allBut9, 9, false},
        {3, all, std::nullopt, true},
        {255, {1}, 2, true}};
    for (const auto& [count, named, lowest, full] : cases) {
        EXPECT_EQ(LowestFreeFileNumber(named), lowest);
        EXPECT_EQ(MasterIsFull(count, named), full);
    }
    EXPECT_FALSE(IsFileNumberFree(256, {}));
    EXPECT_FALSE(IsFileNumberFree(0, {}));
}

TEST(IndexRules, SymbolsForNewSecuritiesAndMatches) {
    for (const std::string good : {"ABC", "A B.C-1~", "ABCDEFGHIJKLMN"}) {
        EXPECT_TRUE(IsValidNewSymbol(good)) << good;
    }
    for (const std::string bad : {"ABCDEFGHIJKLMNO", "AB\tC", "\xc3\xa9", "A\x7f"}) {
        EXPECT_FALSE(IsValidNewSymbol(bad)) << bad;
    }
    using Pair = std::pair<const char*, const char*>;  // stored, wanted
    for (auto [stored, wanted] : {Pair{"abc", "ABC"}, Pair{"ABCDEFGHIJKLMNOP", "abcdefghijklmn"},
                                  Pair{"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"}}) {
        EXPECT_TRUE(SymbolMatches(stored, wanted)) << stored;
    }
    for (auto [stored, wanted] : {Pair{"ABC", "AB"}, Pair{"ABCDEFGHIJKLMN", "ABCDEFGHIJKLM"},
                                  Pair{"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNOX"}}) {
        EXPECT_FALSE(SymbolMatches(stored, wanted)) << stored;
    }
}

TEST(IndexRules, MasterEntriesDecodeLikeTheOthers) {
    MasterRecord raw = MakeSecurityEntry(4, 6, "XYZ CORP", "XYZ", Record<4>(kMbf1201130));
    const IndexedSecurity e = SecurityFromMaster(raw, 2);
    EXPECT_EQ(std::make_tuple(e.fileNumber, e.fieldCount, e.symbol, e.name),
              std::make_tuple(4, 6, "XYZ", "XYZ CORP"));
    EXPECT_EQ(e.FullName(), "XYZ CORP");
    EXPECT_TRUE(SameEntryDate(e.lastDate, DateFromCcyymmdd(20201130)));
}

}  // namespace
}  // namespace corvat::test
