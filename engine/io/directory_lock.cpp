#include "directory_lock.h"

namespace corvat {

std::string WaitingText(const std::filesystem::path& dir) {
    return "Waiting for another program writing to " + dir.string() + "...";
}

DirectoryLockResult AcquireDirectoryLock(FileSystem& fs, const std::filesystem::path& dir,
                                         LockMode mode, LockWaiter& waiter, MessageSink& messages) {
    DirectoryLockResult result;
    bool told = false;
    for (;;) {
        std::error_code ec;
        result.lock = fs.TryLockDirectory(dir, mode, ec);
        if (result.lock) break;
        if (ec != std::errc::operation_would_block) {
            // Some network mounts refuse locks altogether; refusing to write
            // there would lock the user out of their own files.
            messages.ShowMessage("Cannot lock " + dir.string() + " (" + ec.message() +
                                 "); other writers are not kept out.");
            break;
        }
        if (!told) {
            waiter.StartWaiting(dir);
            told = true;
        }
        if (!waiter.KeepWaiting()) {
            if (!waiter.StoppedByUser())
                messages.ShowMessage("Another program is writing to " + dir.string() + ".");
            return result;
        }
    }
    result.mayProceed = true;
    return result;
}

}  // namespace corvat
