#include "data_directory_check.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "data_file_layout.h"
#include "file_names.h"
#include "file_ops.h"
#include "master_tree.h"
#include "security_data.h"
#include "text_util.h"

namespace corvat {
namespace {

std::string Plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The file number of a security file's name (F12.DAT, f3.dop), else -1.
int SecurityFileNumber(const std::string& name) {
    const std::size_t dot = name.find('.');
    if (name.size() < 3 || (name[0] != 'F' && name[0] != 'f') || dot < 2 || dot > 4) return -1;
    int number = 0;
    for (std::size_t i = 1; i < dot; ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        number = number * 10 + (name[i] - '0');
    }
    const std::string extension = ToUpperAscii(name.substr(dot));
    for (const char* known : {kDataExtension, kDescriptionExtension, ".MWD"}) {
        if (extension == known) return number;
    }
    return -1;
}

std::string EntryLabel(const MasterEntry& entry) {
    return "entry " + std::to_string(entry.recordNumber) + " (" +
           (entry.symbol.empty() ? std::string("no symbol") : entry.symbol) + ")";
}

class DirectoryCheck {
public:
    DirectoryCheck(FileSystem& fs, std::vector<Finding>& findings)
        : m_fs(fs), m_findings(findings) {}

    void CheckMaster(const MasterListing& listing) {
        const auto& master = listing.masterPath;
        if (const auto fragment = listing.fileSize % kMasterRecordSize; fragment != 0) {
            Add(master, "length " + std::to_string(listing.fileSize) +
                            " is not a whole number of 53-byte records (" +
                            Plural(fragment, "byte") + " left over).");
        }
        if (listing.entryCount < 0 ||
            static_cast<std::size_t>(listing.entryCount) != listing.records.size()) {
            Add(master, "header counts " + std::to_string(listing.entryCount) +
                            " entries but the file holds " +
                            Plural(listing.records.size(), "entry record") + ".");
        }
        std::map<int, int> numbers;
        std::map<std::string, int> symbols;
        for (const MasterEntry& entry : listing.Entries()) {
            if (entry.isDirectory) continue;
            if (auto [it, added] = numbers.emplace(entry.fileNumber, entry.recordNumber); !added) {
                Add(master, EntryLabel(entry) + " uses file number " +
                                std::to_string(entry.fileNumber) + ", as entry " +
                                std::to_string(it->second) + " does.");
            }
            if (entry.symbol.empty()) continue;
            if (auto [it, added] = symbols.emplace(ToUpperAscii(entry.symbol), entry.recordNumber);
                !added) {
                Add(master, EntryLabel(entry) + " repeats the symbol of entry " +
                                std::to_string(it->second) + ".");
            }
        }
        for (const MasterEntry& entry : listing.Entries()) {
            if (!entry.isDirectory) CheckSecurity(listing, entry);
        }
    }

    // Data files no entry names: what a conversion that did not commit may
    // leave, and what the next one reuses.
    void CheckUnnamedDataFiles(const MasterListing& listing) {
        std::set<int> named;
        for (const MasterEntry& entry : listing.Entries()) {
            if (!entry.isDirectory) named.insert(entry.fileNumber);
        }
        std::error_code ec;
        std::vector<std::filesystem::path> unnamed;
        for (const auto& path : m_fs.ListDirectory(listing.directory, ec)) {
            const int number = SecurityFileNumber(path.filename().string());
            if (number >= 0 && !named.count(number)) unnamed.push_back(path);
        }
        std::sort(unnamed.begin(), unnamed.end());
        for (const auto& path : unnamed) Add(path, "data file that no entry names.");
    }

    void CheckTemporaryFiles(const std::filesystem::path& dir) {
        std::error_code ec;
        std::vector<std::filesystem::path> stale;
        for (const auto& path : m_fs.ListDirectory(dir, ec)) {
            if (IsTemporaryName(path.filename().string())) stale.push_back(path);
        }
        std::sort(stale.begin(), stale.end());
        for (const auto& path : stale) {
            Add(path, "temporary file left by an interrupted rewrite.");
        }
    }

