#include "check_command.h"

#include "data_directory_check.h"
#include "stream_message_sink.h"

namespace corvat {

CLI::App* CheckCommand::Register(CLI::App& app) {
    auto* sub =
        app.add_subcommand("check", "Verify a data directory; exit 1 when anything is wrong");
    sub->footer("Example:\n  corvat-cli check ~/charts --recursive");
    sub->add_option("DIR", m_dir, "data directory holding a MASTER")->required();
    sub->add_flag("--recursive,-r", m_recursive,
                  "also check the masters its directory entries lead to");
    AddWaitOption(sub, m_waitSeconds);
    return sub;
}

int CheckCommand::Execute(std::ostream& out, std::ostream& err) {
    // Shared, so a writer's work in progress is never reported as damage.
    StreamMessageSink messages(err);
    DeadlineWaiter waiter(messages, m_waitSeconds);
    std::error_code ec;
    const auto lock =
        RealFileSystem().Status(m_dir, ec).type() == std::filesystem::file_type::directory
            ? AcquireDirectoryLock(RealFileSystem(), m_dir, LockMode::Shared, waiter, messages)
            : DirectoryLockResult{true, nullptr};
    if (!lock.mayProceed) return kExitFailure;
    const std::vector<Finding> findings = CheckDataDirectory(m_dir, m_recursive, RealFileSystem());
    for (const Finding& finding : findings)
        out << finding.file.string() << ": " << finding.text << '\n';
    if (findings.empty()) {
        out << "No problems found.\n";
        return kExitSuccess;
    }
    out << findings.size() << (findings.size() == 1 ? " finding.\n" : " findings.\n");
    return kExitFailure;
}

}  // namespace corvat
