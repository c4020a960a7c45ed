#include "reliability_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "date_codec.h"
#include "emaster_record.h"

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

void Portfolio::AddEmaster(const std::filesystem::path& dir) {
    const std::string master = ReadFileBytes(dir / "MASTER");
    std::string bytes = master.substr(0, emaster::kMasterHeaderCopy);
    bytes.resize(kEmasterRecordSize);
    for (int i = 1; i <= kEntries; ++i) {
        MasterRecord entry{};
        std::copy_n(master.begin() + i * kMasterRecordSize, kMasterRecordSize, entry.begin());
        const EmasterRecord record = MakeEmasterRecord(entry, 0x7f, "", kNewEmasterMarker);
        bytes.append(record.begin(), record.end());
    }
    WriteFileBytes(dir / "EMASTER", bytes);
}

void Portfolio::Fill(const std::filesystem::path& dir) {
    std::string master = ReadFileBytes(dir / "MASTER");
    const MasterRecord header = MasterHeader(255);
    std::copy(header.begin(), header.end(), master.begin());
    WriteFileBytes(dir / "MASTER", master);
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

void ExpectIntact(const DirSnapshot& before, const DirSnapshot& reference,
                  const std::filesystem::path& dir, const RunOutcome& outcome,
                  const IntactOptions& options) {
    ASSERT_TRUE(outcome.result == 0 || outcome.result == 1) << outcome.result;
    const DirSnapshot after = Snapshot(dir);
    // What a committed run replaces or adds: the index that gains the
    // entries and the data files; EMASTER follows MASTER after the commit.
    std::vector<std::string> written = {options.wide ? "XMASTER" : "MASTER"};
    for (int number : options.newFileNumbers) {
        const std::string n = "F" + std::to_string(number);
        written.push_back(n + (options.wide ? ".MWD" : ".DAT"));
        if (!options.wide) written.push_back(n + ".DOP");
    }
    const bool committed = outcome.result == 0;
    const auto isWritten = [&](const std::string& name) {
        return std::find(written.begin(), written.end(), name) != written.end() ||
               name == "EMASTER";
    };

    // A failed run changes nothing; a committed one adds the new entry's
    // files and the backup. A failure that persists (a disk gone) may also
    // stop the removal of what the run had begun: files no index names.
    for (const auto& [name, bytes] : before) {
        auto it = after.find(name);
        if (committed && isWritten(name)) continue;
        if (committed && name == "MASTER.BAK" && it == after.end()) continue;
        ASSERT_NE(it, after.end()) << name << " is gone";
        EXPECT_EQ(it->second, bytes) << name << " changed";
    }
    for (const auto& [name, bytes] : after) {
        if (before.count(name)) continue;
        const bool unnamed = (isWritten(name) && name.front() == 'F') || IsTemporary(name);
        if (committed && (isWritten(name) || name == "MASTER.BAK")) continue;
        EXPECT_TRUE(options.allowTemporaryFiles && unnamed) << name << " was left behind";
    }

    if (committed) {
        for (const std::string& name : written) {
            auto it = after.find(name);
            ASSERT_NE(it, after.end()) << "a successful run left no " << name;
            EXPECT_EQ(it->second, reference.at(name)) << "a successful run wrote a wrong " << name;
        }
        // EMASTER in step, or (a failure after the commit, which said so)
        // as it was: behind MASTER, completed by the next writer.
        if (reference.count("EMASTER")) {
            const auto it = after.find("EMASTER");
            const auto old = before.find("EMASTER");
            const bool inStep = it != after.end() && it->second == reference.at("EMASTER");
            const bool asBefore = old == before.end()
                                      ? it == after.end()
                                      : it != after.end() && it->second == old->second;
            EXPECT_TRUE(inStep || (asBefore && !outcome.messages.empty()))
                << "EMASTER neither in step nor left behind with a warning";
        }
        // The backup, when this run wrote one, is the master it found.
        auto backup = after.find("MASTER.BAK");
        if (backup != after.end() && before.count("MASTER")) {
            const auto old = before.find("MASTER.BAK");
            EXPECT_TRUE(backup->second == before.at("MASTER") ||
                        (old != before.end() && backup->second == old->second))
                << "MASTER.BAK is neither the master before the run nor the old backup";
        }
        EXPECT_TRUE(options.existingMaster || backup == after.end()) << "backup of a new master";
    } else {
        EXPECT_FALSE(outcome.messages.empty()) << "the run failed without saying why";
    }
}

}  // namespace corvat::test