    void Add(const std::filesystem::path& file, std::string text) {
        m_findings.push_back(Finding{file, std::move(text)});
    }

private:
    void CheckSecurity(const MasterListing& listing, const MasterEntry& entry) {
        const auto& dir = listing.directory;
        const auto datPath = SecurityFilePath(m_fs, dir, entry.fileNumber, kDataExtension);
        const auto dopPath = SecurityFilePath(m_fs, dir, entry.fileNumber, kDescriptionExtension);
        const bool hasDat = PathExists(m_fs, datPath);
        const bool hasDop = PathExists(m_fs, dopPath);
        const std::string label = EntryLabel(entry);
        if (entry.firstDate.value > entry.lastDate.value) {
            Add(listing.masterPath, label + " gives first date " + StoredDateText(entry.firstDate) +
                                        " after its last date " + StoredDateText(entry.lastDate) +
                                        ".");
        }
        if (!hasDat) Add(datPath, "missing; the data file of " + label + ".");
        if (!hasDop) Add(dopPath, "missing; the description file of " + label + ".");

        // The record as the description file gives it; failing that, as
        // the entry does.
        std::size_t recordLength = static_cast<std::size_t>(entry.recordLength);
        std::size_t dateSlot = 0;
        if (entry.recordLength != 4 * entry.fieldCount) {
            Add(listing.masterPath,
                label + " has record length " + std::to_string(entry.recordLength) + " for " +
                    Plural(static_cast<std::size_t>(entry.fieldCount), "field") + ".");
        }
        if (hasDop) {
            FieldDescription description;
            if (std::string error = ReadFieldDescription(dopPath, description, m_fs);
                !error.empty()) {
                Add(dopPath, error);
            } else {
                const std::size_t fields = description.fields.size();
                if (static_cast<std::size_t>(entry.fieldCount) != fields) {
                    Add(dopPath, "describes " + Plural(fields, "field") + "; " + label + " has " +
                                     std::to_string(entry.fieldCount) + ".");
                }
                if (static_cast<std::size_t>(entry.recordLength) != 4 * fields) {
                    Add(dopPath, "gives records of " + std::to_string(4 * fields) + " bytes; " +
                                     label + " has record length " +
                                     std::to_string(entry.recordLength) + ".");
                }
                recordLength = 4 * fields;
                const auto date =
                    std::find(description.fields.begin(), description.fields.end(), kDateField);
                if (date == description.fields.end()) {
                    Add(dopPath, "has no DATE field.");
                    return;
                }
                dateSlot = static_cast<std::size_t>(date - description.fields.begin());
            }
        }
        if (!hasDat) return;
        DataFile data;
        if (std::string error = ReadDataFile(datPath, recordLength, data, m_fs); !error.empty()) {
            Add(datPath, error);
            return;
        }
        if (!data.hasHeader) {
            Add(datPath, "length " + std::to_string(data.fileSize) + " is shorter than its " +
                             std::to_string(recordLength) + "-byte header.");
            return;
        }
        const std::uintmax_t expected = std::uintmax_t{data.headerCount} * recordLength;
        if (data.fileSize != expected) {
            Add(datPath, "length " + std::to_string(data.fileSize) +
                             " disagrees with its header: " + Plural(data.headerCount, "record") +
                             " of " + std::to_string(recordLength) + " bytes make " +
                             std::to_string(expected) + ".");
        }
        // An entry without records keeps the dates it was registered with.
        // The records are those the header counts; when the file is cut
        // short of them its last one is gone, which the length finding says.
        const std::size_t counted = data.RecordsCounted();
        const std::size_t present = data.RecordsPresent();
        if (counted == 0) Add(listing.masterPath, label + " has no records.");
        if (counted == 0 || present == 0) return;
        CheckDateOrder(data, std::min(counted, present), dateSlot);
        CompareDate(listing, entry, "first", entry.firstDate, data, 0, dateSlot);
        if (counted <= present) {
            CompareDate(listing, entry, "last", entry.lastDate, data, counted - 1, dateSlot);
        }
    }

