#pragma once

#include <string>
#include <vector>

#include "directory_lock.h"
#include "file_system.h"
#include "message_sink.h"

namespace corvat {

// Takes securities out of a data directory: their entries out of every
// index that holds them (the commit), then their files. A security answers
// only to its whole symbol, in any letter case, in the directory's own
// indexes. Fill, call Run once.
class SecurityRemoval {
public:
    SecurityRemoval(MessageSink& messages, FileSystem& fs) : m_messages(messages), m_fs(fs) {}

    void SetLockWaiter(LockWaiter& waiter) { m_waiter = &waiter; }

    // 0 when every symbol was found and removed; 1 when any symbol was
    // unknown (the others are removed all the same) or nothing could be
    // removed. Every problem has been shown.
    [[nodiscard]] int Run();

    struct Removed {
        std::string symbol;  // as the index holds it
        int fileNumber = 0;
    };
    // What the run took out, once it committed.
    const std::vector<Removed>& RemovedSecurities() const { return m_removed; }

    std::string m_dir;
    std::vector<std::string> m_symbols;

private:
    [[nodiscard]] int RunLocked(const std::filesystem::path& dir);
    void RemoveSecurityFiles(const std::filesystem::path& dir, int fileNumber);

    MessageSink& m_messages;
    FileSystem& m_fs;
    NoWaiting m_noWaiting;
    LockWaiter* m_waiter = &m_noWaiting;
    std::vector<Removed> m_removed;
};

}  // namespace corvat
