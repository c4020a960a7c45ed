#include "batch_writer.h"

#include "data_file_layout.h"
#include "field_bitset.h"
#include "file_names.h"
#include "file_ops.h"
#include "master_search.h"
#include "security_update.h"
#include "text_util.h"

namespace corvat {

// A security this batch writes to: one it makes, or one it updates.
struct BatchWriter::Pending {
    std::string symbol;
    int fileNumber = 0;
    bool isNew = false;
    bool wide = false;                     // in XMASTER: F<n>.MWD, no description
    std::optional<IndexedSecurity> entry;  // an update's, as the directory holds it
    std::vector<int> fields;               // in record order
    std::filesystem::path target;          // the data file an index names
    std::filesystem::path description;     // a new security's F<n>.DOP
    // Where its records stand before the commit: the target, or for an
    // update the copy that replaces it (once one was written).
    std::filesystem::path current;
    bool renamed = false;
    std::vector<FileOutcome*> outcomes;  // the files whose rows went in

    bool AwaitsRename() const { return !isNew && current != target; }
};

namespace {

constexpr std::size_t kFieldBytes = 4;

std::string MergedHeader(std::string header, std::size_t count) {
    const auto word = EncodeRecordCount(static_cast<std::uint16_t>(count + 1));
    header[kRecordCountOffset] = static_cast<char>(word[0]);
    header[kRecordCountOffset + 1] = static_cast<char>(word[1]);
    return header;
}

// Whether a search found `symbol` taken; reported as SymbolTaken says.
bool ReportTaken(std::int16_t result, const MasterRecord& record, const std::string& foundDir,
                 const std::filesystem::path& dir, const std::string& symbol, bool update,
                 MessageSink& messages) {
    if (result != kSecurityFound) return false;
    std::string found = SymbolField(record);
    TrimTrailingSpaces(found);
    if (update && EqualsIgnoringCase(found, symbol)) {
        messages.ShowMessage(symbol + " is in " + foundDir + ", not in " + dir.string() +
                             " itself:\nonly a directory's own securities are updated.");
        return true;
    }
    messages.ShowMessage("Duplicate Symbol");
    return true;
}

}  // namespace

bool SymbolTaken(FileSystem& fs, const std::filesystem::path& dir, const std::string& symbol,
                 bool update, MessageSink& messages) {
    MasterRecord record{};
    std::string foundDir;
    const std::int16_t result = FindSecurity(dir.string(), symbol, record, foundDir, fs);
    return ReportTaken(result, record, foundDir, dir, symbol, update, messages);
}

BatchWriter::BatchWriter(FileSystem& fs, MessageSink& messages, const std::filesystem::path& dir,
                         const std::filesystem::path& masterPath, bool newMaster, bool update)
    : m_fs(fs),
      m_messages(messages),
      m_dir(dir),
      m_masterPath(masterPath),
      m_newMaster(newMaster),
      m_update(update),
      m_index(fs, dir) {}

BatchWriter::~BatchWriter() = default;

bool BatchWriter::Begin() {
    std::string error;
    if (!m_newMaster) error = ReadWholeFile(m_fs, m_masterPath, m_masterBefore);
    if (error.empty()) error = m_index.Read(m_newMaster);
    if (error.empty() && m_update && !m_newMaster) {
        ReadDirectoryIndex(m_fs, m_dir, m_listing);
        error = m_listing.error;
    }
    if (!error.empty()) {
        Report(error);
        return false;
    }
    std::error_code ec;
    for (const auto& path : m_fs.ListDirectory(m_dir, ec)) {
        std::string name = path.filename().string();
        m_exactNames.insert(name);
        auto [at, added] = m_names.emplace(ToUpperAscii(name), name);
        if (!added && name < at->second) at->second = name;
    }
    return true;
}

// The duplicate search of each file walks the same index files, which the
// batch does not change before its commit: the tree is walked once, so a
// batch of n files does not list a growing directory n times.
bool BatchWriter::TakenInTree(const std::string& symbol) {
    if (!m_tree) m_tree = WalkMasterTree(m_dir, m_fs);
    MasterRecord record{};
    std::string foundDir;
    const std::int16_t result =
        FindSecurityInTree(*m_tree, m_dir.string(), symbol, record, foundDir);
    return ReportTaken(result, record, foundDir, m_dir, symbol, m_update, m_messages);
}

// As FindIgnoringCase: the name itself when it is there, else the smallest
// name that differs only in case, else the name itself.
std::filesystem::path BatchWriter::Place(const std::string& name) const {
    const auto at = m_names.find(ToUpperAscii(name));
    if (at == m_names.end() || m_exactNames.count(name)) return m_dir / name;
    return m_dir / at->second;
}

BatchWriter::Step BatchWriter::Add(const BatchFile& file, const std::vector<InputRecord>& records,
                                   FileOutcome& outcome) {
    const std::string changed = m_dir.string() + " changed while you were being asked; try again.";
    // Files are taken as if converted one by one: an earlier file's
    // security is the directory's by the time a later one comes.
    for (const auto& pending : m_pending) {
        if (!EqualsIgnoringCase(pending->symbol, file.symbol)) continue;
        if (!m_update) {
            Report("Duplicate Symbol");
            return Step::Refused;
        }
        return Merge(file, records, outcome, pending.get(), nullptr);
    }
    if (m_update && !m_newMaster) {
        if (const auto entry = FindOwnSecurity(m_listing, file.symbol)) {
            if (file.agreedUpdate >= 0 && file.agreedUpdate != entry->fileNumber) {
                Report(changed);
                return Step::Refused;
            }
            return Merge(file, records, outcome, nullptr, &*entry);
        }
    }
    if (file.agreedUpdate >= 0) {
        Report(changed);
        return Step::Refused;
    }
    return AddNew(file, records, outcome);
}

BatchWriter::Step BatchWriter::AddNew(const BatchFile& file,
                                      const std::vector<InputRecord>& records,
                                      FileOutcome& outcome) {
    // An update may name a longer symbol another program stored; a new
    // security must fit MASTER's field.
    if (!IsValidNewSymbol(file.symbol)) {
        Report("symbol \"" + file.symbol + "\": " + kSymbolRule);
        return Step::Refused;
    }
    if (!m_newMaster && TakenInTree(file.symbol)) return Step::Refused;
    std::array<int, kFieldSlots> flags{};
    std::vector<int> fields;
    for (int field = 0; field < kFieldSlots; ++field) {
        if (!file.fieldOn[static_cast<std::size_t>(field)]) continue;
        flags[static_cast<std::size_t>(field)] = 1;
        fields.push_back(field);
    }
    const MbfBytes firstDate = records.front().fields[kDateField];
    const MbfBytes lastDate = records.back().fields[kDateField];
    if (std::string error = m_index.Add({file.symbol, file.name, static_cast<int>(fields.size()),
                                         FieldBitset(flags), firstDate, lastDate});
        !error.empty()) {
        Report(error);
        return Step::Refused;
    }
    auto pending = std::make_unique<Pending>();
    pending->symbol = file.symbol;
    pending->fileNumber = m_index.FileNumber();
    pending->isNew = true;
    pending->wide = m_index.InXmaster();
    pending->fields = fields;
    pending->target = Place(
        SecurityFileName(pending->fileNumber, pending->wide ? kWideDataExtension : kDataExtension));
    pending->current = pending->target;
    if (!pending->wide) {
        pending->description = Place(SecurityFileName(pending->fileNumber, kDescriptionExtension));
    }
    pending->outcomes.push_back(&outcome);
    Pending& added = *pending;
    m_pending.push_back(std::move(pending));

    // Nothing names these files until an index is committed, so they are
    // written in place; a leftover of a free number is simply replaced.
    const std::size_t recordLength = kFieldBytes * fields.size();
    std::string error = WriteFileFlushedLater(m_fs, added.target, [&](File& out) {
        std::string chunk;
        chunk.reserve(recordLength * 2048);
        chunk.append(recordLength, '\0');
        for (std::size_t i = 0; i < fields.size(); ++i) chunk[i * kFieldBytes + 2] = 1;
        // The count word counts the header too; the guard before this keeps
        // it within 16 bits.
        chunk = MergedHeader(std::move(chunk), records.size());
        for (const InputRecord& record : records) {
            for (int field : fields) {
                const MbfBytes& value = record.fields[static_cast<std::size_t>(field)];
                chunk.append(reinterpret_cast<const char*>(value.data()), value.size());
            }
            if (chunk.size() + recordLength > chunk.capacity()) {
                std::string e = WriteBytes(out, added.target, chunk.data(), chunk.size());
                if (!e.empty()) return e;
                chunk.clear();
            }
        }
        return WriteBytes(out, added.target, chunk.data(), chunk.size());
    });
    if (error.empty()) m_written.push_back(added.target);
    if (error.empty() && !added.wide) {
        error = WriteFileFlushedLater(m_fs, added.description, [&](File& out) {
            std::string text;
            for (int field : fields) text += kFieldTable[field].descriptionLine;
            return WriteBytes(out, added.description, text.data(), text.size());
        });
        if (error.empty()) m_written.push_back(added.description);
    }
    if (!error.empty()) {
        Report(error);
        return Step::Failed;
    }
    m_onlyUpdates = false;
    outcome.fileNumber = added.fileNumber;
    outcome.rowsWritten = static_cast<int>(records.size());
    outcome.symbol = file.symbol;
    outcome.firstDate = firstDate;
    outcome.lastDate = lastDate;
    return Step::Written;
}

BatchWriter::Step BatchWriter::Merge(const BatchFile& file, const std::vector<InputRecord>& records,
                                     FileOutcome& outcome, Pending* earlier,
                                     const IndexedSecurity* entry) {
    std::string bytes;  // the data file as it stands, header first
    std::size_t recordLength = 0;
    std::string_view stored;
    std::vector<int> fields;
    std::filesystem::path dataPath;
    const std::string symbol = entry ? entry->symbol : earlier->symbol;
    if (earlier && earlier->current != earlier->target) {
        // This batch wrote the records: whole, and counted exactly.
        if (std::string error = ReadWholeFile(m_fs, earlier->current, bytes); !error.empty()) {
            Report(error);
            return Step::Failed;
        }
        fields = earlier->fields;
        recordLength = kFieldBytes * fields.size();
        stored = std::string_view(bytes).substr(std::min(recordLength, bytes.size()));
    } else if (earlier && earlier->isNew) {
        if (std::string error = ReadWholeFile(m_fs, earlier->target, bytes); !error.empty()) {
            Report(error);
            return Step::Failed;
        }
        fields = earlier->fields;
        recordLength = kFieldBytes * fields.size();
        stored = std::string_view(bytes).substr(std::min(recordLength, bytes.size()));
    } else {
        const IndexedSecurity& own = entry ? *entry : *earlier->entry;
        SecurityData security;
        if (std::string error = ReadSecurityForUpdate(m_fs, m_dir, own, security); !error.empty()) {
            Report(error);
            return Step::Refused;
        }
        fields = security.description.fields;
        recordLength = security.data.recordLength;
        dataPath = security.data.path;
        bytes = std::move(security.data.bytes);
        stored = std::string_view(bytes).substr(recordLength,
                                                security.data.RecordsCounted() * recordLength);
    }
    if (const int missing = MissingField(fields, file.fieldOn); missing >= 0) {
        Report(MissingFieldMessage(symbol, file.input, missing));
        return Step::Refused;
    }
    RecordMerge merge = MergeRecords(stored, fields, records);
    if (merge.count > static_cast<std::size_t>(kMaxDataRecords)) {
        Report("The data file can hold at most 65534 records.");
        return Step::Refused;
    }

    Pending* pending = earlier;
    if (!pending) {
        auto made = std::make_unique<Pending>();
        made->symbol = entry->symbol;
        made->fileNumber = entry->fileNumber;
        made->entry = *entry;
        made->fields = fields;
        made->target = dataPath;
        made->current = made->target;
        pending = made.get();
        m_pending.push_back(std::move(made));
    }
    pending->outcomes.push_back(&outcome);
    if (!merge.ChangesNothing()) {
        // A security the directory already names is replaced through a copy;
        // one this batch makes is unnamed yet and rewritten in place.
        std::filesystem::path path = pending->current;
        if (!pending->isNew && path == pending->target) path.replace_extension(kReplacementSuffix);
        const std::string header = MergedHeader(bytes.substr(0, recordLength), merge.count);
        std::string error = WriteFileFlushedLater(m_fs, path, [&](File& out) {
            std::string e = WriteBytes(out, path, header.data(), header.size());
            if (e.empty()) e = WriteBytes(out, path, merge.records.data(), merge.records.size());
            return e;
        });
        if (!error.empty()) {
            Report(error);
            return Step::Failed;
        }
        if (path != pending->current) {
            pending->current = path;
            m_written.push_back(path);
        }
    }
    if (merge.count > 0) m_index.SetDates(pending->fileNumber, merge.firstDate, merge.lastDate);
    merge.records.clear();
    merge.records.shrink_to_fit();
    outcome.fileNumber = pending->fileNumber;
    outcome.rowsWritten = static_cast<int>(merge.added + merge.replaced);
    outcome.firstDate = merge.firstDate;
    outcome.lastDate = merge.lastDate;
    outcome.symbol = symbol;
    outcome.update = std::move(merge);
    return Step::Written;
}

void BatchWriter::RemoveWritten() {
    for (const auto& pending : m_pending) {
        if (pending->renamed) continue;
        std::error_code ignored;
        if (pending->isNew || pending->AwaitsRename()) m_fs.Remove(pending->current, ignored);
        if (!pending->description.empty()) m_fs.Remove(pending->description, ignored);
    }
}

void BatchWriter::Abandon() {
    RemoveWritten();
    m_pending.clear();
}

void BatchWriter::ReportAfterCommit(const std::string& error) {
    Report(error + (m_onlyUpdates ? "\nThe update itself is complete; only this step failed."
                                  : "\nThe conversion itself is complete; only this step failed."));
}

bool BatchWriter::Commit() {
    if (m_pending.empty()) return false;
    // One barrier for the whole batch: every file's data reaches the disk
    // before any rename makes it count.
    if (!m_written.empty()) {
        if (std::string error = FlushFiles(m_fs, m_written, m_dir); !error.empty()) {
            Report(error);
            Abandon();
            return false;
        }
    }
    // An update's commit is its data file's rename; its index dates follow
    // with the indexes (a kill between leaves old dates, which check names
    // and the next update mends).
    bool renamedAny = false;
    std::string failure;
    for (const auto& pending : m_pending) {
        if (!pending->AwaitsRename()) continue;
        std::error_code ec;
        m_fs.Rename(pending->current, pending->target, ec);
        if (ec) {
            failure = FileError("replace", pending->target, ec);
            break;
        }
        pending->renamed = renamedAny = true;
    }
    IndexUpdate::Committed committed;
    if (failure.empty()) {
        const IndexUpdate::Committed needed = m_index.Changes();
        if (needed.master || needed.xmaster || renamedAny) {
            if (std::string error = m_index.Commit(committed); !error.empty()) {
                if (committed.master == needed.master && committed.xmaster == needed.xmaster) {
                    // Only the directory sync after the renames failed.
                    const auto& last =
                        needed.xmaster ? m_index.XmasterPath() : m_index.MasterPath();
                    ReportAfterCommit(error + (needed.master || needed.xmaster
                                                   ? "\n(after " + last.string() + " was replaced)"
                                                   : std::string()));
                } else {
                    failure = error;
                }
            }
        }
    }
    if (!failure.empty()) Report(failure);
    const bool anyRename = renamedAny || committed.master || committed.xmaster;
    if (!failure.empty() && !anyRename) {
        Abandon();
        return false;
    }
    bool converted = false;
    for (const auto& pending : m_pending) {
        const bool stands = pending->isNew ? (pending->wide ? committed.xmaster : committed.master)
                                           : pending->renamed || !pending->AwaitsRename();
        for (FileOutcome* outcome : pending->outcomes) outcome->converted = stands;
        if (pending->isNew) pending->renamed = stands;
        converted = converted || stands;
    }
    if (!failure.empty()) RemoveWritten();
    if (committed.master || committed.xmaster) {
        for (const std::string& note : m_index.KeepEmasterInStep()) Report(note);
    }
    if (anyRename && !m_newMaster) WriteBackup();
    return converted;
}

void BatchWriter::WriteBackup() {
    // The master as this batch found it, so the backup undoes exactly this
    // batch. Replaced like the master, so a kill never leaves half a
    // backup; the master's temporary name is free again after the commit.
    const std::filesystem::path backup = m_masterPath.string() + kBackupSuffix;
    const std::filesystem::path temp = m_masterPath.string() + kReplacementSuffix;
    const std::string error = ReplaceFile(m_fs, backup, temp, [&](File& file) {
        return WriteBytes(file, temp, m_masterBefore.data(), m_masterBefore.size());
    });
    if (!error.empty()) ReportAfterCommit(error);
}

}  // namespace corvat