    // Records must run in ascending date order, each date once, as charting
    // programs search them.
    void CheckDateOrder(const DataFile& data, std::size_t records, std::size_t slot) {
        std::size_t backwards = 0;
        std::size_t repeats = 0;
        std::string firstBackwards;
        std::string firstRepeat;
        StoredDate previous = DecodeDateValue(data.Field(0, slot));
        for (std::size_t record = 1; record < records; ++record) {
            const StoredDate date = DecodeDateValue(data.Field(record, slot));
            const std::string where =
                "record " + std::to_string(record + 1) + " (" + StoredDateText(date) + ")";
            if (date.value < previous.value && backwards++ == 0) firstBackwards = where;
            if (date.value == previous.value && repeats++ == 0) firstRepeat = where;
            previous = date;
        }
        if (backwards > 0) {
            Add(data.path, Plural(backwards, "record") +
                               " out of ascending date order; the first is " + firstBackwards +
                               ".");
        }
        if (repeats > 0) {
            Add(data.path, Plural(repeats, "record") + " repeating the date before; the first is " +
                               firstRepeat + ".");
        }
    }

    void CompareDate(const MasterListing& listing, const MasterEntry& entry, const char* which,
                     const StoredDate& held, const DataFile& data, std::size_t record,
                     std::size_t slot) {
        const StoredDate actual = DecodeDateValue(data.Field(record, slot));
        if (actual.value == held.value) return;
        Add(listing.masterPath,
            EntryLabel(entry) + " gives " + which + " date " + StoredDateText(held) +
                " but record " + std::to_string(record + 1) + " of " +
                data.path.filename().string() + " is dated " + StoredDateText(actual) + ".");
    }

    FileSystem& m_fs;
    std::vector<Finding>& m_findings;
};

}  // namespace

std::vector<Finding> CheckDataDirectory(const std::filesystem::path& dir, bool recursive,
                                        FileSystem& fs) {
    std::vector<Finding> findings;
    DirectoryCheck check(fs, findings);
    MasterTree tree;
    if (recursive) {
        tree = WalkMasterTree(dir, fs);
    } else {
        MasterTreeNode node{dir, "", 0, {}, {}};
        node.error = ReadMasterListing(dir, node.listing, fs);
        tree.nodes.push_back(std::move(node));
    }
    // Symbol -> the directory and entry it was first seen in, across the tree.
    std::map<std::string, std::pair<std::string, int>> treeSymbols;
    for (const MasterTreeNode& node : tree.nodes) {
        if (!node.error.empty()) {
            check.Add(node.listing.masterPath, node.error);
        } else {
            check.CheckMaster(node.listing);
            check.CheckUnnamedDataFiles(node.listing);
            const std::string here = node.relative.empty() ? "." : node.relative;
            for (const MasterEntry& entry : node.listing.Entries()) {
                if (!recursive || entry.isDirectory || entry.symbol.empty()) continue;
                const auto [it, added] = treeSymbols.emplace(
                    ToUpperAscii(entry.symbol), std::make_pair(here, entry.recordNumber));
                // Repeats within one master were reported with that master.
                if (!added && it->second.first != here) {
                    check.Add(node.listing.masterPath, EntryLabel(entry) +
                                                           " repeats the symbol of entry " +
                                                           std::to_string(it->second.second) +
                                                           " in " + it->second.first + ".");
                }
            }
        }
        check.CheckTemporaryFiles(node.directory);
    }
    for (const SkippedDirectoryEntry& skip : tree.skipped) {
        if (skip.reason == SkipReason::MasterCutShort) continue;  // the count finding says it
        const auto holder =
            std::find_if(tree.nodes.begin(), tree.nodes.end(),
                         [&](const MasterTreeNode& node) { return node.relative == skip.parent; });
        check.Add(holder->listing.masterPath,
                  "directory entry " + std::to_string(skip.recordNumber) + " (" + skip.name +
                      ") is not followed: " + SkipReasonText(skip.reason) + ".");
    }
    return findings;
}

}  // namespace corvat
