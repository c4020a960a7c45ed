#include "index_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "emaster_record.h"
#include "field_bitset.h"
#include "test_support.h"
#include "xmaster_record.h"

namespace corvat::test {
namespace {

// Zero bytes with the given parts laid in at their offsets, as the notes'
// tables draw a record.
Bytes Layout(std::size_t size, std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
    Bytes bytes(size, 0);
    for (const auto& [offset, part] : parts)
        std::copy(part.begin(), part.end(), bytes.begin() + offset);
    return bytes;
}

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

// Left-over bytes after the symbol's zero, a 16-byte name with no zero, a
// long name, IEEE dates, an unknown marker.
const Bytes kEmasterEntry = Layout(192, {{0, {0x36, 0x36, 7}},
                                         {6, {5, 0x1f, 0, ' '}},
                                         {11, TextBytes("ABC\0zz")},
                                         {32, TextBytes("ACME CORPORATION")},
                                         {60, {'D'}},
                                         {64, kIeee1201130},
                                         {72, kIeee1210104},
                                         {139, TextBytes("ACME CORPORATION HOLDINGS")}});

TEST(EmasterRecord, DecodesTheNotesLayout) {
    const IndexedSecurity e = DecodeEmasterRecord(Record<192>(kEmasterEntry), 3);
    EXPECT_EQ(e.index, IndexFile::Emaster);
    EXPECT_EQ(std::make_tuple(e.recordNumber, e.fileNumber, e.fieldCount, e.period),
              std::make_tuple(3, 7, 5, 'D'));
    EXPECT_EQ(std::make_tuple(e.symbol, e.name, e.longName),
              std::make_tuple("ABC", "ACME CORPORATION", "ACME CORPORATION HOLDINGS"));
    EXPECT_EQ(e.fieldBitset, 0x1f);
    EXPECT_EQ(EntryDateText(e.firstDate) + " " + EntryDateText(e.lastDate),
              "2020-11-30 2021-01-04");
}

TEST(EmasterRecord, MirrorsAMasterEntry) {
    MasterRecord entry = MakeSecurityEntry(7, 5, "ACME CORPORATION", "ABC", {});
    WriteMbf(entry, master::kFirstDate, Record<4>(kMbf1201130));
    WriteMbf(entry, master::kLastDate, Record<4>(kMbf1210104));
    const auto expected = [](const Bytes& marker, const std::string& longName) {
        return Layout(192, {{0, marker},
                            {2, {7}},
                            {6, {5, 0x1f, 0, ' '}},
                            {11, TextBytes("ABC")},
                            {32, TextBytes("ACME CORPORATION")},
                            {60, {'D'}},
                            {64, kIeee1201130},
                            {72, kIeee1210104},
                            {126, kInt20201130},
                            {139, TextBytes(longName)}});
    };
    const std::string long45(45, 'L');
    const struct {
        std::string fullName;
        EmasterMarker marker;
        Bytes bytes;
    } cases[] = {
        {"ACME CORPORATION", {0, 0}, expected({0, 0}, "")},
        {"ACME CORPORATION!", kNewEmasterMarker, expected({0x36, 0x36}, "ACME CORPORATION!")},
        {long45 + "tail", {0x36, 0x36}, expected({0x36, 0x36}, long45)}};
    for (const auto& c : cases) {
        EXPECT_EQ(AsBytes(MakeEmasterRecord(entry, 0x1f, c.fullName, c.marker)), c.bytes)
            << c.fullName;
    }
}

TEST(EmasterRecord, MarkerAndHeaderFollowTheExistingFiles) {
    EXPECT_EQ(MarkerForNewRecord({}), kNewEmasterMarker);
    const std::vector<EmasterRecord> existing = {Record<192>(Layout(192, {{0, {0, 0}}}))};
    EXPECT_EQ(MarkerForNewRecord(existing), (EmasterMarker{0, 0}));
    const Bytes master = Layout(53, {{0, {2, 0, 9, 0}}, {49, {1, 2, 3, 4}}});
    const EmasterRecord header = MakeEmasterHeader(Record<53>(master));
    EXPECT_EQ(AsBytes(header), Layout(192, {{0, master}}));
    EXPECT_EQ(
        DecodeEmasterHeader(header).recordCount + DecodeEmasterHeader(header).highestFileNumber,
        11);
}

const Bytes kXmasterEntry = Layout(150, {{0, {1}},
                                         {1, TextBytes("LONGSYMBOL1234")},
                                         {16, TextBytes("A NAME\0left")},
                                         {62, {'D'}},
                                         {65, {0x01, 0x01}},
                                         {70, {0x7f}},
                                         {104, kInt20201130},
                                         {108, kInt20201130},
                                         {116, kInt20210104}});

TEST(XmasterRecord, DecodesAndMakesTheNotesLayout) {
    const IndexedSecurity e = DecodeXmasterRecord(Record<150>(kXmasterEntry), 1);
    EXPECT_EQ(std::make_tuple(e.fileNumber, e.fieldCount, e.symbol, e.name, e.longName),
              std::make_tuple(257, 7, "LONGSYMBOL1234", "A NAME", "A NAME"));
    EXPECT_EQ(EntryDateText(e.firstDate) + " " + EntryDateText(e.lastDate),
              "2020-11-30 2021-01-04");
    const Bytes made = Layout(150, {{0, {1}},
                                    {1, TextBytes("LONGSYMBOL1234")},
                                    {16, TextBytes("A NAME")},
                                    {62, {'D'}},
                                    {65, {0x01, 0x01}},
                                    {70, {0x7f}},
                                    {104, kInt20201130},
                                    {108, kInt20201130},
                                    {116, kInt20210104}});
    EXPECT_EQ(
        AsBytes(MakeXmasterRecord(257, "LONGSYMBOL1234xx", "A NAME", 0x7f, 20201130, 20210104)),
        made);
}

TEST(XmasterHeader, CountsAndNextNumberRise) {
    XmasterRecord header = MakeXmasterHeader();
    EXPECT_EQ(AsBytes(header), Layout(150, {{0, {0x5d, 0xfe, 0x58, 0x4d}}, {18, {0x00, 0x01}}}));
    RaiseXmasterHeader(header, 1, 256);
    EXPECT_EQ(
        AsBytes(header),
        Layout(150, {{0, {0x5d, 0xfe, 0x58, 0x4d}}, {10, {1}}, {14, {1}}, {18, {0x01, 0x01}}}));
    const XmasterHeader decoded = DecodeXmasterHeader(header);
    EXPECT_TRUE(decoded.magicMatches);
    EXPECT_EQ(decoded.recordCount + decoded.recordCountAgain, 2);
    const struct {
        int headerNext;
        std::vector<int> numbers;
        std::optional<int> next;
    } cases[] = {{0, {}, 256}, {300, {256}, 300}, {257, {400}, 401}, {0, {65535}, std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(NextXmasterFileNumber({true, 0, 0, c.headerNext}, c.numbers), c.next)
            << c.headerNext;
    }
}

TEST(IndexRules, EmasterStateAgainstMaster) {
    using S = EmasterState;
    const struct {
        bool present;
        std::vector<int> master, emaster;
        S state;
    } cases[] = {{false, {1}, {}, S::Absent},       {true, {3, 1}, {3, 1}, S::InStep},
                 {true, {}, {}, S::InStep},         {true, {3, 1, 2}, {3}, S::Behind},
                 {true, {3, 1}, {}, S::Behind},     {true, {3, 1}, {1, 3}, S::OutOfStep},
                 {true, {3}, {3, 1}, S::OutOfStep}, {true, {3, 1, 2}, {1}, S::OutOfStep}};
    for (const auto& c : cases) EXPECT_EQ(EmasterStateOf(c.present, c.master, c.emaster), c.state);
}

TEST(IndexRules, FreeNumbersAndAFullMaster) {
    std::vector<int> all(255);
    for (int i = 0; i < 255; ++i) all[i] = i + 1;
    std::vector<int> allBut9 = all;
    allBut9[8] = 300;
    const struct {
        int count;
        std::vector<int> named;
        std::optional<int> lowest;
        bool full;
    } cases[] = {{0, {}, 1, false},
                 {2, {1, 2, 256}, 3, false},
                 {1, allBut9, 9, false},
                 {3, all, std::nullopt, true},
                 {255, {1}, 2, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(LowestFreeFileNumber(c.named), c.lowest);
        EXPECT_EQ(MasterIsFull(c.count, c.named), c.full);
    }
    EXPECT_FALSE(IsFileNumberFree(256, {}));
    EXPECT_FALSE(IsFileNumberFree(0, {}));
}

TEST(IndexRules, SymbolsForNewSecuritiesAndMatches) {
    const struct {
        std::string symbol;
        bool valid;
    } symbols[] = {{"ABC", true},
                   {"A B.C-1~", true},
                   {std::string(14, 'X'), true},
                   {std::string(15, 'X'), false},
                   {"AB\tC", false},
                   {"\xc3\xa9", false},
                   {"A\x7f", false}};
    for (const auto& c : symbols) EXPECT_EQ(IsValidNewSymbol(c.symbol), c.valid) << c.symbol;
    const struct {
        std::string stored, wanted;
        bool matches;
    } matches[] = {{"abc", "ABC", true},
                   {"ABC", "AB", false},
                   {"ABCDEFGHIJKLMNOP", "abcdefghijklmn", true},
                   {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP", true},
                   {"ABCDEFGHIJKLMN", "ABCDEFGHIJKLM", false},
                   {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNOX", false}};
    for (const auto& c : matches)
        EXPECT_EQ(SymbolMatches(c.stored, c.wanted), c.matches) << c.stored;
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
