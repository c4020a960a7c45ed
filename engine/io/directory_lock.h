#pragma once

#include <filesystem>
#include <memory>

#include "file_system.h"
#include "message_sink.h"

namespace corvat {

// How a caller waits while another program holds a directory's lock: the
// command line until its time runs out, the desktop program until Cancel.
class LockWaiter {
public:
    virtual ~LockWaiter() = default;

    // Told once per acquisition, on the first refusal, that it must wait.
    virtual void StartWaiting(const std::filesystem::path& dir) = 0;
    // Called between tries; it pauses briefly (about a tenth of a second,
    // keeping a window alive if it has one) and returns false to give up.
    virtual bool KeepWaiting() = 0;
    // After KeepWaiting returned false: true when the user chose to stop,
    // who then needs no message saying that the directory was busy.
    virtual bool StoppedByUser() const { return false; }
};

// Gives up at once: for callers that must never wait.
class NoWaiting final : public LockWaiter {
public:
    void StartWaiting(const std::filesystem::path&) override {}
    bool KeepWaiting() override { return false; }
};

// What AcquireDirectoryLock achieved.
struct DirectoryLockResult {
    // False when the waiter gave up; "Another program is writing to DIR."
    // has been shown (unless the user stopped the wait) and nothing may change.
    bool mayProceed = false;
    // The lock, or null when the file system cannot lock this directory
    // (the run goes on without it, as it has been told).
    std::unique_ptr<HeldLock> lock;
};

// Takes the lock on `dir` in `mode`, waiting through `waiter` while another
// program holds it.
DirectoryLockResult AcquireDirectoryLock(FileSystem& fs, const std::filesystem::path& dir,
                                         LockMode mode, LockWaiter& waiter, MessageSink& messages);

// "Waiting for another program writing to DIR...", what a waiter shows.
std::string WaitingText(const std::filesystem::path& dir);

}  // namespace corvat
