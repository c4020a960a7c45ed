#include "security_removal.h"

#include <algorithm>

#include "entry_changes.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_listing.h"
#include "security_data.h"
#include "security_update.h"

namespace corvat {

int SecurityRemoval::Run() {
    m_removed.clear();
    std::error_code ec;
    const auto dir = m_dir.empty() ? std::filesystem::path() : m_fs.Canonical(m_dir, ec);
    if (m_dir.empty() || ec || !std::filesystem::is_directory(m_fs.Status(dir, ec))) {
        m_messages.ShowMessage("Path does not exist\n" + m_dir);
        return 1;
    }
    const DirectoryLockResult lock =
        AcquireDirectoryLock(m_fs, dir, LockMode::Exclusive, *m_waiter, m_messages);
    if (!lock.mayProceed) return 1;
    if (lock.lock) RemoveStaleTemporaryFiles(m_fs, dir);
    return RunLocked(dir);
}

int SecurityRemoval::RunLocked(const std::filesystem::path& dir) {
    DirectoryIndex index;
    ReadDirectoryIndex(m_fs, dir, index);
    if (!index.error.empty()) {
        m_messages.ShowMessage(index.error);
        return 1;
    }
    std::vector<Removed> found;
    bool unknown = false;
    for (const std::string& symbol : m_symbols) {
        const auto entry = FindOwnSecurity(index, symbol);
        if (!entry) {
            m_messages.ShowMessage(symbol + " is not in " + dir.string() + ".");
            unknown = true;
            continue;
        }
        const bool named = std::any_of(found.begin(), found.end(), [&](const Removed& r) {
            return r.fileNumber == entry->fileNumber;
        });
        if (!named) found.push_back(Removed{entry->symbol, entry->fileNumber});
    }
    if (found.empty()) return 1;

    std::vector<int> numbers;
    for (const Removed& r : found) numbers.push_back(r.fileNumber);
    bool committed = false;
    if (std::string error = RemoveEntries(m_fs, dir, numbers, committed); !error.empty()) {
        if (!committed) {
            m_messages.ShowMessage(error);
            return 1;
        }
        m_messages.ShowMessage(error + "\nThe removal itself is complete; only this step failed.");
    }
    m_removed = found;
    // Only now are the files no index names: a kill before this point
    // leaves the securities whole.
    for (int number : numbers) RemoveSecurityFiles(dir, number);
    return unknown ? 1 : 0;
}

void SecurityRemoval::RemoveSecurityFiles(const std::filesystem::path& dir, int fileNumber) {
    for (const char* extension : {kDataExtension, kDescriptionExtension, kWideDataExtension}) {
        const auto path = SecurityFilePath(m_fs, dir, fileNumber, extension);
        if (!LinkExists(m_fs, path)) continue;
        std::error_code ec;
        m_fs.Remove(path, ec);
        if (ec) {
            m_messages.ShowMessage(FileError("remove", path, ec) +
                                   "\nThe security is removed all the same; check names the "
                                   "file left behind.");
        }
    }
}

}  // namespace corvat
