#include "data_directory_check.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "data_file_layout.h"
#include "field_bitset.h"
#include "file_names.h"
#include "file_ops.h"
#include "master_tree.h"
#include "mbf.h"
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
    for (const char* known : {kDataExtension, kDescriptionExtension, kWideDataExtension}) {
        if (extension == known) return number;
    }
    return -1;
}

std::string EntryLabel(int recordNumber, const std::string& symbol) {
    return "entry " + std::to_string(recordNumber) + " (" +
           (symbol.empty() ? std::string("no symbol") : symbol) + ")";
}

std::string EntryLabel(const MasterEntry& entry) {
    return EntryLabel(entry.recordNumber, entry.symbol);
}

std::string EntryLabel(const IndexedSecurity& entry) {
    return EntryLabel(entry.recordNumber, entry.symbol);
}

// Symbols are compared as the duplicate search compares them: in any letter
// case, and on their first 14 bytes.
std::string SymbolKey(const std::string& symbol) {
    return ToUpperAscii(symbol.substr(0, std::min(symbol.size(), kMaxSymbolBytes)));
}

// A listing's length and count, as for every index file.
template <typename Listing>
void CheckIndexLength(const Listing& listing, std::size_t recordSize, std::vector<Finding>& out) {
    if (const auto fragment = listing.fileSize % recordSize; fragment != 0) {
        out.push_back({listing.path, "length " + std::to_string(listing.fileSize) +
                                         " is not a whole number of " + std::to_string(recordSize) +
                                         "-byte records (" + Plural(fragment, "byte") +
                                         " left over)."});
    }
    if (static_cast<std::size_t>(listing.recordCount) != listing.records.size()) {
        out.push_back({listing.path, "header counts " + std::to_string(listing.recordCount) +
                                         " records but the file holds " +
                                         Plural(listing.records.size(), "record") + "."});
    }
}

class DirectoryCheck {
public:
    DirectoryCheck(FileSystem& fs, std::vector<Finding>& findings)
        : m_fs(fs), m_findings(findings) {}

