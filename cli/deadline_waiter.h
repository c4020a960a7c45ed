#pragma once

#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>

#include "directory_lock.h"
#include "message_sink.h"

namespace corvat {

inline constexpr int kDefaultWaitSeconds = 600;

// --wait SECONDS: how long a command waits for a directory another program
// is writing to.
void AddWaitOption(CLI::App* sub, int& seconds);

// Waits up to a number of seconds for each lock; says once per command that
// it is waiting. Zero seconds gives up at once, silently.
class DeadlineWaiter final : public LockWaiter {
public:
    DeadlineWaiter(MessageSink& messages, int seconds)
        : m_messages(messages), m_limit(std::chrono::seconds(seconds)) {}

    void StartWaiting(const std::filesystem::path& dir) override;
    bool KeepWaiting() override;

private:
    MessageSink& m_messages;
    std::chrono::steady_clock::duration m_limit;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_told = false;
};

}  // namespace corvat
