#include "deadline_waiter.h"

#include <algorithm>
#include <thread>

namespace corvat {

void AddWaitOption(CLI::App* sub, int& seconds) {
    sub->add_option("--wait", seconds,
                    "seconds to wait while another program writes to the directory; 0 does "
                    "not wait")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
}

void DeadlineWaiter::StartWaiting(const std::filesystem::path& dir) {
    m_deadline = std::chrono::steady_clock::now() + m_limit;
    if (m_limit.count() == 0 || m_told) return;
    m_messages.ShowMessage(WaitingText(dir));
    m_told = true;
}

bool DeadlineWaiter::KeepWaiting() {
    constexpr auto kPause = std::chrono::milliseconds(100);
    const auto now = std::chrono::steady_clock::now();
    if (now >= m_deadline) return false;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(kPause, m_deadline - now));
    return true;
}

}  // namespace corvat