    void CheckDirectory(const DirectoryIndex& index) {
        CheckMaster(index.listing);
        const std::vector<IndexedSecurity> securities = index.Securities();
        for (const IndexedSecurity& security : securities) {
            if (security.index != IndexFile::Master) continue;
            const MasterEntry& entry = index.listing.records[security.recordNumber - 1];
            if (entry.recordLength != 4 * entry.fieldCount) {
                Add(index.listing.masterPath,
                    EntryLabel(entry) + " has record length " + std::to_string(entry.recordLength) +
                        " for " + Plural(static_cast<std::size_t>(entry.fieldCount), "field") +
                        ".");
            }
            CheckSecurity(index.directory, index.listing.masterPath, security, entry.recordLength);
        }
        CheckEmaster(index);
        CheckXmaster(index);
        CheckUnnamedDataFiles(index);
    }

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
            if (auto [it, added] = symbols.emplace(SymbolKey(entry.symbol), entry.recordNumber);
                !added) {
                Add(master, EntryLabel(entry) + " repeats the symbol of entry " +
                                std::to_string(it->second) + ".");
            }
        }
    }

    // Data files no index names: what a conversion that did not commit may
    // leave, and what the next one reuses.
    void CheckUnnamedDataFiles(const DirectoryIndex& index) {
        std::set<int> named;
        for (const IndexedSecurity& entry : index.AllRecords()) named.insert(entry.fileNumber);
        std::error_code ec;
        std::vector<std::filesystem::path> unnamed;
        for (const auto& path : m_fs.ListDirectory(index.directory, ec)) {
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
    void CheckEmaster(const DirectoryIndex& index) {
        const EmasterListing& emaster = index.emaster;
        if (!index.emasterError.empty()) Add(emaster.path, index.emasterError);
        if (!emaster.present || !emaster.hasHeader) return;
        CheckIndexLength(emaster, kEmasterRecordSize, m_findings);
        const std::vector<IndexedSecurity> records = EmasterEntries(emaster);
        switch (index.EmasterStanding()) {
            case EmasterState::Behind:
                Add(emaster.path,
                    "EMASTER behind MASTER (an interrupted write; the next "
                    "conversion completes it)");
                break;
            case EmasterState::OutOfStep:
                Add(emaster.path, "not in step with MASTER: " + OutOfStepReason(index, records) +
                                      "; readers that list securities from EMASTER show other "
                                      "securities than readers that use MASTER.");
                return;
            default:
                break;
        }
        const auto entries = index.listing.Entries();
        for (std::size_t i = 0; i < records.size() && i < entries.size(); ++i) {
            if (!entries[i].isDirectory) CompareMirror(index, entries[i], records[i]);
        }
    }

    std::string OutOfStepReason(const DirectoryIndex& index,
                                const std::vector<IndexedSecurity>& records) {
        const auto entries = index.listing.Entries();
        for (std::size_t i = 0; i < records.size() && i < entries.size(); ++i) {
            if (records[i].fileNumber != entries[i].fileNumber) {
                return "record " + std::to_string(i + 1) + " names file number " +
                       std::to_string(records[i].fileNumber) + " where MASTER's entry names " +
                       std::to_string(entries[i].fileNumber);
            }
        }
        return "it holds " + Plural(records.size(), "record") + " where MASTER counts " +
               Plural(entries.size(), "entry");
    }

    void CompareMirror(const DirectoryIndex& index, const MasterEntry& entry,
                       const IndexedSecurity& record) {
        const IndexedSecurity held = SecurityFromMaster(entry.raw, entry.recordNumber);
        const std::string label = "record " + std::to_string(record.recordNumber) + " (" +
                                  record.symbol + ") differs from MASTER's " + EntryLabel(entry) +
                                  " in its ";
        const auto& path = index.emaster.path;
        if (SymbolKey(record.symbol) != SymbolKey(held.symbol)) Add(path, label + "symbol.");
        if (record.fieldCount != held.fieldCount ||
            BitsetFieldCount(record.fieldBitset) != record.fieldCount) {
            Add(path, label + "fields (" + std::to_string(record.fieldCount) + ", bitset " +
                          std::to_string(BitsetFieldCount(record.fieldBitset)) +
                          " fields; MASTER " + std::to_string(held.fieldCount) + ").");
        }
        if (!SameEntryDate(record.firstDate, held.firstDate) ||
            !SameEntryDate(record.lastDate, held.lastDate)) {
            Add(path, label + "dates (" + EntryDateText(record.firstDate) + " to " +
                          EntryDateText(record.lastDate) + "; MASTER " +
                          EntryDateText(held.firstDate) + " to " + EntryDateText(held.lastDate) +
                          ").");
        }
    }

    void CheckXmaster(const DirectoryIndex& index) {
        const XmasterListing& xmaster = index.xmaster;
        if (!index.xmasterError.empty()) Add(xmaster.path, index.xmasterError);
        if (!xmaster.present || !xmaster.hasHeader) return;
        const XmasterHeader header = DecodeXmasterHeader(xmaster.header);
        if (!header.magicMatches) Add(xmaster.path, "does not begin with XMASTER's mark.");
        CheckIndexLength(xmaster, kXmasterRecordSize, m_findings);
        if (header.recordCountAgain != header.recordCount) {
            Add(xmaster.path, "header counts " + std::to_string(header.recordCount) +
                                  " records in one place and " +
                                  std::to_string(header.recordCountAgain) + " in the other.");
        }
        // Symbols of MASTER and of any EMASTER record.
        std::map<std::string, std::string> held;
        for (const IndexedSecurity& entry : index.AllRecords()) {
            if (entry.index != IndexFile::Xmaster && !entry.symbol.empty())
                held.emplace(SymbolKey(entry.symbol), IndexFileName(entry.index));
        }
        std::map<int, int> numbers;
        std::map<std::string, int> symbols;
        int highest = 0;
        for (const IndexedSecurity& entry : XmasterEntries(xmaster)) {
            const std::string label = EntryLabel(entry);
            highest = std::max(highest, entry.fileNumber);
            if (entry.fileNumber < kFirstXmasterFileNumber) {
                Add(xmaster.path, label + " has file number " + std::to_string(entry.fileNumber) +
                                      "; XMASTER's numbers begin at 256.");
            }
            if (auto [it, added] = numbers.emplace(entry.fileNumber, entry.recordNumber); !added) {
                Add(xmaster.path, label + " uses file number " + std::to_string(entry.fileNumber) +
                                      ", as entry " + std::to_string(it->second) + " does.");
            }
            if (!entry.symbol.empty()) {
                const std::string key = SymbolKey(entry.symbol);
                if (auto found = held.find(key); found != held.end()) {
                    Add(xmaster.path, label + " repeats a symbol of " + found->second + ".");
                }
                if (auto [it, added] = symbols.emplace(key, entry.recordNumber); !added) {
                    Add(xmaster.path,
                        label + " repeats the symbol of entry " + std::to_string(it->second) + ".");
                }
            }
            if (entry.fileNumber >= kFirstXmasterFileNumber)
                CheckSecurity(index.directory, xmaster.path, entry, -1);
        }
        if (highest > 0 && header.nextFileNumber <= highest) {
            Add(xmaster.path, "header gives " + std::to_string(header.nextFileNumber) +
                                  " as the next file number, but " + std::to_string(highest) +
                                  " is in use.");
        }
    }

    // `entryRecordLength` is MASTER's record length byte, -1 for XMASTER.
    void CheckSecurity(const std::filesystem::path& dir, const std::filesystem::path& indexPath,
                       const IndexedSecurity& entry, int entryRecordLength) {
        const auto datPath = SecurityFilePath(m_fs, dir, entry.fileNumber, DataExtensionOf(entry));
        const auto dopPath = SecurityFilePath(m_fs, dir, entry.fileNumber, kDescriptionExtension);
        const bool hasDat = PathExists(m_fs, datPath);
        const std::string label = EntryLabel(entry);
        if (entry.firstDate.number > entry.lastDate.number) {
            Add(indexPath, label + " gives first date " + EntryDateText(entry.firstDate) +
                               " after its last date " + EntryDateText(entry.lastDate) + ".");
        }
        if (!hasDat) Add(datPath, "missing; the data file of " + label + ".");

        // The record as the description file gives it; failing that, as
        // the entry does. A missing description is no fault: the charting
        // programs write none.
        std::vector<int> fields = FieldsWithoutDescription(entry);
        const int recordLength = entryRecordLength >= 0 ? entryRecordLength : 4 * entry.fieldCount;
        if (PathExists(m_fs, dopPath)) {
            FieldDescription description;
            if (std::string error = ReadFieldDescription(dopPath, description, m_fs);
                !error.empty()) {
                Add(dopPath, error);
                fields.clear();
            } else {
                fields = description.fields;
                const std::size_t count = fields.size();
                if (static_cast<std::size_t>(entry.fieldCount) != count) {
                    Add(dopPath, "describes " + Plural(count, "field") + "; " + label + " has " +
                                     std::to_string(entry.fieldCount) + ".");
                }
                if (static_cast<std::size_t>(recordLength) != 4 * count) {
                    Add(dopPath, "gives records of " + std::to_string(4 * count) + " bytes; " +
                                     label + " has record length " + std::to_string(recordLength) +
                                     ".");
                }
                if (std::find(fields.begin(), fields.end(), kDateField) == fields.end()) {
                    Add(dopPath, "has no DATE field.");
                    return;
                }
            }
        }
        if (!hasDat) return;
        const std::size_t length =
            fields.empty() ? static_cast<std::size_t>(recordLength) : 4 * fields.size();
        const auto date = std::find(fields.begin(), fields.end(), kDateField);
        const std::size_t dateSlot =
            date == fields.end() ? 0 : static_cast<std::size_t>(date - fields.begin());
        CheckDataFile(indexPath, entry, datPath, length, dateSlot);
    }

    void CheckDataFile(const std::filesystem::path& indexPath, const IndexedSecurity& entry,
                       const std::filesystem::path& datPath, std::size_t recordLength,
                       std::size_t dateSlot) {
        DataFile data;
        if (std::string error = ReadDataFile(datPath, recordLength, data, m_fs); !error.empty()) {
            Add(datPath, error);
            return;
        }
        if (std::string finding = DataFileLengthFinding(data); !finding.empty())
            Add(datPath, std::move(finding));
        if (!data.hasHeader) return;
        // An entry without records keeps the dates it was registered with.
        // The records are those the header counts; when the file is cut
        // short of them its last one is gone, which the length finding says.
        // Other periods than daily are left to the programs that chart them.
        const std::size_t counted = data.RecordsCounted();
        const std::size_t present = data.RecordsPresent();
        if (counted == 0) Add(indexPath, EntryLabel(entry) + " has no records.");
        if (counted == 0 || present == 0 || entry.period != 'D') return;
        CheckDateOrder(data, std::min(counted, present), dateSlot);
        CompareDate(indexPath, entry, "first", entry.firstDate, data, 0, dateSlot);
        if (counted <= present) {
            CompareDate(indexPath, entry, "last", entry.lastDate, data, counted - 1, dateSlot);
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

    void CompareDate(const std::filesystem::path& indexPath, const IndexedSecurity& entry,
                     const char* which, const EntryDate& held, const DataFile& data,
                     std::size_t record, std::size_t slot) {
        const EntryDate actual = DateFromYyymmdd(MbfToIeee(data.Field(record, slot)));
        if (SameEntryDate(actual, held)) return;
        Add(indexPath, EntryLabel(entry) + " gives " + which + " date " + EntryDateText(held) +
                           " but record " + std::to_string(record + 1) + " of " +
                           data.path.filename().string() + " is dated " + EntryDateText(actual) +
                           ".");
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
        tree.nodes.push_back(ReadTreeNode(fs, dir));
    }
    // Symbol -> the directory and entry it was first seen in, across the tree.
    std::map<std::string, std::pair<std::string, int>> treeSymbols;
    for (const MasterTreeNode& node : tree.nodes) {
        if (!node.error.empty()) {
            check.Add(node.listing.masterPath, node.error);
        } else {
            check.CheckDirectory(node);
            const std::string here = node.relative.empty() ? "." : node.relative;
            for (const IndexedSecurity& entry : node.Securities()) {
                if (!recursive || entry.symbol.empty()) continue;
                const auto [it, added] = treeSymbols.emplace(
                    SymbolKey(entry.symbol), std::make_pair(here, entry.recordNumber));
                // Repeats within one directory were reported with its index.
                if (!added && it->second.first != here) {
                    check.Add(entry.index == IndexFile::Xmaster   ? node.xmaster.path
                              : entry.index == IndexFile::Emaster ? node.emaster.path
                                                                  : node.listing.masterPath,
                              EntryLabel(entry) + " repeats the symbol of entry " +
                                  std::to_string(it->second.second) + " in " + it->second.first +
                                  ".");
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
