#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "builders.h"
#include "cli_runner.h"
#include "converter.h"
#include "failing_file_system.h"
#include "master_record.h"
#include "test_support.h"

namespace corvat::test {

// Relative paths of files below `dir` that only a conversion in progress
// should hold (MASTER.~NU, MASTER.NEW, F<n>.NEW).
std::vector<std::string> TemporaryFiles(const std::filesystem::path& dir);

// The portfolio every reliability test writes into: a master with three
// securities numbered 1, 2 and 4 (so the new one takes the gap, 3), a
// directory entry leading to SUB/ with a master of its own, and data files
// whose bytes the tests can recognise.
struct Portfolio {
    static constexpr int kEntries = 4;
    static void Build(const std::filesystem::path& dir);
    // An EMASTER in step with the master Build wrote.
    static void AddEmaster(const std::filesystem::path& dir);
    // The master's count raised to 255: full, so a new security goes into
    // XMASTER.
    static void Fill(const std::filesystem::path& dir);
};

// Fills a job for a comma file with all seven fields in columns 1 to 7 and
// dates as MM/DD/CCYY.
void ConfigureJob(CConverter& job, const std::filesystem::path& input,
                  const std::filesystem::path& dir, const std::string& symbol, bool useExisting);

// A text file of `rows` valid rows in the job's layout, one day apart.
std::string PriceRows(int rows, int firstDay = 0);

// What a run into a portfolio may leave behind, whatever failed.
struct RunOutcome {
    int result = -1;
    std::vector<std::string> messages;
};

struct IntactOptions {
    bool existingMaster = true;
    // A failure that persists (a disk gone) also stops the removal of a
    // temporary file, or of the new data files of a run that did not commit.
    bool allowTemporaryFiles = false;
    // The files the new securities get, and the master's name; `wide`: an
    // XMASTER security, whose data is F<n>.MWD alone.
    std::vector<int> newFileNumbers = {3};
    bool wide = false;
    std::string newSymbol = "NEWSYM";
};

// Checks, with gtest assertions, that a run left `dir` as it was (a
// failed run, which said why) or committed (result 0: MASTER and the new
// security's files as in `reference`, the directory after an undisturbed
// run; MASTER.BAK the master before the run, or not written). Nothing else
// changed; files no index names are left only where `allowTemporaryFiles`.
void ExpectIntact(const DirSnapshot& before, const DirSnapshot& reference,
                  const std::filesystem::path& dir, const RunOutcome& outcome,
                  const IntactOptions& options);

}  // namespace corvat::test
