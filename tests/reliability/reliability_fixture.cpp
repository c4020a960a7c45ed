#include "reliability_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "date_codec.h"

namespace corvat::test {

static bool IsTemporary(const std::string& name) {
    return name.ends_with(".~NU") || name.ends_with(".NEW");
}

std::vector<std::string> TemporaryFiles(const std::filesystem::path& dir) {
    std::vector<std::string> found;
    for (const auto& [name, bytes] : Snapshot(dir)) {
        if (IsTemporary(name)) found.push_back(name);
    }
    return found;
}

void Portfolio::Build(const std::filesystem::path& dir) {
    const MbfBytes date = DayNumberToDateValue(ParseDate("010203", 7));
    WriteFileBytes(
        dir / "MASTER",
        RecordsBytes({MasterHeader(kEntries), MakeSecurityEntry(1, 2, "ALPHA CORP", "AAA", date),
                      MakeSecurityEntry(2, 7, "BETA INC", "BBB", date), DirectoryEntry(5, "SUB"),
                      MakeSecurityEntry(4, 5, "DELTA LTD", "DDD", date)}));
    for (int n : {1, 2, 4}) {
        std::string data(4 * 7 * 3, static_cast<char>('A' + n));
        WriteFileBytes(dir / ("F" + std::to_string(n) + ".DAT"), data);
        WriteFileBytes(dir / ("F" + std::to_string(n) + ".DOP"),
                       "\"DATE\",0,0\r\n" + std::to_string(n));
    }
    std::filesystem::create_directory(dir / "SUB");
    WriteFileBytes(
        dir / "SUB" / "MASTER",
        RecordsBytes({MasterHeader(1), MakeSecurityEntry(1, 2, "SUB ONE", "SUBA", date)}));
    WriteFileBytes(dir / "SUB" / "F1.DAT", std::string(24, 'S'));
}

void ConfigureJob(CConverter& job, const std::filesystem::path& input,
                  const std::filesystem::path& dir, const std::string& symbol, bool useExisting) {
    job.m_strInputPath = input.string();
    job.m_szPath = dir.string();
    job.m_szSymbol = symbol;
    job.m_szName = symbol + " NAME";
    job.m_szDelimiter = ",";
    job.m_nDateFormat = 4;  // MM_DD_CCYY
    job.m_bUseExisting = useExisting ? 1 : 0;
    for (int i = 0; i < kFieldSlots; ++i) {
        job.m_bFieldOn[static_cast<std::size_t>(i)] = 1;
        job.m_nColumn[static_cast<std::size_t>(i)] = i;
    }
    job.SetTodaySource([] { return std::string("01/15/97"); });
}

std::string PriceRows(int rows, int firstDay) {
    std::string text;
    char line[128];
    for (int i = 0; i < rows; ++i) {
        const CalendarDate date = DayNumberToDate(static_cast<std::uint16_t>(13000 + firstDay + i));
        std::snprintf(line, sizeof line, "%02d/%02d/%04d,%d.25,%d.5,%d,%d.75,%d,%d\n", date.month,
                      date.day, date.year + 1900, 10 + i % 50, 11 + i % 50, 9 + i % 50, 10 + i % 50,
                      1000 + i, 50 + i % 7);
        text += line;
    }
    return text;
}

namespace {

std::uint16_t Word(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                      static_cast<std::uint8_t>(bytes[offset + 1]) << 8);
}

void ExpectMasterKeepsEntries(const std::string& now, const std::string& before,
                              const IntactOptions& options) {
    const std::size_t earlier = before.size() / kMasterRecordSize;  // header included
    ASSERT_EQ(now.size() % kMasterRecordSize, 0u) << "the master is not whole records";
    ASSERT_TRUE(now.size() == before.size() || now.size() == before.size() + kMasterRecordSize)
        << "master of " << now.size() << " bytes";
    // Header bytes beyond the two counters, and every earlier entry.
    EXPECT_EQ(now.substr(4, before.size() - 4), before.substr(4)) << "an earlier entry changed";
    const int added = now.size() == before.size() ? 0 : 1;
    EXPECT_EQ(Word(now, 0), Word(before, 0) + added);
    EXPECT_EQ(Word(now, 2), Word(before, 2) + added);
    if (added == 0) return;
    const std::string entry = now.substr(earlier * kMasterRecordSize);
    EXPECT_EQ(static_cast<std::uint8_t>(entry[master::kFileNumber]), options.newFileNumber);
    EXPECT_EQ(entry.substr(master::kSymbol, options.newSymbol.size()), options.newSymbol);
}

}  // namespace

void ExpectIntact(const DirSnapshot& before, const DirSnapshot& reference,
                  const std::filesystem::path& dir, const RunOutcome& outcome,
                  const IntactOptions& options) {
    ASSERT_TRUE(outcome.result == 0 || outcome.result == 1) << outcome.result;
    const DirSnapshot after = Snapshot(dir);
    const std::string n = std::to_string(options.newFileNumber);
    const std::string newData = "F" + n + ".DAT";
    const std::string newDescription = "F" + n + ".DOP";

    for (const auto& [name, bytes] : before) {
        if (name == "MASTER") continue;
        auto it = after.find(name);
        ASSERT_NE(it, after.end()) << name << " is gone";
        EXPECT_EQ(it->second, bytes) << name << " changed";
    }
    for (const auto& [name, bytes] : after) {
        if (before.count(name) || name == "MASTER" || name == newData || name == newDescription ||
            name == "MASTER.BAK") {
            continue;
        }
        EXPECT_TRUE(options.allowTemporaryFiles && IsTemporary(name)) << name << " was left behind";
    }

    auto master = after.find("MASTER");
    if (options.existingMaster) {
        ASSERT_NE(master, after.end()) << "MASTER is gone";
        ExpectMasterKeepsEntries(master->second, before.at("MASTER"), options);
    } else if (master != after.end()) {
        // A new master: made empty, or holding the one new entry.
        ExpectMasterKeepsEntries(master->second, std::string(kMasterRecordSize, '\0'), options);
    }

    // The header never promises records the file does not hold (a record
    // cut short by a full disk may stay at the end, uncounted). A new data
    // file whose creation and removal both failed may be cut anywhere; the
    // master does not count on it.
    auto data = after.find(newData);
    if (data != after.end() && data->second.size() >= 4 && !options.allowTemporaryFiles) {
        EXPECT_LE(Word(data->second, 2), data->second.size() / (4 * kFieldSlots))
            << newData << " counts records it does not hold";
    }

    if (outcome.result == 0) {
        for (const std::string& name : {std::string("MASTER"), newData, newDescription}) {
            auto it = after.find(name);
            ASSERT_NE(it, after.end()) << "a successful run left no " << name;
            EXPECT_EQ(it->second, reference.at(name)) << "a successful run wrote a wrong " << name;
        }
    } else {
        EXPECT_FALSE(outcome.messages.empty()) << "the run failed without saying why";
    }
}

}  // namespace corvat::test
